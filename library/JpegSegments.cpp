#include "library/JpegSegments.h"

namespace skeo {
namespace {

bool hasNoLength(uint8_t marker) {
    return endsJpegHeaders(marker) || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

}  // namespace

bool nextJpegSegment(const uint8_t* data, size_t size, size_t& pos, JpegSegment& segment) {
    size_t p = pos;
    if (p >= size || data[p] != 0xFF) return false;
    while (p + 1 < size && data[p + 1] == 0xFF) ++p;  // fill bytes
    if (p + 1 >= size) return false;
    segment.offset = p;
    segment.marker = data[p + 1];
    if (segment.marker == 0x00 || segment.marker == kJpegSoi) return false;
    if (hasNoLength(segment.marker)) {
        segment.size = 2;
    } else {
        if (size - p < 4) return false;
        const size_t length = size_t{data[p + 2]} << 8 | data[p + 3];
        if (length < 2 || length > size - p - 2) return false;
        segment.size = 2 + length;
    }
    pos = p + segment.size;
    return true;
}

bool jpegHeadersBroken(const uint8_t* data, size_t size) {
    if (!data || size < 2 || data[0] != 0xFF || data[1] != kJpegSoi) return false;
    size_t pos = 2;
    JpegSegment segment;
    while (nextJpegSegment(data, size, pos, segment))
        if (endsJpegHeaders(segment.marker)) return false;
    // Why the walk stopped: the end of the data, or bytes no segment can have.
    size_t p = pos;
    if (p >= size) return false;
    if (data[p] != 0xFF) return true;
    while (p + 1 < size && data[p + 1] == 0xFF) ++p;
    if (p + 1 >= size) return false;
    const uint8_t marker = data[p + 1];
    if (marker == 0x00 || marker == kJpegSoi) return true;
    if (size - p < 4) return false;
    const size_t length = size_t{data[p + 2]} << 8 | data[p + 3];
    return length < 2;
}

}  // namespace skeo
