// YUY2 to RGB24 for graphs on platforms whose DirectShow has no such converter.
#pragma once

#include "tools/virtualcam/VideoDecoder.h"

// {414E9677-8A3C-485E-A22F-689B39E35211}
static const CLSID CLSID_VirtualCamYuy2Decoder = {
    0x414e9677, 0x8a3c, 0x485e, {0xa2, 0x2f, 0x68, 0x9b, 0x39, 0xe3, 0x52, 0x11}};

namespace vcam {

class Yuy2Decoder final : public VideoDecoder {
public:
    explicit Yuy2Decoder(IUnknown* outer);

protected:
    // Even widths only: YUY2 carries pixels in pairs.
    bool acceptsInput(const AM_MEDIA_TYPE& in, int& width, int& height) override;
    bool decodeFrame(const BYTE* in, size_t inLength, int width, int height, BYTE* out) override;
};

}  // namespace vcam

// A factory entry's create function.
HRESULT CreateYuy2Decoder(IUnknown* outer, REFIID riid, void** ppv) noexcept;
