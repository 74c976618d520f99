#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/GdiplusSession.h"
#include "library/ExifSegment.h"
#include "library/PhotoWriter.h"
#include "tests/support/TempFolder.h"

using namespace Gdiplus;
using testsupport::TempFolder;

namespace {

struct Colour {
    BYTE r, g, b;
};
constexpr Colour kRed{230, 20, 20}, kGreen{20, 200, 40}, kBlue{30, 40, 220}, kWhite{240, 240, 240},
    kGrey{100, 100, 100};

// A BGR frame: grey, with four coloured quadrants inside the given rectangle (red top-left, green
// top-right, blue bottom-left, white bottom-right), so that any turn or flip shows in the pixels.
std::vector<BYTE> markedFrame(int w, int h, int left, int top, int right, int bottom) {
    std::vector<BYTE> frame(static_cast<size_t>(w) * h * 3);
    const int cx = (left + right) / 2, cy = (top + bottom) / 2;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Colour c = kGrey;
            if (x >= left && x < right && y >= top && y < bottom)
                c = y < cy ? (x < cx ? kRed : kGreen) : (x < cx ? kBlue : kWhite);
            BYTE* p = &frame[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return frame;
}

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session.startup(); }
    void TearDown() override { session.shutdown(); }
    vnt::GdiplusSession session;
};
const auto* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

bool closeTo(const Color& actual, Colour expected) {
    return std::abs(actual.GetR() - expected.r) < 40 && std::abs(actual.GetG() - expected.g) < 40 &&
           std::abs(actual.GetB() - expected.b) < 40;
}

std::string describe(const Color& c) {
    return "(" + std::to_string(c.GetR()) + "," + std::to_string(c.GetG()) + "," + std::to_string(c.GetB()) + ")";
}

std::vector<uint8_t> fileBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD read = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(f);
    bytes.resize(read);
    return bytes;
}

// Checks the four quadrant centres of a stored photo.
void expectQuadrants(const std::wstring& path, Colour tl, Colour tr, Colour bl, Colour br) {
    Bitmap photo(path.c_str());
    ASSERT_EQ(photo.GetLastStatus(), Ok) << "photo not readable";
    const int w = static_cast<int>(photo.GetWidth()), h = static_cast<int>(photo.GetHeight());
    const struct {
        int x, y;
        Colour expected;
        const char* where;
    } probes[] = {{w / 4, h / 4, tl, "top-left"}, {3 * w / 4, h / 4, tr, "top-right"},
                  {w / 4, 3 * h / 4, bl, "bottom-left"}, {3 * w / 4, 3 * h / 4, br, "bottom-right"}};
    for (const auto& p : probes) {
        Color c;
        photo.GetPixel(p.x, p.y, &c);
        EXPECT_TRUE(closeTo(c, p.expected)) << p.where << " is " << describe(c);
    }
}

class PhotoWriterTest : public ::testing::Test {
protected:
    TempFolder folder{L"photos"};
};

TEST_F(PhotoWriterTest, MirrorAndFlipTurnThePicture) {
    const std::vector<BYTE> frame = markedFrame(640, 480, 0, 0, 640, 480);
    const struct {
        int mirror, flip;
        Colour tl, tr, bl, br;
    } cases[] = {{0, 0, kRed, kGreen, kBlue, kWhite},
                 {1, 0, kGreen, kRed, kWhite, kBlue},
                 {0, 1, kBlue, kWhite, kRed, kGreen},
                 {1, 1, kWhite, kBlue, kGreen, kRed}};  // both: a half turn
    for (const auto& c : cases) {
        SCOPED_TRACE("mirror " + std::to_string(c.mirror) + " flip " + std::to_string(c.flip));
        const std::wstring path = folder.path() + L"turn" + std::to_wstring(c.mirror * 2 + c.flip) + L".jpg";
        EXPECT_EQ(WriteSnapshotJpeg(frame.data(), path.c_str(), 640, 480, 640 * 3, "DC-1", 1.0f, c.mirror, c.flip), 0);
        expectQuadrants(path, c.tl, c.tr, c.bl, c.br);
    }
}

// The name was free when it was chosen; a file that took it before the photo was written stays.
TEST_F(PhotoWriterTest, AFileThatTookThePhotosNameMeanwhileIsNeverReplaced) {
    const std::vector<BYTE> frame = markedFrame(64, 48, 0, 0, 64, 48);
    const std::wstring path = folder.path() + L"class_0001.jpg";
    ASSERT_TRUE(testsupport::writeFile(path, "someone else's file"));
    EXPECT_FALSE(writeSnapshotJpegFile(frame.data(), path.c_str(), 64, 48, 64 * 3, "DC-1", 1.0f, 0, 0));
    const std::vector<uint8_t> kept = fileBytes(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "someone else's file");
}

