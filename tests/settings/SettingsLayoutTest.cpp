// The settings sheet at the display's scale: every page laid out from its dialog units in a font
// of the window's DPI, no text wider or taller than its control in any language, and OK and Cancel
// in the corner with the margin of that DPI.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "resources/resource.h"
#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"
#include "settings/VNTSkeoRegedit.h"
#include "tests/settings/SettingsSheetFixture.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TextFit.h"
#include "tests/support/WindowImage.h"

namespace {

// The pages' template font: 8 points.
constexpr int kPagePoints = 8;
constexpr int kButtonMargin96 = 8;

struct Language {
    LANGID id;
    const wchar_t* name;
};
const Language kLanguages[] = {{VNTLanguageSelector::kEnglish, L"en"},
                               {VNTLanguageSelector::kTraditionalChinese, L"zh-TW"},
                               {VNTLanguageSelector::kJapanese, L"ja"}};

RECT rectIn(HWND window, HWND parent) {
    RECT rc{};
    GetWindowRect(window, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

int fontHeight(HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!handle || !GetObjectW(handle, sizeof font, &font)) return 0;
    return font.lfHeight;
}

}  // namespace

class SettingsLayoutTest : public SettingsSheetFixture {};

TEST_F(SettingsLayoutTest, EveryPageIsInAFontOfTheDpiAndEveryTextFitsInEveryLanguage) {
    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    sheet.generalPage().setDeviceNames({L"Skeo document camera", L"Pello"});
    sheet.generalPage().setCurrentDevice(L"Skeo document camera");
    sheet.systemPage().setVersionText(L"1.07");
    const INT_PTR result = testsupport::runSheet(sheet, nullptr, {[&] {
        HWND window = sheet.hwnd();
        ASSERT_NE(window, nullptr);
        const int dpi = vnt::windowDpi(window);
        for (const Language& language : kLanguages) {
            SCOPED_TRACE(language.id);
            VNTLanguageSelector::instance().setLanguage(language.id);
            for (int p = 0; p < 3; ++p) {
                SCOPED_TRACE(p);
                PropSheet_SetCurSel(window, nullptr, p);
                HWND page = PropSheet_IndexToHwnd(window, p);
                ASSERT_NE(page, nullptr);
                EXPECT_EQ(fontHeight(page), -MulDiv(kPagePoints, dpi, 72)) << "the page's font is not at " << dpi;
                const auto misfits = testsupport::textMisfits(page);
                EXPECT_TRUE(misfits.empty()) << testsupport::describe(misfits);
                const std::wstring name = L"settings-layout-" + std::to_wstring(p) + L"-" + language.name + L"-" +
                                          std::to_wstring(dpi);
                testsupport::saveWindowImage(window, name.c_str());
            }
            const auto misfits = testsupport::textMisfits(window);
            EXPECT_TRUE(misfits.empty()) << "the sheet's buttons: " << testsupport::describe(misfits);
        }
        PropSheet_PressButton(window, PSBTN_CANCEL);
    }});
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(SettingsLayoutTest, OkAndCancelSitInTheCornerWithTheMarginOfTheDpi) {
    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    const INT_PTR result = testsupport::runSheet(sheet, nullptr, {[&] {
        HWND window = sheet.hwnd();
        ASSERT_NE(window, nullptr);
        const int margin = vnt::scalePx(kButtonMargin96, vnt::windowDpi(window));
        RECT client{};
        GetClientRect(window, &client);
        const RECT ok = rectIn(GetDlgItem(window, IDOK), window);
        const RECT cancel = rectIn(GetDlgItem(window, IDCANCEL), window);
        EXPECT_EQ(cancel.right, client.right - margin);
        EXPECT_EQ(cancel.bottom, client.bottom - margin);
        EXPECT_EQ(ok.right, cancel.left - margin);
        EXPECT_EQ(ok.bottom, client.bottom - margin);
        // Below every page, so no button covers a page's control.
        for (int p = 0; p < 3; ++p) {
            PropSheet_SetCurSel(window, nullptr, p);
            EXPECT_LE(rectIn(PropSheet_IndexToHwnd(window, p), window).bottom, ok.top) << p;
        }

        // Moved to a monitor of another scale, the sheet puts them back with that monitor's margin.
        const int other = vnt::windowDpi(window) == 192 ? 96 : 192;
        RECT suggested{};
        GetWindowRect(window, &suggested);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
        const RECT moved = rectIn(GetDlgItem(window, IDCANCEL), window);
        GetClientRect(window, &client);
        EXPECT_EQ(moved.right, client.right - vnt::scalePx(kButtonMargin96, other));
        PropSheet_PressButton(window, PSBTN_CANCEL);
    }});
    EXPECT_EQ(result, IDCANCEL);
}
