#include "ui/MainLayout.h"

namespace mainlayout {

Box pictureArea(int width, int height, int extra) { return boxAt(51, 74, width - 54, height - extra - 98); }

bool dragResize(int x, int y, int extra, int& width, int& height) {
    width = kMinimumWidth;
    height = kCameraHeight + extra;
    if (!(x > kMinimumWidth - 1 || y >= kCameraHeight + extra)) return true;
    // Width-led: the picture's width rounded down to a multiple of 4; height-led: its height to 3.
    const int widthLedWidth = x - (x - 54) % 4;
    const int widthLedHeight = (x - 54) / 4 * 3 + 98 + extra;
    const int heightLedHeight = y - (y - extra - 98) % 3;
    const int heightLedWidth = (y - extra - 98) / 3 * 4 + 54;
    if ((x - 54) % 4 == 0) {
        const bool useWidth = !(widthLedHeight < y);
        width = useWidth ? widthLedWidth : heightLedWidth;
        height = useWidth ? widthLedHeight : heightLedHeight;
    } else if ((y - extra - 98) % 3 != 0) {
        return false;
    } else {
        const bool useHeight = !(heightLedWidth < x);
        width = useHeight ? heightLedWidth : widthLedWidth;
        height = useHeight ? heightLedHeight : widthLedHeight;
    }
    return true;
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

InfoLine infoLine(const Box& picture, int textWidth, const int gaps[3]) {
    InfoLine result;
    int x = picture.left + (picture.width() - textWidth - 28) / 2;
    if (x < picture.left) x = picture.left;
    const int top = picture.bottom + 4;
    result.folderButton = boxAt(x, top, 18, 14);
    result.line = boxAt(x + 22, top, picture.right - (x + 22) - picture.left, 14);
    for (int i = 0; i < 3; ++i)
        result.separators[i] = gaps[i] ? boxAt(x + 22 + gaps[i], picture.bottom + 1, 1, 12) : Box{};
    return result;
}

std::vector<Point> windowOutline(int W, int H) {
    return {{2, 124}, {48, 124}, {48, 2},     {50, 0},  {W - 2, 0}, {W, 2},   {W, H - 2},
            {W - 2, H}, {50, H},  {48, H - 2}, {48, 334}, {2, 334},  {0, 331}, {0, 126}};
}

}  // namespace mainlayout
