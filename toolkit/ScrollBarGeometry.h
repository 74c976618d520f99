// The parts of a skinned scroll bar along its length: two arrows of one cell each, the track
// between them and the thumb on it. No Windows header, so it is tested natively.
#pragma once

namespace toolkit {

// The shortest thumb at 96 DPI.
constexpr int kMinThumb96 = 8;

enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct ScrollBarGeometry {
    int length = 0;  // the bar's length in pixels
    int cell = 0;    // an arrow's length
    int min = 0;
    int max = 0;
    int page = 0;
    int position = 0;
    // The shortest thumb (8 at 96 DPI, scaled with the window); a track shorter than it has none.
    int minThumb = kMinThumb96;

    // The track between the arrows.
    int freeLength() const;
    // False when the track is shorter than the shortest thumb, or when everything fits in a page.
    bool hasThumb() const;
    // page * free length / (range + 1), at least the shortest thumb, at most the free length.
    int thumbLength() const;
    // The thumb's first pixel along the bar.
    int thumbStart() const;
    // The highest position the thumb can stand for.
    int maxPosition() const;
    // The part under a pixel along the bar.
    ScrollPart hitTest(int pixel) const;
    // The position a thumb starting at that pixel stands for (clamped).
    int positionForThumbStart(int pixel) const;
};

}  // namespace toolkit
