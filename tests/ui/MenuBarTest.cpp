// The bar as the main dialog uses it: its layout at both sizes, which items each mode shows, the
// values it reflects, its texts in the three languages, the keys it hands on and how it looks.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "resources/StringIds.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowPixels.h"
#include "tests/ui/MenuBarFixture.h"
#include "ui/MenuBarLayout.h"

using testsupport::WindowPixels;
using uitest::Command;
using uitest::MenuBarTest;

namespace {

bool hasStyleVisible(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// Whether any pixel of the rectangle passes the test.
bool anyPixel(const WindowPixels& pixels, const RECT& r, const std::function<bool(COLORREF)>& test) {
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (test(pixels.at(x, y))) return true;
        }
    }
    return false;
}

bool notBackground(COLORREF c) { return c != RGB(40, 40, 40); }
bool white(COLORREF c) { return c == RGB(255, 255, 255); }

}  // namespace

TEST_F(MenuBarTest, ItemsAreLaidOutAtTheDockedAndTheFloatingSizeAndHeightTwentyIsIgnored) {
    const skeo::DisplayScale scale = this->scale();
    const int dockedHeight = bar().dockedSize().height, floatingHeight = bar().floatingSize().height;
    EXPECT_EQ(dockedHeight, scale.px(menubar::kDockedHeight));
    EXPECT_EQ(floatingHeight, scale.px(menubar::kFloatingHeight));
    for (int height : {dockedHeight, floatingHeight}) {
        SCOPED_TRACE(height);
        if (height == dockedHeight) dock(); else floatBar();
        for (int id = 1100; id <= 1109; ++id) {
            menubar::Span span;
            ASSERT_TRUE(menubar::itemSpan(id, height, span, scale));
            const RECT rc = item(id).GetRectInParent();
            EXPECT_EQ(rc.left, span.left) << id;
            EXPECT_EQ(rc.right - rc.left, span.width) << id;
            EXPECT_EQ(rc.top, 0) << id;
            EXPECT_EQ(rc.bottom, height) << id;
        }
    }
    SetWindowPos(bar().hwnd(), nullptr, 0, 0, bar().dockedSize().width, scale.px(20), SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(item(IDC_MENU_TIMER).GetRectInParent().bottom, floatingHeight);
    EXPECT_EQ(item(IDC_MENU_TIMER).GetRectInParent().left, scale.px(117));
}

TEST_F(MenuBarTest, TheEscButtonShowsWholeOnlyInTheFloatingBar) {
    HWND button = GetDlgItem(item(IDC_MENU_ESC).hwnd(), IDC_MENU_ESC_BUTTON);
    ASSERT_NE(button, nullptr);
    RECT barRect{}, buttonRect{};
    GetWindowRect(bar().hwnd(), &barRect);
    GetWindowRect(button, &buttonRect);
    EXPECT_GE(buttonRect.left, barRect.right) << "cut off by the docked bar's edge";

    floatBar();
    const skeo::DisplayScale scale = this->scale();
    GetWindowRect(bar().hwnd(), &barRect);
    GetWindowRect(button, &buttonRect);
    EXPECT_EQ(buttonRect.right - buttonRect.left, scale.px(40));
    EXPECT_EQ(buttonRect.bottom - buttonRect.top, scale.px(23));
    EXPECT_LE(buttonRect.right, barRect.right);
    EXPECT_GT(buttonRect.left, barRect.right - scale.px(60));
    EXPECT_EQ(buttonRect.top - barRect.top, menubar::escButtonTop(bar().floatingSize().height, scale));

    SendMessageW(button, BM_CLICK, 0, 0);
    pump();
    int leaves = 0;
    for (const auto& r : host_->records()) leaves += r.message == MSG_LEAVE_FULLSCREEN;
    EXPECT_EQ(leaves, 1);
}

TEST_F(MenuBarTest, EachModeShowsItsItemsAndAutoOnlyForExposureControlKindOne) {
    struct Case {
        int mode;
        int kind;
        bool autoShown;
    };
    for (bool kindFirst : {true, false}) {
        for (const Case& c : {Case{0, 0, false}, Case{0, 1, true}, Case{0, 2, false}, Case{1, 1, false}, Case{1, 0, false},
                              Case{0, 1, true}}) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " kind " << c.kind << (kindFirst ? " kind first" : ""));
            if (kindFirst) {
                bar().SetExposureControlKind(c.kind);
                bar().SetMode(c.mode);
            } else {
                bar().SetMode(c.mode);
                bar().SetExposureControlKind(c.kind);
            }
            EXPECT_EQ(hasStyleVisible(item(IDC_MENU_EXPOSURE_MODE).hwnd()), c.autoShown);
            for (int id : {1100, 1101, 1102, 1103, 1104, 1106}) EXPECT_EQ(hasStyleVisible(item(id).hwnd()), c.mode == 0) << id;
            for (int id : {1107, 1108, 1109}) EXPECT_EQ(hasStyleVisible(item(id).hwnd()), c.mode == 1) << id;
        }
    }
    bar().SetMode(7);
    EXPECT_EQ(bar().mode(), 0) << "an unknown mode changes nothing";
}

