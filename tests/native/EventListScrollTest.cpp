// The strip's thumb dragging: bar units scaled to pixels of content.
#include <gtest/gtest.h>

#include <climits>

#include "ui/EventListScroll.h"

using eventlist::ScrollAxis;
using eventlist::thumbScrollPixels;
using eventlist::widenThumbPosition;

TEST(EventListScroll, ThumbMovesAreScaledByTheContentPerBarUnit) {
    const struct {
        ScrollAxis axis;
        int client, thumb, pixels;
    } cases[] = {
        // A 720-pixel strip over 100 columns of 72 pixels, counted in pixels (page = client).
        {{7199, 720, 0}, 720, 1440, 1440},
        {{7199, 720, 1440}, 720, 0, -1440},
        // Counted in columns: page 10 of range 0..99, each unit is 72 pixels.
        {{99, 10, 5}, 720, 8, 216},
        {{99, 10, 8}, 720, 5, -216},
        // No page: the content is taken as the client, one unit a hundredth of it.
        {{99, 0, 0}, 500, 10, 50},
        // Dropped where it was: no move.
        {{99, 10, 40}, 720, 40, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(thumbScrollPixels(c.axis, c.client, c.thumb), c.pixels)
            << c.axis.max << "/" << c.axis.page << "/" << c.axis.position << " -> " << c.thumb;
}

TEST(EventListScroll, BarsWithoutARangeOrWithHugeFiguresStayDefined) {
    EXPECT_EQ(thumbScrollPixels({-1, 0, 0}, 720, 30), 0);  // max + 1 = 0: nothing to divide by
    EXPECT_EQ(thumbScrollPixels({-5, 3, 0}, 720, 30), 0);
    // Huge ranges with a tiny page would overflow 32-bit arithmetic on the way.
    EXPECT_EQ(thumbScrollPixels({INT_MAX - 1, 1, 0}, 1 << 20, 1 << 30), INT_MAX);
    EXPECT_EQ(thumbScrollPixels({INT_MAX - 1, 1, 1 << 30}, 1 << 20, 0), INT_MIN);
}

TEST(EventListScroll, SixteenBitThumbPositionsAreWidenedNearTheCurrentOne) {
    EXPECT_EQ(widenThumbPosition(1234, 50000, 60000), 1234);  // a short strip: the bits are all of it
    // 72000 pixels of strip: 70000 arrives as 4464 (70000 - 65536).
    EXPECT_EQ(widenThumbPosition(70000 - 65536, 69000, 71999), 70000);
    EXPECT_EQ(widenThumbPosition(65000, 66000, 71999), 65000);  // back across the 65536 boundary
    EXPECT_EQ(widenThumbPosition(100, 0, 71999), 100);
    EXPECT_EQ(widenThumbPosition(4464, 30000, 71999), 4464);  // 70000 lies further from 30000
}
