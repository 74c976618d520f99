#include "library/JpegSize.h"

#include "library/JpegSegments.h"

namespace skeo {

bool readJpegSize(const uint8_t* data, size_t size, int& width, int& height) {
    bool found = false;
    walkJpegSegments(data, size, [&](const JpegSegment& s) {
        // Every SOFn except DHT (C4), JPG (C8) and DAC (CC), which share the range.
        const bool frame = s.marker >= 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xC8 &&
                           s.marker != 0xCC;
        if (!frame) return true;
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

}  // namespace skeo
