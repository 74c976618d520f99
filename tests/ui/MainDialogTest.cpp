// The main window run modally as the program runs it, driven from inside its loop: modes and
// their sizes, resizing by the grip, full screen, the keys, and browsing photos.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "ui/CVNTUI_Skeo_MainDlg.h"

using testsupport::closeColour;
using testsupport::WindowPixels;

namespace {

// Counts what the controller would act on.
class RecordingMainDlg : public CVNTUI_Skeo_MainDlg {
public:
    int snapshotRequests = 0;
    std::vector<std::wstring> folderRequests;  // the photo named when its folder was asked for

    void OnImageFolderButton() override { folderRequests.push_back(photoView().pictureFileName()); }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == MSG_SNAPSHOT_REQUEST && wParam == 0) ++snapshotRequests;
        return CVNTUI_Skeo_MainDlg::DialogProc(message, wParam, lParam);
    }
};

SIZE windowSize(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// A 96-DPI number at the display scale the test runs at (the prefix's LogPixels).
int px(int value) { return vnt::scalePx(value, vnt::systemDpi()); }

bool visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

void click(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// A key as the user presses it: through the dialog's message loop, to the focused window.
void press(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

class MainDialogTest : public toolkittest::ToolkitTest {
protected:
    INT_PTR run(std::vector<std::function<void()>> steps) {
        steps.push_back([this] { PostMessageW(dialog_.hwnd(), WM_COMMAND, ID_TRAY_CLOSE, 0); });
        return testsupport::runScripted([this] { return dialog_.DoModal(); }, std::move(steps), 150);
    }
    // Runs the steps once the dialog is in photo mode with the strip filled from the records.
    INT_PTR runWithStrip(const std::vector<VNTSkeoEvent>& records, VNTSkeoDatabaseManager& database,
                         std::vector<std::function<void()>> steps) {
        steps.insert(steps.begin(), {[] {},
                                     [&] {
                                         click(dialog_.hwnd(), IDC_TAB_PHOTO);
                                         dialog_.eventList().fillList(records, database);
                                     },
                                     testsupport::repeatUntil([&] { return !dialog_.eventList().fillPending(); })});
        return run(std::move(steps));
    }
    RecordingMainDlg dialog_;
};

TEST_F(MainDialogTest, ModesResizeAndFullScreen) {
    HWND d = nullptr;
    POINT origin{};
    const INT_PTR result = run({
        [] {},  // the modal loop shows the dialog once it is first idle
        [&] {
            d = dialog_.hwnd();
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModeCamera, dialog_.mode());
            EXPECT_EQ(px(694), windowSize(d).cx);
            EXPECT_EQ(px(578), windowSize(d).cy);
            EXPECT_TRUE(visible(d, IDC_CAMERA_VIEW));
            EXPECT_FALSE(visible(d, IDC_PHOTO_VIEW));
            RECT view = dialog_.cameraView().GetRectInParent();
            EXPECT_EQ(px(691), view.right);
            EXPECT_EQ(px(554), view.bottom);
            EXPECT_TRUE(IsWindowVisible(dialog_.sfButtonWindow().hwnd())) << "the snapshot button floats over the picture";
            click(d, IDC_TAB_PHOTO);
        },
        [&] {
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModePhoto, dialog_.mode());
            EXPECT_EQ(px(692), windowSize(d).cy);
            EXPECT_TRUE(visible(d, IDC_PHOTO_VIEW));
            EXPECT_TRUE(visible(d, IDC_EVENT_LIST));
            EXPECT_FALSE(visible(d, IDC_CAMERA_VIEW));
            EXPECT_FALSE(IsWindowVisible(dialog_.sfButtonWindow().hwnd()));
            wchar_t info[64] = {};
            GetWindowTextW(dialog_.infoLine().hwnd(), info, 64);
            EXPECT_STREQ(L"No Pictures", info);
            click(d, IDC_TAB_CAMERA);
            // Dragging the grip: to (x, y) with x - 54 = 800 the picture becomes 800 x 600.
            HWND grip = GetDlgItem(d, IDC_RESIZE_GRIP);
            SendMessageW(grip, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            POINT to{px(854), px(600)};
            ClientToScreen(d, &to);
            ScreenToClient(grip, &to);
            SendMessageW(grip, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
            SendMessageW(grip, WM_LBUTTONUP, 0, 0);
        },
        [&] {
            EXPECT_EQ(px(854), windowSize(d).cx);
            EXPECT_EQ(px(698), windowSize(d).cy);
            RECT view = dialog_.cameraView().GetRectInParent();
            EXPECT_EQ(px(800), view.right - view.left);
            EXPECT_EQ(px(600), view.bottom - view.top);
            RECT w;
            GetWindowRect(d, &w);
            origin = POINT{w.left, w.top};
            click(d, IDC_TAB_FULL_SCREEN);
        },
        [&] {
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModeFullScreen, dialog_.mode());
            RECT client, view;
            GetClientRect(d, &client);
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &monitor));
            const RECT& whole = monitor.rcMonitor;
            EXPECT_EQ(whole.right - whole.left, client.right) << "the window covers the monitor, taskbar and all";
            EXPECT_EQ(whole.bottom - whole.top, client.bottom);
            view = dialog_.cameraView().GetRectInParent();
            EXPECT_EQ((view.right - view.left) * 3, (view.bottom - view.top) * 4) << "the picture stays 4:3";
            EXPECT_EQ(client.right - view.right, view.left) << "centred";
            EXPECT_FALSE(visible(d, IDC_TAB_PHOTO));
            HWND bar = dialog_.menuBar()->hwnd();
            EXPECT_EQ(GetDesktopWindow(), GetAncestor(bar, GA_PARENT)) << "the menu bar floats";
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            EXPECT_NE(ERROR, GetWindowRgn(bar, region)) << "the floating bar's corners are cut";
            EXPECT_FALSE(PtInRegion(region, 0, 0));
            EXPECT_TRUE(PtInRegion(region, px(400), px(15)));
            DeleteObject(region);
            press(d, VK_ESCAPE);
        },
        [&] {
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModeCamera, dialog_.mode());
            EXPECT_EQ(px(854), windowSize(d).cx) << "the size before full screen comes back";
            RECT w;
            GetWindowRect(d, &w);
            EXPECT_EQ(origin.x, w.left);
            EXPECT_EQ(origin.y, w.top);
            EXPECT_EQ(d, GetAncestor(dialog_.menuBar()->hwnd(), GA_PARENT)) << "the menu bar is docked again";
            EXPECT_TRUE(GetWindowLongPtrW(dialog_.menuBar()->hwnd(), GWL_STYLE) & WS_CHILD);
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            EXPECT_EQ(ERROR, GetWindowRgn(dialog_.menuBar()->hwnd(), region)) << "docked, the bar is whole";
            DeleteObject(region);
            RECT docked;
            GetWindowRect(dialog_.menuBar()->hwnd(), &docked);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&docked), 2);
            EXPECT_EQ(px(48), docked.left);
            EXPECT_EQ(px(50), docked.top);
            EXPECT_EQ(px(646), docked.right - docked.left) << "docked at its own size under the header";
            EXPECT_EQ(px(24), docked.bottom - docked.top);
        },
    });
    EXPECT_EQ(IDOK, result);
}

