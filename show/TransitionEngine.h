#pragma once
#include "model/AlbumState.h"
#include "model/Composition.h"
#include "model/Outcome.h"
#include "model/Surface.h"
#include "show/Effect.h"

#include <QString>

#include <functional>
#include <optional>

namespace tamsel {

struct AlbumModel;
class AlbumView;
class Composer;

// The step machine that brings photos onto the photo area. Each Step() does
// one step's worth of drawing into the surfaces and says how long the step
// must last, counted from its start; the photo area runs the steps on timers
// and shows DibScreen after each one.
// The engine owns what the photo area shows, DibScreen, and the incoming
// photo at display size, DibNew: nobody else draws on them. It takes each
// composition whole and keeps it, its view moving with the pan.
class TransitionEngine {
public:
    // Composes the photo at a path onto the canvas and says what it made;
    // nothing when the composition stopped before touching the canvas (the
    // picture shown so far then stays). The application hands in its composer.
    using LoadFn = std::function<std::optional<Composition>(const QString& path)>;
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

    // Remakes the display-sized surfaces at width x height, all black: its
    // own DibScreen and DibNew, and the pool's DibMask and DibCanvas (with
    // the canvas margin). Fails with the first one that could not be made.
    Outcome MakeSurfaces(int width, int height);
    void ReleaseSurfaces();
    // Takes what the composer made: its first view is stretched into DibNew
    // (unless the composition stopped short) and the pan starts from it.
    void Take(const Composition& made);
    // Takes a composition when there is one, and shows its view on
    // DibScreen at once, without a transition.
    void ShowAtOnce(const std::optional<Composition>& made);
    // Stretches the view of DibCanvas over the whole of DibScreen.
    void Redraw();
    // Greys what DibScreen shows (the quick strip's grey style, at once).
    void GreyScreen();

    const Surface& DibScreen() const { return screen_; }
    const Surface& DibNew() const { return new_; }
    // The composition on the screen, its view where the pan has got to.
    const Composition& Shown() const { return shown_; }
    // The photo has come in and finished its pan or zoom.
    bool PanDone() const { return panDone_; }
    // The transition bringing in the photo (kNoTransition: none).
    int TransEffect() const { return transEffect_; }
    // Counts the times DibScreen was drawn on: what is laid over a frame
    // (the lens) belongs to that frame only.
    uint64_t Frame() const { return frame_; }

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
    friend struct TestAccess;   // tests set up a composition on the screen
    StepResult EffectStep(bool secondHalf);
    void LoadStep(StepResult& r);
    void PanStep(StepResult& r);
    void Present();
    EffectContext Context();

    AlbumModel& core_;
    AlbumView& view_;
    LoadFn load_;
    Surface screen_;   // DibScreen
    Surface new_;      // DibNew
    Composition shown_;
    bool panDone_ = false;
    int transEffect_ = kNoTransition;
    uint64_t frame_ = 0;
};

// Remakes the display surfaces at width x height and shows the cover (cover)
// or the current photo at once, without a transition. A failure to make the
// surfaces is returned for the user; nothing is composed then.
Outcome ShowFace(TransitionEngine& engine, Composer& composer, int width, int height, bool cover);

}  // namespace tamsel