TEST_F(MenuBarTest, ResizingInPhotoModeKeepsThePhotoItems) {
    bar().SetMode(1);
    floatBar();
    dock();
    for (int id : {1107, 1108, 1109}) EXPECT_TRUE(hasStyleVisible(item(id).hwnd())) << id;
    for (int id : {1100, 1101, 1102, 1103, 1104, 1105, 1106}) EXPECT_FALSE(hasStyleVisible(item(id).hwnd())) << id;
}

TEST_F(MenuBarTest, ReflectedChoicesShowAsValuesAndOtherIdsChangeNothing) {
    struct Case {
        int id;
        int itemId;
        const wchar_t* value;
        UINT icon;
    };
    for (const Case& c : {Case{ID_ZOOM_CAM_2_5X, 1100, L"2.5x", 0}, Case{ID_TIMER_3_SEC, 1101, L"3 sec", 0},
                          Case{ID_RESOLUTION_640X480, 1103, L"640x480", 0}, Case{ID_EXPOSURE_MINUS1, 1104, L"-1", 0},
                          Case{ID_EXPOSURE_MODE_OFF, 1105, L"", 367}, Case{ID_EXPOSURE_MODE_ON, 1105, L"", 366}}) {
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(bar().ReflectCameraCommand(0, c.id));
        EXPECT_EQ(item(c.itemId).valueText(), c.value);
        EXPECT_EQ(item(c.itemId).valueIconId(), c.icon);
    }
    EXPECT_EQ(item(1105).hoverIconId(), 365u) << "the auto item's look while hovered with its panel open";
    EXPECT_TRUE(bar().ReflectPhotoCommand(ID_ZOOM_PIC_250));
    EXPECT_EQ(item(IDC_MENU_ZOOM_PIC).valueText(), L"250%");

    for (int id : {0, -1, 32800, 32807, 32810, 32817, 32820, 32824, 32830, 32833, 32840, 32847, ID_ZOOM_PIC_100,
                   ID_ROTATE_LEFT, ID_DELETE_PHOTO}) {
        EXPECT_FALSE(bar().ReflectCameraCommand(1, id)) << id;
    }
    for (int id : {0, 32850, 32857, 32863, 32870, 32873, ID_ZOOM_CAM_1X, ID_TIMER_OFF}) {
        EXPECT_FALSE(bar().ReflectPhotoCommand(id)) << id;
    }
    EXPECT_EQ(item(1100).valueText(), L"2.5x");
    EXPECT_EQ(item(1101).valueText(), L"3 sec");
    EXPECT_EQ(item(1103).valueText(), L"640x480");
    EXPECT_EQ(item(1104).valueText(), L"-1");
    EXPECT_EQ(item(1107).valueText(), L"250%");
    EXPECT_TRUE(commands().empty()) << "reflecting sends nothing back";
}