TEST_F(MainDialogTest, EnterAsksForOneSnapshotInCameraModeOnly) {
    const INT_PTR result = run({
        [] {},
        [&] { press(dialog_.cameraViewWindow(), VK_RETURN); },
        [&] {
            EXPECT_EQ(1, dialog_.snapshotRequests);
            press(dialog_.hwnd(), VK_ESCAPE);  // nothing to leave
        },
        [&] {
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModeCamera, dialog_.mode());
            EXPECT_TRUE(IsWindowVisible(dialog_.hwnd()));
            click(dialog_.hwnd(), IDC_TAB_PHOTO);
            press(dialog_.hwnd(), VK_RETURN);
        },
        [&] { EXPECT_EQ(1, dialog_.snapshotRequests) << "Enter in photo mode takes no snapshot"; },
    });
    EXPECT_EQ(IDOK, result);
}

TEST_F(MainDialogTest, ArrowsBrowseThePhotosAtMostThreeTimesASecond) {
    testsupport::TempFolder folder(L"main-dialog-test");
    VNTSkeoDatabaseManager database(folder.path() + L"EventList3.xml");
    std::vector<VNTSkeoEvent> records;  // newest first
    for (int i = 3; i >= 1; --i) {
        VNTSkeoEvent e;
        e.folder = folder.path();
        e.name = L"IMG_" + std::to_wstring(i) + L".jpg";
        ASSERT_TRUE(testsupport::writeQuadrantPhoto(e.fullPath(), 320 + 40 * i, 240 + 30 * i));
        records.push_back(e);
    }
    HWND list = nullptr;
    const auto shown = [&] { return dialog_.photoView().pictureFileName(); };
    const INT_PTR result = runWithStrip(records, database, {
        [&] {
            list = dialog_.eventList().hwnd();
            ASSERT_EQ(3, dialog_.eventList().itemCount());
            dialog_.eventList().selectOnly(0);
            EXPECT_EQ(folder.path() + L"IMG_1.jpg", shown()) << "the focused item's photo";
            EXPECT_EQ(L"IMG_1.jpg", dialog_.infoLine().fileName());
            EXPECT_EQ(L"360x270", dialog_.infoLine().resolution());
            press(list, VK_RIGHT);
            press(list, VK_RIGHT);  // within 300 ms of the first: dropped
        },
        [&] {
            EXPECT_EQ(folder.path() + L"IMG_2.jpg", shown());
            Sleep(320);
            press(list, VK_RIGHT);
        },
        [&] {
            EXPECT_EQ(folder.path() + L"IMG_3.jpg", shown());
            EXPECT_TRUE(dialog_.photoView().lastLoadWasReady()) << "read ahead while the one before was looked at";
            EXPECT_EQ(L"440x330", dialog_.infoLine().resolution());
            Sleep(320);
            press(list, VK_RIGHT);  // wraps to the first
            PostMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
        },
        [&] {
            EXPECT_EQ(folder.path() + L"IMG_1.jpg", shown());
            EXPECT_TRUE(dialog_.photoView().lastLoadWasReady()) << "the neighbours wrap around as the arrows do";
            EXPECT_EQ(1, dialog_.photoView().zoomStep()) << "the wheel zooms in";
            press(list, VK_ADD);
            press(list, VK_SUBTRACT);
            press(list, VK_SUBTRACT);
        },
        [&] { EXPECT_EQ(0, dialog_.photoView().zoomStep()); },
    });
    EXPECT_EQ(IDOK, result);
}

