// Reading and decoding picture files, and scaled copies of decoded pictures: shared by the photo
// writer, the thumbnails and the photo views.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Gdiplus.h"

namespace picture {

using Bytes = std::vector<uint8_t>;

// The whole file; false when it cannot be read or is too large to be a photo.
bool readFile(const wchar_t* path, Bytes& bytes);
// At most the first `limit` bytes of the file, under the same rules; `whole` tells whether that was
// all of it.
bool readFileStart(const wchar_t* path, size_t limit, Bytes& bytes, bool& whole);
// Decodes from a copy of the bytes (the platform decoder reads bitmap, JPEG, PNG and GIF); null if
// they are no picture.
std::unique_ptr<Gdiplus::Bitmap> decode(const Bytes& bytes);
// A filtered copy of the whole picture at the given size, 24-bit.
std::unique_ptr<Gdiplus::Bitmap> scaled(Gdiplus::Image& source, int width, int height);
// A 24-bit device-independent bitmap of the picture at the given size, for the platform's controls
// and device contexts; null when the size is empty or memory runs out. The caller owns it.
HBITMAP scaledDib(Gdiplus::Bitmap& source, int width, int height);
// Bytes of a 24-bit row, padded to four.
inline int rowBytes(int width) { return (width * 3 + 3) & ~3; }

}  // namespace picture
