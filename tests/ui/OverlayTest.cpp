// The three popups over the live picture, in real windows: the snapshot/focus bar's zones, keys
// and hover looks, the self-timer's seconds and its one notice, the exposure indicator's second.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "framework/Dpi.h"
#include "resources/resource.h"
#include "tests/support/MessagePump.h"
#include "tests/support/WindowImage.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "tests/ui/OverlayPictures.h"
#include "ui/CVNTUI_Skeo_CountdownWnd.h"
#include "ui/CVNTUI_Skeo_ExposureOSDWnd.h"
#include "ui/CVNTUI_Skeo_SFButtonWindow.h"

using overlaytest::expectedPicture;
using overlaytest::Picture;
using overlaytest::px;
using overlaytest::shownImage;
using overlaytest::skinAt;
using overlaytest::skinFor;
using toolkittest::kPanel;

// Found by argument-dependent lookup, so in SIZE's own namespace.
static bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
static std::ostream& operator<<(std::ostream& out, const SIZE& s) { return out << s.cx << " x " << s.cy; }

namespace {

// Stands in for the main dialog: hands every private message it receives to the test.
class Receiver : public vnt::CWnd {
public:
    std::function<void(UINT, WPARAM)> onMessage;

    bool create() {
        return RegisterWindowClass(L"VNT_OverlayTestReceiver", 0, nullptr, nullptr) &&
               CreateEx(0, L"VNT_OverlayTestReceiver", L"", WS_POPUP, 0, 0, 0, 0, nullptr, 0);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER && onMessage) onMessage(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

void showAt(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void pumpFor(DWORD ms) { testsupport::pumpUntil([] { return false; }, ms); }

// Wine hands a window's drawing to the X server some time after it was made: the screenshot waits
// for it. The cursor is put where the test's moves said it is, so the real mouse agrees with them.
void shot(HWND window, const wchar_t* name, POINT cursor) {
    ClientToScreen(window, &cursor);
    SetCursorPos(cursor.x, cursor.y);
    pumpFor(150);
    testsupport::saveWindowImage(window, name);
}

// Keyed by the 100 % id, each the image of the test's DPI.
std::map<UINT, Picture> pictures(UINT first, UINT last, int size) {
    std::map<UINT, Picture> result;
    for (UINT id = first; id <= last; ++id) result[id] = expectedPicture({{skinAt(id), 0, 0}}, size, size, kPanel);
    return result;
}

SIZE clientSize(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    return SIZE{rc.right, rc.bottom};
}

SIZE resourceSize(UINT pngId) {
    CGdiPlusBitmapResource image;
    if (!image.Load(pngId)) return SIZE{};
    return SIZE{image.width(), image.height()};
}


}  // namespace

class OverlayTest : public toolkittest::ToolkitTest {
protected:
    // The wParams of the snapshot requests the host received since the last call.
    std::vector<WPARAM> requests() {
        pump();
        std::vector<WPARAM> found;
        for (const auto& r : host_->records())
            if (r.message == MSG_SNAPSHOT_REQUEST) found.push_back(r.wParam);
        host_->records().clear();
        return found;
    }

    // Layers named by their 100 % ids and places, drawn from the test DPI's set at its places.
    static int mismatches(HWND window, std::initializer_list<overlaytest::Layer> layers) {
        std::vector<overlaytest::Layer> scaled;
        for (const overlaytest::Layer& l : layers) scaled.push_back({skinAt(l.pngId), px(l.x), px(l.y)});
        const SIZE size = clientSize(window);
        return overlaytest::mismatches(window, overlaytest::windowPicture(window),
                                       expectedPicture(scaled, size.cx, size.cy, kPanel));
    }
};

TEST_F(OverlayTest, SnapshotBarSendsByZoneAndKeysAndOutlivesAltF4) {
    CVNTUI_Skeo_SFButtonWindow bar;
    ASSERT_TRUE(bar.Create(host_->hwnd()));
    bar.SetNotifyWindow(host_->hwnd());
    showAt(bar.hwnd(), 200, 300);
    EXPECT_TRUE(GetWindowLongPtrW(bar.hwnd(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_EQ(clientSize(bar.hwnd()), (SIZE{px(166), px(32)}));
    EXPECT_EQ(bar.Size(), clientSize(bar.hwnd()));

    // The curved ends are cut off by the window's region.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(bar.hwnd(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, px(165), px(31)));
    EXPECT_TRUE(PtInRegion(region, 0, px(16)));
    EXPECT_TRUE(PtInRegion(region, px(83), px(16)));
    EXPECT_TRUE(PtInRegion(region, px(165), px(16)));
    DeleteObject(region);

    const struct {
        int x;
        int request;  // -1: nothing
    } presses[] = {{0, 0},   {30, 0},  {61, 0},  {62, -1}, {63, -1},  {65, -1},
                   {66, 1},  {70, 1},  {91, 1},  {92, -1}, {95, -1},  {165, -1}};
    requests();
    for (const auto& p : presses) {
        SCOPED_TRACE(p.x);
        SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(p.x), px(16)));
        SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(px(p.x), px(16)));
        if (p.request < 0)
            EXPECT_TRUE(requests().empty());
        else
            EXPECT_EQ(requests(), std::vector<WPARAM>{static_cast<WPARAM>(p.request)});
    }

    SendMessageW(bar.hwnd(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(requests(), std::vector<WPARAM>{0});

    // Alt held: the default handling would close the window.
    SendMessageW(bar.hwnd(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
    pump();
    EXPECT_TRUE(IsWindow(bar.hwnd()));
    EXPECT_TRUE(IsWindowVisible(bar.hwnd()));
    EXPECT_TRUE(requests().empty());
}

TEST_F(OverlayTest, SnapshotBarLightsTheButtonUnderTheCursorAndRedrawsOnlyOnAZoneChange) {
    CVNTUI_Skeo_SFButtonWindow bar;
    ASSERT_TRUE(bar.Create(host_->hwnd()));
    showAt(bar.hwnd(), 200, 300);
    HWND w = bar.hwnd();
    const auto move = [w](int x) { SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(px(x), px(16))); };
    // The backgrounds fill the bar: the images of the test DPI's set, never a stretched 100 % one.
    EXPECT_EQ(resourceSize(skinAt(425)), clientSize(w));
    EXPECT_EQ(resourceSize(skinAt(426)), clientSize(w));

    EXPECT_EQ(mismatches(w, {{425, 0, 0}, {427, 0, 0}, {430, 66, 2}}), 0) << "plain, autofocus single";
    shot(w, L"overlay-sfbutton-plain", {-px(150), -px(150)});
    move(30);
    EXPECT_EQ(mismatches(w, {{425, 0, 0}, {428, 0, 0}, {430, 66, 2}}), 0) << "snapshot lit";
    shot(w, L"overlay-sfbutton-hover-snapshot", {px(30), px(16)});

    // The mode changes without a redraw: only a move into another zone shows it.
    bar.SetAutoFocusSingle(false);
    move(45);
    EXPECT_EQ(mismatches(w, {{425, 0, 0}, {428, 0, 0}, {430, 66, 2}}), 0) << "same zone, not redrawn";
    move(70);
    EXPECT_EQ(mismatches(w, {{426, 0, 0}, {427, 0, 0}, {431, 66, 2}}), 0) << "focus lit, continuous";
    shot(w, L"overlay-sfbutton-hover-focus", {px(70), px(16)});
    move(63);
    EXPECT_EQ(mismatches(w, {{426, 0, 0}, {427, 0, 0}, {430, 66, 2}}), 0) << "between the buttons";
    move(20);
    SendMessageW(w, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(mismatches(w, {{426, 0, 0}, {427, 0, 0}, {430, 66, 2}}), 0) << "left";

    bar.SetAutoFocusSingle(true);
    bar.Repaint();
    EXPECT_EQ(mismatches(w, {{425, 0, 0}, {427, 0, 0}, {430, 66, 2}}), 0) << "repainted for single";
}

TEST_F(OverlayTest, CountdownShowsEverySecondAndTellsTheDialogOnceAtTheEnd) {
    Receiver dialog;
    ASSERT_TRUE(dialog.create());
    CVNTUI_Skeo_CountdownWnd countdown;
    ASSERT_TRUE(countdown.Create(host_->hwnd()));
    EXPECT_EQ(clientSize(countdown.hwnd()), (SIZE{px(40), px(40)}));
    EXPECT_EQ(resourceSize(skinAt(443)), clientSize(countdown.hwnd()));
    countdown.SetNotifyWindow(dialog.hwnd());
    SetWindowPos(countdown.hwnd(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<ULONGLONG> done;
    std::vector<bool> runningAtDone;
    dialog.onMessage = [&](UINT message, WPARAM) {
        if (message != MSG_COUNTDOWN_DONE) return;
        done.push_back(GetTickCount64());
        runningAtDone.push_back(countdown.IsRunning());
    };
    const std::map<UINT, Picture> digits = pictures(440, 450, countdown.Size().cx);

    countdown.Start(11);
    pump();
    EXPECT_FALSE(IsWindowVisible(countdown.hwnd()));
    EXPECT_FALSE(countdown.IsRunning());

    countdown.Start(10);
    EXPECT_TRUE(countdown.IsRunning());
    EXPECT_EQ(shownImage(countdown.hwnd(), digits), 450u);

    // A new start begins again from its own number.
    countdown.Start(3);
    const ULONGLONG start = GetTickCount64();
    std::vector<UINT> seen{shownImage(countdown.hwnd(), digits)};
    shot(countdown.hwnd(), L"overlay-countdown-3", {-100, -100});
    ASSERT_TRUE(testsupport::pumpUntil(
        [&] {
            // 0 while shown: a picture that is none of the digits.
            const UINT id = shownImage(countdown.hwnd(), digits);
            if (IsWindowVisible(countdown.hwnd()) && id != seen.back()) seen.push_back(id);
            return !done.empty();
        },
        8000));
    EXPECT_EQ(seen, (std::vector<UINT>{443, 442, 441})) << "never 0, nothing else";
    EXPECT_GE(done[0] - start, 2800u);
    EXPECT_LE(done[0] - start, 4500u);
    EXPECT_FALSE(runningAtDone[0]) << "the photo is taken with the countdown over";
    EXPECT_FALSE(IsWindowVisible(countdown.hwnd()));
    EXPECT_FALSE(countdown.IsRunning());

    pumpFor(1500);
    EXPECT_EQ(done.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(countdown.hwnd()));
}

// A countdown nobody waits for any more takes no photo: cancelled, it tells the dialog nothing, and
// only a countdown that ran to its end counts as one (its notice can come from anywhere).
TEST_F(OverlayTest, ACancelledCountdownEndsWithoutItsNotice) {
    Receiver dialog;
    ASSERT_TRUE(dialog.create());
    CVNTUI_Skeo_CountdownWnd countdown;
    ASSERT_TRUE(countdown.Create(host_->hwnd()));
    countdown.SetNotifyWindow(dialog.hwnd());
    int done = 0;
    dialog.onMessage = [&](UINT message, WPARAM) { done += message == MSG_COUNTDOWN_DONE; };

    EXPECT_FALSE(countdown.TakeFinish()) << "no countdown ran";
    countdown.Start(1);
    pumpFor(300);
    countdown.Cancel();
    EXPECT_FALSE(countdown.IsRunning());
    EXPECT_FALSE(IsWindowVisible(countdown.hwnd()));
    pumpFor(1500);
    EXPECT_EQ(done, 0);
    EXPECT_FALSE(countdown.TakeFinish());

    countdown.Start(1);
    ASSERT_TRUE(testsupport::pumpUntil([&] { return done == 1; }, 4000));
    EXPECT_TRUE(countdown.TakeFinish());
    EXPECT_FALSE(countdown.TakeFinish()) << "one end, one photo";
}

TEST_F(OverlayTest, ExposureIndicatorShowsTheLastValueForAFullSecondThenGoes) {
    CVNTUI_Skeo_ExposureOSDWnd indicator;
    indicator.ShowValue(ID_EXPOSURE_PLUS1);  // before the window exists: ignored
    ASSERT_TRUE(indicator.Create(host_->hwnd()));
    SetWindowPos(indicator.hwnd(), nullptr, 500, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(IsWindowVisible(indicator.hwnd()));
    EXPECT_EQ(clientSize(indicator.hwnd()), (SIZE{px(60), px(60)}));
    EXPECT_EQ(resourceSize(skinAt(480)), clientSize(indicator.hwnd()));
    std::map<UINT, Picture> images = pictures(460, 475, indicator.Size().cx);
    images.merge(pictures(480, 484, indicator.Size().cx));
    HWND w = indicator.hwnd();

    indicator.ShowValue(ID_EXPOSURE_PLUS2);
    EXPECT_EQ(shownImage(w, images), 480u);
    pumpFor(500);
    indicator.ShowValue(ID_EXPOSURE_MINUS1);
    const ULONGLONG second = GetTickCount64();
    EXPECT_EQ(shownImage(w, images), 483u);
    std::vector<UINT> others;
    ASSERT_TRUE(testsupport::pumpUntil(
        [&] {
            if (!IsWindowVisible(w)) return true;
            const UINT id = shownImage(w, images);
            if (id != 483) others.push_back(id);
            return false;
        },
        4000));
    const ULONGLONG shown = GetTickCount64() - second;
    EXPECT_TRUE(others.empty()) << "only -1 until it goes";
    EXPECT_GE(shown, 950u) << "a full second after the second choice";
    EXPECT_LE(shown, 2500u);

    // The slider's default level; a value that is neither step nor level changes nothing.
    indicator.ShowValue(4);
    EXPECT_EQ(shownImage(w, images), 464u);
    indicator.ShowValue(99);
    EXPECT_EQ(shownImage(w, images), 464u);
    EXPECT_TRUE(testsupport::pumpUntil([&] { return !IsWindowVisible(w); }, 4000));
}

// Moved to a monitor of another scale, each popup takes that scale's size, region and images and
// shows again what it showed; back on the first monitor it is as it was made.
TEST_F(OverlayTest, PopupsTakeTheSizeRegionAndImagesOfANewDpi) {
    const int made = overlaytest::testDpi();
    const int other = made == 96 ? 192 : 96;
    const auto scaled = [](int value, int dpi) { return vnt::scalePx(value, dpi); };
    const auto shows = [](HWND w, std::vector<overlaytest::Layer> layers, int dpi) {
        for (overlaytest::Layer& l : layers) {
            l.pngId = skinFor(l.pngId, dpi);
            l.x = vnt::scalePx(l.x, dpi);
            l.y = vnt::scalePx(l.y, dpi);
        }
        const SIZE size = clientSize(w);
        return overlaytest::mismatches(w, overlaytest::windowPicture(w), expectedPicture(layers, size.cx, size.cy, kPanel));
    };

    CVNTUI_Skeo_SFButtonWindow bar;
    ASSERT_TRUE(bar.Create(host_->hwnd()));
    EXPECT_EQ(bar.dpi(), made);
    showAt(bar.hwnd(), 200, 300);
    CVNTUI_Skeo_CountdownWnd countdown;
    ASSERT_TRUE(countdown.Create(host_->hwnd()));
    SetWindowPos(countdown.hwnd(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    countdown.Start(3);
    CVNTUI_Skeo_ExposureOSDWnd indicator;
    ASSERT_TRUE(indicator.Create(host_->hwnd()));
    SetWindowPos(indicator.hwnd(), nullptr, 500, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    indicator.ShowValue(ID_EXPOSURE_MINUS2);

    for (const int dpi : {other, made}) {
        SCOPED_TRACE(dpi);
        bar.SetDpi(dpi);
        countdown.SetDpi(dpi);
        indicator.SetDpi(dpi);
        pump();
        EXPECT_EQ(clientSize(bar.hwnd()), (SIZE{scaled(166, dpi), scaled(32, dpi)}));
        EXPECT_EQ(clientSize(countdown.hwnd()), (SIZE{scaled(40, dpi), scaled(40, dpi)}));
        EXPECT_EQ(clientSize(indicator.hwnd()), (SIZE{scaled(60, dpi), scaled(60, dpi)}));
        RECT placed{};
        GetWindowRect(bar.hwnd(), &placed);
        EXPECT_EQ(placed.left, 200) << "the place stays";

        EXPECT_EQ(shows(bar.hwnd(), {{425, 0, 0}, {427, 0, 0}, {430, 66, 2}}, dpi), 0) << "the bar";
        EXPECT_EQ(shows(countdown.hwnd(), {{443, 0, 0}}, dpi), 0) << "the second shown";
        EXPECT_EQ(shows(indicator.hwnd(), {{484, 0, 0}}, dpi), 0) << "the exposure shown";

        // Regions and zones at the new scale: the bar's right end, the octagons' cut corners.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(bar.hwnd(), region), ERROR);
        EXPECT_TRUE(PtInRegion(region, scaled(165, dpi), scaled(16, dpi)));
        EXPECT_FALSE(PtInRegion(region, scaled(165, dpi), scaled(31, dpi)));
        ASSERT_NE(GetWindowRgn(countdown.hwnd(), region), ERROR);
        EXPECT_TRUE(PtInRegion(region, scaled(39, dpi) - 1, scaled(20, dpi)));
        EXPECT_FALSE(PtInRegion(region, scaled(40, dpi) - 1, scaled(40, dpi) - 1));
        DeleteObject(region);
        // The focus zone's last pixel at this scale lights the focus button.
        SendMessageW(bar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(scaled(91, dpi), scaled(16, dpi)));
        EXPECT_EQ(shows(bar.hwnd(), {{425, 0, 0}, {427, 0, 0}, {431, 66, 2}}, dpi), 0) << "focus lit";
        SendMessageW(bar.hwnd(), WM_MOUSELEAVE, 0, 0);
    }
    countdown.Cancel();
}
