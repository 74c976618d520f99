// Photo files turned on the worker: in the order asked, each reported once, every one carried out
// also when the turner goes away at once, and a missing photo reported as not turned.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/GdiplusSession.h"
#include "library/PictureCodec.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"
#include "ui/PhotoTurner.h"

namespace {

class PhotoTurnerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gdiplus_.startup(); }
    std::wstring photo(const std::wstring& name, int width, int height) {
        const std::wstring path = folder_.path() + name;
        EXPECT_TRUE(testsupport::writeQuadrantPhoto(path, width, height));
        return path;
    }
    static SIZE sizeOf(const std::wstring& path) { return testsupport::photoFileSize(path); }

    static vnt::GdiplusSession gdiplus_;
    testsupport::TempFolder folder_{L"photo-turner-test"};
};
vnt::GdiplusSession PhotoTurnerTest::gdiplus_;

TEST_F(PhotoTurnerTest, TurnsAreCarriedOutInOrderAndReportedOnce) {
    const std::wstring a = photo(L"a.jpg", 320, 240), b = photo(L"b.jpg", 160, 120);
    const std::wstring missing = folder_.path() + L"missing.jpg";
    skeo::PhotoTurner turner;
    turner.Turn(a, Gdiplus::Rotate90FlipNone);
    turner.Turn(missing, Gdiplus::Rotate90FlipNone);
    turner.Turn(b, Gdiplus::Rotate270FlipNone);
    turner.Turn(a, Gdiplus::Rotate90FlipNone);
    EXPECT_TRUE(turner.Pending(a)) << "its second turn is queued at least";
    turner.WaitIdle();
    EXPECT_FALSE(turner.Busy());
    EXPECT_FALSE(turner.Pending(a));
    EXPECT_FALSE(turner.Pending(b));
    const auto done = turner.TakeFinished();
    ASSERT_EQ(4u, done.size());
    EXPECT_EQ(std::make_pair(a, true), done[0]);
    EXPECT_EQ(std::make_pair(missing, false), done[1]);
    EXPECT_EQ(std::make_pair(b, true), done[2]);
    EXPECT_EQ(std::make_pair(a, true), done[3]);
    EXPECT_TRUE(turner.TakeFinished().empty());
    EXPECT_EQ(320, sizeOf(a).cx) << "turned twice by a quarter";
    EXPECT_EQ(240, sizeOf(a).cy);
    EXPECT_EQ(120, sizeOf(b).cx);
    EXPECT_EQ(160, sizeOf(b).cy);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(missing.c_str())) << "nothing made up";
    // The quadrants went round with the picture: a quarter turn right puts the bottom left (blue) at
    // the top left.
    picture::Bytes bytes;
    ASSERT_TRUE(picture::readFile(b.c_str(), bytes));
    std::unique_ptr<Gdiplus::Bitmap> turned = picture::decode(bytes);
    ASSERT_TRUE(turned);
    Gdiplus::Color c;
    turned->GetPixel(5, 5, &c);
    EXPECT_NEAR(200, c.GetG(), 24) << "a quarter turn left brings the top right (green) to the top left";
    EXPECT_NEAR(30, c.GetR(), 24);
}

TEST_F(PhotoTurnerTest, TurnsStillQueuedAreCarriedOutWhenTheTurnerGoes) {
    std::vector<std::wstring> photos;
    for (int i = 0; i < 4; ++i) photos.push_back(photo(L"p" + std::to_wstring(i) + L".jpg", 640, 480));
    {
        skeo::PhotoTurner turner;
        for (const std::wstring& p : photos) turner.Turn(p, Gdiplus::Rotate90FlipNone);
    }
    for (const std::wstring& p : photos) {
        EXPECT_EQ(480, sizeOf(p).cx) << "turned before the program closed";
        EXPECT_EQ(640, sizeOf(p).cy);
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_.path() + L"*.tmp").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "no temporary file left behind";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace
