// The arithmetic under the skinned controls: slider pixels, scroll-bar parts, the settings sheet's
// buttons and the browser command line of a web link.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/BrowserCommandLine.h"
#include "toolkit/ScrollBarGeometry.h"
#include "toolkit/SheetLayout.h"
#include "toolkit/SliderGeometry.h"

using toolkit::ScrollBarGeometry;
using toolkit::ScrollPart;
using toolkit::SliderGeometry;
using toolkit::SliderMargins;

namespace {

// The exposure slider: a 160-pixel track, a 7-pixel thumb, 10 pixels kept free at the bottom.
SliderGeometry exposureSlider() {
    SliderGeometry g;
    g.min = 1;
    g.max = 15;
    g.length = 160;
    g.thumb = 7;
    g.startMargin = 0;
    g.endMargin = 10;
    return g;
}

ScrollBarGeometry bar(int length, int min, int max, int page, int position) {
    ScrollBarGeometry g;
    g.length = length;
    g.cell = 12;
    g.min = min;
    g.max = max;
    g.page = page;
    g.position = position;
    return g;
}

}  // namespace

TEST(SliderGeometryTest, ThumbCentreFollowsTheFormula) {
    const SliderGeometry g = exposureSlider();
    // start + (160 - 10 - 7 - 0) * (p - 1) / 14 + 7 / 2
    EXPECT_EQ(g.pixelOf(1), 3);
    EXPECT_EQ(g.pixelOf(2), 13);
    EXPECT_EQ(g.pixelOf(8), 74);
    EXPECT_EQ(g.pixelOf(15), 146);
    SliderGeometry h;
    h.min = 0;
    h.max = 100;
    h.length = 200;
    h.thumb = 10;
    h.startMargin = 5;
    h.endMargin = 5;
    EXPECT_EQ(h.pixelOf(50), 100);
    EXPECT_EQ(h.pixelOf(-20), h.pixelOf(0));
    EXPECT_EQ(h.pixelOf(400), h.pixelOf(100));
}

TEST(SliderGeometryTest, EveryPositionComesBackFromItsOwnPixelAndNoPixelLeavesTheRange) {
    const SliderGeometry g = exposureSlider();
    for (int p = g.min; p <= g.max; ++p) EXPECT_EQ(g.positionOf(g.pixelOf(p)), p) << "position " << p;
    int previous = g.min;
    for (int pixel = -300; pixel <= 500; ++pixel) {
        const int p = g.positionOf(pixel);
        ASSERT_GE(p, 1) << "pixel " << pixel;
        ASSERT_LE(p, 15) << "pixel " << pixel;
        ASSERT_GE(p, previous) << "positions must not go back along the track, pixel " << pixel;
        previous = p;
    }
    EXPECT_EQ(g.positionOf(-300), 1);
    EXPECT_EQ(g.positionOf(500), 15);
}

TEST(SliderGeometryTest, DegenerateBarsStayAtTheMinimum) {
    SliderGeometry g = exposureSlider();
    g.max = g.min;
    EXPECT_EQ(g.positionOf(80), g.min);
    EXPECT_EQ(g.pixelOf(5), g.firstPixel());
    g = exposureSlider();
    g.length = 5;  // shorter than the thumb and its margins
    EXPECT_EQ(g.positionOf(3), g.min);
    EXPECT_EQ(g.clamp(99), 15);
    EXPECT_EQ(g.clamp(-99), 1);
}

TEST(SliderGeometryTest, MarginsScaleAsTheSkinSetThatServesTheDpi) {
    // The exposure slider's margins at 96 DPI: none at the top, 10 at the bottom, the thumb 58 across.
    const SliderMargins margins96{0, 10, 58};
    const struct {
        int dpi;
        SliderMargins expected;
    } cases[] = {
        {96, {0, 10, 58}},    // 100 %: as given
        {120, {0, 13, 73}},   // 125 %: 12.5 and 72.5 rounded away from zero
        {144, {0, 15, 87}},   // 150 %
        {192, {0, 20, 116}},  // 200 %
        {168, {0, 20, 116}},  // 175 % draws the 200 % images: the margins go with them
        {100, {0, 10, 58}},   // nearer 100 % than 125 %
        {0, {0, 10, 58}},     // no DPI: 100 %
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dpi);
        const SliderMargins m = margins96.at(c.dpi);
        EXPECT_EQ(m.start, c.expected.start);
        EXPECT_EQ(m.end, c.expected.end);
        EXPECT_EQ(m.cross, c.expected.cross);
    }
}

