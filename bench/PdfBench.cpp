// Benchmark of saving photos as a PDF. Prints one JSON line per reference: the median time of ours,
// the median of the reference measured in the same run, and their ratio.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/BenchTiming.h"
#include "framework/GdiplusSession.h"
#include "library/PhotoPdf.h"
#include "library/PhotoWriter.h"

namespace {

// One photo's bytes into the buffer; the number read, 0 when it cannot be opened.
DWORD readPhoto(const std::wstring& path, std::vector<BYTE>& buffer) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    buffer.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr);
    CloseHandle(file);
    return read;
}

// What any saving of the photos must do at least: read each file's bytes once. The bytes read.
size_t readAllPhotos(const std::vector<std::wstring>& files, std::vector<BYTE>& buffer) {
    size_t total = 0;
    for (const std::wstring& f : files) total += readPhoto(f, buffer);
    return total;
}

// What saving them as one file on disk costs at least: the same bytes read, written one file
// after another into one file, and flushed.
void copyAllPhotos(const std::vector<std::wstring>& files, const std::wstring& target, std::vector<BYTE>& buffer) {
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    for (const std::wstring& f : files) {
        DWORD written = 0;
        if (const DWORD read = readPhoto(f, buffer)) WriteFile(out, buffer.data(), read, &written, nullptr);
    }
    FlushFileBuffers(out);
    CloseHandle(out);
}

}  // namespace

int main(int argc, char** argv) {
    vnt::GdiplusSession gdiplus;
    gdiplus.startup();
    const int photos = argc > 1 ? std::atoi(argv[1]) : 500;
    const int w = 1600, h = 1200;
    const std::wstring folder = bench::temporaryFolder(L"skeo-pdf-bench");

    // Photos of a few different frames, as a lesson's are; the rest copies of them.
    constexpr int kFrames = 4;
    std::vector<std::wstring> files;
    for (int i = 0; i < photos; ++i) {
        files.push_back(folder + L"photo" + std::to_wstring(i) + L".jpg");
        DeleteFileW(files[i].c_str());
        if (i < kFrames) {
            const std::vector<BYTE> frame = bench::noisyFrame(w, h, i);
            WriteSnapshotJpeg(frame.data(), files[i].c_str(), w, h, w * 3, "DC-1 Plus", 1.0f, 0, 0);
        } else {
            CopyFileW(files[i % kFrames].c_str(), files[i].c_str(), FALSE);
        }
    }

    skeo::PdfDocumentInfo info;
    info.title = L"photo0";
    info.creator = L"Skeo 2.0.4.0";
    GetLocalTime(&info.created);
    const std::wstring target = folder + L"photos.pdf";
    std::vector<BYTE> buffer;
    size_t bytes = readAllPhotos(files, buffer);  // all start with the photos in the file cache
    const std::wstring copy = folder + L"copy.bin";
    bool written = true;
    // Taken in turns, so that all three meet the same load from whatever else runs meanwhile.
    std::vector<double> ours, reading, copying;
    for (int run = 0; run < 5; ++run) {
        ours.push_back(bench::timeMs(
            [&] { written = skeo::writePhotosPdf(files, target, info).result == skeo::PdfResult::Written && written; }));
        reading.push_back(bench::timeMs([&] { bytes = readAllPhotos(files, buffer); }));
        copying.push_back(bench::timeMs([&] { copyAllPhotos(files, copy, buffer); }));
    }
    if (!written) std::fprintf(stderr, "pdf_bench: writePhotosPdf failed\n");

    char name[128];
    std::snprintf(name, sizeof name, "writePhotosPdf x%d of 1600x1200 (%.0f MB)", photos, bytes / 1048576.0);
    const double oursMs = bench::median(ours);
    bench::report(name, oursMs, "reading the same files (CreateFile + ReadFile)", bench::median(reading), "ms");
    bench::report(name, oursMs, "the same bytes read and written into one file, flushed", bench::median(copying), "ms");

    for (const std::wstring& f : files) DeleteFileW(f.c_str());
    DeleteFileW(target.c_str());
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    return written ? 0 : 1;
}
