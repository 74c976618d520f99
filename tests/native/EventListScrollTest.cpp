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

TEST(EventListScroll, TheBarsFullTrackingPositionWinsOverSixteenBits) {
    using eventlist::thumbPosition;
    const struct {
        const char* what;
        int sent;  // the position the bar sent, of which the message keeps 16 bits
        bool hasTrack;
        int track, position, max, expected;
    } cases[] = {
        // 72000 pixels of strip, the thumb dragged from 70000 back to 3000 in one move.
        {"long jump back, from the bar", 3000, true, 3000, 70000, 71999, 3000},
        {"long jump forward, from the bar", 70000, true, 70000, 3000, 71999, 70000},
        {"across a 65536 boundary", 65535, true, 65535, 65537, 71999, 65535},
        {"a short strip", 1234, true, 1234, 500, 60000, 1234},
        // No bar to ask, or one that says something else: the 16 bits, widened near the position.
        {"no bar, a small step", 70000, false, 0, 69000, 71999, 70000},
        {"a bar tracking elsewhere", 3000, true, 2999, 4000, 71999, 3000},
        {"a tracking position past the range", 3000, true, 3000 + 0x40000, 2000, 71999, 3000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(thumbPosition(static_cast<unsigned short>(c.sent & 0xFFFF), c.hasTrack, c.track, c.position, c.max),
                  c.expected)
            << c.what;
}
