// The About box run modally over a host as the main dialog runs it, driven from inside its loop:
// its look, its texts in the three languages, and a click that ends it with OK.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "ui/CVNTUI_Skeo_AboutBox.h"

namespace {

std::vector<std::function<void()>> g_steps;
size_t g_next = 0;

void CALLBACK runStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_next >= g_steps.size()) {
        KillTimer(nullptr, id);
        return;
    }
    g_steps[g_next++]();
}

std::wstring text(LANGID language, UINT id) {
    std::wstring s;
    EXPECT_TRUE(VNTLanguageSelector::loadString(language, id, s)) << id;
    return s;
}

std::wstring itemText(HWND box, int id) {
    wchar_t buffer[256] = {};
    GetDlgItemTextW(box, id, buffer, 256);
    return buffer;
}

void expectTexts(HWND box, LANGID language, const std::wstring& firmware) {
    SCOPED_TRACE(language);
    EXPECT_EQ(itemText(box, IDC_ABOUT_TITLE), text(language, IDS_ABOUT_TITLE));
    EXPECT_EQ(itemText(box, IDC_ABOUT_FIRMWARE), text(language, IDS_ABOUT_FIRMWARE_VERSION) + firmware);
    EXPECT_EQ(itemText(box, IDC_ABOUT_SOFTWARE), text(language, IDS_ABOUT_SOFTWARE_VERSION) + text(language, IDS_VERSION));
    EXPECT_EQ(itemText(box, IDC_ABOUT_COPYRIGHT), text(language, IDS_ABOUT_COPYRIGHT));
    EXPECT_EQ(itemText(box, IDC_ABOUT_RIGHTS), text(language, IDS_ABOUT_RIGHTS));
    EXPECT_EQ(itemText(box, IDC_ABOUT_LINK), text(language, IDS_ABOUT_WEB_ADDRESS));
}

// The title's control in the box's client coordinates.
RECT itemRect(HWND box, int id) {
    RECT rc{};
    GetWindowRect(GetDlgItem(box, id), &rc);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Every line fits its control on one line, measured with the font the control draws with.
void expectTextsFit(HWND box) {
    for (int id = IDC_ABOUT_TITLE; id <= IDC_ABOUT_LINK; ++id) {
        HWND item = GetDlgItem(box, id);
        const std::wstring line = itemText(box, id);
        SCOPED_TRACE(testing::Message() << id);
        ASSERT_NE(item, nullptr);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0));
        vnt::WindowDC dc(item);
        const HGDIOBJ previous = SelectObject(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
        RECT needed{0, 0, 0, 0};
        DrawTextW(dc.get(), line.c_str(), static_cast<int>(line.size()), &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc.get(), previous);
        RECT client{};
        GetClientRect(item, &client);
        EXPECT_LE(needed.right, client.right) << "too wide";
        EXPECT_LE(needed.bottom, client.bottom) << "too high";
    }
}

}  // namespace

class AboutBoxTest : public toolkittest::ToolkitTest {};

TEST_F(AboutBoxTest, GreenShadowedBoxWithTextsInEveryLanguageClosedByAClick) {
    VNTLanguageSelector& language = VNTLanguageSelector::instance();
    language.Initialize();
    language.setLanguage(VNTLanguageSelector::kEnglish);
    CVNTUI_Skeo_AboutBox box;
    HWND b = nullptr;
    g_steps = {
        [&] {
            b = box.hwnd();
            ASSERT_NE(b, nullptr);
            EXPECT_TRUE(IsWindowVisible(b));
            EXPECT_TRUE(GetWindowLongPtrW(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
            EXPECT_TRUE(GetClassLongPtrW(b, GCL_STYLE) & CS_DROPSHADOW);
            WNDCLASSW system{};
            ASSERT_TRUE(GetClassInfoW(nullptr, L"#32770", &system));
            EXPECT_FALSE(system.style & CS_DROPSHADOW) << "other dialogs keep their look";
            RECT expected{0, 0, 225, 117}, client{};
            MapDialogRect(b, &expected);
            GetClientRect(b, &client);
            EXPECT_EQ(client.right, expected.right);
            EXPECT_EQ(client.bottom, expected.bottom);

            // The logo of the box's DPI: at 192 the 200 % image (id + 3000), never the 100 % one grown.
            const int dpi = vnt::windowDpi(b);
            ASSERT_TRUE(dpi == 96 || dpi == 192) << "a run at " << dpi << " DPI has no known skin set";
            CGdiPlusBitmapResource logo;
            ASSERT_TRUE(logo.Load(dpi == 192 ? 499 + 3000 : 499));
            EXPECT_EQ(box.logo().width(), logo.width());
            EXPECT_EQ(box.logo().height(), logo.height());
            EXPECT_EQ(box.logoLeft(), vnt::scalePx(20, dpi));

            testsupport::WindowPixels pixels(b);
            EXPECT_EQ(pixels.at(4, 4), CVNTUI_Skeo_AboutBox::kBackground);
            EXPECT_NE(pixels.at(box.logoLeft() + logo.width() / 2, client.bottom / 2), CVNTUI_Skeo_AboutBox::kBackground)
                << "the logo";
            // The image's transparent margin may reach under the texts; what is drawn of it may not.
            int drawnRight = 0;
            for (int y = 0; y < logo.height(); ++y)
                for (int x = drawnRight; x < logo.width(); ++x) {
                    Gdiplus::Color colour;
                    if (logo.bitmap()->GetPixel(x, y, &colour) == Gdiplus::Ok && colour.GetA() > 0) drawnRight = x + 1;
                }
            EXPECT_GT(drawnRight, logo.width() / 2);
            EXPECT_LE(box.logoLeft() + drawnRight, itemRect(b, IDC_ABOUT_TITLE).left) << "the logo clear of the texts";
            const RECT title = itemRect(b, IDC_ABOUT_TITLE);
            int white = 0;
            for (int y = title.top; y < title.bottom; ++y)
                for (int x = title.left; x < title.right; ++x) white += pixels.at(x, y) == RGB(255, 255, 255);
            EXPECT_GT(white, 10) << "white title";
            EXPECT_EQ(pixels.at(title.right - 2, title.bottom - 2), CVNTUI_Skeo_AboutBox::kBackground)
                << "no background behind the text";

            expectTexts(b, VNTLanguageSelector::kEnglish, L"");
            box.SetFirmwareVersion(L"1.07");
            expectTexts(b, VNTLanguageSelector::kEnglish, L"1.07");
            expectTextsFit(b);
            testsupport::saveWindowImage(b, L"about-en");
        },
        [&] {
            language.setLanguage(VNTLanguageSelector::kTraditionalChinese);
            expectTexts(b, VNTLanguageSelector::kTraditionalChinese, L"1.07");
            expectTextsFit(b);
            testsupport::saveWindowImage(b, L"about-zh-TW");
        },
        [&] {
            language.setLanguage(VNTLanguageSelector::kJapanese);
            expectTexts(b, VNTLanguageSelector::kJapanese, L"1.07");
            expectTextsFit(b);
            testsupport::saveWindowImage(b, L"about-ja");
        },
        [&] {
            // On the background, away from every text.
            PostMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
            PostMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        },
    };
    g_next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &runStep);
    const INT_PTR result = box.DoModal(host_->hwnd());
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_next, g_steps.size()) << "every step ran before the box closed";
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_TRUE(IsWindowEnabled(host_->hwnd()));
    EXPECT_FALSE(CVNTUI_Skeo_AboutBox::fading());
    language.setLanguage(VNTLanguageSelector::kEnglish);
}
