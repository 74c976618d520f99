#include "tests/support/TestPhotos.h"

#include <vector>

#include "library/JpegSize.h"
#include "library/PhotoWriter.h"
#include "library/PictureCodec.h"

namespace testsupport {

bool writeQuadrantPhoto(const std::wstring& path, int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2, bottom = y >= height / 2;
            const COLORREF c = bottom ? (right ? kQuadrantBottomRight : kQuadrantBottomLeft)
                                      : (right ? kQuadrantTopRight : kQuadrantTopLeft);
            BYTE* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    // A photo replaced in place (turned, edited elsewhere): the writer itself never replaces a file.
    DeleteFileW(path.c_str());
    WriteSnapshotJpeg(pixels.data(), path.c_str(), width, height, stride, "Skeo Test", 1.0f, 0, 0);
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

SIZE photoFileSize(const std::wstring& path) {
    picture::Bytes bytes;
    int w = 0, h = 0;
    if (!picture::readFile(path.c_str(), bytes) || !skeo::readJpegSize(bytes.data(), bytes.size(), w, h)) return {};
    return {w, h};
}

}  // namespace testsupport