TEST(SliderGeometryTest, AtEveryScaleTheThumbTravelsTheScaledTrackAndEveryPositionComesBack) {
    const SliderMargins margins96{0, 10, 58};
    const SliderGeometry at100 = exposureSlider();
    for (int percent : {100, 125, 150, 200}) {
        SCOPED_TRACE(percent);
        const int dpi = 96 * percent / 100;
        auto px = [percent](int v) { return (v * percent + 50) / 100; };
        SliderGeometry g = exposureSlider();
        g.length = px(160);  // the track image of that scale
        g.thumb = px(7);     // the thumb image of that scale
        const SliderMargins m = margins96.at(dpi);
        g.startMargin = m.start;
        g.endMargin = m.end;
        // The thumb's far edge at the last position stops the scaled margin short of the end.
        EXPECT_EQ(g.pixelOf(g.max) - g.thumb / 2 + g.thumb, g.length - px(10));
        for (int p = g.min; p <= g.max; ++p) {
            EXPECT_EQ(g.positionOf(g.pixelOf(p)), p) << "position " << p;
            // Where the 100 % thumb stands, scaled, give or take the rounding of the images.
            EXPECT_NEAR(g.pixelOf(p), at100.pixelOf(p) * percent / 100.0, percent / 100.0 + 1) << "position " << p;
        }
    }
}

TEST(ScrollBarGeometryTest, ThumbLengthIsThePageShareOfTheTrackAndAtLeastEightPixels) {
    EXPECT_EQ(bar(100, 0, 19, 10, 0).thumbLength(), 38);  // 10 * 76 / 20
    EXPECT_EQ(bar(100, 0, 99, 10, 0).thumbLength(), 8);   // 7 by the share, raised to 8
    EXPECT_EQ(bar(100, 0, 29, 15, 0).thumbLength(), 38);  // 15 * 76 / 30
    EXPECT_TRUE(bar(32, 0, 99, 10, 0).hasThumb());        // 8 free pixels
    EXPECT_FALSE(bar(31, 0, 99, 10, 0).hasThumb());       // 7 free pixels: no room for a thumb
}

TEST(ScrollBarGeometryTest, TheShortestThumbScalesWithTheWindow) {
    // At 200 % the cells and the shortest thumb are twice as large.
    const struct {
        int length;
        int max;
        int page;
        bool thumb;
        int thumbLength;
    } cases[] = {
        {200, 19, 10, true, 76},   // 10 * 152 / 20
        {200, 99, 10, true, 16},   // 15 by the share, raised to 16
        {64, 99, 10, true, 16},    // 16 free pixels
        {63, 99, 10, false, 0},    // 15 free pixels: no room for a thumb
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        ScrollBarGeometry g = bar(c.length, 0, c.max, c.page, 0);
        g.cell = 24;
        g.minThumb = 16;
        EXPECT_EQ(c.thumb, g.hasThumb());
        EXPECT_EQ(c.thumbLength, g.thumbLength());
    }
}

TEST(ScrollBarGeometryTest, FewerItemsThanAPageShowNoThumbAndOnlyArrowsAnswer) {
    for (const ScrollBarGeometry& g : {bar(100, 0, 4, 10, 0), bar(100, 0, 0, 0, 0), bar(100, 0, 9, 11, 0)}) {
        EXPECT_FALSE(g.hasThumb());
        EXPECT_EQ(g.thumbLength(), 0);
        EXPECT_EQ(g.hitTest(5), ScrollPart::LineUp);
        EXPECT_EQ(g.hitTest(50), ScrollPart::None);
        EXPECT_EQ(g.hitTest(95), ScrollPart::LineDown);
    }
    // Exactly a page of content still scrolls by one.
    EXPECT_TRUE(bar(100, 0, 10, 10, 0).hasThumb());
}

