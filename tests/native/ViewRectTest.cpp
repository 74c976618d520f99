// Zoom, mirror and overlay rectangles of the live view.
#include "camera/ViewRect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using vntview::NormRect;

namespace {

::testing::AssertionResult near(const NormRect& got, float l, float t, float r, float b) {
    const float e = 1e-5f;
    if (std::fabs(got.left - l) < e && std::fabs(got.top - t) < e && std::fabs(got.right - r) < e &&
        std::fabs(got.bottom - b) < e)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << got.left << ", " << got.top << ", " << got.right << ", "
                                         << got.bottom << ")";
}

const NormRect kWhole{0, 0, 1, 1};

}  // namespace

TEST(ViewRectTest, OutputRectangleZoomsAroundTheCentre) {
    EXPECT_TRUE(near(vntview::outputRectForZoom(kWhole, 1.0f), 0, 0, 1, 1));
    EXPECT_TRUE(near(vntview::outputRectForZoom(kWhole, 2.0f), -0.5f, -0.5f, 1.5f, 1.5f));
    EXPECT_TRUE(near(vntview::outputRectForZoom(kWhole, 1.25f), -0.125f, -0.125f, 1.125f, 1.125f));
    // Zooming a mirrored picture keeps the mirror, per axis.
    EXPECT_TRUE(near(vntview::outputRectForZoom(NormRect{1, 0, 0, 1}, 2.0f), 1.5f, -0.5f, -0.5f, 1.5f));
    EXPECT_TRUE(near(vntview::outputRectForZoom(NormRect{-0.5f, 1.5f, 1.5f, -0.5f}, 1.0f), 0, 1, 1, 0));
}

TEST(ViewRectTest, SourceRectangleShowsTheCentreOfTheFrame) {
    EXPECT_TRUE(near(vntview::sourceRectForZoom(kWhole, 2.0f), 0.25f, 0.25f, 0.75f, 0.75f));
    EXPECT_TRUE(near(vntview::sourceRectForZoom(kWhole, 1.0f), 0, 0, 1, 1));
    EXPECT_TRUE(near(vntview::sourceRectForZoom(NormRect{1, 1, 0, 0}, 2.0f), 0.75f, 0.75f, 0.25f, 0.25f));
    EXPECT_TRUE(near(vntview::sourceRectForZoom(NormRect{0, 1, 1, 0}, 4.0f), 0.375f, 0.625f, 0.625f, 0.375f));
}

TEST(ViewRectTest, MirrorSetsEachAxisAbsolutelyAndKeepsTheZoom) {
    const NormRect zoomed = vntview::outputRectForZoom(kWhole, 2.0f);
    const NormRect both = vntview::mirroredOutputRect(zoomed, true, true);
    EXPECT_TRUE(near(both, 1.5f, 1.5f, -0.5f, -0.5f));
    EXPECT_TRUE(vntview::isMirroredHorizontally(both));
    EXPECT_TRUE(vntview::isMirroredVertically(both));
    // Asking for a state the rectangle already has changes nothing.
    EXPECT_TRUE(near(vntview::mirroredOutputRect(both, true, true), 1.5f, 1.5f, -0.5f, -0.5f));
    const NormRect horizontalOnly = vntview::mirroredOutputRect(both, false, true);
    EXPECT_TRUE(near(horizontalOnly, 1.5f, -0.5f, -0.5f, 1.5f));
    EXPECT_FALSE(vntview::isMirroredVertically(horizontalOnly));
    EXPECT_TRUE(near(vntview::mirroredOutputRect(horizontalOnly, false, false), -0.5f, -0.5f, 1.5f, 1.5f));
    EXPECT_FALSE(vntview::isMirroredHorizontally(kWhole));
}

TEST(ViewRectTest, ZoomBelowOneOrNotANumberIsRefused) {
    EXPECT_TRUE(vntview::zoomAllowed(1.0f));
    EXPECT_TRUE(vntview::zoomAllowed(3.0f));
    EXPECT_FALSE(vntview::zoomAllowed(0.5f));
    EXPECT_FALSE(vntview::zoomAllowed(0.0f));
    EXPECT_FALSE(vntview::zoomAllowed(std::numeric_limits<float>::quiet_NaN()));
}

TEST(ViewRectTest, OverlayDestinationIsCutToWholePercent) {
    EXPECT_TRUE(near(vntview::overlayDestination(580, 420, 630, 470, 640, 480), 0.90f, 0.87f, 0.98f, 0.97f));
    EXPECT_TRUE(near(vntview::overlayDestination(0, 0, 640, 480, 640, 480), 0, 0, 1, 1));
    EXPECT_TRUE(near(vntview::overlayDestination(10, 10, 20, 20, 0, 480), 0, 0, 1, 1));
}
