#include "toolkit/ScrollBarGeometry.h"

namespace toolkit {

int ScrollBarGeometry::freeLength() const {
    const int free = length - 2 * cell;
    return free > 0 ? free : 0;
}

bool ScrollBarGeometry::hasThumb() const {
    if (freeLength() < minThumb || max <= min) return false;
    return page == 0 || page <= max - min;
}

int ScrollBarGeometry::thumbLength() const {
    if (!hasThumb()) return 0;
    const int free = freeLength();
    int thumb = page > 0 ? static_cast<int>(static_cast<long long>(page) * free / (max - min + 1)) : minThumb;
    if (thumb < minThumb) thumb = minThumb;
    return thumb > free ? free : thumb;
}

int ScrollBarGeometry::maxPosition() const {
    const int top = page > 0 ? max - page + 1 : max;
    return top < min ? min : top;
}

int ScrollBarGeometry::thumbStart() const {
    if (!hasThumb()) return cell;
    const int travel = freeLength() - thumbLength();
    const int range = maxPosition() - min;
    if (range <= 0 || travel <= 0) return cell;
    int p = position < min ? min : position > maxPosition() ? maxPosition() : position;
    return cell + static_cast<int>(static_cast<long long>(p - min) * travel / range);
}

ScrollPart ScrollBarGeometry::hitTest(int pixel) const {
    if (pixel < 0 || pixel >= length) return ScrollPart::None;
    if (pixel < cell) return ScrollPart::LineUp;
    if (pixel >= length - cell) return ScrollPart::LineDown;
    if (!hasThumb()) return ScrollPart::None;
    const int start = thumbStart();
    if (pixel < start) return ScrollPart::PageUp;
    if (pixel < start + thumbLength()) return ScrollPart::Thumb;
    return ScrollPart::PageDown;
}

int ScrollBarGeometry::positionForThumbStart(int pixel) const {
    const int travel = freeLength() - thumbLength();
    const int range = maxPosition() - min;
    if (!hasThumb() || travel <= 0 || range <= 0) return min;
    int offset = pixel - cell;
    if (offset < 0) offset = 0;
    if (offset > travel) offset = travel;
    return min + static_cast<int>((static_cast<long long>(offset) * range + travel / 2) / travel);
}

}  // namespace toolkit