TEST(ScrollBarGeometryTest, HitTestFindsArrowsPagesAndThumb) {
    const ScrollBarGeometry top = bar(100, 0, 19, 10, 0);  // thumb 12..49
    EXPECT_EQ(top.thumbStart(), 12);
    EXPECT_EQ(top.hitTest(-1), ScrollPart::None);
    EXPECT_EQ(top.hitTest(11), ScrollPart::LineUp);
    EXPECT_EQ(top.hitTest(12), ScrollPart::Thumb);
    EXPECT_EQ(top.hitTest(49), ScrollPart::Thumb);
    EXPECT_EQ(top.hitTest(50), ScrollPart::PageDown);
    EXPECT_EQ(top.hitTest(87), ScrollPart::PageDown);
    EXPECT_EQ(top.hitTest(88), ScrollPart::LineDown);
    EXPECT_EQ(top.hitTest(100), ScrollPart::None);

    const ScrollBarGeometry end = bar(100, 0, 19, 10, 10);  // the last position: thumb 50..87
    EXPECT_EQ(end.maxPosition(), 10);
    EXPECT_EQ(end.thumbStart(), 50);
    EXPECT_EQ(end.hitTest(49), ScrollPart::PageUp);
    EXPECT_EQ(end.hitTest(50), ScrollPart::Thumb);
    EXPECT_EQ(end.hitTest(87), ScrollPart::Thumb);
    // A position past the last is shown at the end, not beyond it.
    EXPECT_EQ(bar(100, 0, 19, 10, 50).thumbStart(), 50);
}

TEST(ScrollBarGeometryTest, DraggedThumbGivesBackEveryPositionAndStaysInRange) {
    for (int p = 0; p <= 10; ++p) {
        const ScrollBarGeometry g = bar(100, 0, 19, 10, p);
        EXPECT_EQ(g.positionForThumbStart(g.thumbStart()), p);
    }
    const ScrollBarGeometry g = bar(100, 0, 19, 10, 0);
    EXPECT_EQ(g.positionForThumbStart(-40), 0);
    EXPECT_EQ(g.positionForThumbStart(400), 10);
}

TEST(SheetLayoutTest, CancelSitsInTheCornerAndOkToItsLeft) {
    const toolkit::SheetButtons b = toolkit::placeSheetButtons(400, 300, 75, 23, 80, 25);
    EXPECT_EQ(b.cancel.x, 400 - 8 - 80);
    EXPECT_EQ(b.cancel.y, 300 - 8 - 25);
    EXPECT_EQ(b.ok.x, b.cancel.x - 8 - 75);
    EXPECT_EQ(b.ok.y, 300 - 8 - 23);
}

// The buttons' sizes come from their dialog units at the sheet's scale; the margin follows it too.
TEST(SheetLayoutTest, TheMarginFollowsTheScale) {
    const struct {
        int dpi;
        int margin;
    } scales[] = {{96, 8}, {120, 10}, {144, 12}, {192, 16}};
    for (const auto& s : scales) {
        SCOPED_TRACE(s.dpi);
        const int okWidth = 75 * s.dpi / 96, height = 23 * s.dpi / 96, cancelWidth = 80 * s.dpi / 96;
        const toolkit::SheetButtons b =
            toolkit::placeSheetButtons(800, 600, okWidth, height, cancelWidth, height, skeo::DisplayScale(s.dpi));
        EXPECT_EQ(b.cancel.x + cancelWidth, 800 - s.margin);
        EXPECT_EQ(b.cancel.y + height, 600 - s.margin);
        EXPECT_EQ(b.ok.x + okWidth, b.cancel.x - s.margin);
        EXPECT_EQ(b.ok.y, b.cancel.y);
    }
}

TEST(BrowserCommandLineTest, CutsAtThePlaceholderAndAppendsTheAddress) {
    const std::wstring url = L"https://example.test/page";
    struct Case {
        const wchar_t* command;
        const wchar_t* expected;
    } cases[] = {
        {L"\"C:\\Program Files\\Browser\\b.exe\" \"%1\"", L"\"C:\\Program Files\\Browser\\b.exe\" https://example.test/page"},
        {L"\"C:\\b.exe\" -url \"%1\" -new-window", L"\"C:\\b.exe\" -url https://example.test/page"},
        {L"C:\\b.exe %1", L"C:\\b.exe https://example.test/page"},
        {L"C:\\b.exe -nohome", L"C:\\b.exe -nohome https://example.test/page"},
        // The quoted placeholder wins over an earlier bare one.
        {L"b.exe %1 \"%1\"", L"b.exe %1 https://example.test/page"},
        // A path outside any ANSI code page is kept as it is.
        {L"\"C:\\\u30d6\u30e9\u30a6\u30b6\\\u95b2\u89bd.exe\" \"%1\"",
         L"\"C:\\\u30d6\u30e9\u30a6\u30b6\\\u95b2\u89bd.exe\" https://example.test/page"},
    };
    for (const Case& c : cases) EXPECT_EQ(toolkit::browserCommandLine(c.command, url), c.expected) << c.command;
}
