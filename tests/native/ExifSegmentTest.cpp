#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "library/ExifSegment.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kSoi = {0xFF, 0xD8};
const Bytes kEoi = {0xFF, 0xD9};
const Bytes kApp0 = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
const Bytes kDqt = {0xFF, 0xDB, 0x00, 0x05, 0x00, 0x01, 0x02};
const Bytes kSosAndScan = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x12, 0xFF, 0x00, 0x34};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes thumbnail(size_t size) {
    Bytes jpeg(size, 0x5A);
    jpeg[0] = 0xFF, jpeg[1] = 0xD8, jpeg[size - 2] = 0xFF, jpeg[size - 1] = 0xD9;
    return jpeg;
}

skeo::ExifFields vantorFields(const std::string& model = "DC-7 Visualizer") {
    return {"Vantor", model, skeo::formatExifDateTime(2024, 3, 9, 7, 5, 1)};
}

// SOI + our segment + a scan, as the encoder's output looks once the tags are in.
Bytes photoWithExif(const Bytes& app1) { return concat({kSoi, app1, kApp0, kDqt, kSosAndScan, kEoi}); }

Bytes dateBytes(const std::string& text, size_t count) {
    Bytes raw(text.begin(), text.end());
    raw.resize(count, 0);
    return raw;
}

uint32_t le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

void setLe16(Bytes& b, size_t at, uint16_t v) { b[at] = uint8_t(v), b[at + 1] = uint8_t(v >> 8); }

void setLe32(Bytes& b, size_t at, uint32_t v) {
    setLe16(b, at, uint16_t(v));
    setLe16(b, at + 2, uint16_t(v >> 16));
}

TEST(ExifDateTime, FieldsArePaddedToFixedWidths) {
    EXPECT_EQ(skeo::formatExifDateTime(2024, 3, 9, 7, 5, 1), "2024:03:09 07:05:01");
    EXPECT_EQ(skeo::formatExifDateTime(2026, 12, 31, 23, 59, 59), "2026:12:31 23:59:59");
    EXPECT_EQ(skeo::formatExifDateTime(987, 1, 1, 0, 0, 0), "0987:01:01 00:00:00");
}

struct RoundTripCase {
    std::string make, model;
    size_t thumbnailSize;
};

class ExifRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ExifRoundTrip, WhatIsBuiltReadsBackWithItsCounts) {
    const RoundTripCase& c = GetParam();
    const skeo::ExifFields fields{c.make, c.model, "2024:03:09 07:05:01"};
    const Bytes thumb = c.thumbnailSize ? thumbnail(c.thumbnailSize) : Bytes{};
    const Bytes app1 = skeo::buildExifApp1(fields, thumb);
    ASSERT_GE(app1.size(), 18u);
    EXPECT_EQ((Bytes{app1.begin(), app1.begin() + 2}), (Bytes{0xFF, 0xE1}));
    EXPECT_EQ(size_t(app1[2] << 8 | app1[3]), app1.size() - 2);
    EXPECT_EQ((Bytes{app1.begin() + 4, app1.begin() + 14}), (Bytes{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0}));

    const Bytes file = photoWithExif(app1);
    skeo::ExifInfo info;
    ASSERT_TRUE(skeo::readExif(file.data(), file.size(), info));
    EXPECT_EQ(info.make, c.make);
    EXPECT_EQ(info.model, c.model);
    EXPECT_EQ(info.makeCount, c.make.size() + 1);
    EXPECT_EQ(info.modelCount, c.model.empty() ? 0u : c.model.size() + 1);
    EXPECT_EQ(info.dateTimeOriginalCount, 32u);
    EXPECT_EQ(info.dateTimeOriginalRaw, dateBytes("2024:03:09 07:05:01", 32));

    size_t offset = 0, length = 0;
    EXPECT_EQ(skeo::findExifThumbnail(file.data(), file.size(), offset, length), !thumb.empty());
    EXPECT_EQ(info.thumbnailLength, thumb.size());
    if (!thumb.empty()) {
        EXPECT_EQ(offset, info.thumbnailOffset);
        EXPECT_EQ(offset % 2, 0u) << "the thumbnail starts on a word boundary of the segment";
        EXPECT_EQ(Bytes(file.begin() + offset, file.begin() + offset + length), thumb);
    }
    EXPECT_EQ(skeo::extractExifApp1(file.data(), file.size()), app1);
}

