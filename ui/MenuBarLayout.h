// The arithmetic of the menu bar and its option panels: where the items stand at the bar's two
// heights, which panel row a pixel falls on, the panels' sizes, the mirror item's value and the
// exposure slider's scale. No Windows header, so it is tested natively.
#pragma once

#include <string>
#include <vector>

#include "ui/DisplayScale.h"
#include "ui/MainLayout.h"

// The constants are the 96-DPI sizes; the functions take the bar's scale and give device pixels
// (the default scale gives the 96-DPI layout).
namespace menubar {

using skeo::DisplayScale;

// The sizes the main dialog gives the bar: docked under the header, floating over the picture.
constexpr int kDockedWidth = 646;
constexpr int kDockedHeight = 24;
constexpr int kFloatingWidth = 801;
constexpr int kFloatingHeight = 30;

constexpr int kFirstItemId = 1100;
constexpr int kItemCount = 10;
constexpr int kEscItemId = 1106;

struct Span {
    int left = 0;
    int width = 0;
};

struct BarSize {
    int width = 0;
    int height = 0;
};
BarSize dockedBar(const DisplayScale& scale = DisplayScale());
BarSize floatingBar(const DisplayScale& scale = DisplayScale());

// A size change to this height is the template's own size coming through, not a layout.
bool layoutApplies(int barHeight, const DisplayScale& scale = DisplayScale());
// Where the first item starts: further in on the floating bar, whose corners are cut.
int firstItemLeft(int barHeight, const DisplayScale& scale = DisplayScale());
// The item's place along the bar; false for an id that is not an item. Items abut at every scale.
bool itemSpan(int itemId, int barHeight, Span& span, const DisplayScale& scale = DisplayScale());
// The separator in front of the first item.
int leadingSeparatorLeft(int barHeight, const DisplayScale& scale = DisplayScale());

struct Corner {
    int x;
    int y;
};
// The floating bar's outline with its corners cut.
std::vector<Corner> floatingBarOutline(const DisplayScale& scale = DisplayScale());

using mainlayout::Box;

// Separators are 2 x 17, centred on the height they stand in.
constexpr int kSeparatorWidth = 2;
constexpr int kSeparatorHeight = 17;
inline int centredTop(int outer, int inner) { return (outer - inner) / 2; }
Box separatorAt(int x, int height, const DisplayScale& scale = DisplayScale());

// Inside an item of width w: the title starts 8 in; the drop-down arrow, the trailing separator
// and the slider-mode "-" are placed from the right end.
constexpr int kItemTextLeft = 8;
inline int itemTextLeft(const DisplayScale& scale = DisplayScale()) { return scale.px(kItemTextLeft); }
inline int arrowLeft(int itemWidth, const DisplayScale& scale = DisplayScale()) { return itemWidth - scale.px(19); }
inline int trailingSeparatorLeft(int itemWidth, const DisplayScale& scale = DisplayScale()) {
    return itemWidth - scale.px(2);
}
inline int sliderMarkLeft(int itemWidth, const DisplayScale& scale = DisplayScale()) {
    return itemWidth - scale.px(10);
}
// The width the title and the value have before the arrow.
inline int itemTextRoom(int itemWidth, const DisplayScale& scale = DisplayScale()) {
    return arrowLeft(itemWidth, scale) - itemTextLeft(scale);
}

// The ESC item's image button, 40 x 23, 5 in from its right end.
constexpr int kEscButtonWidth = 40;
constexpr int kEscButtonHeight = 23;
constexpr int kEscButtonRightMargin = 5;
inline int escButtonLeft(int itemWidth, const DisplayScale& scale = DisplayScale()) {
    return itemWidth - scale.px(kEscButtonRightMargin) - scale.px(kEscButtonWidth);
}
inline int escButtonTop(int itemHeight, const DisplayScale& scale = DisplayScale()) {
    return (itemHeight - scale.px(kEscButtonHeight)) / 2 + scale.px(1);
}
inline BarSize escButtonSize(const DisplayScale& scale = DisplayScale()) {
    return {scale.px(kEscButtonWidth), scale.px(kEscButtonHeight)};
}

// Option panels: rows of 20 pixels from y 8, 4 pixels below the last; the text 32 in, the row's
// icon in the last 30 pixels. A panel opens one pixel left of its item, under it, and has a one-pixel
// frame but at its top.
constexpr int kRowHeight = 20;
constexpr int kRowsTop = 8;
constexpr int kRowIconWidth = 30;
constexpr int kRowTextLeft = 32;
constexpr int kPanelFrame = 1;
constexpr int kPanelLeftOfItem = 1;
int panelWidth(int width96, const DisplayScale& scale = DisplayScale());
int panelHeight(int rowCount, const DisplayScale& scale = DisplayScale());
// The row's box in a panel of that width; in a row's box, the part the text takes and where an
// icon of that size stands.
Box rowBox(int row, int panelWidth, const DisplayScale& scale = DisplayScale());
Box rowTextBox(const Box& row, bool withIcon, const DisplayScale& scale = DisplayScale());
Box rowIconBox(const Box& row, int iconWidth, int iconHeight, const DisplayScale& scale = DisplayScale());
// The frame's three sides: left, bottom, right.
struct Frame {
    Box left, bottom, right;
};
Frame panelFrame(int panelWidth, int panelHeight, const DisplayScale& scale = DisplayScale());
int panelLeft(int itemLeft, const DisplayScale& scale = DisplayScale());
int rowTop(int row, const DisplayScale& scale = DisplayScale());
// The row a panel y falls on, counted from the first row; -1 above it. Past the last row (the
// bottom margin) it gives an index the panel does not have.
int rowAt(int y, const DisplayScale& scale = DisplayScale());
// The row a click at y chooses: -1 when there is none there.
int rowHit(int y, int rowCount, const DisplayScale& scale = DisplayScale());
// One row up (step -1) or down (+1), from the first to the last and back; from no row at all
// (-1 or past the end), down starts at the first and up at the last.
int stepRow(int row, int step, int rowCount);

// The mirror item's value: "H", "H + V", "V", or the language's "Off".
std::wstring mirrorValueText(bool horizontal, bool vertical, const std::wstring& offText);

// The exposure slider: positions 1 to 15, the top one the brightest; level = 16 - position.
constexpr int kSliderMin = 1;
constexpr int kSliderMax = 15;
constexpr int kSliderPage = 3;
constexpr int kDefaultExposureLevel = 4;
// The slider stands at the panel's left on the first row's top; its thumb 58 in, its track ending
// 10 before the track image's end.
constexpr int kSliderThumbLeft = 58;
constexpr int kSliderEndMargin = 10;
int clampSliderPosition(int position);
int levelOfPosition(int position);
int positionOfLevel(int level);

}  // namespace menubar
