// Benchmarks of the photo writer. Prints one JSON line per figure: the median time of ours, the
// median of the reference measured in the same run, and their ratio.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchFiles.h"
#include "bench/BenchTiming.h"
#include "framework/GdiplusSession.h"
#include "library/PhotoWriter.h"

using namespace Gdiplus;

int main(int argc, char** argv) {
    vnt::GdiplusSession gdiplus;
    gdiplus.startup();
    const int photos = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int w = 1600, h = 1200;
    const std::vector<BYTE> frame = bench::noisyFrame(w, h);
    const std::wstring folder = bench::temporaryFolder(L"skeo-bench");
    CLSID jpeg;
    FindJpegEncoder(&jpeg);

    const std::wstring ours = folder + L"ours.jpg", plain = folder + L"plain.jpg";
    // The writer never replaces a file: the name is made free before each photo.
    const double writeOurs = bench::medianMs(9, [&] {
        DeleteFileW(ours.c_str());
        WriteSnapshotJpeg(frame.data(), ours.c_str(), w, h, w * 3, "DC-1 Plus", 1.0f, 0, 0);
    });
    const double writePlain = bench::medianMs(9, [&] {
        Bitmap bitmap(w, h, w * 3, PixelFormat24bppRGB, const_cast<BYTE*>(frame.data()));
        ULONG quality = 99;
        EncoderParameters parameters;
        parameters.Count = 1;
        parameters.Parameter[0] = {EncoderQuality, 1, EncoderParameterValueTypeLong, &quality};
        bitmap.Save(plain.c_str(), &jpeg, &parameters);
    });
    bench::report("WriteSnapshotJpeg 1600x1200 zoom 1.0", writeOurs, "GDI+ JPEG save, quality 99", writePlain, "ms");

    std::vector<std::wstring> files;
    for (int i = 0; i < photos; ++i) {
        files.push_back(folder + L"photo" + std::to_wstring(i) + L".jpg");
        if (i == 0) {
            DeleteFileW(files[0].c_str());
            WriteSnapshotJpeg(frame.data(), files[0].c_str(), w, h, w * 3, "DC-1 Plus", 1.0f, 0, 0);
        } else {
            CopyFileW(files[0].c_str(), files[i].c_str(), FALSE);
        }
    }
    const double thumbsOurs = bench::medianMs(3, [&] {
        for (const std::wstring& f : files) delete LoadPhotoThumbnail(f.c_str(), 60, 45);
    });
    const double thumbsPlain = bench::medianMs(3, [&] {
        for (const std::wstring& f : files) {
            Image image(f.c_str());
            delete image.GetThumbnailImage(60, 45, nullptr, nullptr);
        }
    });
    char name[96];
    std::snprintf(name, sizeof name, "LoadPhotoThumbnail x%d of 1600x1200", photos);
    bench::report(name, thumbsOurs, "GDI+ full decode + GetThumbnailImage", thumbsPlain, "ms");

    for (const std::wstring& f : files) DeleteFileW(f.c_str());
    DeleteFileW(ours.c_str());
    DeleteFileW(plain.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
