// Per-frame drawing cost of the engine's own steps: the cross-fade, the random
// blocks, and a pan and a zoom step, against a memcpy of one frame.
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "imaging/Blit.h"
#include "model/AlbumView.h"
#include "show/TransitionEngine.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using namespace tamsel;

namespace {

void FillNoise(Surface& s, uint32_t seed)
{
    for (int i = 0; i < s.RGBSize(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        s.DataPtr()[i] = uint8_t(seed >> 24);
    }
}

// An engine with composed surfaces of the given size, between two photos.
struct Bench {
    QTemporaryDir dir;
    AlbumModel core{AppPaths::ForProgramDir(dir.path()), AlbumExtensions()};
    AlbumView view;
    TransitionEngine engine{core, view, [](const QString&) { return std::optional<Composition>(); }};
    Composition start;

    Bench(int W, int H, int panMode)
    {
        core.state.ShowWidth = W;
        core.state.ShowHeight = H;
        core.state.FrameDelayMs = 0;
        engine.MakeSurfaces(W, H);
        FillNoise(core.dibs.DibCanvas, 3);
        start.PanMode = panMode;
        start.ViewW = panMode == 5 ? W + 60 : W;
        start.ViewH = panMode == 5 ? (W + 60.0) * H / W : H;
        // The screen shows one part of the noise, the incoming photo another.
        engine.Take(start);
        start.ViewX = 20;
        engine.Redraw();
        start.ViewX = 0;
        engine.Take(start);
        engine.reseedFromClock = false;
    }
};

void BM_FrameMemcpy(benchmark::State& st)
{
    const size_t bytes = size_t(DibStride(st.range(0)) * st.range(1));
    std::vector<uint8_t> a(bytes, 1), b(bytes);
    for (auto _ : st) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::ClobberMemory();
    }
}

void BM_EffectFrame(benchmark::State& st)
{
    Bench b(int(st.range(1)), int(st.range(2)), 1);
    const int effect = int(st.range(0));
    for (auto _ : st) {
        st.PauseTiming();
        // Restart the effect whenever it ends so every timed step draws a frame.
        if (b.engine.st.P > 250 || b.core.main.ViewMode() != View::BringingIn) {
            b.core.main.SetView(View::BringingIn);
            b.core.main.RequestPhoto();
            b.engine.forcedEffect = effect;
            b.engine.Step();
        }
        st.ResumeTiming();
        b.engine.Step();
    }
}

void BM_PanStep(benchmark::State& st)
{
    const int W = int(st.range(1)), H = int(st.range(2));
    Bench b(W, H, int(st.range(0)));
    // A load step that composes nothing new: from now on each step is a pan step.
    MainState& m = b.core.main;
    b.engine.forcedEffect = kNoTransition;
    m.SetView(View::BringingIn);
    m.RequestPhoto();
    b.engine.Step();
    for (auto _ : st) {
        st.PauseTiming();
        if (b.engine.Shown().ViewX >= 29 || b.engine.PanDone())
            b.engine.Take(b.start);
        m.SetView(View::BringingIn);
        m.PhotoTaken();
        st.ResumeTiming();
        b.engine.Step();
    }
}

}  // namespace

BENCHMARK(BM_FrameMemcpy)->Args({480, 336})->Args({1902, 958})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EffectFrame)
    ->Args({1, 480, 336})->Args({1, 1902, 958})
    ->Args({5, 480, 336})->Args({5, 1902, 958})->Args({5, 1920, 1080})->Args({5, 3840, 2160})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanStep)
    ->Args({1, 480, 336})->Args({1, 1902, 958})
    ->Args({5, 480, 336})->Args({5, 1902, 958})->Args({5, 1920, 1080})->Args({5, 3840, 2160})
    ->Unit(benchmark::kMicrosecond);
