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
