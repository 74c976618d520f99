#include "app/CaptureFormat.h"

namespace {

struct Row {
    int32_t id;
    int width, height;
    CaptureSubtype subtype;
};

// The maker's cameras send the large sizes compressed; the small ones fit the bus uncompressed.
const Row kSkeoFamily[] = {
    {32841, 1600, 1200, CaptureSubtype::mjpg}, {32842, 1280, 1024, CaptureSubtype::mjpg},
    {32843, 1024, 768, CaptureSubtype::mjpg},  {32844, 800, 600, CaptureSubtype::mjpg},
    {32845, 640, 480, CaptureSubtype::yuy2},   {32846, 320, 240, CaptureSubtype::yuy2},
};
const Row kZev[] = {
    {32844, 800, 600, CaptureSubtype::rgb24},
    {32845, 640, 480, CaptureSubtype::rgb24},
    {32846, 320, 240, CaptureSubtype::rgb24},
};

template <size_t N>
CaptureFormat lookUp(const Row (&rows)[N], int32_t id, CaptureFormat otherwise) {
    for (const Row& row : rows)
        if (row.id == id) return CaptureFormat{row.width, row.height, row.subtype, 0};
    return otherwise;
}

}  // namespace

CaptureFormat captureFormatFor(const std::wstring& cameraClassName, int32_t resolutionId) {
    if (cameraClassName == L"VNTWebcamSkeoPlus" || cameraClassName == L"VNTWebcamSkeo")
        return lookUp(kSkeoFamily, resolutionId, CaptureFormat{1280, 1024, CaptureSubtype::rgb24, 32842});
    if (cameraClassName == L"VNTWebcamZev")
        return lookUp(kZev, resolutionId, CaptureFormat{640, 480, CaptureSubtype::rgb24, 32845});
    if (resolutionId == 32845) return CaptureFormat{640, 480, CaptureSubtype::any, 0};
    return CaptureFormat{640, 480, CaptureSubtype::any, 32845};
}
