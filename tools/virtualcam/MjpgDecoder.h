// MJPG to RGB24 for graphs on platforms whose DirectShow has no MJPEG decompressor.
#pragma once

#include "tools/virtualcam/MjpgCodec.h"
#include "tools/virtualcam/VideoDecoder.h"

// {A0784FA3-247C-492D-8058-9708AC81A479}
static const CLSID CLSID_VirtualCamMjpgDecoder = {
    0xa0784fa3, 0x247c, 0x492d, {0x80, 0x58, 0x97, 0x08, 0xac, 0x81, 0xa4, 0x79}};

namespace vcam {

class MjpgDecoder final : public VideoDecoder {
public:
    explicit MjpgDecoder(IUnknown* outer);

protected:
    bool acceptsInput(const AM_MEDIA_TYPE& in, int& width, int& height) override;
    // A frame the codec refuses (cut off, malformed, another size) is dropped with a trace line.
    bool decodeFrame(const BYTE* in, size_t inLength, int width, int height, BYTE* out) override;

private:
    // Streaming thread only.
    MjpgCodec codec_;
};

}  // namespace vcam

// A factory entry's create function.
HRESULT CreateMjpgDecoder(IUnknown* outer, REFIID riid, void** ppv) noexcept;
