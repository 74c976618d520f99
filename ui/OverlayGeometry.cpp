#include "ui/OverlayGeometry.h"

#include <iterator>

namespace overlay {

namespace {

// Zones as pixel ranges [first, end): the last pixel of each is that of the 100 % zone's last
// pixel scaled, so that the zones never touch at any scale.
constexpr int kSnapshotEnd = 62;
constexpr int kFocusFirst = 66;
constexpr int kFocusEnd = 92;
constexpr int kFocusIconY = 2;

const Corner kSnapshotBar[] = {
    {12, 0},   {154, 0},  {154, 1},  {157, 1},  {157, 2},  {159, 2},  {164, 7},  {164, 9},
    {165, 9},  {165, 12}, {166, 12}, {166, 20}, {165, 20}, {165, 23}, {164, 23}, {164, 24},
    {158, 30}, {157, 30}, {157, 31}, {154, 31}, {154, 32}, {12, 32},  {12, 31},  {9, 31},
    {9, 30},   {7, 30},   {2, 24},   {2, 23},   {1, 23},   {1, 20},   {0, 20},   {0, 12},
    {1, 12},   {1, 9},    {2, 9},    {2, 7},    {7, 2},    {9, 2},    {9, 1},    {12, 1},
};

}  // namespace

SnapshotZone snapshotZoneAt(int x, const DisplayScale& scale) {
    if (x >= 0 && x < scale.px(kSnapshotEnd)) return SnapshotZone::Snapshot;
    if (x >= scale.px(kFocusFirst) && x < scale.px(kFocusEnd)) return SnapshotZone::Focus;
    return SnapshotZone::None;
}

Corner focusIconPlace(const DisplayScale& scale) { return {scale.px(kFocusFirst), scale.px(kFocusIconY)}; }

std::vector<Corner> snapshotBarOutline(const DisplayScale& scale) {
    std::vector<Corner> outline;
    outline.reserve(std::size(kSnapshotBar));
    for (const Corner& c : kSnapshotBar) outline.push_back({scale.px(c.x), scale.px(c.y)});
    return outline;
}

std::vector<Corner> octagonOutline(int W, int H, const DisplayScale& scale) {
    const int small = scale.px(2), large = scale.px(3);
    return {{0, small}, {small, 0}, {W - large, 0}, {W, small}, {W, H - large}, {W - large, H}, {small, H}, {0, H - large}};
}

}  // namespace overlay