// A photo turns on screen at once; its file is turned on a worker, and its thumbnail follows.
TEST_F(MainDialogTest, TurningShowsThePhotoTurnedAtOnceAndTheFileFollows) {
    testsupport::TempFolder folder(L"main-dialog-turn");
    VNTSkeoDatabaseManager database(folder.path() + L"EventList3.xml");
    VNTSkeoEvent e;
    e.folder = folder.path();
    e.name = L"IMG_1.jpg";
    ASSERT_TRUE(testsupport::writeQuadrantPhoto(e.fullPath(), 1600, 1200));
    const auto fileSize = [&] {
        const SIZE size = testsupport::photoFileSize(e.fullPath());
        return std::to_wstring(size.cx) + L"x" + std::to_wstring(size.cy);
    };
    const INT_PTR result = runWithStrip({e}, database, {
        [&] {
            dialog_.eventList().selectOnly(0);
            EXPECT_EQ(L"1600x1200", dialog_.infoLine().resolution());
            SendMessageW(dialog_.hwnd(), WM_COMMAND, ID_ROTATE_RIGHT, 0);
            EXPECT_EQ(1200, dialog_.photoView().pictureWidth()) << "turned on screen before the file is";
            EXPECT_EQ(1600, dialog_.photoView().pictureHeight());
            EXPECT_EQ(L"1200x1600", dialog_.infoLine().resolution());
            // A quarter turn right brings the bottom left (blue) to the top left.
            const skeo::PhotoViewLayout& layout = dialog_.photoView().layout();
            EXPECT_TRUE(closeColour(WindowPixels(dialog_.photoView().hwnd()).at(layout.x.target + 3, layout.y.target + 3),
                                    testsupport::kQuadrantBottomLeft, 16));
        },
        testsupport::repeatUntil([&] { return fileSize() == L"1200x1600"; }),
        [&] {
            EXPECT_EQ(L"1200x1600", fileSize()) << "the file turned on the worker";
            EXPECT_EQ(1200, dialog_.photoView().pictureWidth());
        },
    });
    EXPECT_EQ(IDOK, result);
}

