// The photos next to the one shown, read, decoded and scaled to fit the photo view on a worker
// thread, so that the arrow key finds the next one ready and only has to show it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "framework/Gdiplus.h"
#include "framework/Handles.h"
#include "framework/WorkerThread.h"
#include "ui/PictureGeometry.h"

namespace skeo {

// One photo as the worker left it: decoded, and scaled to the size it is first shown at.
struct PreparedPhoto {
    std::wstring path;
    vnt::FileStamp stamp;  // of the file as it was read
    std::unique_ptr<Gdiplus::Bitmap> picture;
    vnt::BitmapHandle fitted;  // a 24-bit DIB section of fittedSize; may be missing
    PictureSize fittedSize;
};

class PhotoPrefetcher {
public:
    PhotoPrefetcher();
    // Waits for the photo in hand, which takes at most one decode.
    ~PhotoPrefetcher();
    PhotoPrefetcher(const PhotoPrefetcher&) = delete;
    PhotoPrefetcher& operator=(const PhotoPrefetcher&) = delete;

    // The photos to have ready, the likeliest first, fitted into the view's box and client size;
    // anything held for other photos or sizes is dropped. Starts the worker at the first call.
    void want(const std::vector<std::wstring>& paths, PictureSize box, PictureSize client);

    // The photo of `path` when it is ready, or being made (then waited for), and its file is still
    // the one read; null otherwise, and the caller reads it itself.
    std::unique_ptr<PreparedPhoto> take(const std::wstring& path);

    // Drops everything held and wanted (the library changed under the view).
    void clear();

    // Photos held now, for tests and the memory report.
    size_t heldCount();

private:
    static void workerBody(void* self, HANDLE stopEvent);
    void run(HANDLE stopEvent);
    // The first wanted photo neither held nor tried; empty when there is none.
    bool nextJob(std::wstring& path, PictureSize& box, PictureSize& client);
    static std::unique_ptr<PreparedPhoto> prepare(const std::wstring& path, PictureSize box, PictureSize client);

    CRITICAL_SECTION lock_;
    vnt::KernelHandle workEvent_;  // auto-reset: the wanted list changed
    vnt::KernelHandle doneEvent_;  // manual-reset: set whenever no photo is in hand
    std::vector<std::wstring> wanted_;
    std::vector<std::wstring> tried_;  // wanted photos that could not be prepared
    std::vector<std::unique_ptr<PreparedPhoto>> held_;
    std::wstring inHand_;
    PictureSize box_, client_;
    vnt::WorkerThread worker_;
};

}  // namespace skeo
