// Browsing photos in the program's main dialog, run modally with a library of 1600 x 1200 photos:
// (1) from the arrow key to the next photo painted, against reading, decoding and scaling that
// photo alone; (2) the longest hold of the user-interface thread while browsing, zooming and
// turning photos, against the 50 ms it may be held. One JSON line each.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/BenchTiming.h"
#include "bench/BlockProbe.h"
#include "bench/ScriptedRun.h"
#include "framework/GdiplusSession.h"
#include "library/PhotoWriter.h"
#include "library/PictureCodec.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "resources/resource.h"
#include "ui/CVNTUI_Skeo_MainDlg.h"

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

constexpr int kPhotos = 12;
constexpr int kWidth = 1600, kHeight = 1200;

// When the photo view last finished painting, and which photo it showed.
struct Painted {
    Clock::time_point at;
    std::wstring photo;
    CVNTUI_Skeo_PhotoWnd* view = nullptr;
};
Painted painted;

LRESULT CALLBACK watchPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_PAINT) {
        painted.at = Clock::now();
        painted.photo = painted.view->pictureFileName();
    }
    return result;
}

void key(HWND target, WPARAM vk) {
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

void printLine(const char* name, double median, const char* reference, double referenceMedian, const char* extra = "") {
    std::printf("{\"name\": \"%s\", \"median\": %.3f, \"unit\": \"ms\", \"reference\": \"%s\", "
                "\"reference_median\": %.3f, \"ratio\": %.3f%s}\n",
                name, median, reference, referenceMedian, median / referenceMedian, extra);
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vnt::GdiplusSession gdiplus;
    gdiplus.startup();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    const std::wstring folder = bench::temporaryFolder(L"skeo-browse-bench");
    VNTSkeoDatabaseManager database(folder + L"EventList3.xml");
    std::vector<VNTSkeoEvent> records;
    for (int i = 0; i < kPhotos; ++i) {
        VNTSkeoEvent e;
        e.folder = folder;
        e.name = L"IMG_" + std::to_wstring(1000 + i) + L".jpg";
        const std::vector<BYTE> frame = bench::noisyFrame(kWidth, kHeight, i);
        if (WriteSnapshotJpeg(frame.data(), e.fullPath().c_str(), kWidth, kHeight, kWidth * 3, "Skeo", 1.0f, 0, 0) != 0) {
            std::printf("{\"name\": \"photo browsing\", \"error\": \"cannot write the photos\"}\n");
            return 1;
        }
        records.push_back(e);
    }

    CVNTUI_Skeo_MainDlg dialog;
    std::vector<double> keyToPainted;
    int readyCount = 0;
    double browseHold = -1, zoomHold = -1, turnHold = -1;
    std::unique_ptr<bench::BlockProbe> probe;
    skeo::PictureSize box, client;
    // The script: photo mode, the strip filled, the first photo shown; then a key every 400 ms (the
    // dialog takes at most one every 300 ms, and people look at each photo).
    int state = 0, shown = 0;
    Clock::time_point pressed, since = Clock::now();
    bench::ScriptedRun script;
    script.step = [&] {
        script.window = dialog.hwnd();
        HWND list = dialog.eventList().hwnd();
        const double waited = msBetween(since, Clock::now());
        switch (state) {
        case 0:
            SendMessageW(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TAB_PHOTO, BN_CLICKED), 0);
            dialog.eventList().fillList(records, database);
            painted.view = &dialog.photoView();
            SetWindowSubclass(dialog.photoView().hwnd(), &watchPaint, 1, 0);
            state = 1;
            return true;
        case 1:
            if (dialog.eventList().fillPending()) return waited < 60000;
            dialog.eventList().selectOnly(0);
            SetFocus(list);
            box = {dialog.photoView().boxWidth(), dialog.photoView().boxHeight()};
            {
                const RECT r = dialog.photoView().GetClientRect();
                client = {r.right - r.left, r.bottom - r.top};
            }
            probe.reset(new bench::BlockProbe(dialog.hwnd()));
            state = 2;
            since = Clock::now();
            return true;
        case 2:  // a key after each pause
            if (waited < 400) return true;
            pressed = Clock::now();
            key(list, VK_RIGHT);
            ++shown;
            state = 3;
            since = pressed;
            return true;
        case 3: {
            const VNTSkeoEvent* next = dialog.eventList().eventAt(shown % kPhotos);
            if (!next || painted.photo != next->fullPath() || painted.at < pressed) return waited < 10000;
            keyToPainted.push_back(msBetween(pressed, painted.at));
            if (dialog.photoView().lastLoadWasReady()) ++readyCount;
            since = Clock::now();
            state = shown < kPhotos - 1 ? 2 : 4;
            return true;
        }
        case 4:  // zoom in step by step and out again
            browseHold = probe->stop();
            probe.reset(new bench::BlockProbe(dialog.hwnd()));
            for (int i = 0; i < 5; ++i) key(list, VK_ADD);
            for (int i = 0; i < 5; ++i) key(list, VK_SUBTRACT);
            state = 5;
            since = Clock::now();
            return true;
        case 5:
            if (waited < 1500) return true;
            zoomHold = probe->stop();
            probe.reset(new bench::BlockProbe(dialog.hwnd()));
            // Two commands, as two clicks on the menu bar come.
            PostMessageW(dialog.hwnd(), WM_COMMAND, ID_ROTATE_RIGHT, 0);
            PostMessageW(dialog.hwnd(), WM_COMMAND, ID_ROTATE_LEFT, 0);
            state = 6;
            since = Clock::now();
            return true;
        case 6:  // both turns written, their thumbnails made anew
            if (waited < 1500) return true;
            turnHold = probe->stop();
            probe.reset();
            return false;
        }
        return false;
    };
    script.run([&] { dialog.DoModal(); });
    if (probe) probe->stop();

    if (keyToPainted.empty() || turnHold < 0) {
        std::printf("{\"name\": \"photo browsing\", \"error\": \"the script did not finish (state %d)\"}\n", state);
        return 1;
    }
    // The reference: each photo read, decoded and scaled to the view's size alone.
    std::vector<double> alone;
    for (const VNTSkeoEvent& e : records) {
        alone.push_back(bench::timeMs([&] {
            picture::Bytes bytes;
            std::unique_ptr<Gdiplus::Bitmap> decoded;
            if (!picture::readFile(e.fullPath().c_str(), bytes) || !(decoded = picture::decode(bytes))) return;
            const skeo::PictureSize fit =
                skeo::layoutPhotoView({kWidth, kHeight}, box, client, skeo::pictureZoomFactor(0)).scaled;
            DeleteObject(picture::scaledDib(*decoded, fit.width, fit.height));
        }));
    }
    char extra[160];
    std::snprintf(extra, sizeof extra, ", \"keys\": %zu, \"ready_ahead\": %d, \"worst\": %.3f", keyToPainted.size(),
                  readyCount, *std::max_element(keyToPainted.begin(), keyToPainted.end()));
    printLine("arrow key to the next photo painted, 1600x1200 photos", bench::median(keyToPainted),
              "reading, decoding and scaling that photo alone", bench::median(alone), extra);
    const char* limit = "the 50 ms the user-interface thread may be held";
    printLine("longest hold of the user-interface thread while browsing photos", browseHold, limit, 50.0);
    printLine("longest hold of the user-interface thread while zooming a photo", zoomHold, limit, 50.0);
    printLine("longest hold of the user-interface thread while turning a photo", turnHold, limit, 50.0);
    std::fflush(stdout);
    for (const VNTSkeoEvent& e : records) DeleteFileW(e.fullPath().c_str());
    DeleteFileW((folder + L"EventList3.xml").c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
