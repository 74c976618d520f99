// Every skinned control in one window, as a person sees them: the picture is saved when
// SKEO_SCREENSHOT_DIR names a folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "StringIds.h"
#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CColorStatic.h"
#include "toolkit/CGdipButton.h"
#include "toolkit/CGdipSlider.h"
#include "toolkit/CSkinScrollWnd.h"
#include "toolkit/CVNTUI_Window.h"
#include "toolkit/CXHyperLink.h"
#include "toolkit/SkinResource.h"

using toolkittest::ToolkitTest;

class GalleryTest : public ToolkitTest {
protected:
    void TearDown() override {
        ToolkitTest::TearDown();
        host_->resize(720, 480);
    }
};

// The gallery laid out at the host's DPI, its texts in each language.
TEST_F(GalleryTest, EveryControlDrawsFromItsSkin) {
    const int dpi = vnt::windowDpi(host_->hwnd());
    auto px = [dpi](int value) { return vnt::scalePx(value, dpi); };
    const int W = px(720);
    ASSERT_TRUE(host_->resize(W, px(480)));
    vnt::BackBuffer& back = host_->backBuffer();
    back.fill(RECT{0, 0, W, px(50)}, RGB(61, 179, 204));
    CGdiPlusBitmapResource header;
    ASSERT_TRUE(header.LoadForDpi(300, dpi));
    header.draw(back.dc(), px(48), 0);
    InvalidateRect(host_->hwnd(), nullptr, FALSE);

    CGdipButton top[4];
    const UINT images[4][2] = {{301, 302}, {304, 305}, {307, 308}, {310, 311}};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(top[i].SetImage(images[i][0]));
        top[i].SetHoverImage(images[i][1]);
        ASSERT_TRUE(top[i].Create(host_->hwnd(), 1013 + i, W - px(104 - 24 * i), px(9)));
        top[i].RefreshBackground(back.dc());
    }
    SendMessageW(top[0].hwnd(), WM_MOUSEHOVER, 0, 0);  // one hovered, to see the hover image

    CGdipButton tabs[3];
    const UINT tabImages[3][2] = {{317, 317}, {321, 323}, {318, 319}};
    for (int i = 0; i < 3; ++i) {
        tabs[i].SetPressOffset(false);
        ASSERT_TRUE(tabs[i].SetImage(tabImages[i][0]));
        tabs[i].SetHoverImage(tabImages[i][1]);
        ASSERT_TRUE(tabs[i].Create(host_->hwnd(), 1017 + i, 0, px(124 + 70 * i)));
        tabs[i].RefreshBackground(back.dc());
    }

    CGdipButton photo[3];
    const UINT photoImages[3] = {400, 403, 406};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(photo[i].SetImage(photoImages[i]));
        ASSERT_TRUE(photo[i].Create(host_->hwnd(), 1020 + i, px(70 + 30 * i), px(440)));
        photo[i].RefreshBackground(back.dc());
    }
    photo[2].EnableButton(false);  // and one disabled

    CGdipSlider slider;
    ASSERT_TRUE(slider.LoadTrackImage(360));
    ASSERT_TRUE(slider.LoadThumbImages(361, 362));
    ASSERT_TRUE(slider.Create(host_->hwnd(), 1024, px(80), px(70)));
    slider.SetMargins(0, 10);
    slider.SetThumbCrossOffset(58);
    slider.SetRange(1, 15);
    slider.SetPos(12);
    slider.RefreshBackground(back.dc());

    CColorStatic hint;
    ASSERT_TRUE(hint.CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, px(200), px(70), px(260), px(16), host_->hwnd(), 1009));
    // The system's font, made for the host's DPI.
    LOGFONTW hintLook{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof hintLook, &hintLook);
    hintLook.lfHeight = MulDiv(hintLook.lfHeight, dpi, vnt::systemDpi());
    HFONT hintFont = CreateFontIndirectW(&hintLook);
    SetWindowTextW(hint.hwnd(), L"Press Enter to take snapshot.");
    SendMessageW(hint.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(hintFont), FALSE);
    hint.SetTextColor(RGB(170, 170, 170));
    hint.SetBkColor(RGB(40, 40, 40));

    HWND linkWindow = CreateWindowExW(0, L"STATIC", L"www.vantor.example", WS_CHILD | WS_VISIBLE, px(200), px(100), px(260),
                                      px(16), host_->hwnd(), reinterpret_cast<HMENU>(2005), GetModuleHandleW(nullptr), nullptr);
    HFONT tahoma = vnt::createFont(L"Tahoma", -12, FW_NORMAL, dpi);
    SendMessageW(linkWindow, WM_SETFONT, reinterpret_cast<WPARAM>(tahoma), FALSE);
    CXHyperLink link;
    ASSERT_TRUE(link.Attach(linkWindow));
    link.SetColours(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));

    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, px(200),
                                px(140), px(480), px(120), host_->hwnd(), reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
    ListView_SetBkColor(list, RGB(40, 40, 40));
    ListView_SetTextBkColor(list, RGB(40, 40, 40));
    ListView_SetTextColor(list, RGB(170, 170, 170));
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = px(900);  // wider than the list: both bars
    ListView_InsertColumn(list, 0, &column);
    for (int i = 0; i < 60; ++i) {
        std::wstring text = L"Photo " + std::to_wstring(i + 1);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        ListView_InsertItem(list, &item);
    }
    HBITMAP skin = toolkit::LoadSkinBitmap(513, dpi);
    ASSERT_NE(skin, nullptr);
    CSkinScrollWnd frame;
    ASSERT_TRUE(frame.Attach(skin, list));
    EXPECT_TRUE(IsWindowVisible(frame.verticalBar().hwnd()));
    EXPECT_TRUE(IsWindowVisible(frame.horizontalBar().hwnd()));

    // A popup beside the host, as the option panels and indicators are.
    CVNTUI_Window popup;
    ASSERT_TRUE(popup.Create(host_->hwnd(), px(110), px(72)));
    EXPECT_TRUE(GetWindowLongPtrW(popup.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(popup.hwnd(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    CGdiPlusBitmapResource check;
    ASSERT_TRUE(check.LoadForDpi(348, dpi));
    check.draw(popup.backBuffer().dc(), 0, px(8));
    RECT hoverRow{0, px(28), px(110), px(48)};
    popup.backBuffer().fill(hoverRow, RGB(102, 102, 102));
    SetWindowPos(popup.hwnd(), nullptr, 40 + px(470), 40 + px(300), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pump();

    // The popup shows its back buffer.
    testsupport::WindowPixels popupPixels(popup.hwnd());
    EXPECT_EQ(popupPixels.at(px(50), px(60)), RGB(40, 40, 40));
    EXPECT_EQ(popupPixels.at(px(50), px(38)), RGB(102, 102, 102));

    // The header band and the picture of a tab are on the screen.
    testsupport::WindowPixels hostPixels(host_->hwnd());
    EXPECT_EQ(hostPixels.at(px(10), px(10)), RGB(61, 179, 204));
    EXPECT_EQ(hostPixels.at(px(600), px(470)), RGB(40, 40, 40));
    testsupport::saveWindowImage(host_->hwnd(), L"toolkit-gallery");

    // The hint in each language, in its box, as a person would see it.
    const struct {
        LANGID language;
        const wchar_t* name;
    } languages[] = {{VNTLanguageSelector::kEnglish, L"en"},
                     {VNTLanguageSelector::kTraditionalChinese, L"zh-TW"},
                     {VNTLanguageSelector::kJapanese, L"ja"}};
    for (const auto& l : languages) {
        std::wstring text;
        ASSERT_TRUE(VNTLanguageSelector::loadString(l.language, IDS_PRESS_ENTER_HINT, text));
        SetWindowTextW(hint.hwnd(), text.c_str());
        EXPECT_TRUE(toolkittest::textFits(hint.hwnd())) << "language " << l.language;
        const std::wstring name = L"toolkit-gallery-" + std::to_wstring(dpi) + L"dpi-" + l.name;
        testsupport::saveWindowImage(host_->hwnd(), name.c_str());
    }
    frame.Detach();
    DestroyWindow(list);
    DeleteObject(skin);
    DeleteObject(tahoma);
    DeleteObject(hintFont);
}
