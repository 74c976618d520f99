// The option panels as the user drives them: every row of every panel reaches the main dialog as
// its command, the keys move and choose, and an open panel goes away when it loses the foreground.
#include <gtest/gtest.h>

#include <vector>

#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/ui/MenuBarFixture.h"

using uitest::Command;
using uitest::MenuBarTest;

namespace {

using PanelOf = CVNTUI_Skeo_MenuShow& (*)(CVNTUI_Skeo_MenuBar&);

struct PanelCase {
    const char* name;
    int itemId;
    int mode;
    PanelOf panel;
    int firstRow;            // the first row that can be chosen
    int exposureLevel;       // reflected first when not 0: puts the slider panel under the item
    std::vector<Command> rows;  // what choosing each row from firstRow on sends
};

std::vector<Command> plain(int first, int last) {
    std::vector<Command> c;
    for (int id = first; id <= last; ++id) c.push_back({id, 0});
    return c;
}

const std::vector<PanelCase>& panelCases() {
    static const std::vector<PanelCase> cases = {
        {"camera zoom", IDC_MENU_ZOOM_CAM, 0, [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.zoomCamPanel(); },
         0, 0, plain(ID_ZOOM_CAM_1X, ID_ZOOM_CAM_3X)},
        {"timer", IDC_MENU_TIMER, 0, [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.timerPanel(); }, 0,
         0, plain(ID_TIMER_OFF, ID_TIMER_10_SEC)},
        {"mirror", IDC_MENU_MIRROR, 0, [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.mirrorPanel(); },
         0, 0, {{ID_MIRROR_HORIZONTAL, 1}, {ID_MIRROR_VERTICAL, 1}}},
        {"resolution", IDC_MENU_RESOLUTION, 0,
         [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.resolutionPanel(); }, 0, 0,
         plain(ID_RESOLUTION_1600X1200, ID_RESOLUTION_320X240)},
        {"exposure steps", IDC_MENU_EXPOSURE, 0,
         [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.exposurePanel(); }, 0, 0,
         plain(ID_EXPOSURE_PLUS2, ID_EXPOSURE_MINUS2)},
        {"exposure slider", IDC_MENU_EXPOSURE, 0,
         [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.exposureSliderPanel(); }, 8, 9,
         {{ID_EXPOSURE_LEVEL, 4}}},
        {"auto exposure", IDC_MENU_EXPOSURE_MODE, 0,
         [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.exposureModePanel(); }, 0, 0,
         plain(ID_EXPOSURE_MODE_ON, ID_EXPOSURE_MODE_OFF)},
        {"photo zoom", IDC_MENU_ZOOM_PIC, 1, [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.zoomPicPanel(); },
         0, 0, plain(ID_ZOOM_PIC_100, ID_ZOOM_PIC_300)},
        {"rotate", IDC_MENU_ROTATE, 1, [](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.rotatePanel(); }, 0,
         0, {{ID_ROTATE_RIGHT, 0}, {ID_ROTATE_LEFT, 0}}},
    };
    return cases;
}

}  // namespace

class MenuPanelTest : public MenuBarTest {
protected:
    CVNTUI_Skeo_MenuShow& prepare(const PanelCase& c) {
        bar().SetExposureControlKind(1);
        bar().SetMode(c.mode);
        if (c.exposureLevel) bar().ReflectCameraCommand(c.exposureLevel, ID_EXPOSURE_LEVEL);
        commands();
        return c.panel(bar());
    }
};

TEST_F(MenuPanelTest, EveryRowOfEveryPanelSendsItsCommandToTheMainDialogAndClosesThePanel) {
    for (const PanelCase& c : panelCases()) {
        SCOPED_TRACE(c.name);
        CVNTUI_Skeo_MenuShow& panel = prepare(c);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            SCOPED_TRACE(i);
            press(c.itemId);
            ASSERT_TRUE(panel.IsOpen());
            RECT itemRect{}, panelRect{};
            GetWindowRect(item(c.itemId).hwnd(), &itemRect);
            GetWindowRect(panel.hwnd(), &panelRect);
            EXPECT_EQ(panelRect.left, itemRect.left - scale().px(1)) << "directly under the item";
            EXPECT_EQ(panelRect.top, itemRect.bottom);
            clickRow(panel, c.firstRow + static_cast<int>(i));
            EXPECT_FALSE(panel.IsOpen());
            EXPECT_EQ(commands(), std::vector<Command>{c.rows[i]});
        }
    }
}

