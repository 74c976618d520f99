// Benchmark of the virtual camera's per-frame work against memcpy of the same RGB24 frame,
// measured in the same run: the test picture, the YUY2 conversions and the MJPG codec. A frame
// period at 30 frames per second is 33.3 ms. Prints one JSON line per figure.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/BenchTiming.h"
#include "tools/virtualcam/MjpgCodec.h"
#include "tools/virtualcam/PixelFormats.h"
#include "tools/virtualcam/TestPicture.h"

namespace {

void print(const char* name, int w, int h, double median, double reference) {
    std::printf("{\"name\": \"virtual camera %s %dx%d\", \"median\": %.4f, \"unit\": \"ms\", \"reference\": \"memcpy of "
                "the RGB24 frame\", \"reference_median\": %.4f, \"ratio\": %.2f}\n",
                name, w, h, median, reference, median / reference);
}

void measure(int w, int h) {
    const size_t bytes = vcam::rgb24FrameBytes(w, h);
    std::vector<uint8_t> frame(bytes), target(bytes), yuy2(vcam::yuy2FrameBytes(w, h));
    const int runs = 61;
    const double copy = bench::medianMs(runs, [&] { std::memcpy(target.data(), frame.data(), bytes); });

    vcam::TestPicture picture;
    if (!picture.setSize(w, h)) return;
    uint64_t n = 0;
    print("test picture frame", w, h, bench::medianMs(runs, [&] { picture.render(n++, frame.data(), bytes); }), copy);
    vcam::ImageControls a, b;
    b.brightness = 160;
    b.contrast = 20;
    b.saturation = 10;
    bool flip = false;
    print("test picture control change", w, h, bench::medianMs(runs, [&] {
              picture.setControls((flip = !flip) ? b : a);
          }), copy);
    picture.setControls(vcam::ImageControls{});
    picture.render(1, frame.data(), bytes);

    print("RGB24 to YUY2", w, h, bench::medianMs(runs, [&] {
              vcam::rgb24ToYuy2(frame.data(), bytes, w, h, yuy2.data(), yuy2.size());
          }), copy);
    print("YUY2 to RGB24", w, h, bench::medianMs(runs, [&] {
              vcam::yuy2ToRgb24(yuy2.data(), yuy2.size(), w, h, target.data(), bytes);
          }), copy);

    vcam::MjpgCodec codec;
    const uint8_t* jpeg = nullptr;
    size_t length = 0;
    print("MJPG encode", w, h, bench::medianMs(21, [&] { codec.encode(frame.data(), bytes, w, h, &jpeg, &length); }), copy);
    if (!jpeg) return;
    const std::vector<uint8_t> stored(jpeg, jpeg + length);
    print("MJPG decode", w, h, bench::medianMs(21, [&] {
              codec.decode(stored.data(), stored.size(), w, h, target.data(), bytes);
          }), copy);
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    measure(1600, 1200);
    measure(640, 480);
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
