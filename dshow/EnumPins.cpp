#include "dshow/EnumPins.h"

#include <mutex>
#include <new>

#include "dshow/EnumPosition.h"

namespace dshow {

EnumPins::Snapshot::Snapshot(std::vector<IPin*> pins) noexcept : pins_(std::move(pins)) {
    for (IPin* pin : pins_) pin->AddRef();
}

EnumPins::Snapshot::~Snapshot() {
    for (IPin* pin : pins_) pin->Release();
}

HRESULT EnumPins::create(const std::vector<IPin*>& pins, IEnumPins** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::shared_ptr<const Snapshot> snapshot;
    try {
        std::vector<IPin*> held;
        held.reserve(pins.size());
        for (IPin* pin : pins)
            if (pin) held.push_back(pin);
        snapshot = std::make_shared<const Snapshot>(std::move(held));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    auto* e = new (std::nothrow) EnumPins(std::move(snapshot), 0);
    if (!e) return E_OUTOFMEMORY;
    *out = e;
    return S_OK;
}

EnumPins::EnumPins(std::shared_ptr<const Snapshot> snapshot, ULONG position) noexcept
    : snapshot_(std::move(snapshot)), position_(position) {}

STDMETHODIMP EnumPins::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumPins)) {
        *ppv = static_cast<IEnumPins*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EnumPins::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) EnumPins::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP EnumPins::Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) {
    const HRESULT arguments = checkNextArguments(ppPins, cPins, pcFetched);
    if (FAILED(arguments)) return arguments;

    std::lock_guard<SrwLock> guard(lock_);
    const std::vector<IPin*>& pins = snapshot_->pins();
    const ULONG count = itemsAvailable(cPins, pins.size(), position_);
    for (ULONG i = 0; i < count; ++i) {
        ppPins[i] = pins[position_ + i];
        ppPins[i]->AddRef();
    }
    position_ += count;
    if (pcFetched) *pcFetched = count;
    return count == cPins ? S_OK : S_FALSE;
}

STDMETHODIMP EnumPins::Skip(ULONG cPins) {
    std::lock_guard<SrwLock> guard(lock_);
    return skipItems(cPins, snapshot_->pins().size(), position_);
}

STDMETHODIMP EnumPins::Reset() {
    std::lock_guard<SrwLock> guard(lock_);
    position_ = 0;
    return S_OK;
}

STDMETHODIMP EnumPins::Clone(IEnumPins** ppEnum) {
    if (!ppEnum) return E_POINTER;
    std::lock_guard<SrwLock> guard(lock_);
    auto* e = new (std::nothrow) EnumPins(snapshot_, position_);
    *ppEnum = e;
    return e ? S_OK : E_OUTOFMEMORY;
}

}  // namespace dshow