TEST_F(MenuPanelTest, UpFromTheFirstRowGoesToTheLastAndDownFromTheLastToTheFirst) {
    for (const PanelCase& c : panelCases()) {
        SCOPED_TRACE(c.name);
        CVNTUI_Skeo_MenuShow& panel = prepare(c);
        const int last = panel.rowCount() - 1;
        press(c.itemId);
        ASSERT_TRUE(panel.IsOpen());
        ASSERT_EQ(panel.hoveredRow(), c.firstRow ? last : 0);
        key(panel.hwnd(), VK_UP);
        EXPECT_EQ(panel.hoveredRow(), last);
        key(panel.hwnd(), VK_RETURN);
        EXPECT_FALSE(panel.IsOpen());
        EXPECT_EQ(commands().at(0).id, c.rows.back().id);

        press(c.itemId);
        key(panel.hwnd(), VK_DOWN);
        EXPECT_EQ(panel.hoveredRow(), c.firstRow ? last : 0) << "only the slider panel's last row takes the hover";
        key(panel.hwnd(), VK_RETURN);
        EXPECT_EQ(commands().at(0).id, c.rows.front().id);
    }
}

TEST_F(MenuPanelTest, EscapeAltF4AndCloseOnlyHideThePanelWhichOpensAgain) {
    CVNTUI_Skeo_MenuShow& panel = bar().timerPanel();
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    for (const Way& way : {Way{"Escape", WM_KEYDOWN, VK_ESCAPE, 1}, Way{"Alt+F4", WM_SYSKEYDOWN, VK_F4, 1 << 29},
                           Way{"close request", WM_CLOSE, 0, 0}}) {
        SCOPED_TRACE(way.name);
        press(IDC_MENU_TIMER);
        ASSERT_TRUE(panel.IsOpen());
        SendMessageW(panel.hwnd(), way.message, way.wParam, way.lParam);
        pump();
        EXPECT_FALSE(panel.IsOpen());
        EXPECT_TRUE(IsWindow(panel.hwnd())) << "the panel lives as long as the bar";
        EXPECT_TRUE(commands().empty());
    }
    press(IDC_MENU_TIMER);
    EXPECT_TRUE(panel.IsOpen());
    key(panel.hwnd(), VK_ESCAPE);
}

TEST_F(MenuPanelTest, AnOpenPanelClosesOnceAnotherWindowIsInTheForeground) {
    CVNTUI_Skeo_MenuShow& panel = bar().mirrorPanel();
    press(IDC_MENU_MIRROR);
    ASSERT_TRUE(panel.IsOpen());
    EXPECT_EQ(GetForegroundWindow(), panel.hwnd()) << "shown activated";
    // Several watch ticks while it stays in front change nothing.
    const ULONGLONG until = GetTickCount64() + 3 * CVNTUI_Skeo_MenuShow::kWatchInterval;
    testsupport::pumpUntil([&] { return GetTickCount64() >= until; });
    EXPECT_TRUE(panel.IsOpen());

    ASSERT_TRUE(SetForegroundWindow(host_->hwnd()));
    EXPECT_TRUE(testsupport::pumpUntil([&] { return !panel.IsOpen(); }, 2000));
    EXPECT_TRUE(commands().empty());
}