TEST_F(MenuBarTest, MirrorTicksAndItsValueText) {
    struct Case {
        int horizontal;
        int vertical;
        const wchar_t* value;  // null: the language's "Off"
    };
    for (LANGID language : {uitest::kEnglish, uitest::kChinese, uitest::kJapanese}) {
        setLanguage(language);
        bar().ReloadTexts();
        for (const Case& c : {Case{1, 0, L"H"}, Case{1, 1, L"H + V"}, Case{0, 1, L"V"}, Case{0, 0, nullptr},
                              Case{5, -3, L"H + V"}}) {
            SCOPED_TRACE(testing::Message() << language << ": " << c.horizontal << " " << c.vertical);
            EXPECT_TRUE(bar().ReflectCameraCommand(c.horizontal, ID_MIRROR_HORIZONTAL));
            EXPECT_TRUE(bar().ReflectCameraCommand(c.vertical, ID_MIRROR_VERTICAL));
            EXPECT_EQ(item(IDC_MENU_MIRROR).titleText(), text(language, IDS_MENU_MIRROR));
            EXPECT_EQ(item(IDC_MENU_MIRROR).valueText(), c.value ? c.value : text(language, IDS_TIMER_OFF));
            EXPECT_EQ(bar().mirrorPanel().row(0).tick, c.horizontal ? 1 : 0);
            EXPECT_EQ(bar().mirrorPanel().row(1).tick, c.vertical ? 1 : 0);
        }
    }
}

TEST_F(MenuBarTest, ChoosingAMirrorRowTurnsItsTickOverAndSendsTheNewState) {
    CVNTUI_Skeo_MenuShow& panel = bar().mirrorPanel();
    press(IDC_MENU_MIRROR);
    clickRow(panel, 0);
    press(IDC_MENU_MIRROR);
    clickRow(panel, 1);
    press(IDC_MENU_MIRROR);
    clickRow(panel, 0);
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_MIRROR_HORIZONTAL, 1}, {ID_MIRROR_VERTICAL, 1}, {ID_MIRROR_HORIZONTAL, 0}}));
    EXPECT_EQ(panel.selectedRow(), -1) << "ticks, no selection";

    // The ticked row shows the check mark, the other does not.
    press(IDC_MENU_MIRROR);
    WindowPixels pixels(panel.hwnd());
    const skeo::DisplayScale scale = this->scale();
    const auto markOf = [&scale](int row) {
        return RECT{scale.px(2), menubar::rowTop(row, scale) + scale.px(2), scale.px(30),
                    menubar::rowTop(row, scale) + scale.px(18)};
    };
    const RECT horizontalMark = markOf(0), verticalMark = markOf(1);
    EXPECT_FALSE(anyPixel(pixels, horizontalMark, [](COLORREF c) { return notBackground(c) && c != RGB(102, 102, 102); }));
    EXPECT_TRUE(anyPixel(pixels, verticalMark, notBackground));
    key(panel.hwnd(), VK_ESCAPE);
}

TEST_F(MenuBarTest, TheExposureItemOpensTheStepsOrTheSliderByWhatWasReflectedLast) {
    CVNTUI_Skeo_Menu& exposure = item(IDC_MENU_EXPOSURE);
    const skeo::DisplayScale scale = this->scale();
    const int w = scale.px(95), h = bar().dockedSize().height;
    ASSERT_EQ(exposure.GetClientRect().right, w);
    const RECT arrow{menubar::arrowLeft(w, scale), 0, menubar::arrowLeft(w, scale) + scale.px(7), h};
    const RECT mark{menubar::sliderMarkLeft(w, scale), 0, w - scale.px(3), h};

    EXPECT_TRUE(bar().ReflectCameraCommand(0, ID_EXPOSURE_0));
    EXPECT_FALSE(exposure.sliderMode());
    EXPECT_EQ(exposure.valueText(), L"0");
    {
        WindowPixels pixels(exposure.hwnd());
        EXPECT_TRUE(anyPixel(pixels, arrow, notBackground)) << "the drop-down arrow";
        EXPECT_FALSE(anyPixel(pixels, mark, notBackground));
    }
    press(IDC_MENU_EXPOSURE);
    EXPECT_TRUE(bar().exposurePanel().IsOpen());
    EXPECT_FALSE(bar().exposureSliderPanel().IsOpen());

    // Reflecting a level while the step list is open closes it and puts the slider under the item.
    EXPECT_TRUE(bar().ReflectCameraCommand(7, ID_EXPOSURE_LEVEL));
    EXPECT_FALSE(bar().exposurePanel().IsOpen());
    EXPECT_TRUE(exposure.sliderMode());
    EXPECT_EQ(exposure.valueText(), L"7");
    EXPECT_EQ(bar().exposureSliderPanel().slider().GetPos(), 9);
    {
        WindowPixels pixels(exposure.hwnd());
        EXPECT_FALSE(anyPixel(pixels, arrow, notBackground)) << "no arrow in slider mode";
        EXPECT_TRUE(anyPixel(pixels, mark, notBackground)) << "the \"-\" instead";
    }
    press(IDC_MENU_EXPOSURE);
    EXPECT_TRUE(bar().exposureSliderPanel().IsOpen());
    EXPECT_FALSE(bar().exposurePanel().IsOpen());

    EXPECT_TRUE(bar().ReflectCameraCommand(0, ID_EXPOSURE_PLUS2));
    EXPECT_FALSE(exposure.sliderMode());
    EXPECT_EQ(exposure.valueText(), L"+2");
    press(IDC_MENU_EXPOSURE);
    EXPECT_TRUE(bar().exposurePanel().IsOpen());
    key(bar().exposurePanel().hwnd(), VK_ESCAPE);
}