// A photo shown again from its file while its turn waits behind others is read once more when
// the turn is done, so that the view never keeps the photo as it was.
TEST_F(MainDialogTest, APhotoShownBeforeItsTurnIsDoneIsShownTurnedAfter) {
    testsupport::TempFolder folder(L"main-dialog-turn-queue");
    VNTSkeoDatabaseManager database(folder.path() + L"EventList3.xml");
    std::vector<VNTSkeoEvent> records;
    for (int i = 3; i >= 1; --i) {
        VNTSkeoEvent e;
        e.folder = folder.path();
        e.name = L"IMG_" + std::to_wstring(i) + L".jpg";
        ASSERT_TRUE(testsupport::writeQuadrantPhoto(e.fullPath(), 1600, 1200));
        records.push_back(e);
    }
    const auto allTurned = [&] {
        for (const VNTSkeoEvent& e : records)
            if (testsupport::photoFileSize(e.fullPath()).cx != 1200) return false;
        return true;
    };
    HWND list = nullptr;
    const INT_PTR result = runWithStrip(records, database, {
        [&] {
            list = dialog_.eventList().hwnd();
            dialog_.eventList().selectOnly(0);
        },
        [] { Sleep(400); },  // the neighbours read ahead, as they were
        [&] {
            ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
            SendMessageW(dialog_.hwnd(), WM_COMMAND, ID_ROTATE_RIGHT, 0);  // three turns queued
            EXPECT_EQ(1200, dialog_.photoView().pictureWidth());
            press(list, VK_RIGHT);  // the next photo, its turn still waiting
        },
        [&] { EXPECT_EQ(records[1].fullPath(), dialog_.photoView().pictureFileName()); },
        testsupport::repeatUntil(allTurned),
        [] {},  // the last turn's notice handled
        [&] {
            ASSERT_TRUE(allTurned());
            EXPECT_EQ(1200, dialog_.photoView().pictureWidth()) << "read again once its turn was done";
            EXPECT_EQ(1600, dialog_.photoView().pictureHeight());
            EXPECT_EQ(L"1200x1600", dialog_.infoLine().resolution());
        },
    });
    EXPECT_EQ(IDOK, result);
}

// The floating menu bar is a window of its own: Enter and Escape pressed while it has the focus
// still take a photo and leave full screen.
TEST_F(MainDialogTest, EnterAndEscapeReachTheDialogFromTheFloatingMenuBar) {
    HWND bar = nullptr;
    const auto barHasFocus = [&] { return GetFocus() == bar || IsChild(bar, GetFocus()); };
    const INT_PTR result = run({
        [] {},
        [&] { click(dialog_.hwnd(), IDC_TAB_FULL_SCREEN); },
        [&] {
            ASSERT_EQ(CVNTUI_Skeo_MainDlg::ModeFullScreen, dialog_.mode());
            bar = dialog_.menuBar()->hwnd();
            SetFocus(bar);
            ASSERT_TRUE(barHasFocus());
            press(GetFocus(), VK_RETURN);
        },
        [&] {
            EXPECT_EQ(1, dialog_.snapshotRequests) << "Enter in the bar asks for one photo";
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModeFullScreen, dialog_.mode());
            ASSERT_TRUE(barHasFocus());
            press(GetFocus(), VK_ESCAPE);
        },
        [&] {
            EXPECT_EQ(CVNTUI_Skeo_MainDlg::ModeCamera, dialog_.mode()) << "Escape in the bar leaves full screen";
            EXPECT_EQ(dialog_.hwnd(), GetAncestor(bar, GA_PARENT));
            EXPECT_EQ(1, dialog_.snapshotRequests);
        },
    });
    EXPECT_EQ(IDOK, result);
}

