#include "ui/MainLayout.h"

#include "ui/MenuBarLayout.h"
#include "ui/OverlayGeometry.h"

namespace mainlayout {

namespace {

// Around the picture: 51 to its left, 74 above, 54 across and 98 down in all.
constexpr int kPictureLeft = 51;
constexpr int kPictureTop = 74;
constexpr int kPictureMarginX = 54;
constexpr int kPictureMarginY = 98;
constexpr int kMinimumPictureWidth = kMinimumWidth - kPictureMarginX;  // 640

// The popups' distances from the picture's bottom and right.
constexpr int kCountdownAbove = 51;
constexpr int kExposureAbove = 71;
constexpr int kSnapshotBarLeft = 178;
constexpr int kSnapshotBarAbove = 50;
constexpr int kFloatingBarBelow = 12;

Box centredAcross(const Box& picture, int top, int width, int height) {
    return boxAt(picture.left + (picture.width() - width) / 2, top, width, height);
}

}  // namespace

Size minimumWindow(int extra, const DisplayScale& scale) {
    // Rounded down to a whole 4:3 step, so that the smallest picture is 4:3 at any scale.
    const int pictureWidth = scale.px(kMinimumPictureWidth) / 4 * 4;
    return Size{pictureWidth + scale.px(kPictureMarginX), pictureWidth / 4 * 3 + scale.px(kPictureMarginY) + extra};
}

Box pictureArea(int width, int height, int extra, const DisplayScale& scale) {
    return boxAt(scale.px(kPictureLeft), scale.px(kPictureTop), width - scale.px(kPictureMarginX),
                 height - extra - scale.px(kPictureMarginY));
}

bool dragResize(int x, int y, int extra, int& width, int& height, const DisplayScale& scale) {
    const Size minimum = minimumWindow(extra, scale);
    const int mx = scale.px(kPictureMarginX), my = scale.px(kPictureMarginY);
    width = minimum.width;
    height = minimum.height;
    if (!(x > minimum.width - 1 || y >= minimum.height)) return true;
    // Width-led: the picture's width rounded down to a multiple of 4; height-led: its height to 3.
    const int widthLedWidth = x - (x - mx) % 4;
    const int widthLedHeight = (x - mx) / 4 * 3 + my + extra;
    const int heightLedHeight = y - (y - extra - my) % 3;
    const int heightLedWidth = (y - extra - my) / 3 * 4 + mx;
    if ((x - mx) % 4 == 0) {
        const bool useWidth = !(widthLedHeight < y);
        width = useWidth ? widthLedWidth : heightLedWidth;
        height = useWidth ? widthLedHeight : heightLedHeight;
    } else if ((y - extra - my) % 3 != 0) {
        return false;
    } else {
        const bool useHeight = !(heightLedWidth < x);
        width = useHeight ? heightLedWidth : widthLedWidth;
        height = useHeight ? heightLedHeight : widthLedHeight;
    }
    return true;
}

Size rescaledWindow(int width, bool photoMode, const DisplayScale& from, const DisplayScale& to) {
    const long long picture = width - from.px(kPictureMarginX);
    const int wanted = static_cast<int>(picture * to.dpi() / from.dpi()) / 4 * 4;
    const int extra = extraFor(photoMode, to);
    const Size minimum = minimumWindow(extra, to);
    if (wanted + to.px(kPictureMarginX) <= minimum.width) return minimum;
    return Size{wanted + to.px(kPictureMarginX), wanted / 4 * 3 + to.px(kPictureMarginY) + extra};
}

Controls controls(int W, int H, int extra, const DisplayScale& s) {
    // Each edge is scaled from the side it keeps its distance to, so that rounding never lets a
    // control overlap the border strips or the picture.
    Controls c;
    const int g = H - extra;
    const int top = s.px(9);
    c.topButtons[0] = {W - s.px(104), top};
    c.topButtons[1] = {W - s.px(80), top};
    c.topButtons[2] = {W - s.px(56), top};
    c.topButtons[3] = {W - s.px(32), top};
    c.modeTabs[0] = {0, s.px(124)};
    c.modeTabs[1] = {0, s.px(194)};
    c.modeTabs[2] = {0, s.px(264)};
    const int stripTop = g + s.px(33), stripBottom = g + s.px(51);
    c.previousButton = Box{s.px(kPictureLeft), stripTop, s.px(64), stripBottom};
    c.listFrame = Box{s.px(68), g + s.px(14), W - s.px(20), g + s.px(92)};
    c.nextButton = Box{W - s.px(16), stripTop, W - s.px(3), stripBottom};
    c.hint = Box{s.px(61), g - s.px(20), s.px(61) + (W - s.px(kPictureMarginX)) / 2, g - s.px(6)};
    const int header = s.px(kHeaderHeight), border = s.px(3);
    c.rightBorder = Box{W - border, header, W, H};
    c.bottomBorder = Box{0, H - border, W, H};
    c.grip = Box{W - s.px(9), H - s.px(9), W - border, H - border};
    const menubar::BarSize docked = menubar::dockedBar(s);
    c.dockedMenuBar = boxAt(s.px(48), header, docked.width, docked.height);
    c.header = Box{0, 0, W, header};
    c.headerImage = {s.px(48), 0};
    c.headerRepaintLeft = s.px(480);
    return c;
}

std::vector<Point> headerOutline(int W, const DisplayScale& s) {
    const int left = s.px(48), cut = s.px(2), bottom = s.px(kHeaderHeight) - 1;
    return {{left, cut}, {left + cut, 0}, {W - cut, 0}, {W - 1, cut}, {W - 1, bottom}, {left, bottom}, {left, cut}};
}

Overlays overlays(const Box& r, const DisplayScale& s) {
    Overlays o;
    const int countdown = s.px(overlay::kCountdownSize), exposure = s.px(overlay::kExposureSize);
    o.countdown = centredAcross(r, r.bottom - s.px(kCountdownAbove), countdown, countdown);
    o.exposure = centredAcross(r, r.bottom - s.px(kExposureAbove), exposure, exposure);
    o.snapshotBar = boxAt(r.right - s.px(kSnapshotBarLeft), r.bottom - s.px(kSnapshotBarAbove),
                          s.px(overlay::kSnapshotBarWidth), s.px(overlay::kSnapshotBarHeight));
    const menubar::BarSize bar = menubar::floatingBar(s);
    o.floatingMenuBar = centredAcross(r, r.top + s.px(kFloatingBarBelow), bar.width, bar.height);
    return o;
}

Box fullScreenPicture(int clientWidth, int clientHeight) {
    int width = clientHeight * 4 / 3, height = clientHeight;
    if (width > clientWidth) {
        width = clientWidth;
        height = clientWidth * 3 / 4;
    }
    return boxAt((clientWidth - width) / 2, (clientHeight - height) / 2, width, height);
}

Box fullScreenWindow(const Monitor& monitor) { return monitor.whole; }

InfoLine infoLine(const Box& picture, int textWidth, const int gaps[3], const DisplayScale& s) {
    InfoLine result;
    const int buttonWidth = s.px(18), lineLeft = s.px(22), height = s.px(14);
    int x = picture.left + (picture.width() - textWidth - s.px(28)) / 2;
    if (x < picture.left) x = picture.left;
    const int top = picture.bottom + s.px(4);
    result.folderButton = boxAt(x, top, buttonWidth, height);
    result.line = boxAt(x + lineLeft, top, picture.right - (x + lineLeft) - picture.left, height);
    for (int i = 0; i < 3; ++i)
        result.separators[i] =
            gaps[i] ? boxAt(x + lineLeft + gaps[i], picture.bottom + s.px(1), s.px(1), s.px(12)) : Box{};
    return result;
}

std::vector<Point> windowOutline(int W, int H, const DisplayScale& s) {
    const int cut = s.px(2), body = s.px(48), tabsTop = s.px(124), tabsBottom = s.px(334);
    return {{cut, tabsTop},        {body, tabsTop},  {body, cut},         {body + cut, 0},
            {W - cut, 0},          {W, cut},         {W, H - cut},        {W - cut, H},
            {body + cut, H},       {body, H - cut},  {body, tabsBottom},  {cut, tabsBottom},
            {0, tabsBottom - s.px(3)}, {0, tabsTop + cut}};
}

}  // namespace mainlayout
