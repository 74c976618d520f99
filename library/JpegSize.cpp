#include "library/JpegSize.h"

#include "library/JpegSegments.h"

namespace skeo {
namespace {

// Every SOFn except DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool isFrameMarker(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

bool readJpegSize(const uint8_t* data, size_t size, int& width, int& height) {
    bool found = false;
    walkJpegSegments(data, size, [&](const JpegSegment& s) {
        if (!isFrameMarker(s.marker)) return true;
        if (s.size >= 2 + 7) {
            const uint8_t* f = data + s.offset;
            height = (f[5] << 8) | f[6];
            width = (f[7] << 8) | f[8];
            found = width > 0 && height > 0;
        }
        return false;
    });
    return found;
}

bool readJpegComponents(const uint8_t* data, size_t size, int& components) {
    bool found = false;
    walkJpegSegments(data, size, [&](const JpegSegment& s) {
        if (!isFrameMarker(s.marker)) return true;
        // Marker, length, precision, height, width, count, then three bytes per component.
        if (s.size >= 2 + 8) {
            const int count = data[s.offset + 9];
            found = count > 0 && s.size >= 2 + 8 + 3 * static_cast<size_t>(count);
            if (found) components = count;
        }
        return false;
    });
    return found;
}

}  // namespace skeo
