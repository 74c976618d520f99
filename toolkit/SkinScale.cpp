#include "toolkit/SkinScale.h"

#include <cstdlib>

namespace toolkit {

const SkinScale& skinScaleForDpi(int dpi) {
    if (dpi <= 0) return kSkinScales[0];
    const SkinScale* nearest = &kSkinScales[0];
    long long best = -1;
    for (const SkinScale& scale : kSkinScales) {
        // In hundredths of a DPI, so that no division rounds; wide enough for any int DPI.
        const long long distance = std::llabs(static_cast<long long>(scale.percent) * kSkinBaseDpi - 100LL * dpi);
        if (best < 0 || distance <= best) {
            nearest = &scale;
            best = distance;
        }
    }
    return *nearest;
}

unsigned skinImageId(unsigned id, const SkinScale& scale) { return id + scale.idOffset; }

}  // namespace toolkit
