// What the view shows once a photo's file is written: the black frame (the shutter) for at least
// a second since it went up, then, with instant preview, the photo for 2 or 4 s and a black frame
// of a second again; then the live picture. A timer walks these steps so that the window keeps
// answering while a photo is shown.
#pragma once

namespace skeo {

class ShutterSequence {
public:
    enum class Step { ShowPhoto, ShowBlack, Done };
    static constexpr unsigned kBlackFrameMs = 1000;
    static constexpr unsigned kPreviewUnitMs = 2000;

    // instantPreview: 0 no preview; n shows the photo for n x 2 s.
    explicit ShutterSequence(int instantPreview) : preview_(instantPreview > 0 ? instantPreview : 0) {}

    // The first step, due when the black frame put up msSinceBlack ago has been seen a second.
    Step first() const { return preview_ ? Step::ShowPhoto : Step::Done; }
    unsigned firstDelay(unsigned msSinceBlack) const;
    // The step after one and how long what that one put up stays.
    Step after(Step step) const;
    unsigned holdMs(Step step) const;

private:
    unsigned preview_;
};

}  // namespace skeo
