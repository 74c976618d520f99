// Benchmarks of the capture path with the virtual camera (registered in the prefix beforehand):
// a photo taken through the camera object against the photo writer alone on the same frame, and
// the process's processor load while 1280 x 1024 video streams through each renderer path. One
// JSON line per figure.
#include "bench/BenchTiming.h"
#include "camera/CaptureGraph.h"
#include "camera/DirectShowIds.h"
#include "camera/VNTWebcam.h"
#include "framework/GdiplusSession.h"
#include "library/PhotoWriter.h"
#include "tests/support/HiddenClass.h"
#include "tools/virtualcam/TestPicture.h"

#include <windows.h>
#include <uuids.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kCameraPath[] =
    L"\\\\?\\usb#vid_C7A2&pid_5A01&mi_00#7&1A2B3C4D&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const int kWidth = 1280, kHeight = 1024;

void pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

double processSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

std::unique_ptr<VNTWebcam> startCamera(HWND window) {
    std::unique_ptr<VNTWebcam> camera(new VNTWebcam());
    camera->initWithDevice(kCameraPath, L"bench");
    camera->setOwners(window, window);
    if (!camera->build(kWidth, kHeight, &MEDIASUBTYPE_RGB24) || !camera->start()) return nullptr;
    return camera;
}

// The effects filter in the camera's graph, or none.
vnt::ComPtr<IIPEffectVantor> findEffects(CaptureGraph& graph) {
    vnt::ComPtr<IIPEffectVantor> effects;
    vnt::ComPtr<IFilterGraph> filters;
    vnt::ComPtr<IEnumFilters> all;
    if (!graph.mediaControl() || FAILED(graph.mediaControl()->QueryInterface(IID_IFilterGraph, filters.putVoid())) ||
        FAILED(filters->EnumFilters(all.put())))
        return effects;
    IBaseFilter* filter = nullptr;
    while (!effects && all->Next(1, &filter, nullptr) == S_OK) {
        filter->QueryInterface(IID_IIPEffectVantor, effects.putVoid());
        filter->Release();
    }
    return effects;
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vnt::GdiplusSession gdiplus;
    gdiplus.startup();
    HWND window = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 512, nullptr, nullptr,
                                  nullptr, nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring photo = std::wstring(temp) + L"skeo-capture-bench.jpg";

    vcam::TestPicture picture;
    picture.setSize(kWidth, kHeight);
    std::vector<uint8_t> frame(picture.frameBytes());
    picture.render(1, frame.data(), frame.size());
    // The writer never replaces a file: each photo goes to a name that is free, as in the program.
    auto writeAlone = [&] {
        DeleteFileW(photo.c_str());
        WriteSnapshotJpeg(frame.data(), photo.c_str(), kWidth, kHeight, kWidth * 3, "Skeo", 1.0f, 0, 1);
    };
    // The writer alone is measured in turns with the photos, while the same video streams. Through
    // the effects filter a photo waits for the next frame, its size known from the connection.
    // The third path shows the grabber without the load of Wine's software-rendered VMR9.
    const struct {
        const char* name;
        bool hideRenderers, hideEffects;
    } snapshotPaths[] = {{"VMR9 with sample grabber", false, false},
                         {"default renderer with the effects filter", true, false},
                         {"default renderer with sample grabber", true, true}};
    for (const auto& path : snapshotPaths) {
        std::unique_ptr<testsupport::HiddenClass> vmr9, evr, effects;
        if (path.hideRenderers) {
            vmr9.reset(new testsupport::HiddenClass(CLSID_VideoMixingRenderer9));
            evr.reset(new testsupport::HiddenClass(CLSID_EnhancedVideoRenderer));
        }
        if (path.hideEffects) effects.reset(new testsupport::HiddenClass(CLSID_VantorImageEffects));
        std::unique_ptr<VNTWebcam> camera = startCamera(window);
        if (!camera) {
            std::printf("{\"name\": \"capture bench\", \"error\": \"the virtual camera did not start\"}\n");
            return 1;
        }
        // Until the first frames are there.
        for (int i = 0; i < 100 && !camera->snapshot(photo.c_str(), false); ++i) pump(50);
        const auto medians = bench::alternatingMediansMs(
            15,
            [&] {
                DeleteFileW(photo.c_str());
                camera->snapshot(photo.c_str(), false);
            },
            writeAlone);
        const double taken = medians.first, written = medians.second;
        std::printf("{\"name\": \"snapshot request to file closed, %dx%d, %s\", \"median\": %.3f, \"unit\": \"ms\", "
                    "\"reference\": \"WriteSnapshotJpeg alone, same frame size, same streaming\", \"reference_median\": %.3f, "
                    "\"ratio\": %.3f}\n",
                    kWidth, kHeight, path.name, taken, written,
                    taken / written);
        // The filter's snapshot alone, to tell waiting for a frame from the work of the photo.
        if (vnt::ComPtr<IIPEffectVantor> effects = findEffects(*camera->graph())) {
            std::vector<BYTE> buffer(frame.size());
            const double handshake = bench::medianMs(9, [&] {
                int size = static_cast<int>(buffer.size());
                AM_MEDIA_TYPE type{};  // the filter's own: nothing to free
                effects->TakeSnapshot(&size, buffer.data(), &type);
            });
            std::printf("{\"name\": \"the effects filter's one-frame snapshot alone, back to back, %dx%d\", "
                        "\"median\": %.3f, \"unit\": \"ms\", \"reference\": \"WriteSnapshotJpeg alone\", "
                        "\"reference_median\": %.3f, \"ratio_of_the_photo_without_it\": %.3f}\n",
                        kWidth, kHeight, handshake, written, (taken - handshake) / written);
        }
        std::fflush(stdout);
        camera->stop();
    }

    const struct {
        const char* name;
        bool hideVmr9, hideEvr, hideEffects;
    } paths[] = {{"VMR9 with sample grabber", false, false, false},
                 {"default renderer with the effects filter", true, true, false},
                 {"default renderer with sample grabber", true, true, true}};
    for (const auto& path : paths) {
        std::unique_ptr<testsupport::HiddenClass> vmr9, evr, effects;
        if (path.hideVmr9) vmr9.reset(new testsupport::HiddenClass(CLSID_VideoMixingRenderer9));
        if (path.hideEvr) evr.reset(new testsupport::HiddenClass(CLSID_EnhancedVideoRenderer));
        if (path.hideEffects) effects.reset(new testsupport::HiddenClass(CLSID_VantorImageEffects));
        std::unique_ptr<VNTWebcam> camera = startCamera(window);
        if (!camera) continue;
        pump(1000);
        const double cpuBefore = processSeconds();
        const ULONGLONG wallBefore = GetTickCount64();
        pump(5000);
        const double load = (processSeconds() - cpuBefore) / ((GetTickCount64() - wallBefore) / 1000.0) * 100.0;
        std::printf("{\"name\": \"processor load streaming %dx%d at 30 fps, %s (renderer kind %d; includes the "
                    "virtual camera)\", \"median\": %.1f, \"unit\": \"%% of one core\"}\n",
                    kWidth, kHeight, path.name, camera->graph()->rendererKind(), load);
        std::fflush(stdout);
        camera->stop();
    }
    DestroyWindow(window);
    return 0;
}
