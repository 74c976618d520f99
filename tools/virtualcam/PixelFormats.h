// The virtual camera's pixel conversions between packed 24-bit frames and YUY2, with the
// BT.601 limited-range (studio swing) coefficients that capture drivers use. Free of Windows
// headers, so the native build tests them under the sanitizers.
//
// Orientation follows DirectShow: an RGB24 frame with a positive DIB height is bottom-up (the
// first memory row is the bottom of the picture), a YUY2 frame is always top-down. Both
// conversions therefore also turn the row order over.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vcam {

// Bytes of one RGB24 DIB row: three per pixel, padded to a multiple of four.
size_t rgb24Stride(int width);

// Bytes of a whole frame; 0 when the size is not positive or the frame would not fit the address
// space. YUY2 carries two pixels in four bytes, so an odd width gives 0 too.
size_t rgb24FrameBytes(int width, int height);
size_t yuy2FrameBytes(int width, int height);

struct Yuv {
    uint8_t y, u, v;
};

// One colour; u and v are its own chroma, before any subsampling. Limited range: black is
// (16, 128, 128), white (235, 128, 128).
Yuv rgbToYuv(uint8_t r, uint8_t g, uint8_t b);
// Out-of-gamut combinations are clamped to 0..255 per channel.
void yuvToRgb(uint8_t y, uint8_t u, uint8_t v, uint8_t& r, uint8_t& g, uint8_t& b);

// Each pixel pair shares the chroma of the pair's mean colour. False, touching nothing, when the
// size is refused (see yuy2FrameBytes), a buffer is missing or shorter than a frame.
bool rgb24ToYuy2(const uint8_t* rgb, size_t rgbLength, int width, int height, uint8_t* yuy2, size_t yuy2Length);
// Row filler of the RGB24 frame is left as it was.
bool yuy2ToRgb24(const uint8_t* yuy2, size_t yuy2Length, int width, int height, uint8_t* rgb, size_t rgbLength);

}  // namespace vcam
