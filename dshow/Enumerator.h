// An enumerator over a snapshot of a list: later changes to the list do not disturb an enumeration
// in progress. Clones share the snapshot, which is never changed once taken.
#pragma once

#include "dshow/SrwLock.h"
#include "framework/ComObject.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <new>

namespace dshow {

// Snapshot is built from a Snapshot::Source (its constructor may throw std::bad_alloc) and tells
// whether it is complete(); it hands out copies of its items and takes back those of a failed call:
//   std::size_t size() const noexcept;
//   bool copy(std::size_t index, Item& out) const noexcept;  // false when out of memory
//   static void discard(Item& item) noexcept;                 // undoes a copy, nulls the item
template <class Interface, const IID& iid, class Snapshot>
class Enumerator final : public vnt::ComObject<Interface, iid> {
public:
    using Item = typename Snapshot::Item;

    // *out receives a new enumerator with one reference, positioned at the start.
    static HRESULT create(const typename Snapshot::Source& source, Interface** out) noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        std::shared_ptr<const Snapshot> snapshot;
        try {
            snapshot = std::make_shared<const Snapshot>(source);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        if (!snapshot->complete()) return E_OUTOFMEMORY;
        auto* e = new (std::nothrow) Enumerator(std::move(snapshot), 0);
        if (!e) return E_OUTOFMEMORY;
        *out = e;
        return S_OK;
    }

    // The count may be left out only when at most one item is asked for.
    STDMETHODIMP Next(ULONG requested, Item* items, ULONG* fetched) override {
        if (!items) return E_POINTER;
        if (!fetched && requested > 1) return E_INVALIDARG;
        if (fetched) *fetched = 0;

        std::lock_guard<SrwLock> guard(lock_);
        const ULONG count = available(requested);
        for (ULONG i = 0; i < count; ++i) {
            if (!snapshot_->copy(position_ + i, items[i])) {
                // All or nothing: the caller must not have to free part of a failed call.
                for (ULONG j = 0; j < i; ++j) Snapshot::discard(items[j]);
                return E_OUTOFMEMORY;
            }
        }
        position_ += count;
        if (fetched) *fetched = count;
        return count == requested ? S_OK : S_FALSE;
    }

    // S_FALSE, at the end, when fewer than count items remained.
    STDMETHODIMP Skip(ULONG count) override {
        std::lock_guard<SrwLock> guard(lock_);
        const ULONG moved = available(count);
        position_ += moved;
        return moved == count ? S_OK : S_FALSE;
    }

    STDMETHODIMP Reset() override {
        std::lock_guard<SrwLock> guard(lock_);
        position_ = 0;
        return S_OK;
    }

    STDMETHODIMP Clone(Interface** ppEnum) override {
        if (!ppEnum) return E_POINTER;
        std::lock_guard<SrwLock> guard(lock_);
        auto* e = new (std::nothrow) Enumerator(snapshot_, position_);
        *ppEnum = e;
        return e ? S_OK : E_OUTOFMEMORY;
    }

private:
    Enumerator(std::shared_ptr<const Snapshot> snapshot, ULONG position) noexcept
        : snapshot_(std::move(snapshot)), position_(position) {}
    ~Enumerator() override = default;

    // How many of the requested items remain from the position; the lock is held.
    ULONG available(ULONG requested) const noexcept {
        const ULONG left = static_cast<ULONG>(snapshot_->size()) - position_;
        return requested < left ? requested : left;
    }

    const std::shared_ptr<const Snapshot> snapshot_;
    SrwLock lock_;
    ULONG position_;
};

}  // namespace dshow
