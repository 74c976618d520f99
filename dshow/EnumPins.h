// IEnumPins over a snapshot of a filter's pins. The snapshot holds a reference on each pin, so a
// pin removed from the filter meanwhile stays valid for whoever enumerates it.
#pragma once

#include "dshow/SrwLock.h"

#include <windows.h>
#include <strmif.h>

#include <memory>
#include <vector>

namespace dshow {

class EnumPins final : public IEnumPins {
public:
    // Null entries in pins are left out. *out receives a new enumerator with one reference.
    static HRESULT create(const std::vector<IPin*>& pins, IEnumPins** out) noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) override;
    STDMETHODIMP Skip(ULONG cPins) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** ppEnum) override;

private:
    // Shared by clones; releases its references when the last of them goes.
    class Snapshot {
    public:
        explicit Snapshot(std::vector<IPin*> pins) noexcept;
        ~Snapshot();
        Snapshot(const Snapshot&) = delete;
        Snapshot& operator=(const Snapshot&) = delete;
        const std::vector<IPin*>& pins() const noexcept { return pins_; }

    private:
        std::vector<IPin*> pins_;
    };

    EnumPins(std::shared_ptr<const Snapshot> snapshot, ULONG position) noexcept;
    ~EnumPins() = default;

    LONG refs_ = 1;
    const std::shared_ptr<const Snapshot> snapshot_;
    SrwLock lock_;
    ULONG position_;
};

}  // namespace dshow