TEST_F(MenuPanelTest, ClicksAndHoverOutsideTheRowsChooseNothing) {
    CVNTUI_Skeo_MenuShow& panel = bar().timerPanel();
    press(IDC_MENU_TIMER);
    const skeo::DisplayScale scale = this->scale();
    const int height = panel.panelHeight(), x = scale.px(40);
    ASSERT_EQ(height, scale.px(72));
    // The margins: above the first row (8 at 96 DPI), under the last (4).
    for (int y : {0, scale.px(8) - 1, height - scale.px(4), height - 1}) click(panel, x, y);
    EXPECT_TRUE(commands().empty());
    EXPECT_TRUE(panel.IsOpen()) << "a click in the margins keeps the list open";

    SendMessageW(panel.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, scale.px(8 + 2 * 20 + 5)));
    EXPECT_EQ(panel.hoveredRow(), 2);
    SendMessageW(panel.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, scale.px(3)));
    EXPECT_EQ(panel.hoveredRow(), 2) << "the top margin leaves the hover where it was";
    SendMessageW(panel.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, height - scale.px(2)));
    key(panel.hwnd(), VK_RETURN);
    EXPECT_TRUE(commands().empty()) << "hovering the bottom margin hovers no row";
    EXPECT_TRUE(panel.IsOpen());
    key(panel.hwnd(), VK_DOWN);
    EXPECT_EQ(panel.hoveredRow(), 0);
    key(panel.hwnd(), VK_ESCAPE);
}

TEST_F(MenuPanelTest, AChoiceShowsOnlyOnceTheMainDialogReflectsIt) {
    CVNTUI_Skeo_MenuShow& panel = bar().timerPanel();
    press(IDC_MENU_TIMER);
    clickRow(panel, 2);
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_TIMER_10_SEC, 0}}));
    EXPECT_EQ(panel.selectedRow(), 0);
    EXPECT_EQ(item(IDC_MENU_TIMER).valueText(), L"Off") << "a rejected choice leaves the old value";
    EXPECT_TRUE(bar().ReflectCameraCommand(0, ID_TIMER_10_SEC));
    EXPECT_EQ(panel.selectedRow(), 2);
    EXPECT_EQ(item(IDC_MENU_TIMER).valueText(), L"10 sec");
}

TEST_F(MenuPanelTest, DeleteAsksTheMainDialogAtOnceWithoutOpeningAList) {
    bar().SetMode(1);
    press(IDC_MENU_DELETE);
    // Sent, not posted: it is there before any message is pumped.
    ASSERT_EQ(host_->records().size(), 1u);
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_DELETE_PHOTO, 0}}));
    EXPECT_FALSE(bar().deletePanel().IsOpen());
    EXPECT_EQ(bar().deletePanel().rowCount(), 0);
    EXPECT_EQ(item(IDC_MENU_DELETE).valueText(), L"");
    EXPECT_EQ(item(IDC_MENU_DELETE).valueIconId(), 0u);
}

TEST_F(MenuPanelTest, RotateIsAnActionThatLeavesNoValueBehind) {
    bar().SetMode(1);
    CVNTUI_Skeo_MenuShow& panel = bar().rotatePanel();
    for (int row : {0, 1}) {
        press(IDC_MENU_ROTATE);
        clickRow(panel, row);
        EXPECT_TRUE(bar().ReflectPhotoCommand(row == 0 ? ID_ROTATE_RIGHT : ID_ROTATE_LEFT));
        EXPECT_EQ(panel.selectedRow(), -1);
        EXPECT_EQ(item(IDC_MENU_ROTATE).titleText(), L"Rotate");
        EXPECT_EQ(item(IDC_MENU_ROTATE).valueText(), L"");
        EXPECT_EQ(item(IDC_MENU_ROTATE).valueIconId(), 0u) << "no row icon standing in for a value";
    }
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_ROTATE_RIGHT, 0}, {ID_ROTATE_LEFT, 0}}));
}

TEST_F(MenuPanelTest, ChooseCommandSelectsAndSendsOnlyACommandThePanelHas) {
    CVNTUI_Skeo_MenuShow& panel = bar().resolutionPanel();
    EXPECT_FALSE(panel.ChooseCommand(ID_TIMER_3_SEC));
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(panel.selectedRow(), 0);
    EXPECT_TRUE(panel.ChooseCommand(ID_RESOLUTION_800X600));
    EXPECT_EQ(panel.selectedRow(), 3);
    EXPECT_EQ(commands(), (std::vector<Command>{{ID_RESOLUTION_800X600, 0}}));
}
