#include "ui/EventListScroll.h"

#include <climits>
#include <cstdlib>
#include <initializer_list>

namespace eventlist {

long long contentExtent(const ScrollAxis& axis, int clientSize) {
    if (axis.page <= 0) return clientSize;
    return (static_cast<long long>(axis.max) + 1) * clientSize / axis.page;
}

int thumbScrollPixels(const ScrollAxis& axis, int clientSize, int thumbPosition) {
    const long long units = static_cast<long long>(axis.max) + 1;
    if (units <= 0) return 0;
    const long long moved = static_cast<long long>(thumbPosition) - axis.position;
    const long long content = contentExtent(axis, clientSize);
    long long pixels = 0;
    if (moved == 0 || std::llabs(content) <= LLONG_MAX / std::llabs(moved)) {
        pixels = moved * content / units;
    } else {
        // Only absurd bar figures get here; the result is clamped below anyway.
        const long double exact = static_cast<long double>(moved) * content / units;
        pixels = exact > INT_MAX ? INT_MAX : exact < INT_MIN ? INT_MIN : static_cast<long long>(exact);
    }
    if (pixels > INT_MAX) return INT_MAX;
    if (pixels < INT_MIN) return INT_MIN;
    return static_cast<int>(pixels);
}

int widenThumbPosition(unsigned short low16, int position, int max) {
    if (max < 0x10000) return low16;
    const long long base = static_cast<long long>(position) & ~0xFFFFll;
    long long best = -1;
    for (long long candidate : {base - 0x10000 + low16, base + low16, base + 0x10000 + low16}) {
        if (candidate < 0 || candidate > max) continue;
        if (best < 0 || std::llabs(candidate - position) < std::llabs(best - position)) best = candidate;
    }
    return best < 0 ? low16 : static_cast<int>(best);
}

int thumbPosition(unsigned short low16, bool hasTrack, int trackPosition, int position, int max) {
    if (hasTrack && trackPosition >= 0 && trackPosition <= max && (trackPosition & 0xFFFF) == low16)
        return trackPosition;
    return widenThumbPosition(low16, position, max);
}

}  // namespace eventlist
