#include <gtest/gtest.h>

#include "app/PhotoFileName.h"

namespace {

TEST(PhotoFileName, DatesArePaddedToTwoDigits) {
    EXPECT_EQ(skeo::formatPhotoDate(2011, 3, 9), L"2011-03-09");
    EXPECT_EQ(skeo::formatPhotoDate(2026, 12, 31), L"2026-12-31");
}

TEST(PhotoFileName, SerialsHaveAtLeastFourDigits) {
    EXPECT_EQ(skeo::formatPhotoPath(L"D:\\P\\", L"2011-03-09", 7), L"D:\\P\\2011-03-09_0007.jpg");
    EXPECT_EQ(skeo::formatPhotoPath(L"D:\\P\\", L"", 1), L"D:\\P\\_0001.jpg");
    EXPECT_EQ(skeo::formatPhotoPath(L"D:\\P\\", L"lesson", 9999), L"D:\\P\\lesson_9999.jpg");
    EXPECT_EQ(skeo::formatPhotoPath(L"D:\\P\\", L"lesson", 12345), L"D:\\P\\lesson_12345.jpg");
    EXPECT_EQ(skeo::formatPhotoPath(L"D:\\P\\", L"x", 2147483647), L"D:\\P\\x_2147483647.jpg");
}

TEST(PhotoFileName, FolderLevelsGoFromTheDriveInward) {
    EXPECT_EQ(skeo::folderLevels(L"D:\\Photos\\Class\\"),
              (std::vector<std::wstring>{L"D:\\", L"D:\\Photos\\", L"D:\\Photos\\Class\\"}));
    // The last level is created only when the path ends in "\".
    EXPECT_EQ(skeo::folderLevels(L"D:\\Photos\\Class"), (std::vector<std::wstring>{L"D:\\", L"D:\\Photos\\"}));
    EXPECT_TRUE(skeo::folderLevels(L"\\\\server\\share\\").empty()) << "a leading backslash stops at once";
    EXPECT_TRUE(skeo::folderLevels(L"").empty());
    EXPECT_TRUE(skeo::folderLevels(L"nofolder").empty());
}

}  // namespace

TEST(PhotoFileName, OwnPhotosAreFoundAmongOtherFilesAndOrderedAsTheyWereTaken) {
    const std::vector<std::wstring> names = {
        L"lesson_0010.jpg", L"notes.txt", L"lesson_0002.JPG", L"IMG_123.jpg", L"2026-12-08_0001.jpg",
        L"lesson_10000.jpg", L"lesson_9999.jpg", L"Lesson_0003.jpg", L"_0001.jpg", L"lesson_00a1.jpg",
        L"lesson_0004.jpeg", L"lesson_0005.jpg.tmp", L"_.jpg", L".jpg", L"lesson_0001.jpg"};
    const std::vector<std::wstring> expected = {
        L"_0001.jpg", L"2026-12-08_0001.jpg", L"lesson_0001.jpg", L"lesson_0002.JPG", L"Lesson_0003.jpg",
        L"lesson_0010.jpg", L"lesson_9999.jpg", L"lesson_10000.jpg"};
    EXPECT_EQ(skeo::ownPhotosOldestFirst(names), expected);
    EXPECT_TRUE(skeo::ownPhotosOldestFirst({}).empty());
}

TEST(PhotoFileName, OwnNamesSplitIntoPrefixAsWrittenAndSerial) {
    std::wstring prefix;
    long long serial = 0;
    ASSERT_TRUE(skeo::splitOwnPhotoName(L"Lesson_0042.JPG", prefix, serial));
    EXPECT_EQ(prefix, L"Lesson");
    EXPECT_EQ(serial, 42);
    EXPECT_EQ(skeo::formatPhotoPath(L"", prefix, serial + 1), L"Lesson_0043.jpg");
    ASSERT_TRUE(skeo::splitOwnPhotoName(L"2026-12-08_a_123456789.jpg", prefix, serial));
    EXPECT_EQ(prefix, L"2026-12-08_a");
    EXPECT_EQ(serial, 123456789);
    for (const wchar_t* other : {L"lesson_042.jpg", L"lesson0042.jpg", L"lesson_0042.png", L"lesson_1234567890123456789.jpg"})
        EXPECT_FALSE(skeo::splitOwnPhotoName(other, prefix, serial)) << other;
}
