// The menu bar in a test window that stands in for the main dialog: the host receives the bar's
// commands and keys, and is wide enough for the floating bar.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitFixture.h"
#include "ui/CVNTUI_Skeo_MenuBar.h"
#include "ui/DisplayScale.h"

namespace uitest {

struct Command {
    int id;
    LPARAM value;
    bool operator==(const Command& other) const { return id == other.id && value == other.value; }
};
std::ostream& operator<<(std::ostream& out, const Command& c);

class MenuBarTest : public toolkittest::ToolkitTest {
protected:
    // At 96 DPI.
    static constexpr int kHostWidth = 840;
    static constexpr int kHostHeight = 260;

    void SetUp() override;
    void TearDown() override;

    // The DPI the test runs at (the host's) and its scale.
    int dpi() const;
    skeo::DisplayScale scale() const { return skeo::DisplayScale(dpi()); }

    // The bar docked (646 x 24 at 96 DPI) or floating (801 x 30) at the host's top-left, at its DPI.
    void dock();
    void floatBar();

    // The commands the host received since the last call.
    std::vector<Command> commands();
    // Key presses handed to the host.
    std::vector<WPARAM> keys();

    CVNTUI_Skeo_Menu& item(int id);
    // Presses the item, which opens its panel.
    void press(int itemId);
    // Presses the panel at a point of its client area.
    static void click(CVNTUI_Skeo_MenuShow& panel, int x, int y);
    // Presses the row's text, at the panel's DPI.
    static void clickRow(CVNTUI_Skeo_MenuShow& panel, int row);
    static void key(HWND window, UINT vk);
    // Every string the bar should show comes from the table of that language.
    static std::wstring text(LANGID language, UINT stringId);
    static void setLanguage(LANGID language);

    CVNTUI_Skeo_MenuBar& bar() { return *bar_; }

    std::unique_ptr<CVNTUI_Skeo_MenuBar> bar_;
};

constexpr LANGID kEnglish = 1033;
constexpr LANGID kChinese = 1028;
constexpr LANGID kJapanese = 1041;
const wchar_t* languageTag(LANGID language);

}  // namespace uitest
