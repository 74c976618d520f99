// MJPG frames for the virtual camera: packed 24-bit bottom-up frames to JPEG and back, through the
// platform's imaging codecs (WIC) on the calling thread. One object per streaming thread; it keeps
// its factory, streams and buffers from frame to frame, so only the codec objects themselves are
// made anew per frame (WIC's encoders and decoders take one image each).
#pragma once

#include "framework/ComPtr.h"

#include <windows.h>
#include <objidl.h>
#include <wincodec.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcam {

class FrameReadStream;

class MjpgCodec {
public:
    // COM must be initialised on the calling thread (or the process have a multithreaded
    // apartment). A factory that cannot be created now is tried again on first use.
    MjpgCodec() noexcept;
    ~MjpgCodec();
    MjpgCodec(const MjpgCodec&) = delete;
    MjpgCodec& operator=(const MjpgCodec&) = delete;

    // 0.0 .. 1.0; out-of-range values are clamped. The default suits live video.
    void setQuality(float quality) noexcept;

    // The frame is rgb24Stride(width) x height bytes, bottom-up. On success *jpeg and *length
    // describe the codec's own buffer, valid until the next encode.
    HRESULT encode(const uint8_t* rgb, size_t rgbLength, int width, int height, const uint8_t** jpeg,
                   size_t* length) noexcept;

    // Decodes a whole JPEG of exactly width x height into a bottom-up RGB24 frame. A JPEG that is
    // cut off, malformed or of another size is refused with a trace line before the decoder sees
    // it; the frame is written only on success.
    HRESULT decode(const uint8_t* jpeg, size_t length, int width, int height, uint8_t* rgb,
                   size_t rgbLength) noexcept;

private:
    HRESULT ensureFactory() noexcept;
    HRESULT decodeChecked(const uint8_t* jpeg, size_t length, int width, int height, uint8_t* rgb) noexcept;

    vnt::ComPtr<IWICImagingFactory> factory_;
    vnt::ComPtr<IStream> output_;       // a vnt::MemoryStream, rewound for every frame
    FrameReadStream* input_ = nullptr;  // owned reference; pointed at each frame to decode
    std::vector<uint8_t> scratch_;      // top-down pixels between the decoder and the frame
    float quality_ = 0.85f;
    bool qualityRefused_ = false;  // traced once
};

}  // namespace vcam
