#include "library/ImageScale.h"

#include <algorithm>
#include <vector>

namespace skeo {

void downscaleBgr24(const uint8_t* source, int sw, int sh, int sourceStride, uint8_t* target, int tw, int th,
                    int targetStride) {
    if (!source || !target || sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
    // Column spans computed once: [x0, x1) of the source for each target column.
    std::vector<int> x0(tw), x1(tw);
    for (int x = 0; x < tw; ++x) {
        x0[x] = static_cast<int>(static_cast<int64_t>(x) * sw / tw);
        x1[x] = static_cast<int>(static_cast<int64_t>(x + 1) * sw / tw);
        if (x1[x] <= x0[x]) x1[x] = x0[x] + 1;
    }
    std::vector<uint64_t> sums(static_cast<size_t>(tw) * 3);
    for (int y = 0; y < th; ++y) {
        const int y0 = static_cast<int>(static_cast<int64_t>(y) * sh / th);
        int y1 = static_cast<int>(static_cast<int64_t>(y + 1) * sh / th);
        if (y1 <= y0) y1 = y0 + 1;
        std::fill(sums.begin(), sums.end(), 0);
        for (int sy = y0; sy < y1; ++sy) {
            const uint8_t* row = source + static_cast<int64_t>(sy) * sourceStride;
            for (int x = 0; x < tw; ++x) {
                uint32_t b = 0, g = 0, r = 0;
                for (int sx = x0[x]; sx < x1[x]; ++sx) {
                    b += row[sx * 3];
                    g += row[sx * 3 + 1];
                    r += row[sx * 3 + 2];
                }
                sums[x * 3] += b;
                sums[x * 3 + 1] += g;
                sums[x * 3 + 2] += r;
            }
        }
        uint8_t* out = target + static_cast<int64_t>(y) * targetStride;
        for (int x = 0; x < tw; ++x) {
            const uint64_t area = static_cast<uint64_t>(x1[x] - x0[x]) * static_cast<uint64_t>(y1 - y0);
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = static_cast<uint8_t>((sums[x * 3 + c] + area / 2) / area);
        }
    }
}

}  // namespace skeo
