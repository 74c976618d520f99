#include "toolkit/SkinImageBatch.h"

#include <objbase.h>

namespace toolkit {

SkinImageBatch::SkinImageBatch(std::vector<UINT> ids, int dpi) : ids_(std::move(ids)), dpi_(dpi) {
    // Without a worker the images are decoded when first taken, on the caller's thread.
    if (!worker_.start(&SkinImageBatch::workerBody, this)) decodeAll();
}

SkinImageBatch::~SkinImageBatch() { worker_.join(); }

void SkinImageBatch::workerBody(void* self, HANDLE) {
    // The platform's decoders are COM objects.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    static_cast<SkinImageBatch*>(self)->decodeAll();
    if (com) CoUninitialize();
}

void SkinImageBatch::decodeAll() {
    for (UINT id : ids_) {
        if (images_.count(id)) continue;
        auto image = std::make_unique<CGdiPlusBitmapResource>();
        if (image->LoadForDpi(id, dpi_)) images_[id] = std::move(image);
    }
}

bool SkinImageBatch::take(UINT id, CGdiPlusBitmapResource& target) {
    if (!joined_) {
        worker_.join();  // the worker ends of itself once all are decoded
        joined_ = true;
    }
    const auto found = images_.find(id);
    if (found == images_.end() || !found->second) return false;
    target.TakeFrom(*found->second);
    images_.erase(found);
    return true;
}

}  // namespace toolkit
