#include "tools/virtualcam/MjpgCodec.h"

#include "framework/ComObject.h"
#include "framework/MemoryStream.h"
#include "framework/Trace.h"
#include "library/JpegSegments.h"
#include "tools/virtualcam/PixelFormats.h"

#include <ocidl.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace vcam {

// A read-only stream over bytes the caller keeps alive, pointed at the next frame without
// allocating. The decoders see a whole, seekable file.
class FrameReadStream final : public vnt::ComObject<IStream, IID_ISequentialStream, IID_IStream> {
public:
    void reset(const uint8_t* data, size_t size) noexcept {
        data_ = data;
        size_ = size;
        position_ = 0;
    }

    STDMETHODIMP Read(void* buffer, ULONG count, ULONG* read) override {
        if (!buffer) return STG_E_INVALIDPOINTER;
        const size_t n = std::min<size_t>(count, size_ - position_);
        if (n) std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        if (read) *read = static_cast<ULONG>(n);
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
        LONGLONG base = 0;
        switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(position_); break;
        case STREAM_SEEK_END: base = static_cast<LONGLONG>(size_); break;
        default: return STG_E_INVALIDFUNCTION;
        }
        const LONGLONG target = base + move.QuadPart;
        if (target < 0 || static_cast<ULONGLONG>(target) > size_) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<size_t>(target);
        if (position) position->QuadPart = position_;
        return S_OK;
    }
    STDMETHODIMP SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP Commit(DWORD) override { return S_OK; }
    STDMETHODIMP Revert() override { return S_OK; }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    STDMETHODIMP Stat(STATSTG* stat, DWORD) override {
        if (!stat) return STG_E_INVALIDPOINTER;
        std::memset(stat, 0, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = size_;
        return S_OK;
    }
    STDMETHODIMP Clone(IStream** stream) override {
        if (stream) *stream = nullptr;
        return E_NOTIMPL;
    }

private:
    ~FrameReadStream() override = default;

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t position_ = 0;
};

namespace {

// Why a JPEG is refused before decoding; null when its structure holds. Decoders differ in how
// they take a cut-off scan (some fill the rest with grey and report success), so a frame must
// carry its whole headers, the expected size and an end-of-image marker after the scan.
const wchar_t* structureFault(const uint8_t* jpeg, size_t length, int width, int height) {
    if (!jpeg || length < 4 || jpeg[0] != 0xFF || jpeg[1] != skeo::kJpegSoi) return L"no JPEG start marker";
    int frameWidth = 0, frameHeight = 0;
    bool scan = false;
    const bool whole = skeo::walkJpegSegments(jpeg, length, [&](const skeo::JpegSegment& s) {
        const bool sof = s.marker >= 0xC0 && s.marker <= 0xCF && s.marker != 0xC4 && s.marker != 0xC8 &&
                         s.marker != 0xCC;
        if (sof && s.size >= 2 + 7) {
            const uint8_t* f = jpeg + s.offset;
            frameHeight = (f[5] << 8) | f[6];
            frameWidth = (f[7] << 8) | f[8];
        }
        scan = s.marker == skeo::kJpegSos;
        return true;
    });
    if (!whole || !scan) return L"headers broken off before the scan";
    if (frameWidth != width || frameHeight != height) return L"picture size differs from the stream's";
    // Cameras may pad a frame after its end marker.
    size_t end = length;
    while (end > 2 && jpeg[end - 1] == 0) --end;
    if (end < 4 || jpeg[end - 2] != 0xFF || jpeg[end - 1] != skeo::kJpegEoi) return L"no end-of-image marker";
    return nullptr;
}

void traceFailure(const wchar_t* what, HRESULT hr) { vnt::trace(L"MjpgCodec: %ls failed, 0x%08lx", what, static_cast<unsigned long>(hr)); }

}  // namespace

MjpgCodec::MjpgCodec() noexcept {
    input_ = new (std::nothrow) FrameReadStream();
    output_.attach(vnt::MemoryStream::create());
    ensureFactory();
}

MjpgCodec::~MjpgCodec() {
    if (input_) input_->Release();
}

void MjpgCodec::setQuality(float quality) noexcept {
    quality_ = quality >= 0.0f && quality <= 1.0f ? quality : (quality > 1.0f ? 1.0f : 0.0f);
}

HRESULT MjpgCodec::ensureFactory() noexcept {
    if (factory_) return S_OK;
    const HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                        factory_.putVoid());
    if (FAILED(hr)) traceFailure(L"creating the imaging factory", hr);
    return hr;
}

