// The YUY2 and MJPG decoders between a test source and sink: the types they take and offer, and
// test-picture frames coming out as RGB24 close to what went in.
#include "dshow/InputPin.h"
#include "dshow/OutputPin.h"
#include "tests/support/TestFilters.h"
#include "tests/virtualcam/VirtualCamTestSupport.h"
#include "tools/virtualcam/MjpgCodec.h"
#include "tools/virtualcam/MjpgDecoder.h"
#include "tools/virtualcam/Yuy2Decoder.h"

#include <amvideo.h>
#include <gtest/gtest.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <functional>

using namespace dshow;
using namespace vcamtest;

namespace {

MediaType videoType(const GUID& subtype, int w, int h) {
    const bool yuy2 = IsEqualGUID(subtype, MEDIASUBTYPE_YUY2), rgb = IsEqualGUID(subtype, MEDIASUBTYPE_RGB24);
    MediaType mt;
    mt->majortype = MEDIATYPE_Video;
    mt->subtype = subtype;
    mt->formattype = FORMAT_VideoInfo;
    mt->bFixedSizeSamples = !IsEqualGUID(subtype, MEDIASUBTYPE_MJPG);
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.allocFormat(sizeof(VIDEOINFOHEADER)));
    const DWORD bytes = static_cast<DWORD>(yuy2 ? vcam::yuy2FrameBytes(w, h) : vcam::rgb24FrameBytes(w, h));
    mt->lSampleSize = bytes;
    vih->AvgTimePerFrame = 333333;
    vih->bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, WORD(yuy2 ? 16 : 24),
                      rgb ? DWORD(BI_RGB) : subtype.Data1, bytes, 0, 0, 0, 0};
    return mt;
}

// Offers the type the test gives it, in one buffer with room for any test frame.
struct SourcePin : testsupport::OneTypeOutput<OutputPin> {
    SourcePin(BaseFilter& filter, const wchar_t* name) : OneTypeOutput(filter, name) {
        buffers = 1;
        bufferBytes = static_cast<long>(vcam::rgb24FrameBytes(1600, 1200));
    }
};

struct SinkPin : testsupport::FrameSink {
    using FrameSink::FrameSink;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
        return IsEqualGUID(mt.subtype, MEDIASUBTYPE_RGB24) ? S_OK : S_FALSE;
    }
};

// Source -> decoder -> sink, connected and running when `connected` is true.
struct Chain : testsupport::FilterChain<TransformFilter, SourcePin, SinkPin> {
    TransformFilter* const dec = mid;
    bool connected = false;

    Chain(CreateFunction create, const MediaType& type) : FilterChain(create) {
        src->p.type = type;
        if (connectInput() != S_OK) return;
        EXPECT_EQ(S_OK, connectOutput());
        EXPECT_EQ(S_OK, run());
        connected = true;
    }
    HRESULT send(const std::vector<uint8_t>& bytes, long length = -1) {
        return FilterChain::send(length < 0 ? static_cast<long>(bytes.size()) : length,
                                 [&bytes](BYTE* d) { std::copy(bytes.begin(), bytes.end(), d); });
    }
};

std::vector<uint8_t> toYuy2(const std::vector<uint8_t>& rgb, int w, int h) {
    std::vector<uint8_t> out(vcam::yuy2FrameBytes(w, h));
    EXPECT_TRUE(vcam::rgb24ToYuy2(rgb.data(), rgb.size(), w, h, out.data(), out.size()));
    return out;
}

std::vector<uint8_t> toMjpg(const std::vector<uint8_t>& rgb, int w, int h) {
    vcam::MjpgCodec codec;
    const uint8_t* jpeg = nullptr;
    size_t length = 0;
    EXPECT_EQ(S_OK, codec.encode(rgb.data(), rgb.size(), w, h, &jpeg, &length));
    return jpeg ? std::vector<uint8_t>(jpeg, jpeg + length) : std::vector<uint8_t>();
}

struct DecoderCase {
    const char* name;
    CreateFunction create;
    const GUID* subtype;
    std::function<std::vector<uint8_t>(const std::vector<uint8_t>&, int, int)> encode;
    double meanLimit;
};

const DecoderCase kDecoders[] = {
    {"YUY2", CreateYuy2Decoder, &MEDIASUBTYPE_YUY2, toYuy2, 1.5},
    {"MJPG", CreateMjpgDecoder, &MEDIASUBTYPE_MJPG, toMjpg, 3.0},
};

}  // namespace

TEST(Decoders, TurnTestPictureFramesIntoRgb24CloseToTheOriginal) {
    for (const DecoderCase& c : kDecoders) {
        for (auto size : {std::pair<int, int>{640, 480}, std::pair<int, int>{1600, 1200}}) {
            const int w = size.first, h = size.second;
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(w) + "x" + std::to_string(h));
            Chain chain(c.create, videoType(*c.subtype, w, h));
            ASSERT_TRUE(chain.connected);
            // The output is bottom-up RGB24 of the same size and rate.
            const MediaType& out = chain.dec->outputPin().mediaType();
            ASSERT_TRUE(IsEqualGUID(out->subtype, MEDIASUBTYPE_RGB24));
            const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(out->pbFormat);
            EXPECT_EQ(w, vih->bmiHeader.biWidth);
            EXPECT_EQ(h, vih->bmiHeader.biHeight);
            EXPECT_EQ(333333, vih->AvgTimePerFrame);
            EXPECT_EQ(vcam::rgb24FrameBytes(w, h), size_t(vih->bmiHeader.biSizeImage));

            for (uint64_t n : {17ull, 18ull}) {
                const std::vector<uint8_t> original = pictureFrame(w, h, n);
                ASSERT_EQ(S_OK, chain.send(c.encode(original, w, h)));
                ASSERT_FALSE(chain.sink->p.frames.empty());
                const std::vector<BYTE>& got = chain.sink->p.frames.back();
                ASSERT_EQ(original.size(), got.size());
                EXPECT_LT(difference(original, got, w, h).mean, c.meanLimit);
                EXPECT_TRUE(within(vcam::testpicture::kTopLeft, pixel(got, w, h, 2, 2), 12));
                EXPECT_TRUE(within(vcam::testpicture::kBottomRight, pixel(got, w, h, w - 3, h - 3), 12));
                uint32_t counter = 0;
                ASSERT_TRUE(vcam::testpicture::readCounter(got.data(), got.size(), w, h, counter));
                EXPECT_EQ(n, counter);
            }
            EXPECT_EQ(2u, chain.sink->p.frames.size());
            EXPECT_EQ(std::vector<bool>({true, true}), chain.sink->p.syncPoints);
        }
    }
}

