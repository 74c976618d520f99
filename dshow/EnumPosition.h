// The rules every enumerator over a fixed list shares: Next's argument checks, how many items a
// call may take, and Skip.
#pragma once

#include <windows.h>

#include <cstddef>

namespace dshow {

// E_POINTER for a missing output array, or a missing count when more than one item is asked for;
// otherwise clears the count and gives S_OK.
inline HRESULT checkNextArguments(const void* items, ULONG requested, ULONG* fetched) {
    if (!items || (!fetched && requested != 1)) return E_POINTER;
    if (fetched) *fetched = 0;
    return S_OK;
}

// How many of the requested items remain from position in a list of size items.
inline ULONG itemsAvailable(ULONG requested, std::size_t size, ULONG position) {
    const ULONG left = static_cast<ULONG>(size) - position;
    return requested < left ? requested : left;
}

// Moves past up to count items; S_FALSE (at the end) when fewer remained.
inline HRESULT skipItems(ULONG count, std::size_t size, ULONG& position) {
    const ULONG moved = itemsAvailable(count, size, position);
    position += moved;
    return moved == count ? S_OK : S_FALSE;
}

}  // namespace dshow
