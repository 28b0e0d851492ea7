#pragma once
#include "model/AlbumState.h"
#include "show/Effect.h"

#include <QString>

#include <functional>

namespace tamsel {

struct AlbumModel;
class AlbumView;

// The step machine that brings photos onto the photo area. Each Step() does
// one step's worth of drawing into the surfaces and says how long the step
// must last, counted from its start; the photo area runs the steps on timers
// and shows DibScreen after each one.
class TransitionEngine {
public:
    // Composes the photo at a path into the surfaces; false when it could not
    // be loaded. The application hands in its composer.
    using LoadFn = std::function<bool(const QString& path)>;
    TransitionEngine(AlbumModel& model, AlbumView& view, LoadFn load);

    struct StepResult {
        double wait = 0;         // seconds from the step's start before the next step
        bool splitFrame = false; // call FinishSplitFrame() 10 ms after the step's start
        bool unchanged = false;  // nothing was drawn: the screen need not be shown again
    };

    // One step: the stop request, the branch on ViewMode, the load step or one
    // effect frame, the pan step, the end of a photo and the frame overlay.
    StepResult Step();
    // Second half of a frame that an effect split with a pause (effect 30).
    StepResult FinishSplitFrame();

    // Whether the picture can change without outside help: in ViewMode 3
    // the chain must keep running; otherwise it may rest.
    bool Moving() const;

    int TransEffect = kNoTransition;
    EffectState st;
    Rng rng;
    // For tools and tests: an effect number used instead of the random or
    // transition the composition chose (0 = none), and a fixed seed instead
    // of the clock.
    int forcedEffect = 0;
    bool reseedFromClock = true;

    // Called after every effect frame drawn and after every pan step: for the
    // render tool and the tests.
    std::function<void(bool effectFrame)> onFrame;
    // Whether the photo at a path can be loaded at once; while it cannot (its
    // decoder is still at work on another thread) the load step waits without
    // holding up the window. Unset: always.
    std::function<bool(const QString& path)> photoReady;
    // A running show has passed its last photo: the stop button's action.
    std::function<void()> showEnded;
    // The show's own advance after a photo's pause (the navigator's); false
    // when the show has passed its last photo. Unset: the show ends.
    std::function<bool()> advanceShow;

private:
    StepResult EffectStep(bool secondHalf);
    void LoadStep(StepResult& r);
    void PanStep(StepResult& r);
    void Present();
    EffectContext Context();

    AlbumModel& core_;
    AlbumView& view_;
    LoadFn load_;
};

}  // namespace tamsel