TEST_F(MenuBarTest, TheExposureSliderReportsLevelsOneToFifteenOnly) {
    bar().ReflectCameraCommand(4, ID_EXPOSURE_LEVEL);
    CVNTUI_Skeo_MenuShow_ExposureSlider& panel = bar().exposureSliderPanel();
    CGdipSlider& slider = panel.slider();
    press(IDC_MENU_EXPOSURE);
    ASSERT_TRUE(panel.IsOpen());
    EXPECT_EQ(slider.GetPos(), 12);
    const skeo::DisplayScale scale = this->scale();
    const RECT sliderRect = slider.GetRectInParent();
    EXPECT_EQ(sliderRect.left, 0);
    EXPECT_EQ(sliderRect.top, scale.px(8));
    EXPECT_EQ(sliderRect.right, scale.px(95));
    EXPECT_EQ(sliderRect.bottom, menubar::rowTop(8, scale)) << "over the eight rows above Default";

    // One step up from 12 is level 5, then the top and the bottom ends, hammered.
    SendMessageW(slider.hwnd(), WM_KEYDOWN, VK_UP, 1);
    std::vector<Command> sent = commands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], (Command{ID_EXPOSURE_LEVEL, 5}));
    for (UINT vk : {VK_HOME, VK_PRIOR, VK_UP, VK_LEFT, VK_ADD, VK_END, VK_NEXT, VK_DOWN, VK_RIGHT, VK_SUBTRACT}) {
        for (int i = 0; i < 18; ++i) SendMessageW(slider.hwnd(), WM_KEYDOWN, vk, 1);
    }
    // And dragged beyond both ends of the track.
    for (int y : {80, -900, -1, 0, 159, 160, 2000, 40}) {
        SendMessageW(slider.hwnd(), y == 80 ? WM_LBUTTONDOWN : WM_MOUSEMOVE, MK_LBUTTON,
                     MAKELPARAM(scale.px(67), static_cast<WORD>(scale.px(y))));
    }
    SendMessageW(slider.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(scale.px(67), scale.px(40)));
    sent = commands();
    ASSERT_FALSE(sent.empty());
    bool sawTop = false, sawBottom = false;
    for (const Command& c : sent) {
        EXPECT_EQ(c.id, ID_EXPOSURE_LEVEL);
        EXPECT_GE(c.value, 1);
        EXPECT_LE(c.value, 15);
        sawTop |= c.value == 15;
        sawBottom |= c.value == 1;
    }
    EXPECT_TRUE(sawTop && sawBottom) << "both ends reached";
    EXPECT_EQ(panel.level(), 16 - slider.GetPos());
    EXPECT_TRUE(panel.IsOpen()) << "moving the slider keeps the panel open";

    // Wild levels from the main dialog stay on the scale.
    struct Wild {
        int level, position;
    };
    for (const Wild& w : {Wild{0, 15}, Wild{-5, 15}, Wild{16, 1}, Wild{1000, 1}, Wild{15, 1}, Wild{1, 15}}) {
        EXPECT_TRUE(bar().ReflectCameraCommand(w.level, ID_EXPOSURE_LEVEL));
        EXPECT_EQ(slider.GetPos(), w.position) << w.level;
        EXPECT_EQ(item(IDC_MENU_EXPOSURE).valueText(), std::to_wstring(16 - w.position)) << w.level;
    }

    // "Default" under the slider brings the level back to 4; the placeholder rows choose nothing.
    press(IDC_MENU_EXPOSURE);
    for (int row = 0; row < 8; ++row) clickRow(panel, row);
    EXPECT_TRUE(commands().empty());
    clickRow(panel, 8);
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_EXPOSURE_LEVEL, 4}}));
    EXPECT_EQ(slider.GetPos(), 12);
    EXPECT_FALSE(panel.IsOpen());
}