TEST_F(PhotoWriterTest, ZoomStoresTheCentreAtTheFramesOwnSize) {
    // At 2.0 the stored picture is the block from (160, 120) to (480, 360) of the frame.
    const std::vector<BYTE> frame = markedFrame(640, 480, 160, 120, 480, 360);
    const std::wstring path = folder.path() + L"zoom.jpg";
    WriteSnapshotJpeg(frame.data(), path.c_str(), 640, 480, 640 * 3, "DC-1", 2.0f, 0, 0);
    Bitmap photo(path.c_str());
    ASSERT_EQ(photo.GetLastStatus(), Ok);
    EXPECT_EQ(photo.GetWidth(), 640u);
    EXPECT_EQ(photo.GetHeight(), 480u);
    expectQuadrants(path, kRed, kGreen, kBlue, kWhite);
    Color corner;
    photo.GetPixel(8, 8, &corner);
    EXPECT_TRUE(closeTo(corner, kRed)) << "no grey border left: " << describe(corner);
}

TEST_F(PhotoWriterTest, TagsAreOursWithTheirExactCounts) {
    const std::vector<BYTE> frame = markedFrame(320, 240, 0, 0, 320, 240);
    const std::wstring path = folder.path() + L"tags.jpg";
    WriteSnapshotJpeg(frame.data(), path.c_str(), 320, 240, 320 * 3, "DC-1 Plus", 1.0f, 0, 0);
    const std::vector<uint8_t> bytes = fileBytes(path);
    skeo::ExifInfo info;
    ASSERT_TRUE(skeo::readExif(bytes.data(), bytes.size(), info));
    EXPECT_EQ(info.make, "Vantor");
    EXPECT_EQ(info.makeCount, 7u);
    EXPECT_EQ(info.model, "DC-1 Plus");
    EXPECT_EQ(info.modelCount, 10u);
    EXPECT_EQ(info.dateTimeOriginalCount, 32u);
    ASSERT_EQ(info.dateTimeOriginalRaw.size(), 32u);
    EXPECT_EQ(info.dateTimeOriginalRaw[19], 0);
    EXPECT_GT(info.thumbnailLength, 0u);
}

TEST_F(PhotoWriterTest, ThumbnailsHaveTheAskedSizeForEveryShape) {
    const struct {
        int w, h, expectedW;
    } shapes[] = {{640, 480, 60}, {480, 640, 33}, {500, 500, 33}};
    for (const auto& s : shapes) {
        SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
        const std::vector<BYTE> frame = markedFrame(s.w, s.h, 0, 0, s.w, s.h);
        const std::wstring path = folder.path() + L"shape" + std::to_wstring(s.w) + L".jpg";
        WriteSnapshotJpeg(frame.data(), path.c_str(), s.w, s.h, s.w * 3, "DC-1", 1.0f, 0, 0);
        std::unique_ptr<Bitmap> thumb(LoadPhotoThumbnail(path.c_str(), 60, 45));
        ASSERT_NE(thumb, nullptr);
        EXPECT_EQ(static_cast<int>(thumb->GetWidth()), s.expectedW);
        EXPECT_EQ(thumb->GetHeight(), 45u);
        Color c;
        thumb->GetPixel(s.expectedW / 4, 45 / 4, &c);
        EXPECT_TRUE(closeTo(c, kRed)) << describe(c);
    }
}

TEST_F(PhotoWriterTest, TurningFourTimesComesBackWithTheTagsKept) {
    const std::vector<BYTE> frame = markedFrame(640, 480, 0, 0, 640, 480);
    const std::wstring path = folder.path() + L"rotate.jpg";
    WriteSnapshotJpeg(frame.data(), path.c_str(), 640, 480, 640 * 3, "DC-1", 1.0f, 0, 0);
    skeo::ExifInfo before;
    std::vector<uint8_t> bytes = fileBytes(path);
    ASSERT_TRUE(skeo::readExif(bytes.data(), bytes.size(), before));

    ASSERT_TRUE(RotatePhotoFile(path.c_str(), Rotate90FlipNone));
    {
        Bitmap turned(path.c_str());
        EXPECT_EQ(turned.GetWidth(), 480u);
        EXPECT_EQ(turned.GetHeight(), 640u);
    }
    expectQuadrants(path, kBlue, kRed, kWhite, kGreen);
    std::unique_ptr<Bitmap> thumb(LoadPhotoThumbnail(path.c_str(), 60, 45));
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->GetWidth(), 33u) << "the thumbnail follows the new orientation";

    ASSERT_TRUE(RotatePhotoFile(path.c_str(), Rotate90FlipNone));
    ASSERT_TRUE(RotatePhotoFile(path.c_str(), Rotate270FlipNone));
    ASSERT_TRUE(RotatePhotoFile(path.c_str(), Rotate270FlipNone));
    expectQuadrants(path, kRed, kGreen, kBlue, kWhite);

    skeo::ExifInfo after;
    bytes = fileBytes(path);
    ASSERT_TRUE(skeo::readExif(bytes.data(), bytes.size(), after));
    EXPECT_EQ(after.make, before.make);
    EXPECT_EQ(after.model, before.model);
    EXPECT_EQ(after.dateTimeOriginalRaw, before.dateTimeOriginalRaw);
    EXPECT_FALSE(testsupport::fileExists(path + L".rotate0.tmp"));
}

