// Shared by the virtual camera's tests: COM for the test thread, the trace file the tests read,
// and test-picture frames.
#pragma once

#include "tools/virtualcam/PixelFormats.h"
#include "tools/virtualcam/TestPicture.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vcamtest {

// The trace lines written so far by this process (UTF-8 as written).
std::string traceText();

inline std::vector<uint8_t> pictureFrame(int w, int h, uint64_t n) {
    vcam::TestPicture picture;
    std::vector<uint8_t> frame(vcam::rgb24FrameBytes(w, h));
    if (!picture.setSize(w, h) || !picture.render(n, frame.data(), frame.size())) frame.clear();
    return frame;
}

struct Difference {
    double mean = 0;
    int worst = 0;
};

// Over the pixel bytes of two RGB24 frames of one size (row filler left out).
inline Difference difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int w, int h) {
    Difference d;
    const size_t stride = vcam::rgb24Stride(w);
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * 3; ++i) {
            const int e = std::abs(int(a[y * stride + i]) - int(b[y * stride + i]));
            sum += e;
            if (e > d.worst) d.worst = e;
        }
    d.mean = sum / (double(w) * h * 3);
    return d;
}

// The colour at picture coordinates (y from the top) of a bottom-up frame.
inline vcam::Rgb pixel(const std::vector<uint8_t>& f, int w, int h, int x, int y) {
    const uint8_t* p = &f[static_cast<size_t>(h - 1 - y) * vcam::rgb24Stride(w) + x * 3];
    return vcam::Rgb{p[2], p[1], p[0]};
}

inline bool within(vcam::Rgb a, vcam::Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

}  // namespace vcamtest