INSTANTIATE_TEST_SUITE_P(Fields, ExifRoundTrip,
                         ::testing::Values(RoundTripCase{"Vantor", "DC-7 Visualizer", 40},  // odd-length Make
                                           RoundTripCase{"Vantor", "DC-7", 0},
                                           RoundTripCase{"ABC", "", 7},                     // values held inline
                                           RoundTripCase{"Vantor", std::string(300, 'm'), 1000}));

// Tags a photo does not have are not written, not even empty: a photo turned without tags of its own
// must not gain any.
TEST(ExifBuild, EmptyFieldsAreLeftOut) {
    const struct {
        skeo::ExifFields fields;
        bool make, model, date;
    } cases[] = {{{"Vantor", "", ""}, true, false, false},
                 {{"", "DC-7", ""}, false, true, false},
                 {{"", "", "2024:03:09 07:05:01"}, false, false, true},
                 {{"Vantor", "DC-7", "2024:03:09 07:05:01"}, true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields.make + "/" + c.fields.model + "/" + c.fields.dateTimeOriginal);
        const Bytes file = photoWithExif(skeo::buildExifApp1(c.fields, thumbnail(40)));
        skeo::ExifInfo info;
        ASSERT_TRUE(skeo::readExif(file.data(), file.size(), info));
        EXPECT_EQ(info.makeCount != 0, c.make);
        EXPECT_EQ(info.modelCount != 0, c.model);
        EXPECT_EQ(info.dateTimeOriginalCount != 0, c.date);
        EXPECT_EQ(info.thumbnailLength, 40u);
    }
    EXPECT_TRUE(skeo::buildExifApp1({"", "", ""}, thumbnail(40)).empty()) << "no tags, no segment";
}

TEST(ExifBuild, ValueOffsetsAreEven) {
    const Bytes app1 = skeo::buildExifApp1({"Vantor", "Odd", "2024:03:09 07:05:01"}, thumbnail(9));
    const Bytes tiff(app1.begin() + 10, app1.end());
    for (size_t ifd : {size_t{le32(tiff, 4)}, size_t{le32(tiff, 8 + 2 + 2 * 12 + 8)}, size_t{le32(tiff, 8 + 2 + 36)}}) {
        ASSERT_EQ(ifd % 2, 0u);
        for (size_t i = 0, count = tiff[ifd] | tiff[ifd + 1] << 8; i < count; ++i) {
            const size_t entry = ifd + 2 + 12 * i;
            const uint16_t type = tiff[entry + 2];
            const size_t bytes = le32(tiff, entry + 4) * (type == 5 ? 8 : type == 4 ? 4 : type == 3 ? 2 : 1);
            if (bytes > 4) {
                EXPECT_EQ(le32(tiff, entry + 8) % 2, 0u) << "tag " << (tiff[entry] | tiff[entry + 1] << 8);
            }
        }
    }
}

TEST(ExifBuild, ThumbnailIsLeftOutWhenTheSegmentWouldOverflow) {
    const Bytes small = skeo::buildExifApp1(vantorFields(), thumbnail(16));
    const size_t overhead = (small[2] << 8 | small[3]) - 16;
    const size_t largest = 0xFFFF - overhead;

    const Bytes full = skeo::buildExifApp1(vantorFields(), thumbnail(largest));
    EXPECT_EQ(full.size(), 0xFFFFu + 2);
    Bytes file = photoWithExif(full);
    skeo::ExifInfo info;
    ASSERT_TRUE(skeo::readExif(file.data(), file.size(), info));
    EXPECT_EQ(info.thumbnailLength, largest);

    const Bytes without = skeo::buildExifApp1(vantorFields(), thumbnail(largest + 1));
    file = photoWithExif(without);
    ASSERT_TRUE(skeo::readExif(file.data(), file.size(), info));
    EXPECT_EQ(info.make, "Vantor");
    EXPECT_EQ(info.dateTimeOriginalCount, 32u);
    EXPECT_EQ(info.thumbnailLength, 0u);
    EXPECT_EQ(without, skeo::buildExifApp1(vantorFields(), {}));

    EXPECT_TRUE(skeo::buildExifApp1(vantorFields(std::string(70000, 'm')), {}).empty()) << "tags alone too large";
}

TEST(ExifBuild, DateIsAlwaysThirtyTwoBytesAndNulTerminated) {
    for (const std::string& date : {std::string("2024:03:09 07:05:01"), std::string(40, '9')}) {
        const Bytes file = photoWithExif(skeo::buildExifApp1({"Vantor", "M", date}, {}));
        skeo::ExifInfo info;
        ASSERT_TRUE(skeo::readExif(file.data(), file.size(), info));
        EXPECT_EQ(info.dateTimeOriginalCount, 32u);
        EXPECT_EQ(info.dateTimeOriginalRaw, dateBytes(date.substr(0, 31), 32));
    }
}

