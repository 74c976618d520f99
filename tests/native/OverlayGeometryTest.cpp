// The snapshot bar's zones and the popups' outlines at 100, 125, 150 and 200 %.
#include "ui/OverlayGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>

using overlay::SnapshotZone;
using skeo::DisplayScale;

namespace {

TEST(OverlayGeometryTest, SnapshotBarZonesFollowTheScaleAndNeverTouch) {
    const struct {
        int dpi;
        int snapshotLast;  // last pixel of the snapshot zone
        int focusFirst;
        int focusLast;
    } cases[] = {
        {96, 61, 66, 91},
        {120, 77, 83, 114},
        {144, 92, 99, 137},
        {192, 123, 132, 183},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const DisplayScale scale(c.dpi);
        EXPECT_EQ(SnapshotZone::None, overlay::snapshotZoneAt(-1, scale));
        EXPECT_EQ(SnapshotZone::Snapshot, overlay::snapshotZoneAt(0, scale));
        EXPECT_EQ(SnapshotZone::Snapshot, overlay::snapshotZoneAt(c.snapshotLast, scale));
        EXPECT_EQ(SnapshotZone::None, overlay::snapshotZoneAt(c.snapshotLast + 1, scale));
        EXPECT_EQ(SnapshotZone::None, overlay::snapshotZoneAt(c.focusFirst - 1, scale));
        EXPECT_EQ(SnapshotZone::Focus, overlay::snapshotZoneAt(c.focusFirst, scale));
        EXPECT_EQ(SnapshotZone::Focus, overlay::snapshotZoneAt(c.focusLast, scale));
        EXPECT_EQ(SnapshotZone::None, overlay::snapshotZoneAt(c.focusLast + 1, scale));
        EXPECT_EQ(c.focusFirst, overlay::focusIconPlace(scale).x);
    }
}

TEST(OverlayGeometryTest, OutlinesScaleWithTheWindow) {
    const auto bar = overlay::snapshotBarOutline();
    ASSERT_EQ(40u, bar.size());
    EXPECT_EQ(166, bar[10].x);  // the right end at 100 %
    for (int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const DisplayScale scale(dpi);
        const auto scaled = overlay::snapshotBarOutline(scale);
        ASSERT_EQ(bar.size(), scaled.size());
        int right = 0, bottom = 0;
        for (size_t i = 0; i < bar.size(); ++i) {
            EXPECT_EQ(scale.px(bar[i].x), scaled[i].x) << i;
            right = std::max(right, scaled[i].x);
            bottom = std::max(bottom, scaled[i].y);
        }
        // The outline covers the whole bar the layout gives it.
        EXPECT_EQ(scale.px(166), right);
        EXPECT_EQ(scale.px(32), bottom);
    }
    const struct {
        int dpi;
        int size;
        int small;
        int large;
    } octagons[] = {{96, 40, 2, 3}, {120, 50, 3, 4}, {144, 90, 3, 5}, {192, 120, 4, 6}};
    for (const auto& o : octagons) {
        SCOPED_TRACE(o.dpi);
        const auto corners = overlay::octagonOutline(o.size, o.size, DisplayScale(o.dpi));
        ASSERT_EQ(8u, corners.size());
        EXPECT_EQ(o.small, corners[0].y);
        EXPECT_EQ(o.size - o.large, corners[2].x);
        EXPECT_EQ(o.size - o.large, corners[4].y);
        EXPECT_EQ(o.small, corners[6].x);
    }
}

}  // namespace
