// How big a photo is shown and how far a zoomed one pans.
#include "ui/PictureGeometry.h"

#include <gtest/gtest.h>

using skeo::PictureSize;

namespace {

const PictureSize kView{640, 480};

TEST(PictureGeometryTest, FitsLargePicturesAndKeepsSmallOnes) {
    // Landscape larger than the box: the box, even when the aspect differs.
    EXPECT_EQ((PictureSize{640, 480}), skeo::fittedPictureSize({1600, 1200}, kView, kView));
    EXPECT_EQ((PictureSize{640, 480}), skeo::fittedPictureSize({1920, 1080}, kView, kView));
    // Only taller than the box still counts as overflowing.
    EXPECT_EQ((PictureSize{640, 480}), skeo::fittedPictureSize({600, 500}, kView, kView));
    // Exactly the control's size, or smaller than the box: as it is.
    EXPECT_EQ((PictureSize{800, 600}), skeo::fittedPictureSize({800, 600}, kView, {800, 600}));
    EXPECT_EQ((PictureSize{320, 240}), skeo::fittedPictureSize({320, 240}, kView, kView));
    // Portrait taller than the control: the control's height at 3:4, whatever its own aspect.
    EXPECT_EQ((PictureSize{360, 480}), skeo::fittedPictureSize({1200, 1600}, kView, kView));
    EXPECT_EQ((PictureSize{360, 480}), skeo::fittedPictureSize({500, 500}, kView, kView));
    EXPECT_EQ((PictureSize{300, 400}), skeo::fittedPictureSize({300, 400}, kView, kView));
    EXPECT_EQ((PictureSize{401, 601}), skeo::zoomedPictureSize({321, 481}, 1.25f));
    EXPECT_FLOAT_EQ(1.0f, skeo::pictureZoomFactor(-1));
    EXPECT_FLOAT_EQ(2.0f, skeo::pictureZoomFactor(3));
    EXPECT_FLOAT_EQ(3.0f, skeo::pictureZoomFactor(9));
}

TEST(PictureGeometryTest, ZoomedLandscapeStartsInTheMiddleAndPansToItsEdges) {
    skeo::PhotoViewLayout at1 = skeo::layoutPhotoView({640, 480}, kView, kView, 1.0f);
    EXPECT_FALSE(at1.canPan());
    EXPECT_EQ(640, at1.x.length);
    EXPECT_EQ(0, at1.x.target);

    skeo::PhotoViewLayout layout = skeo::layoutPhotoView({640, 480}, kView, kView, 2.0f);
    EXPECT_EQ((PictureSize{1280, 960}), layout.scaled);
    ASSERT_TRUE(layout.canPan());
    EXPECT_EQ(320, layout.x.source);
    EXPECT_EQ(240, layout.y.source);
    skeo::panPhotoView(layout, -1000, -1000);
    EXPECT_EQ(0, layout.x.source);
    EXPECT_EQ(0, layout.y.source);
    skeo::panPhotoView(layout, 5000, 100);
    EXPECT_EQ(640, layout.x.source);
    EXPECT_EQ(100, layout.y.source);
    skeo::panPhotoView(layout, 0, 5000);
    EXPECT_EQ(480, layout.y.source);
}

TEST(PictureGeometryTest, ZoomedPortraitStaysCentredAcrossAndPansAlong) {
    // 1.25 x (360 x 480) = 450 x 600: narrower than the view, taller than it.
    skeo::PhotoViewLayout layout = skeo::layoutPhotoView({1200, 1600}, kView, kView, 1.25f);
    EXPECT_TRUE(layout.portrait);
    EXPECT_EQ(95, layout.x.target);
    EXPECT_EQ(0, layout.x.source);
    EXPECT_EQ(450, layout.x.length);
    EXPECT_EQ(60, layout.y.source);
    skeo::panPhotoView(layout, 300, 300);
    EXPECT_EQ(0, layout.x.source) << "an axis that fits does not move";
    EXPECT_EQ(95, layout.x.target);
    EXPECT_EQ(120, layout.y.source);
    // A small picture is centred with its own size.
    skeo::PhotoViewLayout small = skeo::layoutPhotoView({200, 100}, kView, kView, 1.0f);
    EXPECT_FALSE(small.canPan());
    EXPECT_EQ(220, small.x.target);
    EXPECT_EQ(190, small.y.target);
}

}  // namespace
