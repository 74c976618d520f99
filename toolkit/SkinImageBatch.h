// Skin images decoded on a worker thread while the window that shows them is still being made:
// decoding a window's worth of them takes longer than the rest of its set-up.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "framework/WorkerThread.h"
#include "toolkit/CGdiPlusBitmap.h"

namespace toolkit {

class SkinImageBatch {
public:
    // Starts decoding the images (see CGdiPlusBitmapResource::LoadForDpi) at once.
    SkinImageBatch(std::vector<UINT> ids, int dpi);
    ~SkinImageBatch();
    SkinImageBatch(const SkinImageBatch&) = delete;
    SkinImageBatch& operator=(const SkinImageBatch&) = delete;

    int dpi() const { return dpi_; }
    // Hands the decoded image of id into `target`, once the worker is done; false (target left as it
    // was) when id was not asked for, did not decode or was taken already.
    bool take(UINT id, CGdiPlusBitmapResource& target);

private:
    static void workerBody(void* self, HANDLE stopEvent);
    void decodeAll();

    std::vector<UINT> ids_;
    int dpi_;
    std::map<UINT, std::unique_ptr<CGdiPlusBitmapResource>> images_;
    vnt::WorkerThread worker_;
    bool joined_ = false;
};

}  // namespace toolkit
