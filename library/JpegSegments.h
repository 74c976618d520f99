// Walking the marker segments of a JPEG file's headers, free of Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skeo {

constexpr uint8_t kJpegSoi = 0xD8;
constexpr uint8_t kJpegEoi = 0xD9;
constexpr uint8_t kJpegSos = 0xDA;

struct JpegSegment {
    size_t offset = 0;  // of the marker's 0xFF
    size_t size = 0;    // marker included; SOS and EOI count as their two marker bytes
    uint8_t marker = 0;
};

// SOS and EOI end the headers: what follows is scan data or nothing.
inline bool endsJpegHeaders(uint8_t marker) { return marker == kJpegSos || marker == kJpegEoi; }

// The segment at pos (fill bytes skipped), wholly inside the data; pos moves past it. On false,
// `broken` (when given) tells bytes that cannot be a segment from data that merely ends too soon.
bool nextJpegSegment(const uint8_t* data, size_t size, size_t& pos, JpegSegment& segment, bool* broken = nullptr);

// True when the data starts as a JPEG whose headers break off at bytes that cannot be a marker
// segment (not merely where the data ends): no more of the file can make them whole.
bool jpegHeadersBroken(const uint8_t* data, size_t size);

// Calls visit for every segment after SOI up to and including the SOS or EOI that ends the headers,
// until visit returns false. False when the data is no JPEG or breaks off before visit stopped.
template <typename Visit>
bool walkJpegSegments(const uint8_t* data, size_t size, Visit visit) {
    if (!data || size < 2 || data[0] != 0xFF || data[1] != kJpegSoi) return false;
    size_t pos = 2;
    JpegSegment segment;
    while (nextJpegSegment(data, size, pos, segment))
        if (!visit(segment) || endsJpegHeaders(segment.marker)) return true;
    return false;
}

}  // namespace skeo
