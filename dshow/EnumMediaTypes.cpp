#include "dshow/EnumMediaTypes.h"

namespace dshow {

namespace {

// MediaType's copy leaves an empty type when its format block cannot be allocated.
bool sameTypes(const std::vector<MediaType>& copy, const std::vector<MediaType>& types) noexcept {
    for (size_t i = 0; i < types.size(); ++i)
        if (!mediaTypesEqual(copy[i].get(), types[i].get())) return false;
    return true;
}

}  // namespace

MediaTypeSnapshot::MediaTypeSnapshot(const Source& types) : types_(types), complete_(sameTypes(types_, types)) {}

bool MediaTypeSnapshot::copy(std::size_t index, Item& out) const noexcept {
    out = createMediaType(types_[index].get());
    return out != nullptr;
}

void MediaTypeSnapshot::discard(Item& item) noexcept {
    deleteMediaType(item);
    item = nullptr;
}

template class Enumerator<IEnumMediaTypes, IID_IEnumMediaTypes, MediaTypeSnapshot>;

}  // namespace dshow