TEST(Decoders, TakeOnlyTheirOwnInputAndOfferOnlyItsSize) {
    for (const DecoderCase& c : kDecoders) {
        SCOPED_TRACE(c.name);
        Chain chain(c.create, videoType(*c.subtype, 640, 480));
        ASSERT_TRUE(chain.connected);
        IPin& in = chain.dec->inputPin();
        EXPECT_EQ(S_OK, in.QueryAccept(&videoType(*c.subtype, 320, 240).get()));
        const GUID& other = IsEqualGUID(*c.subtype, MEDIASUBTYPE_YUY2) ? MEDIASUBTYPE_MJPG : MEDIASUBTYPE_YUY2;
        EXPECT_NE(S_OK, in.QueryAccept(&videoType(other, 640, 480).get()));
        EXPECT_NE(S_OK, in.QueryAccept(&videoType(MEDIASUBTYPE_RGB24, 640, 480).get()));
        MediaType noFormat = videoType(*c.subtype, 640, 480);
        noFormat->cbFormat = sizeof(VIDEOINFOHEADER) - 1;
        EXPECT_NE(S_OK, in.QueryAccept(&noFormat.get()));
        MediaType wrongFourcc = videoType(*c.subtype, 640, 480);
        reinterpret_cast<VIDEOINFOHEADER*>(wrongFourcc->pbFormat)->bmiHeader.biCompression = BI_RGB;
        EXPECT_NE(S_OK, in.QueryAccept(&wrongFourcc.get()));

        IPin& out = chain.dec->outputPin();
        EXPECT_EQ(S_OK, out.QueryAccept(&videoType(MEDIASUBTYPE_RGB24, 640, 480).get()));
        EXPECT_NE(S_OK, out.QueryAccept(&videoType(MEDIASUBTYPE_RGB24, 320, 240).get()));
        MediaType topDown = videoType(MEDIASUBTYPE_RGB24, 640, 480);
        reinterpret_cast<VIDEOINFOHEADER*>(topDown->pbFormat)->bmiHeader.biHeight = -480;
        EXPECT_NE(S_OK, out.QueryAccept(&topDown.get()));
        MediaType rgb32 = videoType(MEDIASUBTYPE_RGB24, 640, 480);
        reinterpret_cast<VIDEOINFOHEADER*>(rgb32->pbFormat)->bmiHeader.biBitCount = 32;
        EXPECT_NE(S_OK, out.QueryAccept(&rgb32.get()));
    }
    // YUY2 carries pixels in pairs: an odd width cannot be decoded.
    Chain odd(CreateYuy2Decoder, videoType(MEDIASUBTYPE_YUY2, 641, 480));
    EXPECT_FALSE(odd.connected);
    EXPECT_NE(S_OK, odd.dec->inputPin().QueryAccept(&videoType(MEDIASUBTYPE_YUY2, 641, 480).get()));
}

TEST(Decoders, ShortOrBrokenSamplesAreDroppedAndTheStreamGoesOn) {
    const int w = 320, h = 240;
    const std::vector<uint8_t> original = pictureFrame(w, h, 3);
    {
        Chain chain(CreateYuy2Decoder, videoType(MEDIASUBTYPE_YUY2, w, h));
        ASSERT_TRUE(chain.connected);
        const std::vector<uint8_t> yuy2 = toYuy2(original, w, h);
        EXPECT_EQ(S_OK, chain.send(yuy2, static_cast<long>(yuy2.size()) - 1));
        EXPECT_EQ(S_OK, chain.send(yuy2, 0));
        EXPECT_TRUE(chain.sink->p.frames.empty());
        EXPECT_EQ(S_OK, chain.send(yuy2));
        EXPECT_EQ(1u, chain.sink->p.frames.size());
    }
    {
        Chain chain(CreateMjpgDecoder, videoType(MEDIASUBTYPE_MJPG, w, h));
        ASSERT_TRUE(chain.connected);
        const std::vector<uint8_t> jpeg = toMjpg(original, w, h);
        EXPECT_EQ(S_OK, chain.send(jpeg, static_cast<long>(jpeg.size()) / 2));
        EXPECT_EQ(S_OK, chain.send(std::vector<uint8_t>(jpeg.size(), 0x55)));
        // A JPEG of another size than the connection's is no frame of this stream.
        EXPECT_EQ(S_OK, chain.send(toMjpg(pictureFrame(640, 480, 3), 640, 480)));
        EXPECT_TRUE(chain.sink->p.frames.empty());
        EXPECT_EQ(S_OK, chain.send(jpeg));
        ASSERT_EQ(1u, chain.sink->p.frames.size());
        EXPECT_LT(difference(original, chain.sink->p.frames[0], w, h).mean, 3.0);
    }
}
