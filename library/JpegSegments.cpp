#include "library/JpegSegments.h"

namespace skeo {
namespace {

bool hasNoLength(uint8_t marker) {
    return endsJpegHeaders(marker) || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

}  // namespace

bool nextJpegSegment(const uint8_t* data, size_t size, size_t& pos, JpegSegment& segment, bool* broken) {
    bool notSegment = false;
    const auto fail = [&] {
        if (broken) *broken = notSegment;
        return false;
    };
    size_t p = pos;
    if (p >= size) return fail();
    notSegment = data[p] != 0xFF;
    if (notSegment) return fail();
    while (p + 1 < size && data[p + 1] == 0xFF) ++p;  // fill bytes
    if (p + 1 >= size) return fail();
    segment.offset = p;
    segment.marker = data[p + 1];
    notSegment = segment.marker == 0x00 || segment.marker == kJpegSoi;
    if (notSegment) return fail();
    if (hasNoLength(segment.marker)) {
        segment.size = 2;
    } else {
        if (size - p < 4) return fail();
        const size_t length = size_t{data[p + 2]} << 8 | data[p + 3];
        notSegment = length < 2;
        if (notSegment || length > size - p - 2) return fail();
        segment.size = 2 + length;
    }
    pos = p + segment.size;
    return true;
}

bool jpegHeadersBroken(const uint8_t* data, size_t size) {
    if (!data || size < 2 || data[0] != 0xFF || data[1] != kJpegSoi) return false;
    size_t pos = 2;
    JpegSegment segment;
    bool broken = false;
    while (nextJpegSegment(data, size, pos, segment, &broken))
        if (endsJpegHeaders(segment.marker)) return false;
    return broken;
}

}  // namespace skeo