// Controls hidden by a click on the picture come back with the next full screen, whichever way
// the last one ended.
TEST_F(MainDialogTest, ControlsComeBackWhicheverWayFullScreenEnds) {
    HWND d = nullptr;
    const struct {
        const char* way;
        std::function<void(HWND)> leave;
    } ways[] = {
        {"Escape", [](HWND dialog) { press(dialog, VK_ESCAPE); }},
        {"the camera tab", [](HWND dialog) { click(dialog, IDC_TAB_CAMERA); }},
        {"the photo tab", [](HWND dialog) { click(dialog, IDC_TAB_PHOTO); }},
        {"the close button, then the tray's Open",
         [](HWND dialog) {
             click(dialog, IDC_BUTTON_CLOSE);
             click(dialog, ID_TRAY_OPEN);
         }},
    };
    std::vector<std::function<void()>> steps{[] {}, [&] { d = dialog_.hwnd(); }};
    for (const auto& w : ways) {
        steps.push_back([&] {
            SCOPED_TRACE(w.way);
            click(d, IDC_TAB_FULL_SCREEN);
            SendMessageW(dialog_.cameraViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
            SendMessageW(dialog_.cameraViewWindow(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
            ASSERT_TRUE(dialog_.controlsHidden());
            EXPECT_FALSE(IsWindowVisible(dialog_.menuBar()->hwnd()));
            w.leave(d);
        });
        steps.push_back([&] {
            SCOPED_TRACE(w.way);
            EXPECT_NE(CVNTUI_Skeo_MainDlg::ModeFullScreen, dialog_.mode());
            EXPECT_FALSE(dialog_.controlsHidden()) << "full screen ended";
            click(d, IDC_TAB_FULL_SCREEN);
        });
        steps.push_back([&] {
            SCOPED_TRACE(w.way);
            ASSERT_EQ(CVNTUI_Skeo_MainDlg::ModeFullScreen, dialog_.mode());
            EXPECT_FALSE(dialog_.controlsHidden());
            EXPECT_TRUE(IsWindowVisible(dialog_.menuBar()->hwnd())) << "the floating bar is back";
            EXPECT_TRUE(IsWindowVisible(dialog_.sfButtonWindow().hwnd())) << "the snapshot button is back";
            click(d, IDC_TAB_CAMERA);
        });
    }
    EXPECT_EQ(IDOK, run(std::move(steps)));
}

// Dragging the grip through many points: every size it takes leaves a 4:3 picture, never smaller
// than the smallest window, whatever the display scale.
TEST_F(MainDialogTest, EveryResizeStepKeepsThePictureAtFourToThree) {
    HWND d = nullptr;
    std::vector<std::function<void()>> steps{[] {}, [&] { d = dialog_.hwnd(); }};
    const POINT points[] = {{px(700), px(580)}, {px(761), px(600)}, {px(802), px(701)}, {px(900), px(610)},
                            {px(655), px(655)}, {px(1000), px(800)}, {px(300), px(200)}, {px(855), px(631)}};
    for (const POINT& point : points) {
        steps.push_back([&, point] {
            HWND grip = GetDlgItem(d, IDC_RESIZE_GRIP);
            SendMessageW(grip, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            POINT to = point;
            ClientToScreen(d, &to);
            ScreenToClient(grip, &to);
            SendMessageW(grip, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
            SendMessageW(grip, WM_LBUTTONUP, 0, 0);
        });
        steps.push_back([&, point] {
            SCOPED_TRACE(testing::Message() << "to " << point.x << ", " << point.y);
            const RECT view = dialog_.cameraView().GetRectInParent();
            EXPECT_EQ((view.right - view.left) * 3, (view.bottom - view.top) * 4);
            EXPECT_GE(windowSize(d).cx, px(694) / 4 * 4 - 2);
            EXPECT_EQ(windowSize(d).cx - (view.right - view.left), px(54)) << "the margins stay";
        });
    }
    EXPECT_EQ(IDOK, run(std::move(steps)));
}

// Moved to a monitor of another scale, the window takes the suggested place, keeps its picture's
// size in 96-DPI pixels at 4:3, lays out for the new scale and carries the overlays along; moved
// back, it is as it was.
TEST_F(MainDialogTest, AMoveToAMonitorOfAnotherScaleRelaysTheWindowOut) {
    HWND d = nullptr;
    const int here = vnt::systemDpi(), there = here == 192 ? 96 : 192;
    const auto at = [](int value, int dpi) { return vnt::scalePx(value, dpi); };
    SIZE before{};
    const auto changeTo = [&](int dpi, int x, int y) {
        RECT suggested{x, y, x + 100, y + 100};
        SendMessageW(d, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    };
    const auto expectLaidOutAt = [&](int dpi, int x, int y) {
        RECT w;
        GetWindowRect(d, &w);
        EXPECT_EQ(x, w.left);
        EXPECT_EQ(y, w.top);
        EXPECT_EQ(dpi, dialog_.dpi());
        const SIZE size = windowSize(d);
        EXPECT_EQ(at(694, dpi), size.cx);
        EXPECT_EQ(at(578, dpi), size.cy);
        const RECT view = dialog_.cameraView().GetRectInParent();
        EXPECT_EQ(at(51, dpi), view.left);
        EXPECT_EQ(at(74, dpi), view.top);
        EXPECT_EQ((view.right - view.left) * 3, (view.bottom - view.top) * 4);
        RECT grip;
        GetWindowRect(GetDlgItem(d, IDC_RESIZE_GRIP), &grip);
        EXPECT_EQ(w.right - at(3, dpi), grip.right) << "the grip in the corner";
        RECT docked;
        GetWindowRect(dialog_.menuBar()->hwnd(), &docked);
        EXPECT_EQ(w.left + at(48, dpi), docked.left);
        EXPECT_EQ(w.top + at(50, dpi), docked.top);
        // The snapshot bar follows the picture: its right end 12 (scaled) in from the picture's.
        RECT button, screenView;
        GetWindowRect(dialog_.sfButtonWindow().hwnd(), &button);
        GetWindowRect(dialog_.cameraViewWindow(), &screenView);
        EXPECT_EQ(screenView.right - at(178, dpi), button.left);
        EXPECT_EQ(screenView.bottom - at(50, dpi), button.top);
    };
    const INT_PTR result = run({
        [] {},
        [&] {
            d = dialog_.hwnd();
            before = windowSize(d);
            changeTo(there, 40, 30);
        },
        [&] {
            SCOPED_TRACE(there);
            expectLaidOutAt(there, 40, 30);
            changeTo(here, 60, 50);
        },
        [&] {
            SCOPED_TRACE(here);
            expectLaidOutAt(here, 60, 50);
            EXPECT_EQ(before.cx, windowSize(d).cx);
            EXPECT_EQ(before.cy, windowSize(d).cy);
        },
    });
    EXPECT_EQ(IDOK, result);
}

// Dragged larger than the desktop the program started on, the window is painted to its edges.
TEST_F(MainDialogTest, PaintsAWindowLargerThanTheDesktopToItsEdges) {
    HWND d = nullptr;
    const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN), desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    // A width-led size (picture width a multiple of 4) wider than the desktop, the height that goes with it.
    const int W = desktopWidth + 300 - (desktopWidth + 300 - px(54)) % 4, H = (W - px(54)) / 4 * 3 + px(98);
    ASSERT_GT(H, desktopHeight);
    // Only what is on the screen can be read back: the window's right end is shown with its top,
    // then with its bottom.
    const auto moveTo = [&](int y) { SetWindowPos(d, nullptr, desktopWidth - W - 20, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); };
    const INT_PTR result = run({
        [] {},
        [&] {
            d = dialog_.hwnd();
            moveTo(0);
            HWND grip = GetDlgItem(d, IDC_RESIZE_GRIP);
            SendMessageW(grip, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            POINT to{W, H - px(20)};
            ClientToScreen(d, &to);
            ScreenToClient(grip, &to);
            SendMessageW(grip, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
            SendMessageW(grip, WM_LBUTTONUP, 0, 0);
        },
        [&] {
            ASSERT_EQ(W, windowSize(d).cx);
            ASSERT_EQ(H, windowSize(d).cy);
            const WindowPixels pixels(d);
            EXPECT_TRUE(closeColour(pixels.at(W - px(130), px(30)), RGB(61, 179, 204))) << "the header band at the far right";
            EXPECT_TRUE(closeColour(pixels.at(W - px(20), px(60)), RGB(40, 40, 40))) << "the panel right of the menu bar";
            moveTo(desktopHeight - H - 20);
        },
        [&] {
            const WindowPixels pixels(d);
            EXPECT_TRUE(closeColour(pixels.at(W - px(20), H - px(15)), RGB(40, 40, 40))) << "the panel at the bottom right";
            EXPECT_TRUE(closeColour(pixels.at(W * 3 / 4, H - px(12)), RGB(40, 40, 40))) << "the panel along the bottom";
        },
    });
    EXPECT_EQ(IDOK, result);
}

// A photo whose file was deleted or damaged behind the program's back: the view and the
// information line say so, and Copy and the folder button act on that photo.
TEST_F(MainDialogTest, APhotoThatCannotBeLoadedLeavesNothingOfThePreviousOne) {
    testsupport::TempFolder folder(L"main-dialog-missing");
    VNTSkeoDatabaseManager database(folder.path() + L"EventList3.xml");
    std::vector<VNTSkeoEvent> records;  // newest first: item 0 is the shown photo, 1 deleted, 2 damaged
    for (const wchar_t* name : {L"IMG_damaged.jpg", L"IMG_deleted.jpg", L"IMG_shown.jpg"}) {
        VNTSkeoEvent e;
        e.folder = folder.path();
        e.name = name;
        ASSERT_TRUE(testsupport::writeQuadrantPhoto(e.fullPath(), 320, 240));
        records.push_back(e);
    }
    const std::wstring damaged = records[0].fullPath(), deleted = records[1].fullPath();
    VNTLanguageSelector& language = VNTLanguageSelector::instance();
    language.setLanguage(VNTLanguageSelector::kEnglish);
    const auto infoText = [&] {
        wchar_t text[256] = {};
        GetWindowTextW(dialog_.infoLine().hwnd(), text, 256);
        return std::wstring(text);
    };
    const auto notice = [](LANGID id) {
        std::wstring text;
        VNTLanguageSelector::loadString(id, IDS_PHOTO_CANNOT_BE_SHOWN, text);
        return text;
    };
    // The view's own pixels: a grid over it, each either the panel or something of a photo.
    const auto photoPixels = [&] {
        const WindowPixels pixels(dialog_.photoView().hwnd());
        int shown = 0;
        for (int y = 10; y < pixels.height(); y += 20)
            for (int x = 10; x < pixels.width(); x += 20)
                if (!closeColour(pixels.at(x, y), RGB(40, 40, 40), 4)) ++shown;
        return shown;
    };
    const auto clipboardHolds = [](UINT format) { return IsClipboardFormatAvailable(format) != FALSE; };
    const auto copiedFile = [&] {
        std::wstring file;
        if (!OpenClipboard(dialog_.hwnd())) return file;
        if (HANDLE drop = GetClipboardData(CF_HDROP)) {
            wchar_t path[MAX_PATH] = {};
            if (DragQueryFileW(static_cast<HDROP>(drop), 0, path, MAX_PATH)) file = path;
        }
        CloseClipboard();
        return file;
    };
    const auto putText = [&] {
        ASSERT_TRUE(OpenClipboard(dialog_.hwnd()));
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
    };
    const auto expectUnavailable = [&](const std::wstring& path, const std::wstring& name, LANGID id) {
        EXPECT_EQ(0, photoPixels()) << "the view is cleared to its background";
        EXPECT_EQ(path, dialog_.photoView().pictureFileName()) << "the view stays with the selected photo";
        const std::wstring text = infoText();
        EXPECT_NE(std::wstring::npos, text.find(name)) << "the line names the photo";
        EXPECT_FALSE(notice(id).empty());
        EXPECT_NE(std::wstring::npos, text.find(notice(id))) << "and says it cannot be shown";
        EXPECT_TRUE(dialog_.infoLine().resolution().empty()) << "no size of the photo shown before";
    };
    const INT_PTR result = runWithStrip(records, database, {
        [&] {
            ASSERT_EQ(3, dialog_.eventList().itemCount());
            dialog_.eventList().selectOnly(0);
            dialog_.ZoomPhotoIn();
            EXPECT_GT(photoPixels(), 100) << "the first photo is shown";
            EXPECT_EQ(L"320x240", dialog_.infoLine().resolution());
            ASSERT_TRUE(DeleteFileW(deleted.c_str()));
            ASSERT_TRUE(testsupport::writeFile(damaged, std::string(5000, '\x5a')));
            dialog_.eventList().selectOnly(1);
        },
        [&] {
            expectUnavailable(deleted, L"IMG_deleted.jpg", VNTLanguageSelector::kEnglish);
            EXPECT_EQ(0, dialog_.photoView().zoomStep());
            putText();
            click(dialog_.hwnd(), ID_CTX_COPY);
            EXPECT_FALSE(clipboardHolds(CF_HDROP)) << "a file that is gone is not copied";
            EXPECT_FALSE(clipboardHolds(CF_UNICODETEXT)) << "nor is an earlier copy left for a paste";
            click(dialog_.hwnd(), IDC_BUTTON_IMAGE_FOLDER);
            ASSERT_EQ(1u, dialog_.folderRequests.size());
            EXPECT_EQ(deleted, dialog_.folderRequests.back());
            testsupport::saveWindowImage(dialog_.hwnd(), L"photo-view-unavailable-en");
            dialog_.eventList().selectOnly(2);
        },
        [&] {
            expectUnavailable(damaged, L"IMG_damaged.jpg", VNTLanguageSelector::kEnglish);
            click(dialog_.hwnd(), ID_CTX_COPY);
            EXPECT_EQ(damaged, copiedFile()) << "a damaged file is still there to copy";
            click(dialog_.hwnd(), IDC_BUTTON_IMAGE_FOLDER);
            EXPECT_EQ(damaged, dialog_.folderRequests.back());
            language.setLanguage(VNTLanguageSelector::kTraditionalChinese);
        },
        [&] {
            expectUnavailable(damaged, L"IMG_damaged.jpg", VNTLanguageSelector::kTraditionalChinese);
            testsupport::saveWindowImage(dialog_.hwnd(), L"photo-view-unavailable-zh-TW");
            language.setLanguage(VNTLanguageSelector::kJapanese);
        },
        [&] {
            expectUnavailable(damaged, L"IMG_damaged.jpg", VNTLanguageSelector::kJapanese);
            testsupport::saveWindowImage(dialog_.hwnd(), L"photo-view-unavailable-ja");
            language.setLanguage(VNTLanguageSelector::kEnglish);
            dialog_.eventList().selectOnly(0);
        },
        [&] {
            EXPECT_GT(photoPixels(), 100) << "a photo that can be read is shown again";
            EXPECT_EQ(L"320x240", dialog_.infoLine().resolution());
            EXPECT_TRUE(dialog_.infoLine().notice().empty());
        },
    });
    EXPECT_EQ(IDOK, result);
}

}  // namespace
