// Benchmark of the event database: load and save of an index of many records (100,000 unless told)
// whose photos exist, and the cost of a burst of additions on the caller's thread. Prints one JSON
// line per figure. The save is set against writing the same bytes with one WriteFile in the same
// run; scripts/bench adds the load's reference (xmllint --noout on the same file).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "library/EventListXml.h"
#include "library/VNTSkeoDatabaseManager.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The reference for a save: the index's bytes, already in memory, written to a new file at once.
double writeOnce(const std::wstring& index, const std::wstring& target, bool flush) {
    std::vector<char> bytes;
    HANDLE in = CreateFileW(index.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return 0;
    bytes.resize(GetFileSize(in, nullptr));
    DWORD done = 0;
    ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(in);
    const auto start = Clock::now();
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 0;
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    if (flush) FlushFileBuffers(out);
    CloseHandle(out);
    return ms(start);
}

// Loading without the check that each record's photo exists: read and parse alone.
double readAndParse(const std::wstring& index, size_t& records) {
    const auto start = Clock::now();
    HANDLE in = CreateFileW(index.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return 0;
    std::vector<uint8_t> bytes(GetFileSize(in, nullptr));
    DWORD done = 0;
    ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(in);
    std::vector<VNTSkeoEvent> parsed;
    eventxml::parse(bytes, parsed);
    records = parsed.size();
    return ms(start);
}

// What the check of the photos costs at least: listing their folder once.
double listFolder(const std::wstring& folder, size_t& files) {
    const auto start = Clock::now();
    WIN32_FIND_DATAW found;
    files = 0;
    HANDLE search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do ++files;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return ms(start);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: database_bench <folder> [records]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring folder = std::wstring(argv[1]) + L"\\";
    const std::wstring photos = folder + L"photos\\";
    const std::wstring index = folder + L"EventList3.xml";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(photos.c_str(), nullptr);
    DeleteFileW(index.c_str());
    const int records = argc > 2 ? _wtoi(argv[2]) : 100000;
    {
        VNTSkeoDatabaseManager db(index);
        for (int i = 0; i < records; ++i) {
            VNTSkeoEvent e;
            e.folder = photos;
            e.name = L"2026-12-08_" + std::to_wstring(10000 + i) + L".jpg";
            // Creating a file under Wine scans its folder for another case of the name: scripts/bench
            // makes the photos beforehand, natively, and only missing ones are made here.
            const std::wstring path = e.fullPath();
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
                HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
            }
            db.addEvent(e);
        }
    }

    std::vector<double> loads, parses, listings, saves, writes, flushedWrites;
    size_t loaded = 0, parsed = 0, listed = 0;
    for (int run = 0; run < 5; ++run) {
        parses.push_back(readAndParse(index, parsed));
        listings.push_back(listFolder(photos, listed));
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
        db->saveNow();  // applies the two requests
        start = Clock::now();
        db->saveNow();
        saves.push_back(ms(start));
        db.reset();
        writes.push_back(writeOnce(index, folder + L"reference.xml", false));
        flushedWrites.push_back(writeOnce(index, folder + L"reference.xml", true));
    }
    DeleteFileW((folder + L"reference.xml").c_str());
    std::printf("{\"name\": \"event index read and parsed, %zu records\", \"median\": %.3f, \"unit\": \"ms\"}\n",
                parsed, median(parses));
    std::printf("{\"name\": \"event database load, %zu records, photos checked\", \"median\": %.3f, \"unit\": \"ms\", "
                "\"photo_folder_listing_ms\": %.3f, \"photo_folder_files\": %zu}\n",
                loaded, median(loads), median(listings), listed);
    std::printf("{\"name\": \"event database save, %zu records\", \"median\": %.3f, \"unit\": \"ms\", "
                "\"reference\": \"the same bytes written with one WriteFile\", \"reference_median\": %.3f, "
                "\"ratio\": %.3f, \"flushed_reference\": \"the same with FlushFileBuffers, as a save does\", "
                "\"flushed_reference_median\": %.3f, \"flushed_ratio\": %.3f}\n",
                loaded, median(saves), median(writes), median(saves) / median(writes), median(flushedWrites),
                median(saves) / median(flushedWrites));

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
                    "\"reference\": \"one save of the index\", \"reference_median\": %.3f, \"ratio\": %.4f, "
                    "\"file_writes\": %ld}\n",
                    burst, median(saves), burst / median(saves), db.saveCount() - before);
    }
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
