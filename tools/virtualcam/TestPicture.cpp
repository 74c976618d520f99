#include "tools/virtualcam/TestPicture.h"

#include "tools/virtualcam/PixelFormats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace vcam {

namespace {

using testpicture::Layout;
using testpicture::Rect;

constexpr double kPi = 3.14159265358979323846;

int clampInt(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

uint8_t toByte(double v) { return static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, v)))); }

// Five columns by seven rows per digit, the top row first, the leftmost column as bit 4.
constexpr uint8_t kGlyphs[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};
constexpr int kGlyphColumns = 5, kGlyphRows = 7;
constexpr int kDigitPitch = kGlyphColumns + 1;  // in dots, one dot of space between digits

// Picture row y of a bottom-up frame.
inline uint8_t* rowOf(uint8_t* frame, size_t stride, int height, int y) {
    return frame + static_cast<size_t>(height - 1 - y) * stride;
}

void fillRect(uint8_t* frame, size_t stride, int height, const Rect& r, Rgb c) {
    for (int y = r.top; y < r.top + r.height; ++y) {
        uint8_t* p = rowOf(frame, stride, height, y) + static_cast<size_t>(r.left) * 3;
        for (int x = 0; x < r.width; ++x, p += 3) {
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
}

// The top-left dot of digit i, in picture pixels.
void digitOrigin(const Layout& l, int i, int& x, int& y) {
    x = l.counter.left + l.digitScale + i * kDigitPitch * l.digitScale;
    y = l.counter.top + l.digitScale;
}

// The per-channel curve (gamma, then contrast and brightness) and the chroma rotation and scale,
// worked out once per set of controls.
class Adjuster {
public:
    explicit Adjuster(const ImageControls& in) {
        const int brightness = clampInt(in.brightness, 0, 255), contrast = clampInt(in.contrast, 0, 31);
        const int gamma = clampInt(in.gamma, 0, 127), saturation = clampInt(in.saturation, 0, 31);
        const int hue = clampInt(in.hue, -180, 180);
        const double exponent = 64.0 / std::max(gamma, 1);
        for (int v = 0; v < 256; ++v) {
            double x = gamma == 64 ? v : 255.0 * std::pow(v / 255.0, exponent);
            x = (x - 128.0) * contrast / 16.0 + 128.0 + (brightness - 128);
            curve_[v] = toByte(x);
        }
        chroma_ = saturation != 16 || hue != 0;
        scale_ = saturation / 16.0;
        cos_ = std::cos(hue * kPi / 180.0);
        sin_ = std::sin(hue * kPi / 180.0);
    }

    Rgb apply(Rgb c) const {
        if (chroma_) {
            const double y = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
            const double cb = (c.b - y) / 1.772, cr = (c.r - y) / 1.402;
            const double cb2 = scale_ * (cb * cos_ - cr * sin_), cr2 = scale_ * (cb * sin_ + cr * cos_);
            const double r = y + 1.402 * cr2, b = y + 1.772 * cb2;
            const double g = (y - 0.299 * r - 0.114 * b) / 0.587;
            c = Rgb{toByte(r), toByte(g), toByte(b)};
        }
        return Rgb{curve_[c.r], curve_[c.g], curve_[c.b]};
    }

private:
    uint8_t curve_[256];
    bool chroma_ = false;
    double scale_ = 1.0, cos_ = 1.0, sin_ = 0.0;
};

}  // namespace

Rgb adjustColour(const ImageControls& controls, Rgb colour) { return Adjuster(controls).apply(colour); }

namespace testpicture {

bool acceptsSize(int width, int height) {
    return width >= kMinWidth && height >= kMinHeight && width <= kMaxSide && height <= kMaxSide &&
           rgb24FrameBytes(width, height) != 0;
}

Layout layout(int width, int height) {
    Layout l;
    if (!acceptsSize(width, height)) return l;
    const int u = height / 12, m = 2 * u, w = width, h = height;
    l.unit = u;
    l.topLeft = {0, 0, m, m};
    l.topRight = {w - m, 0, m, m};
    l.bottomLeft = {0, h - m, m, m};
    l.bottomRight = {w - m, h - m, m, m};
    l.ramp = {m, 0, w - 2 * m, m};
    l.bars = {0, m, w, 6 * u};
    // Even sides, so both squares are symmetric about the centre of an even-sized picture.
    l.centreOuter = {w / 2 - u, h / 2 - u, 2 * u, 2 * u};
    l.centreInner = {w / 2 - u / 2, h / 2 - u / 2, 2 * (u / 2), 2 * (u / 2)};
    l.moverBand = {0, 8 * u, w, m};
    l.moverWidth = u;
    l.moverStep = std::max(1, w / 100);
    const int band = h - 10 * u;
    l.digitScale = std::min(band / 9, (w - 2 * m - 2) / (kCounterDigits * kDigitPitch + 1));
    const int cw = (kCounterDigits * kDigitPitch + 1) * l.digitScale, ch = 9 * l.digitScale;
    l.counter = {(w - cw) / 2, 10 * u + (band - ch) / 2, cw, ch};
    return l;
}

int moverLeft(const Layout& l, uint64_t frame) {
    const uint64_t span = static_cast<uint64_t>(l.moverBand.width - l.moverWidth) + 1;
    return static_cast<int>((frame % span) * static_cast<uint64_t>(l.moverStep) % span);
}

bool readCounter(const uint8_t* frame, size_t length, int width, int height, uint32_t& value) {
    const Layout l = layout(width, height);
    const size_t stride = rgb24Stride(width);
    if (!frame || l.digitScale < 1 || length < rgb24FrameBytes(width, height)) return false;
    const int s = l.digitScale;
    int levels[kCounterDigits][kGlyphRows][kGlyphColumns];
    int lo = 3 * 255, hi = 0;
    for (int i = 0; i < kCounterDigits; ++i) {
        int x0 = 0, y0 = 0;
        digitOrigin(l, i, x0, y0);
        for (int r = 0; r < kGlyphRows; ++r)
            for (int c = 0; c < kGlyphColumns; ++c) {
                const uint8_t* p = frame + static_cast<size_t>(height - 1 - (y0 + r * s + s / 2)) * stride +
                                   static_cast<size_t>(x0 + c * s + s / 2) * 3;
                const int level = p[0] + p[1] + p[2];
                levels[i][r][c] = level;
                lo = std::min(lo, level);
                hi = std::max(hi, level);
            }
    }
    // The controls move ink and paper alike, so the threshold is taken from the digits themselves.
    if (hi - lo < 48) return false;
    const int threshold = (lo + hi) / 2;
    uint32_t result = 0;
    for (int i = 0; i < kCounterDigits; ++i) {
        int digit = -1;
        for (int g = 0; g < 10 && digit < 0; ++g) {
            bool same = true;
            for (int r = 0; r < kGlyphRows && same; ++r)
                for (int c = 0; c < kGlyphColumns && same; ++c)
                    same = (levels[i][r][c] > threshold) == (((kGlyphs[g][r] >> (kGlyphColumns - 1 - c)) & 1) != 0);
            if (same) digit = g;
        }
        if (digit < 0) return false;
        result = result * 10 + static_cast<uint32_t>(digit);
    }
    value = result;
    return true;
}

}  // namespace testpicture

bool TestPicture::setSize(int width, int height) {
    if (!testpicture::acceptsSize(width, height)) return false;
    if (width == width_ && height == height_) return true;
    try {
        background_.assign(rgb24FrameBytes(width, height), 0);
    } catch (const std::bad_alloc&) {
        background_.clear();
        width_ = height_ = 0;
        return false;
    }
    width_ = width;
    height_ = height;
    stride_ = rgb24Stride(width);
    layout_ = testpicture::layout(width, height);
    rebuild();
    return true;
}

void TestPicture::setControls(const ImageControls& controls) {
    if (controls == controls_) return;
    controls_ = controls;
    if (width_ > 0) rebuild();
}

void TestPicture::rebuild() {
    using namespace testpicture;
    const Adjuster adjust(controls_);
    uint8_t* f = background_.data();
    const Layout& l = layout_;
    const int w = width_, h = height_;

    // Bands first, marks over them.
    fillRect(f, stride_, h, Rect{0, l.moverBand.top, w, h - l.moverBand.top}, adjust.apply(kPaper));
    for (int i = 0; i < kBarCount; ++i) {
        const int left = i * w / kBarCount, right = (i + 1) * w / kBarCount;
        const uint8_t r = (kBars[i] & 4) ? kBarLevel : 0, g = (kBars[i] & 2) ? kBarLevel : 0,
                      b = (kBars[i] & 1) ? kBarLevel : 0;
        fillRect(f, stride_, h, Rect{left, l.bars.top, right - left, l.bars.height}, adjust.apply(Rgb{r, g, b}));
    }
    const int span = std::max(1, l.ramp.width - 1);
    for (int x = 0; x < l.ramp.width; ++x) {
        const uint8_t v = static_cast<uint8_t>(x * 255 / span);
        fillRect(f, stride_, h, Rect{l.ramp.left + x, l.ramp.top, 1, l.ramp.height}, adjust.apply(Rgb{v, v, v}));
    }
    fillRect(f, stride_, h, l.topLeft, adjust.apply(kTopLeft));
    fillRect(f, stride_, h, l.topRight, adjust.apply(kTopRight));
    fillRect(f, stride_, h, l.bottomLeft, adjust.apply(kBottomLeft));
    fillRect(f, stride_, h, l.bottomRight, adjust.apply(kBottomRight));
    fillRect(f, stride_, h, l.centreOuter, adjust.apply(kPaper));
    fillRect(f, stride_, h, l.centreInner, adjust.apply(kInk));
    ink_ = adjust.apply(kInk);
}

bool TestPicture::render(uint64_t frame, uint8_t* destination, size_t length) const {
    if (width_ == 0 || !destination || length < background_.size()) return false;
    std::memcpy(destination, background_.data(), background_.size());
    const Layout& l = layout_;

    Rect mover{testpicture::moverLeft(l, frame), l.moverBand.top, l.moverWidth, l.moverBand.height};
    fillRect(destination, stride_, height_, mover, ink_);

    uint64_t n = frame % 1000000u;
    const int s = l.digitScale;
    for (int i = testpicture::kCounterDigits - 1; i >= 0 && s > 0; --i, n /= 10) {
        const uint8_t* glyph = kGlyphs[n % 10];
        int x0 = 0, y0 = 0;
        digitOrigin(l, i, x0, y0);
        for (int r = 0; r < kGlyphRows; ++r)
            for (int c = 0; c < kGlyphColumns; ++c)
                if ((glyph[r] >> (kGlyphColumns - 1 - c)) & 1)
                    fillRect(destination, stride_, height_, Rect{x0 + c * s, y0 + r * s, s, s}, ink_);
    }
    return true;
}

}  // namespace vcam
