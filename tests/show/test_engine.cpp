#include "ScriptedView.h"
#include "TestAccess.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "imaging/Blit.h"
#include "model/AlbumView.h"
#include "show/StepPlan.h"
#include "album/Navigator.h"
#include "show/TransitionEngine.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// An album of photos whose composition is a flat colour per photo on a canvas
// with the horizontal pan allowance, so each step's result is easy to predict.
struct EngineFixture : ::testing::Test {
    QTemporaryDir dir;
    AlbumModel core{AppPaths::ForProgramDir(dir.path()), AlbumExtensions()};
    ScriptedView host;
    int stops = 0;   // the show ended
    QStringList composed;
    TransitionEngine engine{core, host, [this](const QString& p) { return Compose(p); }};
    Navigator nav{core.state, core.position, core.main, core.photos, host};
    int W = 480, H = 336;

    void SetUp() override
    {
        // Three photos without names: each path is the folder's.
        TestAccess::SetPhotos(core.photos, "/album/", QStringList(3));
        engine.MakeSurfaces(W, H);
        engine.reseedFromClock = false;
        engine.showEnded = [this] { ++stops; };
        engine.advanceShow = [this] { return nav.AdvanceShow(); };
    }

    std::optional<Composition> Compose(const QString& path)
    {
        composed << path;
        const uint8_t shade = uint8_t(40 + 50 * composed.size());
        Surface& canvas = core.dibs.DibCanvas;
        // A left-to-right ramp lets the pan's position show in the picture.
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W + 60; ++x) {
                uint8_t* p = canvas.RowPtr(y) + 3 * x;
                p[0] = shade;
                p[1] = uint8_t(x / 3);
                p[2] = 7;
            }
        Composition c;
        c.PanMode = PanRight;
        c.ViewW = W;
        c.ViewH = H;
        c.ShowTransMode = core.state.FrameType > 1 ? kNoTransition : transMode;
        return c;
    }
    int transMode = 0;   // the transition the fake composition asks for

    void Go(int firstPhoto, bool run)
    {
        TestAccess::SetCurPhoto(core.position, firstPhoto);
        core.main.SetView(View::BringingIn);
        core.main.RequestPhoto();
        run ? core.main.StartShow() : core.main.EndShow();
    }

    bool ScreenIs(const Surface& s)
    {
        return std::memcmp(TestAccess::Screen(engine).DataPtr(), s.DataPtr(), size_t(s.RGBSize())) == 0;
    }
};

}  // namespace

TEST_F(EngineFixture, LoadStepComposesChoosesAndSavesTheOldPicture)
{
    std::memset(TestAccess::Screen(engine).DataPtr(), 99, size_t(engine.DibScreen().RGBSize()));
    core.state.FrameDelayMs = 7;
    engine.forcedEffect = 11;   // a push: keeps the outgoing picture
    Go(1, false);
    core.main.MarkLabelsDirty();
    // While its decoder is still at work the photo is not loaded, nothing is
    // drawn, and the step is soon tried again.
    bool decoded = false;
    engine.photoReady = [&](const QString&) { return decoded; };
    const auto waiting = engine.Step();
    EXPECT_TRUE(waiting.unchanged);
    EXPECT_GT(waiting.wait, 0.0);
    EXPECT_LT(waiting.wait, 0.02);
    EXPECT_TRUE(composed.isEmpty());
    EXPECT_EQ(core.main.NewPhoto(), 1);
    EXPECT_EQ(host.refreshes, 0);
    decoded = true;
    const auto r = engine.Step();
    EXPECT_FALSE(r.unchanged);
    EXPECT_EQ(composed, QStringList({"/album/"}));   // a photo without a name: the folder
    EXPECT_EQ(core.main.NewPhoto(), 0);
    EXPECT_EQ(core.main.LabelsDirty(), 0);
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(engine.TransEffect(), 11);
    EXPECT_GE(engine.st.S, 8);
    EXPECT_LE(engine.st.S, 32);
    EXPECT_EQ(engine.st.P, 0);
    EXPECT_EQ(engine.st.Q, W);
    EXPECT_DOUBLE_EQ(r.wait, 0.007);
    EXPECT_EQ(core.dibs.DibMask.DataPtr()[1000], 99);
    EXPECT_EQ(TestAccess::Screen(engine).DataPtr()[1000], 99);   // nothing new drawn yet
}

TEST_F(EngineFixture, RandomChoiceCoversOneToSeventyAndTransModeWins)
{
    std::set<int> seen;
    for (int i = 0; i < 3000; ++i) {
        Go(0, false);
        engine.Step();
        seen.insert(engine.TransEffect());
    }
    EXPECT_EQ(seen.size(), 70u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 70);

    core.state.FrameType = 2;
    Go(0, false);
    engine.Step();
    EXPECT_EQ(engine.TransEffect(), 255);
}

