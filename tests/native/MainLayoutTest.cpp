// The main window's resize rule, full-screen picture and information line.
#include "ui/MainLayout.h"

#include <gtest/gtest.h>

using mainlayout::Box;

namespace {

TEST(MainLayoutTest, DragKeepsThePictureAtFourToThreeAndNeverBelowTheMinimum) {
    int w = 0, h = 0;
    // Towards the top left of the minimum: the minimum, in either mode.
    ASSERT_TRUE(mainlayout::dragResize(100, 100, 0, w, h));
    EXPECT_EQ(694, w);
    EXPECT_EQ(578, h);
    ASSERT_TRUE(mainlayout::dragResize(100, 100, 114, w, h));
    EXPECT_EQ(692, h);
    // x - 54 a multiple of 4: width-led, unless the cursor is lower than that height.
    ASSERT_TRUE(mainlayout::dragResize(854, 600, 0, w, h));
    EXPECT_EQ(854, w);
    EXPECT_EQ(698, h);  // picture 800 x 600
    ASSERT_TRUE(mainlayout::dragResize(854, 800, 0, w, h));
    EXPECT_EQ(800 - (800 - 98) % 3, h);
    EXPECT_EQ((800 - 98) / 3 * 4 + 54, w);
    // Neither coordinate on a step: ignored.
    int keptW = 1, keptH = 1;
    EXPECT_FALSE(mainlayout::dragResize(855, 700, 0, keptW, keptH));
    // Height-led in photo mode (y - 114 - 98 a multiple of 3).
    ASSERT_TRUE(mainlayout::dragResize(695, 812, 114, w, h));
    EXPECT_EQ(812, h);
    EXPECT_EQ(54 + 800, w);
    const Box picture = mainlayout::pictureArea(w, h, 114);
    EXPECT_EQ(picture.width() * 3, picture.height() * 4);
}

TEST(MainLayoutTest, FullScreenPictureIsPillarBoxedOnAWideScreen) {
    EXPECT_EQ((Box{240, 0, 1680, 1080}), mainlayout::fullScreenPicture(1920, 1080));
    EXPECT_EQ((Box{0, 0, 1024, 768}), mainlayout::fullScreenPicture(1024, 768));
    EXPECT_EQ((Box{0, 112, 1280, 1072}), mainlayout::fullScreenPicture(1280, 1184));  // taller than 4:3
}

TEST(MainLayoutTest, FullScreenCoversTheWholeMonitorTaskbarAndAll) {
    const struct {
        const char* what;
        mainlayout::Monitor monitor;
        int pictureHeight;  // of the 4:3 picture in the window
    } cases[] = {
        {"taskbar at the bottom", {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}, 1080},
        {"taskbar on the left of a 5:4 monitor left of the primary", {{-1280, 0, 0, 1024}, {-1218, 0, 0, 1024}}, 960},
        {"taskbar at the top of a monitor above the primary", {{0, -768, 1024, 0}, {0, -738, 1024, 0}}, 768},
        {"no taskbar", {{0, 0, 1600, 1200}, {0, 0, 1600, 1200}}, 1200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Box window = mainlayout::fullScreenWindow(c.monitor);
        EXPECT_EQ(c.monitor.whole, window);
        EXPECT_EQ(c.pictureHeight, mainlayout::fullScreenPicture(window.width(), window.height()).height());
    }
}

TEST(MainLayoutTest, InfoLineIsCentredUnderThePicture) {
    const Box picture = mainlayout::pictureArea(694, 692, 114);  // (51, 74) 640 x 480
    const int gaps[3] = {100, 200, 300};
    mainlayout::InfoLine line = mainlayout::infoLine(picture, 372, gaps);
    EXPECT_EQ((Box{51 + 120, 558, 51 + 138, 572}), line.folderButton);
    EXPECT_EQ(51 + 142, line.line.left);
    EXPECT_EQ((Box{51 + 242, 555, 51 + 243, 567}), line.separators[0]);
    // Wider than the picture: from its left edge; no gaps: no separators.
    const int none[3] = {0, 0, 0};
    line = mainlayout::infoLine(picture, 900, none);
    EXPECT_EQ(51, line.folderButton.left);
    EXPECT_EQ(0, line.separators[2].width());
}

}  // namespace
