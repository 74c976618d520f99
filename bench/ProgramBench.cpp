// Benchmarks of the whole program in-process: the main window and its controller on the virtual
// camera. (1) From the start of the window to the first live frame a photo can be taken of, against
// claiming the same camera and building and running its graph alone. (2) From the snapshot request
// (what Enter sends) to the photo file closed and shown in the strip, against the photo writer alone
// on a frame of the same size plus the one second the black frame must be seen. (3) The longest time
// the user-interface thread is held during a photo with the 4 s preview, which runs on timers. One
// JSON line each.
#include <windows.h>
#include <commctrl.h>
#include <uuids.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/VNTSkeoMainWnd.h"
#include "bench/BenchFiles.h"
#include "bench/BenchTiming.h"
#include "bench/BlockProbe.h"
#include "bench/ScriptedRun.h"
#include "camera/VNTWebcam.h"
#include "camera/VNTWebcamMonitor.h"
#include "framework/GdiplusSession.h"
#include "library/PhotoWriter.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "resources/resource.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void pump(DWORD ms) {
    const ULONGLONG until = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < until);
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vnt::GdiplusSession gdiplus;
    gdiplus.startup();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const std::wstring probe = bench::temporaryFolder(L"skeo-program-bench") + L"probe.jpg";
    VNTSkeoDatabaseManager& database = VNTSkeoDatabaseManager::instance();
    database.setInstantPreview(0);

    // (1) The reference: the camera claimed, its graph built and run, until a frame is there.
    HWND host = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 512, nullptr, nullptr,
                                nullptr, nullptr);
    VNTWebcamMonitor& monitor = VNTWebcamMonitor::instance();
    monitor.scanDevices();
    std::vector<double> graphAlone;
    for (int run = 0; run < 3; ++run) {
        const Clock::time_point start = Clock::now();
        VNTWebcam* camera = monitor.acquireWebcam(L"VNTWebcamSkeoPlus", host, host);
        if (!camera) {
            std::printf("{\"name\": \"program bench\", \"error\": \"no camera\"}\n");
            return 1;
        }
        camera->build(1280, 1024, &MEDIASUBTYPE_MJPG);
        camera->start();
        while (!camera->snapshot(probe.c_str(), false) && msSince(start) < 20000) pump(10);
        graphAlone.push_back(msSince(start));
        camera->release();
    }
    DestroyWindow(host);

    // (1) and (2) through the program's window.
    // Runs: three with no preview for (1) and (2), the last with the 4 s preview for (3). The shutter
    // runs on the window's timers, so a photo is waited for step by step.
    std::vector<double> toFirstFrame, snapshots, previewed;
    double longestHold = -1;
    for (int run = 0; run < 4; ++run) {
        const bool preview = run == 3;
        database.setInstantPreview(preview ? 2 : 0);
        VNTSkeoMainWnd window;
        const Clock::time_point start = Clock::now();
        int taken = 0, before = 0;
        bool live = false, waiting = false;
        Clock::time_point pressed;
        std::unique_ptr<bench::BlockProbe> hold;
        bench::ScriptedRun script;
        VNTSkeoMainWnd& w = window;
        script.step = [&] {
            script.window = w.hwnd();
            if (!live) {
                if (!w.camera() || !w.camera()->snapshot(probe.c_str(), false)) return msSince(start) < 20000;
                live = true;
                if (!preview) toFirstFrame.push_back(msSince(start));
                return true;
            }
            if (waiting) {
                if (w.eventList().itemCount() == before + 1 && !w.photoInProgress()) {
                    UpdateWindow(w.eventList().hwnd());
                    (preview ? previewed : snapshots).push_back(msSince(pressed));
                    if (hold) longestHold = std::max(longestHold, hold->stop());
                    hold.reset();
                    waiting = false;
                    return ++taken < (preview ? 2 : 4);
                }
                return msSince(pressed) < 30000;
            }
            before = w.eventList().itemCount();
            if (preview) hold.reset(new bench::BlockProbe(w.hwnd()));
            pressed = Clock::now();
            SendMessageW(w.hwnd(), MSG_SNAPSHOT_REQUEST, 0, 0);
            waiting = true;
            return true;
        };
        script.run([&] { window.DoModal(); });
        if (hold) hold->stop();
    }

    // (2) The reference: the writer alone on a frame of the camera's size, and the black second.
    const std::vector<BYTE> frame = bench::noisyFrame(1280, 1024);
    const double writer = bench::medianMs(5, [&] {
        WriteSnapshotJpeg(frame.data(), probe.c_str(), 1280, 1024, 1280 * 3, "Skeo", 1.0f, 0, 0);
    });
    const double ours = bench::median(toFirstFrame), alone = bench::median(graphAlone);
    std::printf("{\"name\": \"program start to the first live frame\", \"median\": %.3f, \"unit\": \"ms\", "
                "\"reference\": \"claiming the camera and building and running its graph alone\", "
                "\"reference_median\": %.3f, \"ratio\": %.3f}\n",
                ours, alone, ours / alone);
    if (snapshots.empty()) {
        std::printf("{\"name\": \"snapshot request to the photo in the strip\", \"error\": \"no photo was taken\"}\n");
        return 1;
    }
    const double shot = bench::median(snapshots), reference = writer + 1000.0;
    std::printf("{\"name\": \"snapshot request to the photo in the strip, 1280x1024\", \"median\": %.3f, \"unit\": \"ms\", "
                "\"reference\": \"WriteSnapshotJpeg alone, same size, plus the 1 s black frame\", "
                "\"reference_median\": %.3f, \"ratio\": %.3f}\n",
                shot, reference, shot / reference);
    if (previewed.empty() || longestHold < 0) {
        std::printf("{\"name\": \"user-interface thread held during a photo with the 4 s preview\", "
                    "\"error\": \"no photo was taken\"}\n");
        return 1;
    }
    // The reference is the limit a person notices as a stutter; the photo's whole road for scale.
    std::printf("{\"name\": \"longest hold of the user-interface thread during a photo with the 4 s preview\", "
                "\"median\": %.3f, \"unit\": \"ms\", \"reference\": \"the 100 ms a window may be held\", "
                "\"reference_median\": 100.000, \"ratio\": %.3f, \"photo_road_ms\": %.1f}\n",
                longestHold, longestHold / 100.0, bench::median(previewed));
    std::fflush(stdout);

    // The photos go again, the index with them.
    for (const VNTSkeoEvent& e : database.eventList()) DeleteFileW(e.fullPath().c_str());
    DeleteFileW(probe.c_str());
    return 0;
}