TEST_F(EngineFixture, CrossFadeThenPanThenTheShowMovesOn)
{
    engine.forcedEffect = 1;
    core.state.FrameDelayMs = 3;
    core.state.PauseSecs = 3;
    int effectFrames = 0, panSteps = 0;
    engine.onFrame = [&](bool effect) { effect ? ++effectFrames : ++panSteps; };
    Go(0, true);
    engine.Step();   // load
    TransitionEngine::StepResult r;
    for (int i = 0; i < 128; ++i) {
        r = engine.Step();
        ASSERT_DOUBLE_EQ(r.wait, 0.003);
    }
    EXPECT_EQ(effectFrames, 128);
    EXPECT_EQ(panSteps, 0);
    // The step that finds the fade over does the first pan step, and the
    // screen then holds the whole new picture, whatever the blending left.
    r = engine.Step();
    EXPECT_EQ(panSteps, 1);
    EXPECT_DOUBLE_EQ(r.wait, 0.03);
    EXPECT_EQ(engine.Shown().ViewX, 1);
    EXPECT_TRUE(ScreenIs(engine.DibNew()));
    EXPECT_EQ(engine.DibScreen().RowPtr(0)[1], 0);   // ramp at canvas x = 1: 1 / 3
    // 59 more moves, then the closing step waits the photo's pause.
    for (int i = 0; i < 59; ++i) {
        r = engine.Step();
        ASSERT_DOUBLE_EQ(r.wait, 0.03);
    }
    EXPECT_EQ(engine.Shown().ViewX, 60);
    EXPECT_EQ(core.position.CurPhoto(), 0);
    r = engine.Step();
    EXPECT_EQ(panSteps, 61);
    EXPECT_DOUBLE_EQ(r.wait, 3.0);
    EXPECT_EQ(core.position.CurPhoto(), 1);
    EXPECT_EQ(core.main.LabelsDirty(), 1);
    EXPECT_EQ(core.main.ViewMode(), View::BringingIn);
    engine.Step();
    EXPECT_EQ(composed.size(), 2);
}

TEST_F(EngineFixture, EndOfTheListStopsOrWraps)
{
    engine.forcedEffect = 255;
    auto runPhoto = [&] {
        engine.Step();                      // load
        for (int i = 0; i < 61; ++i)        // first pan step ... closing step
            engine.Step();
    };
    Go(2, true);
    runPhoto();
    EXPECT_EQ(core.main.ViewMode(), View::Still);
    EXPECT_EQ(core.main.ShowRunning(), 0);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(core.position.CurPhoto(), 2);
    EXPECT_EQ(core.main.LabelsDirty(), 1);
    engine.Step();   // still photo: the info line is refreshed once more
    EXPECT_EQ(core.main.LabelsDirty(), 0);

    core.state.LoopShow = 1;
    Go(2, true);
    runPhoto();
    EXPECT_EQ(core.position.CurPhoto(), 0);
    EXPECT_EQ(core.main.ViewMode(), View::BringingIn);
    EXPECT_EQ(stops, 1);
}

TEST_F(EngineFixture, StopLetsThePhotoFinishAndStay)
{
    engine.forcedEffect = 27;   // wipe to the right, 120 frames
    Go(0, true);
    engine.Step();
    engine.Step();
    core.main.RequestStop();
    int steps = 0;
    while (core.main.ViewMode() == View::BringingIn && steps < 1000) {
        engine.Step();
        ++steps;
    }
    EXPECT_EQ(core.main.ShowRunning(), 0);
    EXPECT_EQ(core.main.StopRequested(), 0);
    EXPECT_EQ(core.main.ViewMode(), View::Still);
    EXPECT_EQ(core.position.CurPhoto(), 0);
    EXPECT_TRUE(engine.PanDone());
    EXPECT_EQ(steps, 119 + 1 + 60);   // the rest of the wipe, its end, the pan
}

TEST_F(EngineFixture, ANewChoiceDuringATransitionLoadsAtOnce)
{
    engine.forcedEffect = 12;
    Go(0, false);
    engine.Step();
    for (int i = 0; i < 10; ++i)
        engine.Step();
    // "下一张" between two steps.
    TestAccess::SetCurPhoto(core.position, 1);
    core.main.RequestPhoto();
    engine.Step();
    EXPECT_EQ(composed.size(), 2);
    EXPECT_EQ(engine.st.P, 0);
}

TEST_F(EngineFixture, UnknownEffectNumberBringsThePhotoInAtOnce)
{
    transMode = 100;
    Go(0, false);
    engine.Step();
    EXPECT_EQ(engine.TransEffect(), 255);
    engine.Step();
    EXPECT_TRUE(ScreenIs(engine.DibNew()) || core.state.FrameType > 1);
    EXPECT_EQ(engine.Shown().ViewX, 1);
}

