// The photo strip's sizes at the window's scale: thumbnails, the spacing of the items and the
// white a selection shows around a thumbnail. No Windows header, so it is tested natively.
#pragma once

#include "ui/DisplayScale.h"

namespace eventlist {

struct StripMetrics {
    int thumbnailWidth;   // a landscape photo's thumbnail; others are made this high
    int thumbnailHeight;
    int imageWidth;       // the image list's images, which only give the items their size
    int imageHeight;
    int itemSpacing;      // from one item's left to the next one's
    int rowSpacing;
    int selectionInset;   // the white of a selection stops this far inside the item
    int cellMinWidth;     // an item is grown to at least this, so that the white shows round the picture
    int cellMinHeight;
    int fontHeight;
};

StripMetrics stripMetrics(const skeo::DisplayScale& scale = skeo::DisplayScale());

}  // namespace eventlist
