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

}  // namespace skeo
