// The steps a photo's shutter walks after the file is written, with the time each one holds.
#include "app/ShutterSequence.h"

#include <gtest/gtest.h>

#include <vector>

using skeo::ShutterSequence;
using Step = ShutterSequence::Step;

namespace {
struct Walked {
    std::vector<Step> steps;
    std::vector<unsigned> delays;  // before each step
};

Walked walk(int preview, unsigned msSinceBlack) {
    const ShutterSequence sequence(preview);
    Walked w;
    Step step = sequence.first();
    unsigned delay = sequence.firstDelay(msSinceBlack);
    for (int guard = 0; guard < 10; ++guard) {
        w.steps.push_back(step);
        w.delays.push_back(delay);
        if (step == Step::Done) break;
        delay = sequence.holdMs(step);
        step = sequence.after(step);
    }
    return w;
}
}  // namespace

TEST(ShutterSequenceTest, TheBlackFrameIsSeenASecondAndThePreviewForItsTimeBetweenBlackFrames) {
    const struct {
        int preview;
        unsigned msSinceBlack;
        std::vector<Step> steps;
        std::vector<unsigned> delays;
    } rows[] = {
        {0, 300, {Step::Done}, {700}},
        {0, 1000, {Step::Done}, {0}},
        {0, 4000, {Step::Done}, {0}},  // a slow write is not made longer
        {1, 0, {Step::ShowPhoto, Step::ShowBlack, Step::Done}, {1000, 2000, 1000}},
        {2, 250, {Step::ShowPhoto, Step::ShowBlack, Step::Done}, {750, 4000, 1000}},
        {-3, 0, {Step::Done}, {1000}},  // no preview for a negative setting, never weeks of one
    };
    for (const auto& r : rows) {
        const Walked w = walk(r.preview, r.msSinceBlack);
        EXPECT_EQ(w.steps, r.steps) << "preview " << r.preview;
        EXPECT_EQ(w.delays, r.delays) << "preview " << r.preview << ", " << r.msSinceBlack << " ms";
    }
}
