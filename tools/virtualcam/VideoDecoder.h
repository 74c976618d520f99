// The part the virtual camera's decoders share: one compressed or packed video input, one
// bottom-up RGB24 output of the same size, every output frame a key frame. Derived decoders say
// which input they take and how a frame is turned into pixels.
#pragma once

#include "dshow/TransformFilter.h"

#include <windows.h>
#include <strmif.h>
#include <amvideo.h>

namespace vcam {

class VideoDecoder : public dshow::TransformFilter {
protected:
    VideoDecoder(const CLSID& clsid, IUnknown* outer, const wchar_t* traceName);

    // Whether the decoder takes this input; width and height (positive) on success.
    virtual bool acceptsInput(const AM_MEDIA_TYPE& in, int& width, int& height) = 0;
    // Fills one whole RGB24 frame (rgb24FrameBytes(width, height) bytes, which the caller has
    // checked the output holds) from an input sample of inLength bytes. False drops the frame.
    virtual bool decodeFrame(const BYTE* in, size_t inLength, int width, int height, BYTE* out) = 0;

    HRESULT CheckInputType(const AM_MEDIA_TYPE* in) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) override;
    HRESULT GetMediaType(int position, dshow::MediaType& type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

    const wchar_t* traceName() const { return traceName_; }

private:
    const wchar_t* const traceName_;
};

}  // namespace vcam
