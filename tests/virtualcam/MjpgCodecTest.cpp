// The MJPG codec through the platform's imaging codecs: round trips of the test picture at the
// camera's sizes, and frames a decoder must refuse without crashing or writing.
#include "tests/virtualcam/VirtualCamTestSupport.h"
#include "tools/virtualcam/MjpgCodec.h"

#include <gtest/gtest.h>

using namespace vcamtest;

namespace {

struct Size {
    int w, h;
};
const Size kCameraSizes[] = {{1600, 1200}, {1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}};

std::vector<uint8_t> encoded(vcam::MjpgCodec& codec, const std::vector<uint8_t>& frame, int w, int h) {
    const uint8_t* jpeg = nullptr;
    size_t length = 0;
    EXPECT_EQ(S_OK, codec.encode(frame.data(), frame.size(), w, h, &jpeg, &length));
    return jpeg ? std::vector<uint8_t>(jpeg, jpeg + length) : std::vector<uint8_t>();
}

}  // namespace

TEST(MjpgCodec, RoundTripKeepsTheTestPictureAtEveryCameraSize) {
    vcam::MjpgCodec codec;
    for (const Size& s : kCameraSizes) {
        SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
        const std::vector<uint8_t> frame = pictureFrame(s.w, s.h, 4321);
        const std::vector<uint8_t> jpeg = encoded(codec, frame, s.w, s.h);
        ASSERT_GT(jpeg.size(), 4u);
        EXPECT_TRUE(jpeg[0] == 0xFF && jpeg[1] == 0xD8 && jpeg[jpeg.size() - 2] == 0xFF && jpeg[jpeg.size() - 1] == 0xD9);
        // Compressed well below the raw frame, as MJPG is meant to be.
        EXPECT_LT(jpeg.size(), frame.size() / 4);

        std::vector<uint8_t> back(frame.size(), 0xEE);
        ASSERT_EQ(S_OK, codec.decode(jpeg.data(), jpeg.size(), s.w, s.h, back.data(), back.size()));
        const Difference d = difference(frame, back, s.w, s.h);
        EXPECT_LT(d.mean, 3.0);
        // Upright, not mirrored: the corner marks stay where they were.
        const int u = s.h / 12;
        EXPECT_TRUE(within(vcam::testpicture::kTopLeft, pixel(back, s.w, s.h, u, u), 12));
        EXPECT_TRUE(within(vcam::testpicture::kTopRight, pixel(back, s.w, s.h, s.w - u, u), 12));
        EXPECT_TRUE(within(vcam::testpicture::kBottomLeft, pixel(back, s.w, s.h, u, s.h - u), 12));
        uint32_t counter = 0;
        ASSERT_TRUE(vcam::testpicture::readCounter(back.data(), back.size(), s.w, s.h, counter));
        EXPECT_EQ(4321u, counter);
    }
}

TEST(MjpgCodec, QualityTradesSizeForFidelity) {
    vcam::MjpgCodec codec;
    const std::vector<uint8_t> frame = pictureFrame(640, 480, 1);
    codec.setQuality(0.3f);
    const std::vector<uint8_t> small = encoded(codec, frame, 640, 480);
    codec.setQuality(1.0f);
    const std::vector<uint8_t> large = encoded(codec, frame, 640, 480);
    ASSERT_FALSE(small.empty());
    if (small.size() == large.size())
        GTEST_SKIP() << "this platform's JPEG encoder ignores ImageQuality"
                     << (traceText().find("ImageQuality failed") != std::string::npos ? " (refused the option)" : "");
    EXPECT_LT(small.size(), large.size());
}

TEST(MjpgCodec, RefusesBrokenFramesWithATraceAndLeavesTheFrameAlone) {
    vcam::MjpgCodec codec;
    const int w = 320, h = 240;
    const std::vector<uint8_t> jpeg = encoded(codec, pictureFrame(w, h, 9), w, h);
    ASSERT_GT(jpeg.size(), 1000u);

    std::vector<uint8_t> truncated(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    std::vector<uint8_t> noEnd(jpeg.begin(), jpeg.end() - 2);
    std::vector<uint8_t> headerCut(jpeg.begin(), jpeg.begin() + 40);
    std::vector<uint8_t> badLength = jpeg;
    badLength[4] = 0xFF;  // the first segment's length now runs past the data
    badLength[5] = 0xF0;
    std::vector<uint8_t> noise(jpeg.size());
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    std::vector<uint8_t> noisyBody = jpeg;  // headers intact, scan data replaced
    for (size_t i = jpeg.size() / 3; i < jpeg.size() - 2; ++i) noisyBody[i] = noise[i];
    const std::vector<uint8_t> empty;

    std::vector<uint8_t> out(vcam::rgb24FrameBytes(w, h), 0xEE);
    const std::vector<uint8_t> untouched = out;
    for (const std::vector<uint8_t>* bad : std::initializer_list<const std::vector<uint8_t>*>{&truncated, &noEnd, &headerCut, &badLength, &noise, &empty}) {
        EXPECT_TRUE(FAILED(codec.decode(bad->data(), bad->size(), w, h, out.data(), out.size()))) << bad->size();
        EXPECT_EQ(untouched, out);
    }
    // Right data, wrong expectations.
    EXPECT_TRUE(FAILED(codec.decode(jpeg.data(), jpeg.size(), 640, 480, out.data(), out.size())));
    EXPECT_TRUE(FAILED(codec.decode(jpeg.data(), jpeg.size(), w, h, out.data(), out.size() - 1)));
    EXPECT_TRUE(FAILED(codec.decode(nullptr, jpeg.size(), w, h, out.data(), out.size())));
    EXPECT_EQ(untouched, out);
    // Scrambled scan data behind sound headers: a decoder may fail or make garbage, never crash.
    codec.decode(noisyBody.data(), noisyBody.size(), w, h, out.data(), out.size());
    EXPECT_NE(std::string::npos, traceText().find("MjpgCodec: frame of")) << traceText();

    // The codec is still fine afterwards, and zero padding after the end marker is no fault.
    std::vector<uint8_t> padded = jpeg;
    padded.resize(jpeg.size() + 100, 0);
    EXPECT_EQ(S_OK, codec.decode(padded.data(), padded.size(), w, h, out.data(), out.size()));
    EXPECT_LT(difference(pictureFrame(w, h, 9), out, w, h).mean, 3.0);
}

TEST(MjpgCodec, EncodeRefusesFramesItCannotHold) {
    vcam::MjpgCodec codec;
    const std::vector<uint8_t> frame = pictureFrame(320, 240, 0);
    const uint8_t* jpeg = nullptr;
    size_t length = 0;
    EXPECT_EQ(E_INVALIDARG, codec.encode(frame.data(), frame.size() - 1, 320, 240, &jpeg, &length));
    EXPECT_EQ(E_INVALIDARG, codec.encode(frame.data(), frame.size(), 0, 240, &jpeg, &length));
    EXPECT_EQ(E_POINTER, codec.encode(nullptr, frame.size(), 320, 240, &jpeg, &length));
    EXPECT_EQ(nullptr, jpeg);
}
