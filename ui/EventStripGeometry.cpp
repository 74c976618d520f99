#include "ui/EventStripGeometry.h"

namespace eventlist {

StripMetrics stripMetrics(const skeo::DisplayScale& s) {
    StripMetrics m;
    m.thumbnailWidth = s.px(60);
    m.thumbnailHeight = s.px(45);
    m.imageWidth = s.px(48);
    m.imageHeight = s.px(36);
    m.itemSpacing = s.px(72);
    m.rowSpacing = s.px(60);
    m.selectionInset = s.px(2);
    // Room for the inset on both sides and a pixel of white inside it.
    m.cellMinWidth = m.thumbnailWidth + 4 * m.selectionInset;
    m.cellMinHeight = m.thumbnailHeight + 4 * m.selectionInset;
    m.fontHeight = s.px(13);
    return m;
}

}  // namespace eventlist