TEST(ExifInsert, ReplacesEarlierExifAndKeepsOtherSegmentsInOrder) {
    const Bytes oldExif = skeo::buildExifApp1({"Encoder", "Old", "2000:01:01 00:00:00"}, {});
    const Bytes xmp = {0xFF, 0xE1, 0x00, 0x06, 'h', 't', 't', 'p'};  // an APP1 that is not Exif stays
    const Bytes encoded = concat({kSoi, kApp0, oldExif, xmp, kDqt, kSosAndScan, kEoi});
    const Bytes app1 = skeo::buildExifApp1(vantorFields(), thumbnail(12));

    Bytes out;
    ASSERT_TRUE(skeo::insertExifApp1(encoded, app1, out));
    EXPECT_EQ(out, concat({kSoi, app1, kApp0, xmp, kDqt, kSosAndScan, kEoi}));
    skeo::ExifInfo info;
    ASSERT_TRUE(skeo::readExif(out.data(), out.size(), info));
    EXPECT_EQ(info.make, "Vantor");

    Bytes again;
    ASSERT_TRUE(skeo::insertExifApp1(out, app1, again));
    EXPECT_EQ(again, out) << "inserting twice must not stack segments";
}

TEST(ExifInsert, RefusesWhatIsNotAWellFormedJpeg) {
    const Bytes app1 = skeo::buildExifApp1(vantorFields(), {});
    const Bytes brokenLength = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x40, 0x01};
    const Bytes noMarker = {0xFF, 0xD8, 0x12, 0x34, 0xFF, 0xDA};
    for (const Bytes& jpeg : {Bytes{}, Bytes{0xFF}, Bytes{'G', 'I', 'F', '8', '9', 'a'}, brokenLength, noMarker,
                              concat({kSoi, kApp0})}) {
        Bytes out = {1, 2, 3};
        EXPECT_FALSE(skeo::insertExifApp1(jpeg, app1, out)) << jpeg.size();
        EXPECT_EQ(out, (Bytes{1, 2, 3}));
    }
}