TEST_F(MenuBarTest, KeysOnTheSliderThatBelongToThePanelStillReachIt) {
    bar().ReflectCameraCommand(10, ID_EXPOSURE_LEVEL);
    CVNTUI_Skeo_MenuShow_ExposureSlider& panel = bar().exposureSliderPanel();
    press(IDC_MENU_EXPOSURE);
    SendMessageW(panel.slider().hwnd(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_EXPOSURE_LEVEL, 4}})) << "Enter chooses Default";
    press(IDC_MENU_EXPOSURE);
    SendMessageW(panel.slider().hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(panel.IsOpen());
    EXPECT_TRUE(commands().empty());
}

TEST_F(MenuBarTest, EnterAndEscapeInTheBarGoToTheMainDialogAndNothingElseDoes) {
    const LPARAM data = 0x001C0001;
    SendMessageW(bar().hwnd(), WM_KEYDOWN, VK_RETURN, data);
    SendMessageW(item(IDC_MENU_TIMER).hwnd(), WM_KEYDOWN, VK_ESCAPE, data);
    SendMessageW(bar().hwnd(), WM_KEYDOWN, VK_LEFT, data);
    SendMessageW(item(IDC_MENU_ZOOM_CAM).hwnd(), WM_KEYDOWN, 'A', data);
    // As the dialog manager turns them into commands for the bar.
    SendMessageW(bar().hwnd(), WM_COMMAND, IDOK, 0);
    SendMessageW(bar().hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(keys(), (std::vector<WPARAM>{VK_RETURN, VK_ESCAPE, VK_RETURN, VK_ESCAPE}));
    EXPECT_EQ(host_->records().front().lParam, data);
    EXPECT_TRUE(IsWindowVisible(bar().hwnd())) << "the bar does not end like a dialog";
}

TEST_F(MenuBarTest, TextsFollowTheLanguageInItemsAndPanels) {
    struct Titled {
        int itemId;
        UINT title;
    };
    const Titled titles[] = {{1100, IDS_MENU_ZOOM}, {1101, IDS_MENU_TIMER}, {1102, IDS_MENU_MIRROR},
                             {1103, IDS_MENU_RESOLUTION}, {1104, IDS_MENU_EXPOSURE}, {1105, IDS_MENU_AUTO_EXPOSURE},
                             {1107, IDS_MENU_ZOOM}, {1108, IDS_MENU_ROTATE}, {1109, IDS_MENU_DELETE}};
    struct Rows {
        CVNTUI_Skeo_MenuShow* panel;
        std::vector<UINT> strings;
    };
    const std::vector<Rows> translated = {
        {&bar().zoomCamPanel(), {IDS_ZOOM_1X, IDS_ZOOM_1_25X, IDS_ZOOM_1_5X, IDS_ZOOM_2X, IDS_ZOOM_2_5X, IDS_ZOOM_3X}},
        {&bar().timerPanel(), {IDS_TIMER_OFF, IDS_TIMER_3_SEC, IDS_TIMER_10_SEC}},
        {&bar().mirrorPanel(), {IDS_MIRROR_HORIZONTAL, IDS_MIRROR_VERTICAL}},
        {&bar().exposureModePanel(), {IDS_AUTO_EXPOSURE_ON, IDS_AUTO_EXPOSURE_OFF}},
        {&bar().rotatePanel(), {IDS_ROTATE_RIGHT, IDS_ROTATE_LEFT}},
    };
    struct Fixed {
        CVNTUI_Skeo_MenuShow* panel;
        std::vector<std::wstring> texts;
    };
    const std::vector<Fixed> fixed = {
        {&bar().resolutionPanel(), {L"1600x1200", L"1280x1024", L"1024x768", L"800x600", L"640x480", L"320x240"}},
        {&bar().exposurePanel(), {L"+2", L"+1", L"0", L"-1", L"-2"}},
        {&bar().zoomPicPanel(), {L"100%", L"125%", L"150%", L"200%", L"250%", L"300%"}},
    };
    bar().ReflectCameraCommand(0, ID_RESOLUTION_1024X768);
    for (LANGID language : {uitest::kChinese, uitest::kJapanese, uitest::kEnglish}) {
        SCOPED_TRACE(language);
        setLanguage(language);
        bar().ReloadTexts();
        for (const Titled& t : titles) EXPECT_EQ(item(t.itemId).titleText(), text(language, t.title)) << t.itemId;
        for (const Rows& r : translated) {
            ASSERT_EQ(r.panel->rowCount(), static_cast<int>(r.strings.size()));
            for (int i = 0; i < r.panel->rowCount(); ++i) EXPECT_EQ(r.panel->row(i).text, text(language, r.strings[i]));
        }
        for (const Fixed& f : fixed) {
            for (int i = 0; i < f.panel->rowCount(); ++i) EXPECT_EQ(f.panel->row(i).text, f.texts[i]);
        }
        EXPECT_EQ(item(IDC_MENU_ZOOM_CAM).valueText(), language == uitest::kJapanese ? L"x1" : L"1x");
        EXPECT_EQ(item(IDC_MENU_TIMER).valueText(), text(language, IDS_TIMER_OFF));
        EXPECT_EQ(item(IDC_MENU_RESOLUTION).valueText(), L"1024x768") << "resolutions stay English";
        EXPECT_EQ(bar().exposureSliderPanel().row(8).text, text(language, IDS_EXPOSURE_DEFAULT))
            << "the exposure panel the item does not show follows too";
    }
}

TEST_F(MenuBarTest, AHoveredItemTurnsWhiteAndAHoveredRowGrey) {
    CVNTUI_Skeo_Menu& timer = item(IDC_MENU_TIMER);
    const skeo::DisplayScale scale = this->scale();
    const int w = scale.px(110), h = bar().dockedSize().height;
    const RECT texts{menubar::itemTextLeft(scale), 0, menubar::arrowLeft(w, scale), h};
    {
        WindowPixels pixels(timer.hwnd());
        EXPECT_FALSE(anyPixel(pixels, texts, white));
        EXPECT_TRUE(anyPixel(pixels, texts, [](COLORREF c) { return c == RGB(170, 170, 170); })) << "grey text";
        EXPECT_EQ(pixels.at(w - scale.px(2), h / 2), RGB(85, 85, 85)) << "trailing separator";
        EXPECT_EQ(pixels.at(w - 1, h / 2), RGB(85, 85, 85)) << "trailing separator";
        EXPECT_EQ(pixels.at(scale.px(2), scale.px(1)), RGB(40, 40, 40));
    }
    RECT rc{};
    GetWindowRect(timer.hwnd(), &rc);
    SetCursorPos(rc.left + scale.px(30), rc.top + scale.px(10));
    SendMessageW(timer.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(scale.px(30), scale.px(10)));
    EXPECT_TRUE(timer.hovered());
    {
        WindowPixels pixels(timer.hwnd());
        EXPECT_TRUE(anyPixel(pixels, texts, white)) << "white text";
    }

    CVNTUI_Skeo_MenuShow& panel = bar().timerPanel();
    press(IDC_MENU_TIMER);
    const auto rowTop = [&scale](int row) { return menubar::rowTop(row, scale); };
    SendMessageW(panel.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(scale.px(60), rowTop(1) + scale.px(5)));
    WindowPixels rows(panel.hwnd());
    EXPECT_EQ(rows.at(scale.px(5), rowTop(1) + scale.px(2)), RGB(102, 102, 102)) << "hovered row";
    EXPECT_EQ(rows.at(scale.px(100), rowTop(1) + scale.px(2)), RGB(102, 102, 102));
    EXPECT_EQ(rows.at(scale.px(100), rowTop(0) + scale.px(2)), RGB(40, 40, 40)) << "the row left";
    EXPECT_TRUE(anyPixel(rows, RECT{scale.px(2), rowTop(0) + scale.px(2), scale.px(30), rowTop(0) + scale.px(18)},
                         notBackground))
        << "the selected row's check mark";
    EXPECT_TRUE(anyPixel(rows, RECT{scale.px(32), rowTop(2), scale.px(100), rowTop(3)}, white)) << "row text";
    const int frame = scale.px(1), panelWidth = scale.px(110), panelHeight = panel.panelHeight();
    EXPECT_EQ(panel.panelWidth(), panelWidth);
    for (int inset = 0; inset < frame; ++inset) {
        EXPECT_EQ(rows.at(inset, scale.px(40)), RGB(51, 51, 51)) << "frame";
        EXPECT_EQ(rows.at(panelWidth - 1 - inset, scale.px(40)), RGB(51, 51, 51));
        EXPECT_EQ(rows.at(scale.px(50), panelHeight - 1 - inset), RGB(51, 51, 51));
    }
    EXPECT_EQ(rows.at(frame, rowTop(2) + scale.px(2)), RGB(40, 40, 40)) << "as wide as one pixel at 96 DPI";
    EXPECT_EQ(rows.at(scale.px(50), 0), RGB(40, 40, 40)) << "no top line";
    key(panel.hwnd(), VK_ESCAPE);
}

TEST_F(MenuBarTest, TheDeleteItemHasNoArrow) {
    struct Case {
        int itemId;
        int mode;
        int width;
        bool arrow;
    };
    const skeo::DisplayScale scale = this->scale();
    for (const Case& c : {Case{IDC_MENU_TIMER, 0, 110, true}, Case{IDC_MENU_DELETE, 1, 110, false},
                          Case{IDC_MENU_ROTATE, 1, 110, true}}) {
        bar().SetMode(c.mode);
        WindowPixels pixels(item(c.itemId).hwnd());
        const int w = scale.px(c.width);
        const RECT arrow{menubar::arrowLeft(w, scale), scale.px(9), menubar::arrowLeft(w, scale) + scale.px(7), scale.px(15)};
        EXPECT_EQ(anyPixel(pixels, arrow, notBackground), c.arrow) << c.itemId;
        EXPECT_EQ(pixels.at(w - scale.px(2), scale.px(12)), RGB(85, 85, 85)) << c.itemId << " separator";
    }
}

TEST_F(MenuBarTest, AnItemStaysLitWhileItsPanelIsOpenAndGoesDarkOnceItClosesUnlessTheCursorIsBack) {
    CVNTUI_Skeo_Menu& timer = item(IDC_MENU_TIMER);
    CVNTUI_Skeo_MenuShow& panel = bar().timerPanel();
    RECT rc{};
    GetWindowRect(timer.hwnd(), &rc);
    const auto waitMs = [](DWORD ms) {
        const ULONGLONG until = GetTickCount64() + ms;
        testsupport::pumpUntil([&] { return GetTickCount64() >= until; });
    };
    for (bool cursorBack : {false, true}) {
        SCOPED_TRACE(cursorBack ? "cursor back on the item" : "cursor away");
        SetCursorPos(rc.left + 30, rc.top + 10);
        SendMessageW(timer.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
        press(IDC_MENU_TIMER);
        ASSERT_TRUE(panel.IsOpen());
        // Down into the panel: the item is left, but lit as long as its list is open.
        SetCursorPos(rc.left + 30, rc.bottom + 30);
        SendMessageW(timer.hwnd(), WM_MOUSELEAVE, 0, 0);
        waitMs(3 * CVNTUI_Skeo_Menu::kLeaveInterval);
        EXPECT_TRUE(timer.hovered());
        if (cursorBack) SetCursorPos(rc.left + 30, rc.top + 10);
        key(panel.hwnd(), VK_ESCAPE);
        waitMs(2 * CVNTUI_Skeo_Menu::kLeaveInterval);
        EXPECT_EQ(timer.hovered(), cursorBack);
        SetCursorPos(rc.left + 30, rc.bottom + 100);
        SendMessageW(timer.hwnd(), WM_MOUSELEAVE, 0, 0);
        EXPECT_FALSE(timer.hovered()) << "with its panel closed, leaving darkens the item at once";
    }
}
