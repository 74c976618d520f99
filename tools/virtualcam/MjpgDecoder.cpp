#include "tools/virtualcam/MjpgDecoder.h"

#include "tools/virtualcam/PixelFormats.h"

#include <amvideo.h>
#include <uuids.h>

namespace vcam {

MjpgDecoder::MjpgDecoder(IUnknown* outer) : VideoDecoder(CLSID_VirtualCamMjpgDecoder, outer, L"MjpgDecoder") {}

bool MjpgDecoder::acceptsInput(const AM_MEDIA_TYPE& in, int& width, int& height) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(in);
    if (!vih || !IsEqualGUID(in.majortype, MEDIATYPE_Video) || !IsEqualGUID(in.subtype, MEDIASUBTYPE_MJPG))
        return false;
    const BITMAPINFOHEADER& bih = vih->bmiHeader;
    // A JPEG holds at most 65535 x 65535 and is stored top row first whatever the sign says.
    if (bih.biCompression != MAKEFOURCC('M', 'J', 'P', 'G') || bih.biWidth <= 0 || bih.biWidth > 65535 ||
        bih.biHeight == 0 || bih.biHeight < -65535 || bih.biHeight > 65535)
        return false;
    width = bih.biWidth;
    height = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    return true;
}

bool MjpgDecoder::decodeFrame(const BYTE* in, size_t inLength, int width, int height, BYTE* out) {
    return SUCCEEDED(codec_.decode(in, inLength, width, height, out, rgb24FrameBytes(width, height)));
}

}  // namespace vcam

HRESULT CreateMjpgDecoder(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    return dshow::createFilter<vcam::MjpgDecoder>(outer, riid, ppv);
}
