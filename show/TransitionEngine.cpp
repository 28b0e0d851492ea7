#include "show/TransitionEngine.h"

#include "imaging/Composer.h"
#include "model/AlbumModel.h"
#include "imaging/Blit.h"
#include "imaging/PelOps.h"
#include "platform/Rounding.h"
#include "model/AlbumView.h"

#include <chrono>

namespace tamsel {
namespace {
constexpr double kPhotoPoll = 0.004;   // seconds between looks at a photo being decoded
}  // namespace

TransitionEngine::TransitionEngine(AlbumModel& model, AlbumView& view, LoadFn load)
    : core_(model), view_(view), load_(std::move(load))
{
}

bool TransitionEngine::Moving() const { return core_.main.ViewMode() == View::BringingIn; }

Outcome TransitionEngine::MakeSurfaces(int width, int height)
{
    ++frame_;
    for (Surface* s : {&screen_, &new_})
        if (Outcome made = s->Create(width, height); !made)
            return made;
    return core_.dibs.MakeDisplaySurfaces(width, height);
}

void TransitionEngine::ReleaseSurfaces()
{
    screen_.Release();
    new_.Release();
}

void TransitionEngine::Take(const Composition& made)
{
    shown_ = made;
    panDone_ = false;
    if (!made.stoppedShort)
        StretchBlt(new_, 0, 0, DeviceShowWidth(core_.state, core_.main),
                   DeviceShowHeight(core_.state, core_.main), core_.dibs.DibCanvas,
                   RoundHalfEven(made.ViewX), RoundHalfEven(made.ViewY), RoundHalfEven(made.ViewW),
                   RoundHalfEven(made.ViewH));
}

void TransitionEngine::ShowAtOnce(const std::optional<Composition>& made)
{
    if (made)
        Take(*made);
    Redraw();
}

void TransitionEngine::Redraw()
{
    ++frame_;
    StretchBlt(screen_, 0, 0, DeviceShowWidth(core_.state, core_.main),
               DeviceShowHeight(core_.state, core_.main), core_.dibs.DibCanvas,
               RoundHalfEven(shown_.ViewX), RoundHalfEven(shown_.ViewY), RoundHalfEven(shown_.ViewW),
               RoundHalfEven(shown_.ViewH));
}

void TransitionEngine::GreyScreen()
{
    ++frame_;
    PelGreyScale(screen_, 0, 0, screen_.Width(), screen_.Height(), screen_, 0, 0);
}

Outcome ShowFace(TransitionEngine& engine, Composer& composer, int width, int height, bool cover)
{
    if (Outcome made = engine.MakeSurfaces(width, height); !made)
        return made;
    engine.ShowAtOnce(composer.ComposeFace(cover));
    return Outcome::Done();
}

EffectContext TransitionEngine::Context()
{
    SurfacePool& d = core_.dibs;
    const MainState& m = core_.main;
    // At a pixel ratio above 1 a wipe moves as many device pixels more a
    // frame, so a transition lasts as long as on any other screen.
    return EffectContext{screen_, new_, d.DibMask, DeviceShowWidth(core_.state, m),
                         DeviceShowHeight(core_.state, m), ToDevice(m, m.WipeStep), m.ShowAspect,
                         st, rng};
}

TransitionEngine::StepResult TransitionEngine::Step()
{
    MainState& m = core_.main;
    StepResult r;
    if (m.StopRequested())
        m.TakeStop();
    if (m.ViewMode() == View::Still && m.LabelsDirty()) {
        view_.RefreshInfoLine();
        m.LabelsShown();
    }
    if (m.ViewMode() == View::BringingIn) {
        if (m.NewPhoto() && photoReady && !photoReady(core_.PhotoPath(core_.CurPhoto()))) {
            // Asked again shortly: a decode takes tens of milliseconds.
            r.wait = kPhotoPoll;
            r.unchanged = true;
            return r;
        }
        if (m.NewPhoto())
            LoadStep(r);
        else
            return EffectStep(false);
    }
    Present();
    return r;
}

TransitionEngine::StepResult TransitionEngine::FinishSplitFrame() { return EffectStep(true); }

void TransitionEngine::LoadStep(StepResult& r)
{
    MainState& m = core_.main;
    const AlbumState& s = core_.state;
    if (const std::optional<Composition> made = load_(core_.PhotoPath(core_.CurPhoto())))
        Take(*made);
    if (m.LabelsDirty()) {
        view_.RefreshInfoLine();
        m.LabelsShown();
    }
    m.PhotoTaken();
    st.S = int(rng.Rnd() * 25.0f + 8.0f);
    if (forcedEffect) {
        transEffect_ = forcedEffect;
    } else if (s.FrameType == 2 || s.FrameType == 3) {
        // DibMask holds the frame: an effect that keeps the outgoing picture
        // there would have the overlay lay that old picture over the new one.
        transEffect_ = kNoTransition;
    } else if (shown_.ShowTransMode != 0) {
        transEffect_ = shown_.ShowTransMode;
    } else {
        if (reseedFromClock)
            rng.Seed(uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
        transEffect_ = int(rng.Rnd() * float(EffectCount()) + 1.0f);
    }
    // An effect number that no effect answers to would never finish and the
    // photo would never arrive: bring it in without a transition instead.
    if (!EffectFor(transEffect_))
        transEffect_ = kNoTransition;
    const EffectStart start =
        EffectStartValues(transEffect_, DeviceShowWidth(s, m), DeviceShowHeight(s, m), st.S);
    start.ApplyTo(st);
    st.phase = 0;
    if (start.saves)
        CopyWhole(core_.dibs.DibMask, screen_);
    r.wait = s.FrameDelayMs / 1000.0;
}

TransitionEngine::StepResult TransitionEngine::EffectStep(bool secondHalf)
{
    StepResult r;
    EffectContext c = Context();
    st.phase = secondHalf ? 1 : 0;
    ++frame_;
    const StepOutcome o = EffectFor(transEffect_)(c);
    st.phase = 0;
    if (o == StepOutcome::DrewPart) {
        r.splitFrame = true;
        return r;
    }
    if (o == StepOutcome::Drew) {
        r.wait = core_.state.FrameDelayMs / 1000.0;
        if (onFrame)
            onFrame(true);
    } else {
        core_.main.RequestPhoto();
        PanStep(r);
    }
    Present();
    return r;
}

void TransitionEngine::PanStep(StepResult& r)
{
    MainState& m = core_.main;
    const AlbumState& s = core_.state;
    Composition& v = shown_;
    switch (v.PanMode) {
    case PanRight:
        if (v.ViewX < kPanAllowance) { v.ViewX += 1; m.PhotoTaken(); } else panDone_ = true;
        break;
    case PanLeft:
        if (v.ViewX > 0) { v.ViewX -= 1; m.PhotoTaken(); } else panDone_ = true;
        break;
    case PanDown:
        if (v.ViewY < kPanAllowance) { v.ViewY += 1; m.PhotoTaken(); } else panDone_ = true;
        break;
    case PanUp:
        if (v.ViewY > 0) { v.ViewY -= 1; m.PhotoTaken(); } else panDone_ = true;
        break;
    case PanZoom:
        if (v.ViewX < kPanAllowance / 2) {
            v.ViewX += 1; v.ViewY += 1; v.ViewW -= 2; v.ViewH -= 2;
            m.PhotoTaken();
        } else {
            panDone_ = true;
        }
        break;
    default:
        break;
    }
    ++frame_;
    StretchBltMirrored(new_, screen_, 0, 0, DeviceShowWidth(s, m), DeviceShowHeight(s, m),
                       core_.dibs.DibCanvas, RoundHalfEven(v.ViewX), RoundHalfEven(v.ViewY),
                       RoundHalfEven(v.ViewW), RoundHalfEven(v.ViewH));
    r.wait = s.FrameDelayMs / 100.0;
    if (onFrame)
        onFrame(false);

    if (panDone_) {
        if (m.ShowRunning()) {
            if (!advanceShow || !advanceShow()) {
                m.SetView(View::Still);
                m.EndShow();
                if (showEnded)
                    showEnded();
            }
            r.wait = s.PauseSecs;
            m.MarkLabelsDirty();
        } else {
            m.SetView(View::Still);
        }
    }
}

void TransitionEngine::Present()
{
    if (core_.state.FrameType > 1) {
        ++frame_;
        PelAlphaBlend(screen_, 0, 0, screen_.Width(), screen_.Height(), core_.dibs.DibMask, 0, 0, 255);
    }
}

}  // namespace tamsel
