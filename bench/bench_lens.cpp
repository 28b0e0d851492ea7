// One move of the magnifier: the square of the incoming picture around the
// mouse, then 121 row copies from the photo into it; against a restore of
// the whole screen, which is what a lens drawn on the screen itself costs.
#include "imaging/Blit.h"
#include "model/AlbumState.h"
#include "model/Composition.h"
#include "tools/Lens.h"

#include <benchmark/benchmark.h>

using namespace tamsel;

namespace {

struct LensBench {
    MainState m;
    Surface photo, arrived;
    Composition c;
    LensOverlay lens;
    LensBench(int w, int h)
    {
        arrived.Create(w, h);
        photo.Create(6000, 4000);
        c.CanvasWidth = w + 60;
        c.CanvasHeight = h + 60;
        c.PhotoAspect = 1.5;
        c.CanvasAspect = double(c.CanvasWidth) / c.CanvasHeight;
        m.OrigView = true;
    }
};

void BM_LensMove(benchmark::State& st)
{
    LensBench b(int(st.range(0)), int(st.range(1)));
    double x = 100;
    for (auto _ : st) {
        b.lens.Draw(b.photo, b.arrived, b.c, true, b.m, x, st.range(1) / 2.0, 1);
        x = x > st.range(0) - 100 ? 100 : x + 7;
        benchmark::ClobberMemory();
    }
}

void BM_LensRestoreOnly(benchmark::State& st)
{
    Surface screen, arrived;
    screen.Create(int(st.range(0)), int(st.range(1)));
    arrived.Create(int(st.range(0)), int(st.range(1)));
    for (auto _ : st) {
        CopyWhole(screen, arrived);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_LensMove)->Args({480, 336})->Args({1902, 958})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LensRestoreOnly)->Args({480, 336})->Args({1902, 958})->Unit(benchmark::kMicrosecond);
