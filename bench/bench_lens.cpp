// One move of the magnifier: the screen restored from the incoming picture,
// then 121 row copies from the photo, against the restore alone.
#include "imaging/Blit.h"
#include "model/AlbumState.h"
#include "model/SurfacePool.h"
#include "tools/Lens.h"

#include <benchmark/benchmark.h>

using namespace tamsel;

namespace {

struct LensBench {
    AlbumState s;
    MainState m;
    SurfacePool d;
    LensBench(int w, int h)
    {
        d.MakeDisplaySurfaces(w, h);
        d.DibPhoto.Create(6000, 4000);
        m.CanvasWidth = w + 60;
        m.CanvasHeight = h + 60;
        m.PhotoAspect = 1.5;
        m.CanvasAspect = double(m.CanvasWidth) / m.CanvasHeight;
        m.PanDone = m.OrigView = true;
    }
};

void BM_LensMove(benchmark::State& st)
{
    LensBench b(int(st.range(0)), int(st.range(1)));
    double x = 100;
    for (auto _ : st) {
        DrawLens(b.d, b.m, x, st.range(1) / 2.0);
        x = x > st.range(0) - 100 ? 100 : x + 7;
        benchmark::ClobberMemory();
    }
}

void BM_LensRestoreOnly(benchmark::State& st)
{
    LensBench b(int(st.range(0)), int(st.range(1)));
    for (auto _ : st) {
        CopyWhole(b.d.DibScreen, b.d.DibNew);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_LensMove)->Args({480, 336})->Args({1902, 958})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LensRestoreOnly)->Args({480, 336})->Args({1902, 958})->Unit(benchmark::kMicrosecond);