// Written by hand: the builder only writes "II".
Bytes bigEndianExif() {
    Bytes t = {'M', 'M', 0, 42, 0, 0, 0, 8};
    auto u16 = [&](uint32_t v) { t.insert(t.end(), {uint8_t(v >> 8), uint8_t(v)}); };
    auto u32 = [&](uint32_t v) { u16(v >> 16), u16(v & 0xFFFF); };
    auto text = [&](const std::string& s, size_t count) { Bytes raw = dateBytes(s, count); t.insert(t.end(), raw.begin(), raw.end()); };
    u16(3);                                             // IFD0 at 8
    u16(0x010F), u16(2), u32(3), text("Ab", 4);         // inline
    u16(0x0110), u16(2), u32(6), u32(50);
    u16(0x8769), u16(4), u32(1), u32(56);
    u32(94);
    text("Cam-1", 6);                                   // 50
    u16(1);                                             // Exif IFD at 56
    u16(0x9003), u16(2), u32(20), u32(74);
    u32(0);
    text("2011:03:09 10:11:12", 20);                    // 74
    u16(2);                                             // IFD1 at 94
    u16(0x0201), u16(4), u32(1), u32(124);
    u16(0x0202), u16(3), u32(1), u16(6), u16(0);        // SHORT length, also allowed
    u32(0);
    t.insert(t.end(), {0xFF, 0xD8, 0x01, 0x02, 0xFF, 0xD9});  // 124
    const size_t length = 8 + t.size();
    return concat({kSoi, {0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x', 'i', 'f', 0, 0}, t, kEoi});
}

TEST(ExifRead, ReadsMotorolaByteOrder) {
    const Bytes file = bigEndianExif();
    skeo::ExifInfo info;
    ASSERT_TRUE(skeo::readExif(file.data(), file.size(), info));
    EXPECT_EQ(info.make, "Ab");
    EXPECT_EQ(info.makeCount, 3u);
    EXPECT_EQ(info.model, "Cam-1");
    EXPECT_EQ(info.modelCount, 6u);
    EXPECT_EQ(info.dateTimeOriginalRaw, dateBytes("2011:03:09 10:11:12", 20));
    size_t offset = 0, length = 0;
    ASSERT_TRUE(skeo::findExifThumbnail(file.data(), file.size(), offset, length));
    EXPECT_EQ(offset, 12u + 124u);
    EXPECT_EQ(length, 6u);
}

TEST(ExifRead, NoExifInAPlainJpeg) {
    const Bytes file = concat({kSoi, kApp0, kDqt, kSosAndScan, kEoi});
    skeo::ExifInfo info;
    size_t offset = 0, length = 0;
    EXPECT_FALSE(skeo::readExif(file.data(), file.size(), info));
    EXPECT_FALSE(skeo::findExifThumbnail(file.data(), file.size(), offset, length));
    EXPECT_TRUE(skeo::extractExifApp1(file.data(), file.size()).empty());
}

// Positions in the file built by photoWithExif from our own segment.
constexpr size_t kTiff = 2 + 10;
constexpr size_t kIfd0 = kTiff + 8;
constexpr size_t kMakeEntry = kIfd0 + 2;
constexpr size_t kExifPointer = kIfd0 + 2 + 2 * 12 + 8;
constexpr size_t kNextIfd = kIfd0 + 2 + 3 * 12;

size_t thumbnailEntry(const Bytes& file, int index) { return kTiff + le32(file, kNextIfd) + 2 + 12 * index; }

struct BadInputCase {
    const char* what;
    std::function<void(Bytes&)> damage;
    bool readable;
    uint32_t makeCount, dateCount;
    bool thumbnail;
};

class ExifBadInput : public ::testing::TestWithParam<BadInputCase> {};

TEST_P(ExifBadInput, GivesADefinedResult) {
    const BadInputCase& c = GetParam();
    Bytes file = photoWithExif(skeo::buildExifApp1(vantorFields(), thumbnail(20)));
    c.damage(file);
    skeo::ExifInfo info;
    ASSERT_EQ(skeo::readExif(file.data(), file.size(), info), c.readable);
    size_t offset = 0, length = 0;
    EXPECT_EQ(skeo::findExifThumbnail(file.data(), file.size(), offset, length), c.thumbnail);
    if (!c.readable) return;
    EXPECT_EQ(info.makeCount, c.makeCount);
    EXPECT_EQ(info.dateTimeOriginalCount, c.dateCount);
    EXPECT_EQ(info.model, "DC-7 Visualizer") << "the rest of IFD0 still reads";
}

INSTANTIATE_TEST_SUITE_P(
    Damage, ExifBadInput,
    ::testing::Values(
        BadInputCase{"intact", [](Bytes&) {}, true, 7, 32, true},
        BadInputCase{"empty", [](Bytes& f) { f.clear(); }, false, 0, 0, false},
        BadInputCase{"one byte", [](Bytes& f) { f.resize(1); }, false, 0, 0, false},
        BadInputCase{"not a JPEG", [](Bytes& f) { f[1] = 'P'; }, false, 0, 0, false},
        BadInputCase{"APP1 longer than the file", [](Bytes& f) { f[4] = 0xFF; }, false, 0, 0, false},
        BadInputCase{"unknown byte order", [](Bytes& f) { f[kTiff] = 'M'; }, false, 0, 0, false},
        BadInputCase{"not TIFF", [](Bytes& f) { f[kTiff + 2] = 43; }, false, 0, 0, false},
        BadInputCase{"IFD0 past the end", [](Bytes& f) { setLe32(f, kTiff + 4, 0xFFFFFFF0); }, false, 0, 0, false},
        BadInputCase{"IFD0 count 0xFFFF", [](Bytes& f) { setLe16(f, kIfd0, 0xFFFF); }, false, 0, 0, false},
        BadInputCase{"Make count past the end", [](Bytes& f) { setLe32(f, kMakeEntry + 4, 0x7FFFFFFF); }, true, 0, 32, true},
        BadInputCase{"Make of 0xFFFFFFFF doubles", [](Bytes& f) { setLe16(f, kMakeEntry + 2, 12), setLe32(f, kMakeEntry + 4, 0xFFFFFFFF); }, true, 0, 32, true},
        BadInputCase{"Make offset past the end", [](Bytes& f) { setLe32(f, kMakeEntry + 8, 0xFFFFFFFE); }, true, 0, 32, true},
        BadInputCase{"Exif IFD past the end", [](Bytes& f) { setLe32(f, kExifPointer, 0x10000); }, true, 7, 0, true},
        BadInputCase{"Exif IFD is IFD0", [](Bytes& f) { setLe32(f, kExifPointer, 8); }, true, 7, 0, true},
        BadInputCase{"IFD0 chains to itself", [](Bytes& f) { setLe32(f, kNextIfd, 8); }, true, 7, 32, false},
        BadInputCase{"thumbnail length oversized", [](Bytes& f) { setLe32(f, thumbnailEntry(f, 5) + 8, 0xFFFFFFFF); }, true, 7, 32, false},
        BadInputCase{"thumbnail one byte too long", [](Bytes& f) { setLe32(f, thumbnailEntry(f, 5) + 8, 21); }, true, 7, 32, false},
        BadInputCase{"thumbnail offset past the end", [](Bytes& f) { setLe32(f, thumbnailEntry(f, 4) + 8, 0xFFFFFFF0); }, true, 7, 32, false},
        BadInputCase{"thumbnail without SOI", [](Bytes& f) { f[kTiff + le32(f, thumbnailEntry(f, 4) + 8) + 1] = 0; }, true, 7, 32, false}),
    [](const ::testing::TestParamInfo<BadInputCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// Each call gets a buffer of exactly the given size, so the sanitizer sees any read past it.
void exerciseAll(const Bytes& file) {
    skeo::ExifInfo info;
    if (skeo::readExif(file.data(), file.size(), info)) {
        EXPECT_LE(info.make.size(), info.makeCount);
        EXPECT_EQ(info.dateTimeOriginalRaw.size(), info.dateTimeOriginalCount);
        EXPECT_LE(info.thumbnailOffset + info.thumbnailLength, file.size());
    }
    size_t offset = 0, length = 0;
    if (skeo::findExifThumbnail(file.data(), file.size(), offset, length)) {
        ASSERT_LE(offset + length, file.size());
        EXPECT_EQ(file[offset], 0xFF);
        EXPECT_EQ(file[offset + 1], 0xD8);
    }
    const Bytes app1 = skeo::extractExifApp1(file.data(), file.size());
    Bytes out;
    if (skeo::insertExifApp1(file, app1, out)) {
        EXPECT_EQ(Bytes(out.begin(), out.begin() + 2), kSoi);
    }
}

TEST(ExifBadInput, EveryTruncationIsSafe) {
    const Bytes app1 = skeo::buildExifApp1(vantorFields(), thumbnail(30));
    const Bytes file = photoWithExif(app1);
    const size_t exifEnd = 2 + app1.size();
    const size_t sosEnd = file.size() - kSosAndScan.size() - kEoi.size() + 2;
    for (size_t n = 0; n <= file.size(); ++n) {
        const Bytes prefix(file.begin(), file.begin() + n);
        skeo::ExifInfo info;
        size_t offset = 0, length = 0;
        Bytes out;
        EXPECT_EQ(skeo::readExif(prefix.data(), n, info), n >= exifEnd) << n;
        EXPECT_EQ(skeo::findExifThumbnail(prefix.data(), n, offset, length), n >= exifEnd) << n;
        EXPECT_EQ(skeo::extractExifApp1(prefix.data(), n).empty(), n < exifEnd) << n;
        EXPECT_EQ(skeo::insertExifApp1(prefix, app1, out), n >= sosEnd) << n;
        exerciseAll(prefix);
    }
}

TEST(ExifBadInput, RandomByteFlipsAreSafe) {
    const Bytes valid = photoWithExif(skeo::buildExifApp1(vantorFields(), thumbnail(30)));
    std::mt19937 rng(20240309);
    std::uniform_int_distribution<size_t> position(0, valid.size() - 1);
    for (int round = 0; round < 4000; ++round) {
        Bytes file = valid;
        for (int flips = 1 + round % 4; flips > 0; --flips) file[position(rng)] ^= uint8_t(1 + rng() % 255);
        exerciseAll(file);
        if (HasFailure()) FAIL() << "round " << round;
    }
}

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

TEST(ExifTool, ReadsOurSegmentWithoutWarnings) {
    if (run("exiftool -ver 2>/dev/null").empty()) GTEST_SKIP() << "exiftool is not installed";
    const std::string path = ::testing::TempDir() + "skeo_exif_segment_test.jpg";
    const Bytes file = concat({kSoi, skeo::buildExifApp1(vantorFields(), thumbnail(24)), kSosAndScan, kEoi});
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), out), file.size());
    std::fclose(out);

    const std::string report = run("exiftool -v3 '" + path + "' 2>&1");
    std::remove(path.c_str());
    for (const char* expected : {"Make = Vantor", "Tag 0x010f (7 bytes, string[7])", "Model = DC-7 Visualizer",
                                 "Tag 0x0110 (16 bytes, string[16])", "DateTimeOriginal = 2024:03:09 07:05:01",
                                 "Tag 0x9003 (32 bytes, string[32])", "ThumbnailLength = 24", "[IFD1 directory"})
        EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
    EXPECT_EQ(report.find("Warning"), std::string::npos) << report;
    EXPECT_EQ(report.find("Error"), std::string::npos) << report;
}

}  // namespace
