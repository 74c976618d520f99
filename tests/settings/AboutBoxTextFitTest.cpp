// The About box's template at the display's scale: its font at the window's DPI and every line
// whole inside its control in every language.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "resources/resource.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TextFit.h"
#include "tests/support/WindowImage.h"
#include "ui/CVNTUI_Skeo_AboutBox.h"

namespace {

// The template's font: 9 points.
constexpr int kBoxPoints = 9;

}  // namespace

TEST(AboutBoxTextFitTest, EveryLineFitsInEveryLanguageInAFontOfTheDpi) {
    const struct {
        LANGID id;
        const wchar_t* name;
    } languages[] = {{VNTLanguageSelector::kEnglish, L"en"},
                     {VNTLanguageSelector::kTraditionalChinese, L"zh-TW"},
                     {VNTLanguageSelector::kJapanese, L"ja"}};
    VNTLanguageSelector& language = VNTLanguageSelector::instance();
    CVNTUI_Skeo_AboutBox box;
    std::vector<std::function<void()>> script;
    for (const auto& l : languages) {
        script.push_back([&, l] {
            SCOPED_TRACE(l.id);
            HWND b = box.hwnd();
            ASSERT_NE(b, nullptr);
            language.setLanguage(l.id);
            box.SetFirmwareVersion(L"1.07");
            const int dpi = vnt::windowDpi(b);
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(b, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_EQ(font.lfHeight, -MulDiv(kBoxPoints, dpi, 72)) << "the box's font is not at " << dpi;
            const auto misfits = testsupport::textMisfits(b);
            EXPECT_TRUE(misfits.empty()) << testsupport::describe(misfits);
            testsupport::saveWindowImage(b, (std::wstring(L"about-fit-") + l.name + L"-" + std::to_wstring(dpi)).c_str());
        });
    }
    script.push_back([&] { box.Close(); });
    EXPECT_EQ(testsupport::runScripted([&] { return box.DoModal(nullptr); }, std::move(script)), IDOK);
    language.setLanguage(VNTLanguageSelector::kEnglish);
}
