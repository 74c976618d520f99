// IUnknown for COM objects that are never aggregated. Header-only, so that code which links
// nothing of Skeo (our DirectShow layer and the DLLs built on it) may use it too.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace vnt {

// *ppv receives object, with a reference, when riid is IUnknown or one of iids; E_NOINTERFACE
// and a null *ppv otherwise. object is the interface pointer that stands for the whole object.
template <const IID&... iids>
HRESULT queryInterface(IUnknown* object, REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || (IsEqualIID(riid, iids) || ...)) {
        *ppv = object;
        object->AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// A heap object implementing Interface. QueryInterface answers IUnknown and each of iids (Interface's
// own and those of the interfaces it extends) with the one Interface pointer. The thread-safe count
// starts at one, the creator's reference; the last Release deletes the object.
template <class Interface, const IID&... iids>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return queryInterface<iids...>(static_cast<Interface*>(this), riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0) {
            lastReleased();
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

protected:
    ComObject() noexcept = default;
    virtual ~ComObject() = default;

    // Runs before the object is deleted, while the derived classes' overrides still apply.
    virtual void lastReleased() {}

private:
    LONG refs_ = 1;
};

}  // namespace vnt
