// The skin image sets, one per display scale, and the set that serves a DPI. resources/make-skins
// draws every image at each scale of the table, under its 100 % id plus the set's id offset.
#pragma once

namespace toolkit {

struct SkinScale {
    int percent;
    unsigned idOffset;
};

constexpr int kSkinBaseDpi = 96;  // the DPI of the 100 % set
constexpr SkinScale kSkinScales[] = {{100, 0}, {125, 1000}, {150, 2000}, {200, 3000}};

// The set nearest to a DPI; midway between two sets, the larger (scaled down it stays sharper than
// the smaller scaled up). A DPI of zero or less gets the 100 % set.
const SkinScale& skinScaleForDpi(int dpi);

// The id of an image of the 100 % set in the given set.
unsigned skinImageId(unsigned id, const SkinScale& scale);

}  // namespace toolkit
