// Benchmark of the image-effects filter's per-frame kernels against memcpy of the same frame,
// measured in the same run. Prints one JSON line per figure.
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/BenchTiming.h"
#include "imagefx/FrameKernels.h"

namespace {


void measure(int w, int h) {
    vantorfx::FrameFormat format;
    if (!vantorfx::formatFromDib(w, h, 24, format)) return;
    const size_t bytes = vantorfx::frameBytes(format);
    std::vector<uint8_t> source(bytes), target(bytes);
    for (size_t i = 0; i < bytes; ++i) source[i] = static_cast<uint8_t>(i * 31 + (i >> 11));
    const int runs = 101;
    const double copy = bench::medianMs(runs, [&] { std::memcpy(target.data(), source.data(), bytes); });
    vantorfx::ZoomScaler scaler;
    const struct {
        const char* name;
        vantorfx::Effects effects;
    } cases[] = {{"mirror + flip", {true, true, 1.0f}}, {"flip", {false, true, 1.0f}},
                 {"zoom 2.0", {false, false, 2.0f}}, {"zoom 2.0 + mirror + flip", {true, true, 2.0f}},
                 {"zoom 1.25", {false, false, 1.25f}}};
    for (const auto& c : cases) {
        const double t = bench::medianMs(runs, [&] {
            vantorfx::transformFrame(format, c.effects, source.data(), bytes, target.data(), bytes, scaler);
        });
        std::printf("{\"name\": \"%s %dx%d RGB24\", \"median\": %.4f, \"unit\": \"ms\", \"reference\": \"memcpy of the "
                    "frame\", \"reference_median\": %.4f, \"ratio\": %.2f}\n",
                    c.name, w, h, t, copy, t / copy);
    }
}

}  // namespace

int main() {
    measure(1600, 1200);
    measure(1280, 1024);
    measure(640, 480);
    std::fflush(stdout);
    return 0;
}