HRESULT MjpgCodec::encode(const uint8_t* rgb, size_t rgbLength, int width, int height, const uint8_t** jpeg,
                          size_t* length) noexcept {
    if (!rgb || !jpeg || !length) return E_POINTER;
    const size_t frameBytes = rgb24FrameBytes(width, height);
    if (frameBytes == 0 || width > 65535 || height > 65535) return E_INVALIDARG;
    if (rgbLength < frameBytes) return E_INVALIDARG;
    if (!output_) return E_OUTOFMEMORY;
    HRESULT hr = ensureFactory();
    if (FAILED(hr)) return hr;

    // Rewound, not replaced: the stream's buffer keeps its capacity from frame to frame.
    const LARGE_INTEGER zero{};
    ULARGE_INTEGER empty{};
    if (FAILED(hr = output_->SetSize(empty)) || FAILED(hr = output_->Seek(zero, STREAM_SEEK_SET, nullptr))) return hr;

    vnt::ComPtr<IWICBitmapEncoder> encoder;
    vnt::ComPtr<IWICBitmapFrameEncode> frame;
    vnt::ComPtr<IPropertyBag2> options;
    if (FAILED(hr = factory_->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put())) ||
        FAILED(hr = encoder->Initialize(output_.get(), WICBitmapEncoderNoCache)) ||
        FAILED(hr = encoder->CreateNewFrame(frame.put(), options.put()))) {
        traceFailure(L"starting a JPEG", hr);
        return hr;
    }
    if (options) {
        PROPBAG2 option{};
        option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = quality_;
        // An encoder without the option still encodes, at its own quality.
        hr = options->Write(1, &option, &value);
        if (FAILED(hr) && !qualityRefused_) {
            qualityRefused_ = true;
            traceFailure(L"setting ImageQuality", hr);
        }
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(hr = frame->Initialize(options.get())) ||
        FAILED(hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) ||
        FAILED(hr = frame->SetPixelFormat(&format))) {
        traceFailure(L"setting up a JPEG frame", hr);
        return hr;
    }
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        traceFailure(L"agreeing on 24-bit pixels", WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT);
        return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    }
    // The frame is bottom-up and the encoder takes rows top-down in order: one row per call,
    // from the last memory row back, needs no flipped copy.
    const size_t stride = rgb24Stride(width);
    const UINT rowBytes = static_cast<UINT>(stride);
    for (int y = height - 1; y >= 0; --y) {
        BYTE* row = const_cast<BYTE*>(rgb + static_cast<size_t>(y) * stride);
        if (FAILED(hr = frame->WritePixels(1, rowBytes, rowBytes, row))) {
            traceFailure(L"writing JPEG rows", hr);
            return hr;
        }
    }
    if (FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit())) {
        traceFailure(L"finishing a JPEG", hr);
        return hr;
    }
    const std::vector<uint8_t>& bytes = static_cast<vnt::MemoryStream*>(output_.get())->bytes();
    *jpeg = bytes.data();
    *length = bytes.size();
    return S_OK;
}

HRESULT MjpgCodec::decode(const uint8_t* jpeg, size_t length, int width, int height, uint8_t* rgb,
                          size_t rgbLength) noexcept {
    if (!rgb) return E_POINTER;
    const size_t frameBytes = rgb24FrameBytes(width, height);
    if (frameBytes == 0 || rgbLength < frameBytes) return E_INVALIDARG;
    if (const wchar_t* fault = structureFault(jpeg, length, width, height)) {
        vnt::trace(L"MjpgCodec: frame of %lu bytes refused: %ls", static_cast<unsigned long>(length), fault);
        return WINCODEC_ERR_BADHEADER;
    }
    if (length > 0x7fffffff) return E_INVALIDARG;
    const HRESULT hr = decodeChecked(jpeg, length, width, height, rgb);
    if (FAILED(hr)) traceFailure(L"decoding a frame", hr);
    return hr;
}

HRESULT MjpgCodec::decodeChecked(const uint8_t* jpeg, size_t length, int width, int height, uint8_t* rgb) noexcept {
    if (!input_) return E_OUTOFMEMORY;
    HRESULT hr = ensureFactory();
    if (FAILED(hr)) return hr;
    input_->reset(jpeg, length);

    vnt::ComPtr<IWICBitmapDecoder> decoder;
    vnt::ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(hr = factory_->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, decoder.put())) ||
        FAILED(hr = decoder->Initialize(input_, WICDecodeMetadataCacheOnDemand)) ||
        FAILED(hr = decoder->GetFrame(0, frame.put())))
        return hr;
    UINT w = 0, h = 0;
    if (FAILED(hr = frame->GetSize(&w, &h))) return hr;
    if (w != static_cast<UINT>(width) || h != static_cast<UINT>(height)) return WINCODEC_ERR_BADIMAGE;

    // Grey or CMYK JPEGs go through a converter; ours and most cameras' are 24-bit already.
    vnt::ComPtr<IWICBitmapSource> source(frame.get());
    WICPixelFormatGUID format{};
    if (FAILED(hr = frame->GetPixelFormat(&format))) return hr;
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        vnt::ComPtr<IWICFormatConverter> converter;
        if (FAILED(hr = factory_->CreateFormatConverter(converter.put())) ||
            FAILED(hr = converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                              nullptr, 0.0, WICBitmapPaletteTypeCustom)))
            return hr;
        source = vnt::ComPtr<IWICBitmapSource>(converter.get());
    }

    // Decoded top-down into the scratch rows, then turned over into the frame only once the
    // decoder has succeeded, so a failure leaves the frame untouched.
    const size_t stride = rgb24Stride(width), bytes = stride * static_cast<size_t>(height);
    try {
        if (scratch_.size() < bytes) scratch_.resize(bytes);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    const WICRect all{0, 0, width, height};
    if (FAILED(hr = source->CopyPixels(&all, static_cast<UINT>(stride), static_cast<UINT>(bytes), scratch_.data())))
        return hr;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(rgb + static_cast<size_t>(height - 1 - y) * stride, scratch_.data() + static_cast<size_t>(y) * stride,
                    rowBytes);
    return S_OK;
}

}  // namespace vcam
