// IEnumPins over a snapshot of a filter's pins. The snapshot holds a reference on each pin, so a
// pin removed from the filter meanwhile stays valid for whoever enumerates it.
#pragma once

#include "dshow/Enumerator.h"

#include <windows.h>
#include <strmif.h>

#include <vector>

namespace dshow {

// Null entries of the source are left out. Each pin handed out carries a reference of its own.
class PinSnapshot {
public:
    using Source = std::vector<IPin*>;
    using Item = IPin*;

    explicit PinSnapshot(const Source& pins);
    ~PinSnapshot();
    PinSnapshot(const PinSnapshot&) = delete;
    PinSnapshot& operator=(const PinSnapshot&) = delete;

    bool complete() const noexcept { return true; }
    std::size_t size() const noexcept { return pins_.size(); }
    bool copy(std::size_t index, Item& out) const noexcept;
    static void discard(Item& item) noexcept;

private:
    std::vector<IPin*> pins_;
};

using EnumPins = Enumerator<IEnumPins, IID_IEnumPins, PinSnapshot>;
extern template class Enumerator<IEnumPins, IID_IEnumPins, PinSnapshot>;

}  // namespace dshow
