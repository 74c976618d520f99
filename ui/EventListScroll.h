// How far a list moves in pixels when its scroll-bar thumb is dragged: the list's bars count in
// units of their own, so the thumb's move is scaled by the content's size in pixels. No Windows
// header, so it is tested natively.
#pragma once

namespace eventlist {

struct ScrollAxis {
    int max = 0;       // the bar's range maximum (minimum 0)
    int page = 0;      // the bar's page; 0 when the bar shows no page
    int position = 0;  // the bar's current position
};

// The content's extent along an axis: (max + 1) x client / page, or the client size without a page.
long long contentExtent(const ScrollAxis& axis, int clientSize);

// Pixels to scroll for a thumb dragged to `thumbPosition`: (thumbPosition - position) x content
// extent / (max + 1), clamped to what an int holds; 0 for a bar without a range.
int thumbScrollPixels(const ScrollAxis& axis, int clientSize, int thumbPosition);

// Scroll messages carry the thumb position in 16 bits, too few for a long strip counted in pixels.
// The full position is taken as the one with those low bits that lies nearest the current position
// within 0..max: a dragged thumb moves in small steps from where it was.
int widenThumbPosition(unsigned short low16, int position, int max);

// The thumb position a scroll message stands for. The bar that sent it holds the full position
// (its tracking position), which is taken when its low 16 bits are those of the message; a message
// whose bar has none (hasTrack false) or another one comes from elsewhere and is widened.
int thumbPosition(unsigned short low16, bool hasTrack, int trackPosition, int position, int max);

}  // namespace eventlist
