// Benchmark of the image-effects filter's per-frame kernels against memcpy of the same frame,
// measured in the same run, taking turns so both meet the same load. Prints one JSON line per
// figure, twice: with one frame that stays in the processor's cache, and with frames taken in
// turn from eight buffers (as an allocator's samples come), which no cache holds.
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/BenchTiming.h"
#include "imagefx/FrameKernels.h"

namespace {

const char* vectorName(vantorfx::Vector v) {
    switch (v) {
    case vantorfx::Vector::avx2:
        return "AVX2";
    case vantorfx::Vector::ssse3:
        return "SSSE3";
    default:
        return "portable";
    }
}

void measure(int w, int h, int buffers, const char* frames) {
    vantorfx::FrameFormat format;
    if (!vantorfx::formatFromDib(w, h, 24, format)) return;
    const size_t bytes = vantorfx::frameBytes(format);
    std::vector<std::vector<uint8_t>> sources(buffers, std::vector<uint8_t>(bytes)),
        targets(buffers, std::vector<uint8_t>(bytes, 1));
    for (auto& source : sources)
        for (size_t i = 0; i < bytes; ++i) source[i] = static_cast<uint8_t>(i * 31 + (i >> 11));
    const int runs = 101;
    int next = 0;
    vantorfx::ZoomScaler scaler;
    const struct {
        const char* name;
        vantorfx::Effects effects;
    } cases[] = {{"mirror", {true, false, 1.0f}},          {"flip", {false, true, 1.0f}},
                 {"mirror + flip", {true, true, 1.0f}},    {"zoom 2.0", {false, false, 2.0f}},
                 {"zoom 2.0 + mirror + flip", {true, true, 2.0f}}, {"zoom 1.25", {false, false, 1.25f}},
                 {"zoom 3.0", {false, false, 3.0f}}};
    for (const auto& c : cases) {
        // One frame: each timed after two untimed runs of its own. Frames in turn: nothing to warm.
        const auto [copy, t] = bench::alternatingWarmMediansMs(
            runs, buffers == 1 ? 2 : 0,
            [&] {
                next = (next + 1) % buffers;
                std::memcpy(targets[next].data(), sources[next].data(), bytes);
            },
            [&] {
                next = (next + 1) % buffers;
                vantorfx::transformFrame(format, c.effects, sources[next].data(), bytes, targets[next].data(), bytes,
                                         scaler);
            });
        std::printf("{\"name\": \"%s %dx%d RGB24, %s\", \"median\": %.4f, \"unit\": \"ms\", \"build\": \"%d-bit\", "
                    "\"vector\": \"%s\", \"reference\": \"memcpy of the frame\", \"reference_median\": %.4f, "
                    "\"ratio\": %.2f}\n",
                    c.name, w, h, frames, t, static_cast<int>(sizeof(void*) * 8), vectorName(vantorfx::vectorSupport()),
                    copy, t / copy);
    }
}

}  // namespace

int main() {
    for (const auto& [w, h] : {std::pair{1600, 1200}, std::pair{1280, 1024}, std::pair{640, 480}}) {
        measure(w, h, 1, "frame in cache");
        measure(w, h, 8, "frames from memory");
    }
    std::fflush(stdout);
    return 0;
}
