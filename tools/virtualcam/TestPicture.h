// The virtual camera's moving test picture, rendered into packed 24-bit bottom-up frames.
//
// Layout, with u = height / 12 and picture rows counted from the top:
//   rows 0 .. 2u:      four solid corner marks of 2u x 2u (red top-left, green top-right, blue
//                      bottom-left, yellow bottom-right: any mirror, flip or turn shows) and a
//                      grey ramp between the top two, black at its left end;
//   rows 2u .. 8u:     eight colour bars at 75 % (white, yellow, cyan, green, magenta, red, blue,
//                      black), with the centre mark on top: a black square of 2u around the
//                      picture's centre holding a white square of u, so zoom shows in its size;
//   rows 8u .. 10u:    a black band in which a white block of u x 2u moves right every frame;
//   rows 10u .. end:   black, with the frame counter's six white digits in the middle.
// The image controls apply to every colour of it. Free of Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcam {

// The camera's image controls, in its own units. Sharpness is kept but not applied: a solid
// test picture has no detail to sharpen.
struct ImageControls {
    int brightness = 128;  // 0 .. 255, an offset around 128
    int contrast = 16;     // 0 .. 31, a factor of contrast / 16 around mid-grey
    int hue = 0;           // -180 .. 180 degrees of chroma rotation
    int saturation = 16;   // 0 .. 31, a chroma factor of saturation / 16
    int sharpness = 0;     // 0 .. 15
    int gamma = 64;        // 0 .. 127, an exponent of 64 / gamma (0 counts as 1)

    bool operator==(const ImageControls& o) const {
        return brightness == o.brightness && contrast == o.contrast && hue == o.hue && saturation == o.saturation &&
               sharpness == o.sharpness && gamma == o.gamma;
    }
    bool operator!=(const ImageControls& o) const { return !(*this == o); }
};

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// A colour as the controls change it; the identity for the defaults. Values outside the ranges
// above are clamped into them.
Rgb adjustColour(const ImageControls& controls, Rgb colour);

namespace testpicture {

constexpr Rgb kTopLeft{255, 0, 0};
constexpr Rgb kTopRight{0, 255, 0};
constexpr Rgb kBottomLeft{0, 0, 255};
constexpr Rgb kBottomRight{255, 255, 0};
constexpr Rgb kInk{255, 255, 255};    // counter digits, moving block, inner centre square
constexpr Rgb kPaper{0, 0, 0};        // bands behind them, outer centre square
constexpr int kBarLevel = 191;
constexpr int kBarCount = 8;
// Bar i has red, green and blue at kBarLevel where the bits 4, 2 and 1 of kBars[i] are set.
constexpr int kBars[kBarCount] = {7, 6, 3, 2, 5, 4, 1, 0};
constexpr int kCounterDigits = 6;
constexpr int kMinWidth = 160, kMinHeight = 120, kMaxSide = 4096;

// In picture coordinates: x to the right, y down from the top row.
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};

struct Layout {
    int unit = 0;
    Rect topLeft, topRight, bottomLeft, bottomRight;
    Rect ramp, bars, centreOuter, centreInner, moverBand, counter;
    int digitScale = 0;  // size of one dot of the 5 x 7 digit font
    int moverWidth = 0;
    int moverStep = 0;   // pixels per frame
};

bool acceptsSize(int width, int height);
// All zero for a refused size.
Layout layout(int width, int height);
// The moving block's left edge in frame n: it crosses the band and starts again.
int moverLeft(const Layout& layout, uint64_t frame);

// Reads the counter back from an unmirrored, unzoomed frame by the centre of each font dot, so
// that light compression does not matter. False when a digit matches no glyph.
bool readCounter(const uint8_t* frame, size_t length, int width, int height, uint32_t& value);

}  // namespace testpicture

// Keeps the still part of the picture, with the controls applied, so that a frame costs one copy
// plus the counter and the moving block. Allocates only in setSize; not thread-safe.
class TestPicture {
public:
    // False, keeping the previous size, for a size outside kMin.. and kMaxSide; out of memory
    // leaves no size at all.
    bool setSize(int width, int height);
    // Rebuilds the still part only when the controls differ from the last ones.
    void setControls(const ImageControls& controls);

    int width() const { return width_; }
    int height() const { return height_; }
    const ImageControls& controls() const { return controls_; }
    size_t frameBytes() const { return background_.size(); }

    // Frame n, counter showing n modulo 10^6. Writes the whole frame, row filler included. False,
    // touching nothing, before a size is set or when the buffer is missing or too short.
    bool render(uint64_t frame, uint8_t* destination, size_t length) const;

private:
    void rebuild();

    int width_ = 0, height_ = 0;
    size_t stride_ = 0;
    ImageControls controls_;
    testpicture::Layout layout_;
    std::vector<uint8_t> background_;
    Rgb ink_ = testpicture::kInk;
};

}  // namespace vcam
