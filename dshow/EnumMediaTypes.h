// IEnumMediaTypes over a snapshot of a pin's media types: later changes to the pin's list do not
// disturb an enumeration in progress.
#pragma once

#include "dshow/Enumerator.h"
#include "dshow/MediaType.h"

#include <vector>

namespace dshow {

// Each item handed out is a CoTaskMemAlloc'd copy for the caller to free.
class MediaTypeSnapshot {
public:
    using Source = std::vector<MediaType>;
    using Item = AM_MEDIA_TYPE*;

    explicit MediaTypeSnapshot(const Source& types);

    // False when a format block could not be copied.
    bool complete() const noexcept { return complete_; }
    std::size_t size() const noexcept { return types_.size(); }
    bool copy(std::size_t index, Item& out) const noexcept;
    static void discard(Item& item) noexcept;

private:
    const Source types_;
    const bool complete_;
};

using EnumMediaTypes = Enumerator<IEnumMediaTypes, IID_IEnumMediaTypes, MediaTypeSnapshot>;
extern template class Enumerator<IEnumMediaTypes, IID_IEnumMediaTypes, MediaTypeSnapshot>;

}  // namespace dshow