TEST_F(EngineFixture, FrameOverlayLeavesTheWindowAndCoversTheRest)
{
    core.state.FrameType = 2;
    Surface& mask = core.dibs.DibMask;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            std::memset(mask.RowPtr(y) + 3 * x, (x < 20 ? 200 : 0), 3);
    std::memset(TestAccess::Screen(engine).DataPtr(), 50, size_t(engine.DibScreen().RGBSize()));
    core.main.SetView(View::Still);
    engine.Step();
    EXPECT_EQ(engine.DibScreen().RowPtr(100)[3 * 10], 200);
    EXPECT_EQ(engine.DibScreen().RowPtr(100)[3 * 30], 50);
}

TEST_F(EngineFixture, StillAndCoverStepsDrawNothingNew)
{
    std::memset(TestAccess::Screen(engine).DataPtr(), 33, size_t(engine.DibScreen().RGBSize()));
    for (int mode : {0, 1, 2, 7}) {
        core.main.SetView(View(mode));
        const auto r = engine.Step();
        EXPECT_EQ(r.wait, 0);
        EXPECT_FALSE(engine.Moving());
    }
    EXPECT_EQ(TestAccess::Screen(engine).DataPtr()[500], 33);
    EXPECT_TRUE(composed.isEmpty());
}

TEST(StepPlan, AStepLastsTheLargerOfItsDrawingAndItsPause)
{
    TransitionEngine::StepResult frame;
    frame.wait = 0.003;
    // Drawing took 1 ms: wait the remaining 2 ms.
    NextStep n = PlanNextStep(10.0, 10.001, frame, true);
    EXPECT_EQ(n.kind, NextStep::Step);
    EXPECT_NEAR(n.delay, 0.002, 1e-9);
    // Drawing took 5 ms: no wait at all, never drawing + pause.
    n = PlanNextStep(10.0, 10.005, frame, true);
    EXPECT_EQ(n.delay, 0);
    // A pan step waits ten times the frame pause; the end of a photo its pause.
    TransitionEngine::StepResult pan;
    pan.wait = 0.03;
    EXPECT_NEAR(PlanNextStep(10.0, 10.010, pan, true).delay, 0.02, 1e-9);
    TransitionEngine::StepResult pause;
    pause.wait = 3;
    EXPECT_NEAR(PlanNextStep(10.0, 10.004, pause, true).delay, 2.996, 1e-9);
    // FrameDelayMs 0: steps follow at once.
    TransitionEngine::StepResult none;
    EXPECT_EQ(PlanNextStep(10.0, 10.0, none, true).delay, 0);
    // A split frame resumes 10 ms after its step began, whatever the pause.
    TransitionEngine::StepResult split;
    split.splitFrame = true;
    n = PlanNextStep(10.0, 10.002, split, true);
    EXPECT_EQ(n.kind, NextStep::FinishSplit);
    EXPECT_NEAR(n.delay, 0.008, 1e-9);
    // Nothing moving: the chain rests instead of spinning.
    n = PlanNextStep(10.0, 10.0, none, false);
    EXPECT_EQ(n.kind, NextStep::Rest);
    EXPECT_GE(n.delay, 0.1);
}

// While the window is dragged to a new size the photo area's published size
// runs ahead of the surfaces, which are remade only when the drag ends. Every
// effect must then keep inside the surfaces it has.
TEST(EffectsDuringResize, StayInsideSurfacesOfAnotherSize)
{
    Surface screen, newPic, oldPic;
    for (Surface* s : {&screen, &newPic, &oldPic})
        s->Create(200, 150);
    for (auto [W, H] : {std::pair{260, 190}, {150, 100}, {200, 300}}) {
        for (int effect = 1; effect <= 70; ++effect) {
            EffectState st;
            st.S = 13;
            const EffectStart start = EffectStartValues(effect, W, H, st.S);
            st.P = start.P;
            st.Q = start.Q;
            Rng rng(7);
            EffectContext c{screen, newPic, oldPic, W, H, 4, double(W) / H, st, rng};
            const EffectStep step = EffectFor(effect);
            ASSERT_NE(step, nullptr) << effect;
            int frames = 0;
            StepOutcome o = StepOutcome::Drew;
            while (o != StepOutcome::Finished && frames < 5000) {
                o = step(c);
                if (o == StepOutcome::DrewPart) {
                    st.phase = 1;
                    o = step(c);
                    st.phase = 0;
                }
                ++frames;
            }
            EXPECT_LT(frames, 5000) << "effect " << effect << " at " << W << "x" << H;
        }
    }
}
