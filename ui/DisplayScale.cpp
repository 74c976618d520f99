#include "ui/DisplayScale.h"

#include <cstdlib>

namespace skeo {

namespace {

int mulDivRounded(long long value, long long numerator, long long denominator) {
    const long long product = value * numerator;
    const long long magnitude = (std::llabs(product) + denominator / 2) / denominator;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

}  // namespace

DisplayScale::DisplayScale(int dpi)
    : dpi_(dpi < kBaseDpi ? kBaseDpi : dpi > kMaxDpi ? kMaxDpi : dpi) {}

int DisplayScale::percent() const { return mulDivRounded(100, dpi_, kBaseDpi); }

int DisplayScale::px(int value) const { return mulDivRounded(value, dpi_, kBaseDpi); }

int DisplayScale::skinPercent() const {
    static const int kSets[] = {100, 125, 150, 200};
    int best = kSets[0];
    long long bestDistance = -1;
    for (int set : kSets) {
        // Compared in DPI x 100, so that no rounding picks the set.
        const long long distance = std::llabs(static_cast<long long>(dpi_) * 100 - static_cast<long long>(set) * kBaseDpi);
        if (bestDistance < 0 || distance <= bestDistance) {
            best = set;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace skeo
