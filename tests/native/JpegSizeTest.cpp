#include <gtest/gtest.h>

#include <vector>

#include "library/JpegSegments.h"
#include "library/JpegSize.h"

namespace {

// SOI, an APP0 of 16 bytes, a DQT stub, then SOF0 of 640 x 480 (height first), then SOS.
std::vector<uint8_t> header(uint8_t sofMarker) {
    std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    const uint8_t dqt[] = {0xFF, 0xDB, 0x00, 0x04, 0x00, 0x01};
    j.insert(j.end(), dqt, dqt + sizeof dqt);
    const uint8_t sof[] = {0xFF, sofMarker, 0x00, 0x0B, 0x08, 0x01, 0xE0, 0x02, 0x80, 0x01, 0x01, 0x11, 0x00};
    j.insert(j.end(), sof, sof + sizeof sof);
    const uint8_t sos[] = {0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 0x3F, 0};
    j.insert(j.end(), sos, sos + sizeof sos);
    return j;
}

TEST(JpegSize, BaselineAndProgressiveFramesGiveWidthAndHeight) {
    for (uint8_t sof : {0xC0, 0xC1, 0xC2}) {
        const std::vector<uint8_t> j = header(sof);
        int w = 0, h = 0;
        ASSERT_TRUE(skeo::readJpegSize(j.data(), j.size(), w, h)) << int(sof);
        EXPECT_EQ(w, 640);
        EXPECT_EQ(h, 480);
    }
}

TEST(JpegSize, TablesSharingTheFrameRangeAreNotFrames) {
    std::vector<uint8_t> j = header(0xC4);  // a DHT where the frame would be, and no frame at all
    int w = 0, h = 0;
    EXPECT_FALSE(skeo::readJpegSize(j.data(), j.size(), w, h));
}

TEST(JpegSize, EveryTruncationAndDamageFailsCleanly) {
    const std::vector<uint8_t> j = header(0xC0);
    const size_t sofEnd = 20 + 6 + 13;
    for (size_t n = 0; n < sofEnd; ++n) {
        std::vector<uint8_t> cut(j.begin(), j.begin() + n);  // exact size: the sanitizer sees any overrun
        int w = -1, h = -1;
        EXPECT_FALSE(skeo::readJpegSize(cut.data(), cut.size(), w, h)) << n;
    }
    std::vector<uint8_t> zeroSize = j;
    zeroSize[20 + 6 + 5] = 0;  // height 0
    zeroSize[20 + 6 + 6] = 0;
    int w = 0, h = 0;
    EXPECT_FALSE(skeo::readJpegSize(zeroSize.data(), zeroSize.size(), w, h));
    std::vector<uint8_t> badLength = j;
    badLength[4] = 0xFF;  // APP0 claims to run past the end
    EXPECT_FALSE(skeo::readJpegSize(badLength.data(), badLength.size(), w, h));
    EXPECT_FALSE(skeo::readJpegSize(nullptr, 100, w, h));
}

TEST(JpegSize, ComponentsComeFromTheFrameHeader) {
    std::vector<uint8_t> grey = header(0xC0);
    int components = 0;
    ASSERT_TRUE(skeo::readJpegComponents(grey.data(), grey.size(), components));
    EXPECT_EQ(components, 1);

    // The same frame with three and four components, its length grown by three bytes for each.
    const size_t sof = 20 + 6;
    for (int count : {3, 4}) {
        std::vector<uint8_t> j = header(0xC2);
        j[sof + 3] = static_cast<uint8_t>(8 + 3 * count);
        j[sof + 9] = static_cast<uint8_t>(count);
        const uint8_t more[] = {2, 0x11, 1, 3, 0x11, 1, 4, 0x11, 1};
        j.insert(j.begin() + sof + 13, more, more + 3 * (count - 1));
        components = 0;
        ASSERT_TRUE(skeo::readJpegComponents(j.data(), j.size(), components)) << count;
        EXPECT_EQ(components, count);
        // A count the segment has no room for is no frame header.
        j[sof + 9] = static_cast<uint8_t>(count + 1);
        EXPECT_FALSE(skeo::readJpegComponents(j.data(), j.size(), components)) << count;
    }

    std::vector<uint8_t> none = grey;
    none[sof + 9] = 0;
    EXPECT_FALSE(skeo::readJpegComponents(none.data(), none.size(), components));
    std::vector<uint8_t> tables = header(0xC4);
    EXPECT_FALSE(skeo::readJpegComponents(tables.data(), tables.size(), components));
    for (size_t n = 0; n < sof + 13; ++n) {
        const std::vector<uint8_t> cut(grey.begin(), grey.begin() + n);
        EXPECT_FALSE(skeo::readJpegComponents(cut.data(), cut.size(), components)) << n;
    }
}

// A file's start that merely ends early may be made whole by the rest of the file; one whose bytes
// cannot be segments cannot.
TEST(JpegSize, HeadersCutOffAreToldFromHeadersBroken) {
    const std::vector<uint8_t> j = header(0xC0);
    for (size_t n = 0; n <= j.size(); ++n) {
        const std::vector<uint8_t> cut(j.begin(), j.begin() + n);
        EXPECT_FALSE(skeo::jpegHeadersBroken(cut.data(), cut.size())) << n;
    }
    std::vector<uint8_t> zeroLength = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0, 0, 0, 0};  // a 200 MB file of zeros
    EXPECT_TRUE(skeo::jpegHeadersBroken(zeroLength.data(), zeroLength.size()));
    std::vector<uint8_t> noMarker = j;
    noMarker[20] = 0x12;  // where the DQT's 0xFF should be
    EXPECT_TRUE(skeo::jpegHeadersBroken(noMarker.data(), noMarker.size()));
    std::vector<uint8_t> secondSoi = j;
    secondSoi[21] = 0xD8;
    EXPECT_TRUE(skeo::jpegHeadersBroken(secondSoi.data(), secondSoi.size()));
    std::vector<uint8_t> longApp = j;
    longApp[4] = 0xFF;  // an APP0 longer than the data: the rest of the file may hold it
    EXPECT_FALSE(skeo::jpegHeadersBroken(longApp.data(), longApp.size()));
    const uint8_t png[] = {0x89, 'P', 'N', 'G'};
    EXPECT_FALSE(skeo::jpegHeadersBroken(png, sizeof png));
    EXPECT_FALSE(skeo::jpegHeadersBroken(nullptr, 10));
}

}  // namespace
