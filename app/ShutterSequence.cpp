#include "app/ShutterSequence.h"

namespace skeo {

unsigned ShutterSequence::firstDelay(unsigned msSinceBlack) const {
    return msSinceBlack >= kBlackFrameMs ? 0 : kBlackFrameMs - msSinceBlack;
}

ShutterSequence::Step ShutterSequence::after(Step step) const {
    return step == Step::ShowPhoto ? Step::ShowBlack : Step::Done;
}

unsigned ShutterSequence::holdMs(Step step) const {
    switch (step) {
    case Step::ShowPhoto:
        return preview_ * kPreviewUnitMs;
    case Step::ShowBlack:
        return kBlackFrameMs;
    default:
        return 0;
    }
}

}  // namespace skeo
