// Reads a JPEG file's picture size from its frame header, without decoding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skeo {

// Width and height from the first start-of-frame marker; false when there is none inside the data.
bool readJpegSize(const uint8_t* data, size_t size, int& width, int& height);

}  // namespace skeo