TEST_F(PhotoWriterTest, BadFilesGiveNoThumbnailAndAreNotTouchedByRotation) {
    const std::vector<BYTE> frame = markedFrame(320, 240, 0, 0, 320, 240);
    const std::wstring good = folder.path() + L"good.jpg";
    WriteSnapshotJpeg(frame.data(), good.c_str(), 320, 240, 320 * 3, "DC-1", 1.0f, 0, 0);
    const std::vector<uint8_t> valid = fileBytes(good);
    ASSERT_GT(valid.size(), 1000u);

    std::vector<std::pair<std::string, std::string>> files = {
        {"empty", ""},
        {"text", "this is not a picture"},
        {"soi only", std::string("\xFF\xD8", 2)},
        {"truncated half", std::string(valid.begin(), valid.begin() + valid.size() / 2)},
        {"truncated header", std::string(valid.begin(), valid.begin() + 40)},
    };
    std::string damaged(valid.begin(), valid.end());
    for (size_t i = 12; i < 200 && i < damaged.size(); i += 7) damaged[i] = static_cast<char>(0xFF);
    files.push_back({"damaged exif", damaged});

    for (const auto& f : files) {
        SCOPED_TRACE(f.first);
        const std::wstring path = folder.path() + L"bad.jpg";
        ASSERT_TRUE(testsupport::writeFile(path, f.second));
        std::unique_ptr<Bitmap> thumb(LoadPhotoThumbnail(path.c_str(), 60, 45));
        if (thumb) {
            EXPECT_EQ(thumb->GetHeight(), 45u);
            EXPECT_TRUE(thumb->GetWidth() == 60u || thumb->GetWidth() == 33u);
        }
        const bool turned = RotatePhotoFile(path.c_str(), Rotate90FlipNone);
        if (!turned) {
            const std::vector<uint8_t> after = fileBytes(path);
            EXPECT_EQ(std::string(after.begin(), after.end()), f.second) << "left as it was";
        }
    }
    EXPECT_EQ(LoadPhotoThumbnail((folder.path() + L"missing.jpg").c_str(), 60, 45), nullptr);
    EXPECT_FALSE(RotatePhotoFile((folder.path() + L"missing.jpg").c_str(), Rotate90FlipNone));
}

// A JPEG of one colour, encoded by the platform.
std::vector<uint8_t> plainJpeg(int w, int h, Colour c) {
    Bitmap picture(w, h, PixelFormat24bppRGB);
    {
        Graphics g(&picture);
        SolidBrush brush(Color(c.r, c.g, c.b));
        g.FillRectangle(&brush, 0, 0, w, h);
    }
    CLSID jpeg{};
    IStream* stream = nullptr;
    std::vector<uint8_t> bytes;
    if (FindJpegEncoder(&jpeg) < 0 || CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) return bytes;
    if (picture.Save(stream, &jpeg, nullptr) == Ok) {
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        ULONG read = 0;
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    }
    stream->Release();
    return bytes;
}

// Mean absolute difference per channel of two bitmaps of one size.
double meanDifference(Bitmap& a, Bitmap& b) {
    const int w = static_cast<int>(a.GetWidth()), h = static_cast<int>(a.GetHeight());
    Rect all(0, 0, w, h);
    BitmapData da{}, db{};
    if (a.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &da) != Ok) return 255;
    if (b.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &db) != Ok) {
        a.UnlockBits(&da);
        return 255;
    }
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        const BYTE* pa = static_cast<const BYTE*>(da.Scan0) + y * da.Stride;
        const BYTE* pb = static_cast<const BYTE*>(db.Scan0) + y * db.Stride;
        for (int x = 0; x < w * 3; ++x) sum += std::abs(pa[x] - pb[x]);
    }
    a.UnlockBits(&da);
    b.UnlockBits(&db);
    return sum / (3.0 * w * h);
}

