// Reads a JPEG file's picture size from its frame header, without decoding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skeo {

// Width and height from the first start-of-frame marker; false when there is none inside the data.
bool readJpegSize(const uint8_t* data, size_t size, int& width, int& height);

// The number of colour components the first start-of-frame marker declares (1 grey, 3 colour,
// 4 CMYK); false when there is no frame, or its segment is too short to list them all.
bool readJpegComponents(const uint8_t* data, size_t size, int& components);

}  // namespace skeo
