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

bool layoutApplies(int barHeight) { return barHeight != 20; }

int firstItemLeft(int barHeight) { return barHeight == kFloatingHeight ? 7 : 4; }

bool itemSpan(int itemId, int barHeight, Span& span) {
    const int index = itemId - kFirstItemId;
    if (index < 0 || index >= kItemCount) return false;
    span.left = firstItemLeft(barHeight) + kItems[index].left;
    span.width = kItems[index].width;
    return true;
}

int leadingSeparatorLeft(int barHeight) { return firstItemLeft(barHeight) - 2; }

int panelHeight(int rowCount) { return (rowCount > 0 ? rowCount : 0) * kRowHeight + 12; }

int rowTop(int row) { return kRowsTop + kRowHeight * row; }

int rowAt(int y) { return y < kRowsTop ? -1 : (y - kRowsTop) / kRowHeight; }

int rowHit(int y, int rowCount) {
    const int row = rowAt(y);
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