// The photo's own small picture serves sizes that fit inside it; a larger view (the photo preview over
// the camera picture) is drawn from the photo, never the small picture blown up.
TEST_F(PhotoWriterTest, LargeThumbnailsComeFromThePhotoAndSmallOnesFromItsOwnThumbnail) {
    // A red photo whose embedded thumbnail is blue tells which one a thumbnail was made from.
    const std::vector<uint8_t> photo = plainJpeg(1600, 1200, kRed), small = plainJpeg(160, 120, kBlue);
    ASSERT_FALSE(photo.empty());
    ASSERT_FALSE(small.empty());
    std::vector<uint8_t> file;
    ASSERT_TRUE(skeo::insertExifApp1(photo, skeo::buildExifApp1({"Vantor", "DC-1", "2026:12:09 10:00:00"}, small), file));
    // Thumbnails read only the start of a large file: one with its size and small picture there,
    // one whose header runs on past what is read first.
    std::vector<uint8_t> longTail = file;
    longTail.resize(file.size() + 400 * 1024, 0);
    std::vector<uint8_t> longHeader = file;
    const size_t afterApp1 = 4 + ((static_cast<size_t>(file[4]) << 8) | file[5]);
    for (int i = 0; i < 4; ++i) {
        std::vector<uint8_t> app2 = {0xFF, 0xE2, 0xEA, 0x62};  // 60,000 bytes of data
        app2.resize(4 + 60000, 0x20);
        longHeader.insert(longHeader.begin() + static_cast<std::ptrdiff_t>(afterApp1), app2.begin(), app2.end());
    }
    const std::pair<const wchar_t*, const std::vector<uint8_t>*> files[] = {
        {L"marked.jpg", &file}, {L"long tail.jpg", &longTail}, {L"long header.jpg", &longHeader}};
    for (const auto& f : files) {
        const std::wstring path = folder.path() + f.first;
        ASSERT_TRUE(testsupport::writeFile(path, std::string(f.second->begin(), f.second->end())));
        const struct {
            int w, h;
            Colour expected;
        } sizes[] = {{60, 45, kBlue}, {160, 120, kBlue}, {161, 121, kRed}, {1024, 768, kRed}};
        for (const auto& s : sizes) {
            SCOPED_TRACE(std::to_string(&f - files) + ": " + std::to_string(s.w) + "x" + std::to_string(s.h));
            std::unique_ptr<Bitmap> thumb(LoadPhotoThumbnail(path.c_str(), s.w, s.h));
            ASSERT_NE(thumb, nullptr);
            EXPECT_EQ(static_cast<int>(thumb->GetWidth()), s.w);
            Color c;
            thumb->GetPixel(s.w / 2, s.h / 2, &c);
            EXPECT_TRUE(closeTo(c, s.expected)) << describe(c);
        }
    }

    // A photo as the camera takes it, with fine detail: the preview keeps it as a direct downscale does.
    std::vector<BYTE> stripes(1600 * 1200 * 3);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x)
            std::memset(&stripes[(static_cast<size_t>(y) * 1600 + x) * 3], ((x / 8 + y / 8) % 2) ? 230 : 20, 3);
    const std::wstring taken = folder.path() + L"detail.jpg";
    WriteSnapshotJpeg(stripes.data(), taken.c_str(), 1600, 1200, 1600 * 3, "DC-1", 1.0f, 0, 0);
    std::unique_ptr<Bitmap> preview(LoadPhotoThumbnail(taken.c_str(), 1024, 768));
    ASSERT_NE(preview, nullptr);
    Bitmap whole(taken.c_str());
    ASSERT_EQ(whole.GetLastStatus(), Ok);
    Bitmap direct(1024, 768, PixelFormat24bppRGB);
    {
        Graphics g(&direct);
        g.SetInterpolationMode(InterpolationModeHighQualityBilinear);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        g.DrawImage(&whole, 0, 0, 1024, 768);
    }
    EXPECT_LE(meanDifference(*preview, direct), 12.0) << "the preview is not the photo scaled down";
}

TEST_F(PhotoWriterTest, BadFramesWriteNothing) {
    const std::vector<BYTE> frame = markedFrame(64, 48, 0, 0, 64, 48);
    const std::wstring path = folder.path() + L"none.jpg";
    EXPECT_EQ(WriteSnapshotJpeg(nullptr, path.c_str(), 64, 48, 192, "DC-1", 1.0f, 0, 0), 0);
    EXPECT_EQ(WriteSnapshotJpeg(frame.data(), path.c_str(), 64, 48, 100, "DC-1", 1.0f, 0, 0), 0);
    EXPECT_EQ(WriteSnapshotJpeg(frame.data(), path.c_str(), 0, 48, 192, "DC-1", 1.0f, 0, 0), 0);
    EXPECT_FALSE(testsupport::fileExists(path));
}

