// Where a slider's thumb stands for a position, and which position a track pixel means.
// Positions run from min to max; the thumb's centre travels from startMargin + thumb / 2 to
// length - endMargin - thumb + thumb / 2 along the bar.
#pragma once

namespace toolkit {

// What a slider's owner sets beside its images, in 96-DPI pixels: the track's ends the thumb stays
// off, and where the thumb stands across the bar.
struct SliderMargins {
    int start = 0;
    int end = 0;
    int cross = 0;

    // The same for the images that serve a DPI: scaled as that skin set is, so the margins stay on
    // the marks of the track image.
    SliderMargins at(int dpi) const;
};

struct SliderGeometry {
    int min = 0;
    int max = 100;
    int length = 0;       // the bar's length in pixels along the track
    int thumb = 0;        // the thumb's length along the track
    int startMargin = 0;
    int endMargin = 0;

    // The pixel of the thumb's centre for a position (clamped to the range).
    int pixelOf(int position) const;
    // The position nearest to a pixel, clamped to the range.
    int positionOf(int pixel) const;
    // The pixels the thumb's centre can take.
    int firstPixel() const { return startMargin + thumb / 2; }
    int lastPixel() const { return firstPixel() + span(); }

    int clamp(int position) const;

private:
    int span() const;
};

}  // namespace toolkit
