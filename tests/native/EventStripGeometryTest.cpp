// The photo strip's sizes at 100, 125, 150 and 200 %: thumbnails fit their items and the strip.
#include "ui/EventStripGeometry.h"

#include <gtest/gtest.h>

#include "ui/MainLayout.h"

using skeo::DisplayScale;

namespace {

TEST(EventStripGeometryTest, ThumbnailsAndSpacingScaleAndStillFitTheStrip) {
    const struct {
        int dpi;
        int thumbnailWidth;
        int thumbnailHeight;
        int itemSpacing;
        int cellMinWidth;
    } cases[] = {
        {96, 60, 45, 72, 68},
        {120, 75, 56, 90, 87},
        {144, 90, 68, 108, 102},
        {192, 120, 90, 144, 136},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DisplayScale scale(c.dpi);
        const eventlist::StripMetrics m = eventlist::stripMetrics(scale);
        EXPECT_EQ(c.thumbnailWidth, m.thumbnailWidth);
        EXPECT_EQ(c.thumbnailHeight, m.thumbnailHeight);
        EXPECT_EQ(c.itemSpacing, m.itemSpacing);
        EXPECT_EQ(c.cellMinWidth, m.cellMinWidth);
        // Neighbouring items' whites do not run into each other, and a thumbnail with its white fits
        // the strip's frame.
        EXPECT_LE(m.cellMinWidth, m.itemSpacing);
        const int extra = mainlayout::extraFor(true, scale);
        const mainlayout::Size window = mainlayout::minimumWindow(extra, scale);
        const mainlayout::Controls controls = mainlayout::controls(window.width, window.height, extra, scale);
        EXPECT_LE(m.cellMinHeight, controls.listFrame.height());
        EXPECT_LT(m.thumbnailHeight, m.rowSpacing);
    }
}

}  // namespace
