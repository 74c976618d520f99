#include "ui/MenuBarLayout.h"

namespace menubar {

namespace {

// Offsets from the first item's left and widths, by item id from 1100. The photo items share the
// camera items' first places; the ESC item starts past the docked bar's edge.
const Span kItems[kItemCount] = {
    {0, 110},   // 1100 camera zoom
    {110, 110}, // 1101 timer
    {220, 110}, // 1102 mirror
    {330, 145}, // 1103 resolution
    {475, 95},  // 1104 exposure
    {570, 69},  // 1105 auto exposure
    {639, 160}, // 1106 ESC
    {0, 110},   // 1107 photo zoom
    {110, 110}, // 1108 rotate
    {220, 110}, // 1109 delete
};

}  // namespace

BarSize dockedBar(const DisplayScale& scale) { return {scale.px(kDockedWidth), scale.px(kDockedHeight)}; }

BarSize floatingBar(const DisplayScale& scale) { return {scale.px(kFloatingWidth), scale.px(kFloatingHeight)}; }

bool layoutApplies(int barHeight, const DisplayScale& scale) { return barHeight != scale.px(20); }

int firstItemLeft(int barHeight, const DisplayScale& scale) {
    return scale.px(barHeight == floatingBar(scale).height ? 7 : 4);
}

bool itemSpan(int itemId, int barHeight, Span& span, const DisplayScale& scale) {
    const int index = itemId - kFirstItemId;
    if (index < 0 || index >= kItemCount) return false;
    // Both ends scaled from the first item's left, so that no rounding opens a gap between items.
    const int first = firstItemLeft(barHeight, scale);
    span.left = first + scale.px(kItems[index].left);
    int right = first + scale.px(kItems[index].left + kItems[index].width);
    // The ESC item reaches past the floating bar's end by as much as its button stands in from the
    // item's end, so that the button ends on the bar's edge at every scale.
    if (itemId == kEscItemId && barHeight == floatingBar(scale).height)
        right = floatingBar(scale).width + scale.px(kEscButtonRightMargin);
    span.width = right - span.left;
    return true;
}

int leadingSeparatorLeft(int barHeight, const DisplayScale& scale) {
    return firstItemLeft(barHeight, scale) - scale.px(2);
}

std::vector<Corner> floatingBarOutline(const DisplayScale& scale) {
    const BarSize bar = floatingBar(scale);
    const int W = bar.width, H = bar.height, cut = scale.px(2), low = scale.px(3);
    return {{0, cut}, {cut, 0}, {W - cut, 0}, {W, cut}, {W, H - low}, {W - low, H}, {cut, H}, {0, H - low}};
}

Box separatorAt(int x, int height, const DisplayScale& scale) {
    const int w = scale.px(kSeparatorWidth), h = scale.px(kSeparatorHeight);
    const int top = centredTop(height, h);
    return {x, top, x + w, top + h};
}

int panelWidth(int width96, const DisplayScale& scale) { return scale.px(width96 > 0 ? width96 : 0); }

Box rowBox(int row, int panelWidth, const DisplayScale& scale) {
    return {0, rowTop(row, scale), panelWidth, rowTop(row + 1, scale)};
}

Box rowTextBox(const Box& row, bool withIcon, const DisplayScale& scale) {
    Box box = row;
    box.left += scale.px(kRowTextLeft);
    if (withIcon) box.right -= scale.px(kRowIconWidth);
    return box;
}

Box rowIconBox(const Box& row, int iconWidth, int iconHeight, const DisplayScale& scale) {
    const int left = row.right - scale.px(kRowIconWidth);
    const int top = row.top + centredTop(row.height(), iconHeight);
    return {left, top, left + iconWidth, top + iconHeight};
}

Frame panelFrame(int panelWidth, int panelHeight, const DisplayScale& scale) {
    const int f = scale.px(kPanelFrame);
    return {{0, 0, f, panelHeight}, {0, panelHeight - f, panelWidth, panelHeight}, {panelWidth - f, 0, panelWidth, panelHeight}};
}

int panelLeft(int itemLeft, const DisplayScale& scale) { return itemLeft - scale.px(kPanelLeftOfItem); }

int panelHeight(int rowCount, const DisplayScale& scale) {
    return (rowCount > 0 ? rowCount : 0) * scale.px(kRowHeight) + scale.px(12);
}

int rowTop(int row, const DisplayScale& scale) { return scale.px(kRowsTop) + scale.px(kRowHeight) * row; }

int rowAt(int y, const DisplayScale& scale) {
    const int top = scale.px(kRowsTop);
    return y < top ? -1 : (y - top) / scale.px(kRowHeight);
}

int rowHit(int y, int rowCount, const DisplayScale& scale) {
    const int row = rowAt(y, scale);
    return row >= 0 && row < rowCount ? row : -1;
}

int stepRow(int row, int step, int rowCount) {
    if (rowCount <= 0) return -1;
    if (row < 0 || row >= rowCount) return step < 0 ? rowCount - 1 : 0;
    return ((row + step) % rowCount + rowCount) % rowCount;
}

std::wstring mirrorValueText(bool horizontal, bool vertical, const std::wstring& offText) {
    if (horizontal) return vertical ? L"H + V" : L"H";
    return vertical ? L"V" : offText;
}

int clampSliderPosition(int position) {
    return position < kSliderMin ? kSliderMin : position > kSliderMax ? kSliderMax : position;
}

int levelOfPosition(int position) { return 16 - clampSliderPosition(position); }

int positionOfLevel(int level) {
    // Computed in a wider type: a wild level must not overflow on its way to the clamp.
    const long long position = 16LL - level;
    return position < kSliderMin ? kSliderMin : position > kSliderMax ? kSliderMax : static_cast<int>(position);
}

}  // namespace menubar
