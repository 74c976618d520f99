// Shrinking 24-bit pictures by area averaging, free of Windows headers.
#pragma once

#include <cstdint>

namespace skeo {

// Each destination pixel is the mean of the source pixels its area covers (at least one), so a
// large picture shrinks without the aliasing of point sampling. Rows are `stride` bytes apart.
void downscaleBgr24(const uint8_t* source, int sourceWidth, int sourceHeight, int sourceStride, uint8_t* target,
                    int targetWidth, int targetHeight, int targetStride);

}  // namespace skeo
