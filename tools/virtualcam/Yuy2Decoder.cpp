#include "tools/virtualcam/Yuy2Decoder.h"

#include "framework/Trace.h"
#include "tools/virtualcam/PixelFormats.h"

#include <amvideo.h>
#include <uuids.h>

#include <cstdlib>

namespace vcam {

Yuy2Decoder::Yuy2Decoder(IUnknown* outer) : VideoDecoder(CLSID_VirtualCamYuy2Decoder, outer, L"Yuy2Decoder") {}

bool Yuy2Decoder::acceptsInput(const AM_MEDIA_TYPE& in, int& width, int& height) {
    const VIDEOINFOHEADER* vih = dshow::videoInfoOf(in);
    if (!vih || !IsEqualGUID(in.majortype, MEDIATYPE_Video) || !IsEqualGUID(in.subtype, MEDIASUBTYPE_YUY2))
        return false;
    const BITMAPINFOHEADER& bih = vih->bmiHeader;
    if (bih.biCompression != MAKEFOURCC('Y', 'U', 'Y', '2') || bih.biBitCount != 16) return false;
    // YUV frames are top-down whatever the sign of the height says.
    if (bih.biWidth <= 0 || bih.biWidth % 2 != 0 || bih.biHeight == 0 || bih.biHeight == LONG_MIN) return false;
    width = bih.biWidth;
    height = std::labs(bih.biHeight);
    return yuy2FrameBytes(width, height) != 0;
}

bool Yuy2Decoder::decodeFrame(const BYTE* in, size_t inLength, int width, int height, BYTE* out) {
    const size_t needed = yuy2FrameBytes(width, height);
    if (inLength < needed) {
        vnt::trace(L"Yuy2Decoder: short sample of %lu bytes for %dx%d dropped", static_cast<unsigned long>(inLength),
                   width, height);
        return false;
    }
    return yuy2ToRgb24(in, inLength, width, height, out, rgb24FrameBytes(width, height));
}

}  // namespace vcam

HRESULT CreateYuy2Decoder(IUnknown* outer, REFIID riid, void** ppv) noexcept {
    return dshow::createFilter<vcam::Yuy2Decoder>(outer, riid, ppv);
}
