// The popups over the picture: the snapshot bar's zones and outline, and the clipped-corner
// octagon of the countdown and the exposure indicator, at the window's scale. No Windows header,
// so it is tested natively.
#pragma once

#include <vector>

#include "ui/DisplayScale.h"

namespace overlay {

using skeo::DisplayScale;

struct Corner {
    int x;
    int y;
};

// The popups' sizes at 100 %.
constexpr int kSnapshotBarWidth = 166;
constexpr int kSnapshotBarHeight = 32;
constexpr int kCountdownSize = 40;
constexpr int kExposureSize = 60;

// The snapshot bar, 166 x 32 at 100 %: the snapshot button over x 0..61, the focus button's icon
// at (66, 2) answering over x 66..91.
enum class SnapshotZone { None, Snapshot, Focus };
SnapshotZone snapshotZoneAt(int x, const DisplayScale& scale = DisplayScale());
Corner focusIconPlace(const DisplayScale& scale = DisplayScale());
// A rectangle with curved ends, filled by winding.
std::vector<Corner> snapshotBarOutline(const DisplayScale& scale = DisplayScale());

// The octagon of a popup of width x height (already scaled): corners cut by 2 at the top left and
// 3 at the others.
std::vector<Corner> octagonOutline(int width, int height, const DisplayScale& scale = DisplayScale());

}  // namespace overlay
