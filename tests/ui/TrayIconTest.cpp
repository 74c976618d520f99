// The notification-area icon's callbacks on a dialog that records what they lead to: the menu
// half a second after a single click, the default command on a double click, nothing for another
// icon, and the icon added again when the notification area is rebuilt.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Handles.h"
#include "framework/Window.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "tests/ui/OverlayTestIds.h"
#include "ui/CVNTUI_TrayIcon.h"

namespace {

class TrayHost : public CVNTUI_TrayIcon {
public:
    TrayHost() : CVNTUI_TrayIcon(IDD_TRAY_TEST_HOST) {}
    ~TrayHost() override {
        if (hwnd()) DestroyWindow(hwnd());
    }

    struct Menu {
        POINT point;
        ULONGLONG at;
    };
    std::vector<Menu> menus;
    std::vector<UINT> commands;

    using CVNTUI_TrayIcon::addTrayIcon;

protected:
    BOOL OnInitDialog() override {
        icon_.reset(static_cast<HICON>(
            LoadImageW(vnt::resourceModule(), MAKEINTRESOURCEW(IDI_SKEO_TRAY), IMAGE_ICON, 16, 16, 0)));
        setTrayTip(L"Skeo");
        setTrayIcon(icon_.get());
        setTrayMenu(IDR_TRAY_MENU);
        return TRUE;
    }
    void ShowTrayMenu(POINT point) override { menus.push_back({point, GetTickCount64()}); }
    bool OnCommand(UINT id, UINT, HWND) override {
        commands.push_back(id);
        return true;
    }

private:
    vnt::IconHandle icon_;
};

void notify(HWND w, WPARAM icon, UINT mouse) { SendMessageW(w, MSG_TRAY_NOTIFY, icon, mouse); }

void pumpFor(DWORD ms) { testsupport::pumpUntil([] { return false; }, ms); }

}  // namespace

class TrayIconTest : public toolkittest::ToolkitTest {};

TEST_F(TrayIconTest, SingleClickShowsTheMenuLaterWhereItHappenedDoubleClickOpensOtherIconsAreIgnored) {
    TrayHost tray;
    ASSERT_TRUE(tray.Create(nullptr));
    HWND w = tray.hwnd();

    SetCursorPos(300, 310);
    notify(w, 1, WM_LBUTTONDOWN);
    const ULONGLONG click = GetTickCount64();
    SetCursorPos(600, 610);
    notify(w, 1, WM_LBUTTONUP);
    notify(w, 1, WM_MOUSEMOVE);
    ASSERT_TRUE(testsupport::pumpUntil([&] { return !tray.menus.empty(); }, 3000));
    EXPECT_GE(tray.menus[0].at - click, 450u);
    EXPECT_EQ(tray.menus[0].point.x, 300);
    EXPECT_EQ(tray.menus[0].point.y, 310);
    pumpFor(700);
    EXPECT_EQ(tray.menus.size(), 1u) << "one menu per click";

    // The right button opens it at once, where the cursor is.
    notify(w, 1, WM_RBUTTONDOWN);
    ASSERT_EQ(tray.menus.size(), 2u);
    EXPECT_EQ(tray.menus[1].point.x, 600);
    EXPECT_EQ(tray.menus[1].point.y, 610);
    EXPECT_TRUE(tray.commands.empty());

    // Down, up, double click, up: what the shell sends for a double click.
    tray.menus.clear();
    notify(w, 1, WM_LBUTTONDOWN);
    notify(w, 1, WM_LBUTTONUP);
    notify(w, 1, WM_LBUTTONDBLCLK);
    notify(w, 1, WM_LBUTTONUP);
    pumpFor(900);
    EXPECT_TRUE(tray.menus.empty()) << "no menu after a double click";
    EXPECT_EQ(tray.commands, std::vector<UINT>{ID_TRAY_OPEN}) << "the default item, Open";

    tray.commands.clear();
    for (UINT mouse : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_CONTEXTMENU, WM_LBUTTONDBLCLK}) notify(w, 2, mouse);
    pumpFor(900);
    EXPECT_TRUE(tray.menus.empty()) << "another icon's callback";
    EXPECT_TRUE(tray.commands.empty());
}

TEST_F(TrayIconTest, TheIconComesBackWhenTheNotificationAreaIsRebuilt) {
    TrayHost tray;
    ASSERT_TRUE(tray.Create(nullptr));
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = tray.hwnd();
    probe.uID = 1;
    probe.uFlags = NIF_TIP;
    wcscpy(probe.szTip, L"Skeo");
    if (!tray.addTrayIcon()) GTEST_SKIP() << "this desktop has no notification area";
    ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));

    // A restarted shell has forgotten every icon, then announces itself.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &probe));
    ASSERT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "gone from the notification area";
    SendMessageW(tray.hwnd(), RegisterWindowMessageW(L"TaskBarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe)) << "added again";
    // The shell forgets a destroyed window's icon by itself, so its removal cannot be seen here.
}
