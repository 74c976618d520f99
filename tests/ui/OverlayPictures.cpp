#include "tests/ui/OverlayPictures.h"

#include <gtest/gtest.h>

#include "framework/BackBuffer.h"
#include "framework/Dpi.h"
#include "tests/support/WindowPixels.h"
#include "toolkit/CGdiPlusBitmap.h"

namespace overlaytest {

namespace {
Picture toPicture(const testsupport::WindowPixels& pixels) {
    Picture p;
    p.width = pixels.width();
    p.height = pixels.height();
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.pixels.push_back(pixels.at(x, y));
    return p;
}
}  // namespace

int testDpi() { return vnt::windowDpi(nullptr); }

UINT skinAt(UINT id) { return skinFor(id, testDpi()); }

UINT skinFor(UINT id, int dpi) {
    switch (dpi) {
    case 96:
        return id;
    case 192:
        return id + 3000;
    default:
        ADD_FAILURE() << "no skin set known for " << dpi << " DPI";
        return id;
    }
}

int px(int value96) { return vnt::scalePx(value96, testDpi()); }

Picture expectedPicture(const std::vector<Layer>& layers, int width, int height, COLORREF background) {
    vnt::BackBuffer buffer;
    buffer.create(nullptr, width, height);
    buffer.fill(background);
    for (const Layer& layer : layers) {
        CGdiPlusBitmapResource image;
        if (!image.Load(layer.pngId)) return Picture{};
        image.draw(buffer.dc(), layer.x, layer.y);
    }
    return toPicture(testsupport::WindowPixels(buffer.dc(), width, height));
}

Picture windowPicture(HWND window) { return toPicture(testsupport::WindowPixels(window)); }

int mismatches(HWND window, const Picture& shown, const Picture& expected) {
    if (shown.width != expected.width || shown.height != expected.height || expected.pixels.empty()) return -1;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool hasRegion = GetWindowRgn(window, region) != ERROR;
    int count = 0;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            if ((!hasRegion || PtInRegion(region, x, y)) && !testsupport::closeColour(shown.at(x, y), expected.at(x, y)))
                ++count;
    DeleteObject(region);
    return count;
}

UINT shownImage(HWND window, const std::map<UINT, Picture>& candidates) {
    if (!IsWindowVisible(window)) return 0;
    const Picture shown = windowPicture(window);
    for (const auto& [id, picture] : candidates)
        if (mismatches(window, shown, picture) == 0) return id;
    return 0;
}

int differences(const Picture& a, const Picture& b, const RECT& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (!testsupport::closeColour(a.at(x, y), b.at(x, y))) ++count;
    return count;
}

}  // namespace overlaytest
