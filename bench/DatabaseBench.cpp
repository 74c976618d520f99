// Benchmark of the event database: load and save of an index of 10,000 records whose photos exist,
// and the cost of a burst of additions on the caller's thread. Prints one JSON line per figure;
// scripts/bench adds the reference (xmllint --noout on the same file) measured in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "library/VNTSkeoDatabaseManager.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: database_bench <folder>\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring folder = std::wstring(argv[1]) + L"\\";
    const std::wstring photos = folder + L"photos\\";
    const std::wstring index = folder + L"EventList3.xml";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(photos.c_str(), nullptr);
    DeleteFileW(index.c_str());
    const int records = 10000;
    {
        VNTSkeoDatabaseManager db(index);
        for (int i = 0; i < records; ++i) {
            VNTSkeoEvent e;
            e.folder = photos;
            e.name = L"2026-12-08_" + std::to_wstring(10000 + i) + L".jpg";
            const std::wstring path = e.fullPath();
            HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
            db.addEvent(e);
        }
    }

    std::vector<double> loads, saves;
    size_t loaded = 0;
    for (int run = 0; run < 5; ++run) {
        auto start = Clock::now();
        auto db = std::make_unique<VNTSkeoDatabaseManager>(index);
        loads.push_back(ms(start));
        loaded = db->eventList().size();
        VNTSkeoEvent e;
        e.folder = photos;
        e.name = L"extra.jpg";
        const std::wstring extra = e.fullPath();
        HANDLE f = CreateFileW(extra.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
        db->addEvent(e);
        db->removeEvent(0);  // takes the extra record out again: the same file every run
        start = Clock::now();
        db.reset();  // applies the pending requests and saves before it returns
        saves.push_back(ms(start));
    }
    std::printf("{\"name\": \"event database load, %zu records\", \"median\": %.3f, \"unit\": \"ms\"}\n", loaded,
                median(loads));
    std::printf("{\"name\": \"event database save, %zu records\", \"median\": %.3f, \"unit\": \"ms\"}\n", loaded,
                median(saves));

    // A burst of additions only queues: the caller never waits for the disk.
    {
        VNTSkeoDatabaseManager db(folder + L"burst.xml");
        const auto start = Clock::now();
        for (int i = 0; i < 1000; ++i) {
            VNTSkeoEvent e;
            e.folder = photos;
            e.name = L"2026-12-08_10001.jpg";
            db.addEvent(e);
        }
        const double burst = ms(start);
        const long before = db.saveCount();
        Sleep(2500);
        std::printf("{\"name\": \"addEvent x1000 on the caller's thread\", \"median\": %.3f, \"unit\": \"ms\", "
                    "\"reference\": \"one save of 10000 records\", \"reference_median\": %.3f, \"ratio\": %.4f, "
                    "\"file_writes\": %ld}\n",
                    burst, median(saves), burst / median(saves), db.saveCount() - before);
    }
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