TEST(JpegEncoder, IsFound) {
    CLSID clsid{};
    EXPECT_GE(FindJpegEncoder(&clsid), 0);
    EXPECT_NE(clsid, CLSID{});
}

}  // namespace

namespace {

// Leaves photos beside the test program for the exiftool check that CTest runs next.
TEST(PhotoSamples, WrittenForTheIndependentReader) {
    const std::wstring folder = testsupport::freshFolderBesideTestProgram(L"photo-samples");
    ASSERT_TRUE(testsupport::fileExists(folder));
    const std::vector<BYTE> frame = markedFrame(640, 480, 0, 0, 640, 480);
    WriteSnapshotJpeg(frame.data(), (folder + L"landscape.jpg").c_str(), 640, 480, 640 * 3, "DC-1 Plus", 1.0f, 0, 0);
    const std::vector<BYTE> tall = markedFrame(480, 640, 0, 0, 480, 640);
    WriteSnapshotJpeg(tall.data(), (folder + L"portrait.jpg").c_str(), 480, 640, 480 * 3, "DC-1 Plus", 1.5f, 1, 1);
    const std::wstring turned = folder + L"turned.jpg";
    WriteSnapshotJpeg(frame.data(), turned.c_str(), 640, 480, 640 * 3, "DC-1 Plus", 1.0f, 0, 0);
    ASSERT_TRUE(RotatePhotoFile(turned.c_str(), Rotate90FlipNone));
    for (const wchar_t* name : {L"landscape.jpg", L"portrait.jpg", L"turned.jpg"})
        EXPECT_TRUE(testsupport::fileExists(folder + name)) << name;
}

}  // namespace

namespace {


// Pictures made by ImageMagick before this test: each gives a thumbnail of the right size or none,
// and rotation either turns it (width and height swap) or leaves the file byte for byte as it was.
TEST(PhotoInputs, ForeignPicturesAreHandledOrLeftAlone) {
    const std::wstring inputs = testsupport::besideTestProgram(L"photo-inputs\\");
    if (!testsupport::fileExists(inputs)) GTEST_SKIP() << "photo-inputs not made (CTest makes them first)";
    TempFolder work(L"inputs");
    const struct {
        const wchar_t* name;
        int thumbWidth;  // 0: none expected is allowed
    } cases[] = {{L"progressive.jpg", 60}, {L"cmyk.jpg", 0}, {L"huge.jpg", 60}, {L"grey.jpg", 33},
                 {L"png-named.jpg", 60}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        const std::wstring path = work.path() + c.name;
        ASSERT_TRUE(CopyFileW((inputs + c.name).c_str(), path.c_str(), FALSE));
        std::unique_ptr<Bitmap> thumb(LoadPhotoThumbnail(path.c_str(), 60, 45));
        if (c.thumbWidth) {
            ASSERT_NE(thumb, nullptr);
        }
        if (thumb) {
            EXPECT_EQ(thumb->GetHeight(), 45u);
            if (c.thumbWidth) {
                EXPECT_EQ(static_cast<int>(thumb->GetWidth()), c.thumbWidth);
            }
        }
        const std::vector<uint8_t> before = fileBytes(path);
        UINT w0 = 0, h0 = 0;
        {
            Bitmap original(path.c_str());
            if (original.GetLastStatus() == Ok) {
                w0 = original.GetWidth();
                h0 = original.GetHeight();
            }
        }
        skeo::ExifInfo tagsBefore;
        const bool hadTags = skeo::readExif(before.data(), before.size(), tagsBefore);
        if (RotatePhotoFile(path.c_str(), Rotate90FlipNone)) {
            Bitmap turned(path.c_str());
            ASSERT_EQ(turned.GetLastStatus(), Ok);
            EXPECT_EQ(turned.GetWidth(), h0);
            EXPECT_EQ(turned.GetHeight(), w0);
            // A picture without tags gets none made up by turning it.
            const std::vector<uint8_t> after = fileBytes(path);
            skeo::ExifInfo tagsAfter;
            if (!hadTags) {
                EXPECT_FALSE(skeo::readExif(after.data(), after.size(), tagsAfter));
            }
        } else {
            EXPECT_EQ(fileBytes(path), before);
        }
    }
}

}  // namespace
