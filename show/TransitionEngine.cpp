#include "show/TransitionEngine.h"

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

EffectContext TransitionEngine::Context()
{
    SurfacePool& d = core_.dibs;
    const MainState& m = core_.main;
    // At a pixel ratio above 1 a wipe moves as many device pixels more a
    // frame, so a transition lasts as long as on any other screen.
    return EffectContext{d.DibScreen, d.DibNew, d.DibMask, DeviceShowWidth(core_.state, m),
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
    load_(core_.PhotoPath(core_.CurPhoto()));
    if (m.LabelsDirty()) {
        view_.RefreshInfoLine();
        m.LabelsShown();
    }
    m.PhotoTaken();
    st.S = int(rng.Rnd() * 25.0f + 8.0f);
    if (forcedEffect) {
        TransEffect = forcedEffect;
    } else if (m.ShowTransMode != 0) {
        TransEffect = m.ShowTransMode;
    } else {
        if (reseedFromClock)
            rng.Seed(uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
        TransEffect = int(rng.Rnd() * float(EffectCount()) + 1.0f);
    }
    // An effect number that no effect answers to would never finish and the
    // photo would never arrive: bring it in without a transition instead.
    if (!EffectFor(TransEffect))
        TransEffect = kNoTransition;
    const EffectStart start =
        EffectStartValues(TransEffect, DeviceShowWidth(s, m), DeviceShowHeight(s, m), st.S);
    start.ApplyTo(st);
    st.phase = 0;
    if (start.saves)
        CopyWhole(core_.dibs.DibMask, core_.dibs.DibScreen);
    r.wait = s.FrameDelayMs / 1000.0;
}

TransitionEngine::StepResult TransitionEngine::EffectStep(bool secondHalf)
{
    StepResult r;
    EffectContext c = Context();
    st.phase = secondHalf ? 1 : 0;
    const StepOutcome o = EffectFor(TransEffect)(c);
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
    switch (m.PanMode) {
    case PanRight:
        if (m.ViewX < kPanAllowance) { m.ViewX += 1; m.PhotoTaken(); } else m.PanDone = true;
        break;
    case PanLeft:
        if (m.ViewX > 0) { m.ViewX -= 1; m.PhotoTaken(); } else m.PanDone = true;
        break;
    case PanDown:
        if (m.ViewY < kPanAllowance) { m.ViewY += 1; m.PhotoTaken(); } else m.PanDone = true;
        break;
    case PanUp:
        if (m.ViewY > 0) { m.ViewY -= 1; m.PhotoTaken(); } else m.PanDone = true;
        break;
    case PanZoom:
        if (m.ViewX < kPanAllowance / 2) {
            m.ViewX += 1; m.ViewY += 1; m.ViewW -= 2; m.ViewH -= 2;
            m.PhotoTaken();
        } else {
            m.PanDone = true;
        }
        break;
    default:
        break;
    }
    SurfacePool& d = core_.dibs;
    StretchBltMirrored(d.DibNew, d.DibScreen, 0, 0, DeviceShowWidth(s, m), DeviceShowHeight(s, m),
                       d.DibCanvas, RoundHalfEven(m.ViewX), RoundHalfEven(m.ViewY),
                       RoundHalfEven(m.ViewW), RoundHalfEven(m.ViewH));
    r.wait = s.FrameDelayMs / 100.0;
    if (onFrame)
        onFrame(false);

    if (m.PanDone) {
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
        SurfacePool& d = core_.dibs;
        PelAlphaBlend(d.DibScreen, 0, 0, d.DibScreen.Width(), d.DibScreen.Height(), d.DibMask, 0, 0,
                      255);
    }
}

}  // namespace tamsel
