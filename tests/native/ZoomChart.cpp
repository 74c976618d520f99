// Writes two charts at 1600 x 1200 as the filter zooms them, with the zoom window cut out beside
// each, as binary PPM files, so that an independent scaler can be held to the filter's: the virtual
// camera's test picture (flat colours and text) and a chart of fine detail (noise over gradients),
// where any other sampling shows; and, when the folder holds a 1600 x 1200 text.ppm (a page of small
// print), that page. zoom-chart <folder> <zoom>... writes {window,zoomed}-<chart>-<zoom>.ppm.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imagefx/FrameKernels.h"
#include "tools/virtualcam/TestPicture.h"

namespace {

// Rows of a bottom-up frame from `top` (a picture row) down, `width` pixels from `left`.
bool writePpm(const std::string& path, const std::vector<uint8_t>& frame, const vantorfx::FrameFormat& f, int left,
              int top, int width, int height) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    std::fprintf(out, "P6\n%d %d\n255\n", width, height);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int y = top; y < top + height; ++y) {
        const uint8_t* s = &frame[static_cast<size_t>(f.height - 1 - y) * f.stride + static_cast<size_t>(left) * 3];
        for (int x = 0; x < width; ++x) {
            row[x * 3] = s[x * 3 + 2];
            row[x * 3 + 1] = s[x * 3 + 1];
            row[x * 3 + 2] = s[x * 3];
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

// A binary PPM of exactly w x h into a bottom-up frame; false when there is none or it differs.
bool readPpm(const std::string& path, int w, int h, const vantorfx::FrameFormat& f, std::vector<uint8_t>& frame) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    int pw = 0, ph = 0, max = 0;
    const bool header = std::fscanf(in, "P6 %d %d %d", &pw, &ph, &max) == 3 && std::fgetc(in) != EOF;
    bool ok = header && pw == w && ph == h && max == 255;
    std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
    for (int y = 0; ok && y < h; ++y) {
        ok = std::fread(row.data(), 1, row.size(), in) == row.size();
        uint8_t* d = &frame[static_cast<size_t>(h - 1 - y) * f.stride];
        for (int x = 0; ok && x < w; ++x) {
            d[x * 3] = row[x * 3 + 2];
            d[x * 3 + 1] = row[x * 3 + 1];
            d[x * 3 + 2] = row[x * 3];
        }
    }
    std::fclose(in);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zoom-chart <folder> <zoom>...\n");
        return 2;
    }
    const int w = 1600, h = 1200;
    vcam::TestPicture picture;
    vantorfx::FrameFormat format;
    if (!picture.setSize(w, h) || !vantorfx::formatFromDib(w, h, 24, format)) return 1;
    std::vector<uint8_t> camera(picture.frameBytes()), detail(camera.size()), zoomed(camera.size());
    if (!picture.render(12345, camera.data(), camera.size())) return 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const uint32_t noise = (static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                                        static_cast<uint32_t>(c) * 83492791u) * 2654435761u >> 26;  // 0..63
                const int ramp = c == 0 ? x * 191 / w : c == 1 ? y * 191 / h : (x + y) * 191 / (w + h);
                detail[static_cast<size_t>(y) * format.stride + static_cast<size_t>(x) * 3 + c] =
                    static_cast<uint8_t>(ramp + noise);
            }
    std::vector<uint8_t> text(camera.size());
    const std::string textPath = std::string(argv[1]) + "/text.ppm";
    const bool haveText = readPpm(textPath, w, h, format, text);
    if (!haveText)
        if (FILE* f = std::fopen(textPath.c_str(), "rb")) {
            std::fclose(f);
            std::fprintf(stderr, "%s is no 1600 x 1200 PPM of 8-bit channels\n", textPath.c_str());
            return 1;
        }
    const struct {
        const char* name;
        const std::vector<uint8_t>& frame;
    } charts[] = {{"picture", camera}, {"detail", detail}, {"text", text}};
    for (int i = 2; i < argc; ++i)
        for (const auto& chart : charts) {
            if (&chart.frame == &text && !haveText) continue;
            const std::vector<uint8_t>& source = chart.frame;
        const float zoom = std::strtof(argv[i], nullptr);
        vantorfx::ZoomScaler scaler;
        vantorfx::ZoomWindow window;
        if (!vantorfx::zoomWindow(format, zoom, window) ||
            !vantorfx::transformFrame(format, {false, false, zoom}, source.data(), source.size(), zoomed.data(),
                                      zoomed.size(), scaler))
            return 1;
        // The window's first memory row is its bottom picture row.
        const int top = h - window.firstRow - window.height;
        const std::string name = std::string(chart.name) + "-" + argv[i] + ".ppm";
        const std::string folder = argv[1];
        if (!writePpm(folder + "/window-" + name, source, format, window.left, top, window.width, window.height) ||
            !writePpm(folder + "/zoomed-" + name, zoomed, format, 0, 0, w, h))
            return 1;
        std::printf("%s zoom %s: window %d x %d at (%d, %d)\n", chart.name, argv[i], window.width, window.height,
                    window.left, top);
    }
    return 0;
}
