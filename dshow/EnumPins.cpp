#include "dshow/EnumPins.h"

namespace dshow {

PinSnapshot::PinSnapshot(const Source& pins) {
    pins_.reserve(pins.size());
    for (IPin* pin : pins)
        if (pin) pins_.push_back(pin);
    // Only once nothing more can throw: a failed snapshot must not keep its pins.
    for (IPin* pin : pins_) pin->AddRef();
}

PinSnapshot::~PinSnapshot() {
    for (IPin* pin : pins_) pin->Release();
}

bool PinSnapshot::copy(std::size_t index, Item& out) const noexcept {
    out = pins_[index];
    out->AddRef();
    return true;
}

void PinSnapshot::discard(Item& item) noexcept {
    item->Release();
    item = nullptr;
}

template class Enumerator<IEnumPins, IID_IEnumPins, PinSnapshot>;

}  // namespace dshow
