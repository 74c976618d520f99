// The settings sheet's base: its buttons, its texts in each language, and that only its buttons close it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "tests/support/SheetScript.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CVNTUI_PropertySheet.h"

using toolkittest::ToolkitTest;

namespace {

constexpr UINT kTestPage = 101;

class TestPage : public CVNTUI_PropertyPage {
public:
    TestPage() : CVNTUI_PropertyPage(kTestPage) {}
    int applied = 0;
    int reset = 0;
    int reloaded = 0;

protected:
    bool OnApply() override {
        ++applied;
        return true;
    }
    void OnReset() override { ++reset; }
    void ReloadTexts() override { ++reloaded; }
};

// Steps run one after another inside the sheet's own message loop.
std::wstring text(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring stringOf(UINT id) {
    std::wstring s;
    VNTLanguageSelector::instance().loadString(id, s);
    return s;
}

RECT rectIn(HWND window, HWND parent) {
    RECT rc{};
    GetWindowRect(window, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::wstring tabText(HWND sheet) {
    wchar_t buffer[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 128;
    TabCtrl_GetItem(PropSheet_GetTabControl(sheet), 0, &item);
    return buffer;
}

}  // namespace

class PropertySheetTest : public ToolkitTest {
protected:
    INT_PTR run(CVNTUI_PropertySheet& sheet, std::vector<std::function<void()>> script) {
        return testsupport::runSheet(sheet, host_->hwnd(), std::move(script));
    }
};

TEST_F(PropertySheetTest, OnlyOkAndCancelShowInTheBottomRightCornerAndKeysDoNotCloseIt) {
    VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish);
    TestPage page;
    CVNTUI_PropertySheet sheet;
    sheet.AddPage(&page);
    HWND window = nullptr;
    const INT_PTR result = run(sheet, {
        [&] {
            window = sheet.hwnd();
            ASSERT_NE(window, nullptr);
            EXPECT_FALSE(IsWindowEnabled(host_->hwnd())) << "the owner waits while the sheet is open";
            HWND ok = GetDlgItem(window, IDOK), cancel = GetDlgItem(window, IDCANCEL);
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 0x3021))) << "Apply hidden";
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 9))) << "Help hidden";
            RECT client;
            GetClientRect(window, &client);
            const RECT c = rectIn(cancel, window), o = rectIn(ok, window);
            // 8 pixels at 96 DPI.
            const int margin = vnt::scalePx(8, vnt::windowDpi(window));
            EXPECT_EQ(c.right, client.right - margin);
            EXPECT_EQ(c.bottom, client.bottom - margin);
            EXPECT_EQ(o.right, c.left - margin);
            EXPECT_EQ(o.bottom, client.bottom - margin);
            EXPECT_EQ(text(window), L"Settings");
            EXPECT_EQ(text(ok), L"OK");
            EXPECT_EQ(text(cancel), stringOf(9002));
            EXPECT_EQ(tabText(window), L"Settings") << "a single page's tab reads as the caption";
            HWND edit = GetDlgItem(PropSheet_GetCurrentPageHwnd(window), 1001);
            SetFocus(edit);
            PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
        },
        [&] {
            EXPECT_TRUE(IsWindow(window));
            EXPECT_NE(PropSheet_GetCurrentPageHwnd(window), nullptr) << "Enter and Escape left the sheet open";
            PropSheet_PressButton(window, PSBTN_CANCEL);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(page.applied, 0);
    EXPECT_EQ(page.reset, 1);
    EXPECT_TRUE(IsWindowEnabled(host_->hwnd()));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(PropertySheetTest, OkAppliesTheChangesAndTheCaptionFollowsTheLanguage) {
    VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kJapanese);
    TestPage page;
    CVNTUI_PropertySheet sheet;
    sheet.AddPage(&page);
    sheet.SetPreferredPosition(123, 77);
    const INT_PTR result = run(sheet, {
        [&] {
            HWND window = sheet.hwnd();
            std::wstring ja;
            ASSERT_TRUE(VNTLanguageSelector::loadString(VNTLanguageSelector::kJapanese, 9200, ja));
            EXPECT_EQ(text(window), ja);
            EXPECT_NE(ja, L"Settings");
            RECT rc;
            GetWindowRect(window, &rc);
            EXPECT_EQ(rc.left, 123) << "moved to the preferred x";
            const int reloadsBefore = page.reloaded;
            VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kTraditionalChinese);
            std::wstring zh, ok;
            ASSERT_TRUE(VNTLanguageSelector::loadString(VNTLanguageSelector::kTraditionalChinese, 9200, zh));
            ASSERT_TRUE(VNTLanguageSelector::loadString(VNTLanguageSelector::kTraditionalChinese, 9001, ok));
            EXPECT_EQ(text(window), zh) << "re-texted at once";
            EXPECT_EQ(tabText(window), zh);
            EXPECT_EQ(text(GetDlgItem(window, IDOK)), ok);
            EXPECT_GT(page.reloaded, reloadsBefore) << "the page reloads its texts too";
            PropSheet_PressButton(window, PSBTN_OK);
        },
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(page.applied, 1);
    VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish);
}
