// Benchmark of the photo strip's fill: from entering fillList with a library of photos to the strip
// painted with all of them in, against loading the same thumbnails alone in the same run. A probe
// thread sends the strip a message every few milliseconds and keeps the longest wait for an answer:
// how long the user-interface thread was ever held at a time. Prints one JSON line.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/BenchTiming.h"
#include "bench/BlockProbe.h"
#include "framework/GdiplusSession.h"
#include "library/PhotoWriter.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "toolkit/CSkinScrollWnd.h"
#include "ui/CVNTUI_Skeo_EventListCtrl.h"

namespace {

using Clock = std::chrono::steady_clock;

// The process's private memory: what the strip's items and thumbnails take shows in its growth.
double privateMegabytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PagefileUsage / (1024.0 * 1024.0);  // the commit charge: PrivateUsage is not filled in by every system
}

void pumpOnce() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The host dialog stands in for the main dialog: it hands the list's notifications to the strip.
LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (vnt::ReflectToControl(message, wParam, lParam, &result)) return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    vnt::GdiplusSession gdiplus;
    gdiplus.startup();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const int photos = argc > 1 ? _wtoi(argv[1]) : 1000;
    const int w = 1600, h = 1200;
    const std::wstring folder = bench::temporaryFolder(L"skeo-strip-bench");

    // A few different photos written by the program's own writer (EXIF thumbnail included),
    // copied to make the library: writing 1000 at quality 99 would take minutes.
    const int distinct = 4;
    std::vector<std::wstring> originals;
    for (int i = 0; i < distinct; ++i) {
        const std::vector<BYTE> frame = bench::noisyFrame(w, h, i);
        originals.push_back(folder + L"original" + std::to_wstring(i) + L".jpg");
        WriteSnapshotJpeg(frame.data(), originals.back().c_str(), w, h, w * 3, "DC-1 Plus", 1.0f, 0, 0);
    }
    const std::wstring photoFolder = folder + L"photos\\";
    CreateDirectoryW(photoFolder.c_str(), nullptr);
    std::vector<VNTSkeoEvent> records;  // newest first, as the database lists them
    for (int i = photos - 1; i >= 0; --i) {
        VNTSkeoEvent e;
        e.folder = photoFolder;
        e.name = L"photo" + std::to_wstring(i) + L".jpg";
        // Links, not copies: ten thousand photos of a megabyte each need not fill the disk.
        if (!CreateHardLinkW(e.fullPath().c_str(), originals[i % distinct].c_str(), nullptr))
            CopyFileW(originals[i % distinct].c_str(), e.fullPath().c_str(), FALSE);
        records.push_back(e);
    }
    const std::wstring indexPath = folder + L"EventList3.xml";
    DeleteFileW(indexPath.c_str());

    WNDCLASSW wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SkeoStripBenchHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"strip", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1100,
                                200, nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE, 68, 40, 1012, 78, host,
                                reinterpret_cast<HMENU>(1002), wc.hInstance, nullptr);
    CVNTUI_Skeo_EventListCtrl strip;
    strip.Attach(list);
    HBITMAP skin = static_cast<HBITMAP>(LoadImageW(wc.hInstance, MAKEINTRESOURCEW(513), IMAGE_BITMAP, 0, 0, 0));
    CSkinScrollWnd frame;
    frame.Attach(skin, list);
    pumpOnce();

    VNTSkeoDatabaseManager database(indexPath);
    const auto loadAlone = [&] {
        for (const VNTSkeoEvent& e : records) delete LoadPhotoThumbnail(e.fullPath().c_str(), 60, 45);
    };
    double longestBlock = 0;
    // The probe's messages cost the user-interface thread time of their own: the timed fills run
    // without it, the longest hold is taken from fills of their own.
    const auto fill = [&](bool probed) {
        strip.removeAllItems();
        UpdateWindow(list);
        std::unique_ptr<bench::BlockProbe> probe(probed ? new bench::BlockProbe(list) : nullptr);
        const Clock::time_point start = Clock::now();
        strip.fillList(records, database);
        while (strip.fillPending()) {
            MSG msg;
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        UpdateWindow(list);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const double block = probe ? probe->stop() : 0.0;
        if (block > longestBlock) longestBlock = block;
        if (strip.itemCount() != photos) std::fprintf(stderr, "strip has %d items of %d\n", strip.itemCount(), photos);
        return ms;
    };
    loadAlone();  // the file cache warm for both
    std::vector<double> ours, alone;
    for (int run = 0; run < 5; ++run) {
        alone.push_back(bench::timeMs(loadAlone));
        ours.push_back(fill(false));
    }
    for (int run = 0; run < 3; ++run) fill(true);
    strip.removeAllItems();
    const double emptyMb = privateMegabytes();
    fill(false);
    const double filledMb = privateMegabytes();
    const double oursMs = bench::median(ours), aloneMs = bench::median(alone);
    std::printf("{\"name\": \"event list fill x%d of 1600x1200, painted\", \"median\": %.3f, \"unit\": \"ms\", "
                "\"reference\": \"LoadPhotoThumbnail x%d alone\", \"reference_median\": %.3f, \"ratio\": %.3f, "
                "\"longest_ui_block_ms\": %.1f, \"strip_private_mb\": %.1f, \"process_private_mb\": %.1f}\n",
                photos, oursMs, photos, aloneMs, oursMs / aloneMs, longestBlock, filledMb - emptyMb, filledMb);
    std::fflush(stdout);

    strip.removeAllItems();
    frame.Detach();
    DestroyWindow(host);
    DeleteObject(skin);
    for (const VNTSkeoEvent& e : records) DeleteFileW(e.fullPath().c_str());
    for (const std::wstring& f : originals) DeleteFileW(f.c_str());
    RemoveDirectoryW(photoFolder.c_str());
    DeleteFileW(indexPath.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
