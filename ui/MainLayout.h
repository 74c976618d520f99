// The main window's arithmetic: where its controls stand for a window size and mode, the sizes a
// resize drag may take (the picture always 4:3), the full-screen picture, the information line
// and the window's outline. No Windows header, so it is tested natively.
#pragma once

#include <vector>

#include "ui/DisplayScale.h"

// Every size here is the 96-DPI one; the functions take the window's scale and give device pixels
// (the default scale gives the 96-DPI layout).
namespace mainlayout {

using skeo::DisplayScale;

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
inline Box boxAt(int x, int y, int width, int height) { return Box{x, y, x + width, y + height}; }

struct Point {
    int x;
    int y;
};

constexpr int kMinimumWidth = 694;
constexpr int kCameraHeight = 578;
constexpr int kPhotoExtra = 114;  // the strip under the photo
constexpr int kHeaderHeight = 50;

// The height photo mode adds; 0 in the other modes.
inline int extraFor(bool photoMode, const DisplayScale& scale = DisplayScale()) {
    return photoMode ? scale.px(kPhotoExtra) : 0;
}

struct Size {
    int width = 0;
    int height = 0;
};

// The smallest window: the smallest 4:3 picture (640 x 480 at 100 %) and the margins around it.
Size minimumWindow(int extra, const DisplayScale& scale = DisplayScale());

// The picture area of a normal layout of W x H.
Box pictureArea(int width, int height, int extra, const DisplayScale& scale = DisplayScale());

// The window size a drag of the resize strips to the client point (x, y) asks for: at least the
// minimum, the picture area kept at 4:3. False when the point is to be ignored (neither of its
// coordinates lands on a whole 4:3 step).
bool dragResize(int x, int y, int extra, int& width, int& height, const DisplayScale& scale = DisplayScale());

// The window of width W at scale `from` for scale `to`: its picture as large in 96-DPI pixels, rounded
// down to a whole 4:3 step, never under the minimum.
Size rescaledWindow(int width, bool photoMode, const DisplayScale& from, const DisplayScale& to);

// Where the controls of a normal layout of W x H stand.
struct Controls {
    Point topButtons[4];  // settings, support, minimise, close
    Point modeTabs[3];    // camera, photo, full screen
    Box previousButton;   // photo mode only, like the list and the next button
    Box listFrame;
    Box nextButton;
    Box hint;
    Box rightBorder;
    Box bottomBorder;
    Box grip;
    Box dockedMenuBar;
    Box header;           // the band the header image and outline are drawn in
    Point headerImage;
    int headerRepaintLeft;  // the header is repainted from here to the right end after a resize
};
Controls controls(int width, int height, int extra, const DisplayScale& scale = DisplayScale());

// The header's open outline, for a 1-pixel pen.
std::vector<Point> headerOutline(int width, const DisplayScale& scale = DisplayScale());

// The popups over the picture R (screen coordinates): countdown, exposure indicator, snapshot
// bar and, in full screen, the floating menu bar.
struct Overlays {
    Box countdown;
    Box exposure;
    Box snapshotBar;
    Box floatingMenuBar;
};
Overlays overlays(const Box& picture, const DisplayScale& scale = DisplayScale());

// The largest 4:3 picture that fits the client, centred.
Box fullScreenPicture(int clientWidth, int clientHeight);

// The two rectangles a monitor reports, in screen coordinates: all of it, and the work area that
// the taskbar and docked bars leave free.
struct Monitor {
    Box whole;
    Box work;
};

// Where the full-screen window stands: the whole monitor, since a window sized to the work area
// leaves the taskbar over the picture.
Box fullScreenWindow(const Monitor& monitor);

// The information line under the picture: the folder button, the line itself, and the three
// separators (empty where the line reports no gap).
struct InfoLine {
    Box folderButton;
    Box line;
    Box separators[3];
};
InfoLine infoLine(const Box& picture, int textWidth, const int gaps[3], const DisplayScale& scale = DisplayScale());

// The window's outline: the body with cut corners and the tab strip on its left.
std::vector<Point> windowOutline(int width, int height, const DisplayScale& scale = DisplayScale());

}  // namespace mainlayout
