// Frame-drawing time of the shape, sweep, wave, triangle and mosaic
// transitions: the median and the worst frame of whole runs, next to a memcpy
// of one frame of the same size measured in the same run (the counter
// x_memcpy is median / memcpy).
#include "imaging/Blit.h"
#include "show/Effect.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

using namespace tamsel;

namespace {

using Clock = std::chrono::steady_clock;

const int kEffects[] = {31, 33, 34, 35, 36, 40, 41, 46, 49, 50, 61, 62, 63, 64, 65, 66, 67};

struct Size {
    int W, H;
};
const Size kSizes[] = {{480, 336}, {1902, 958}};

void Fill(CLSDIB& s, uint8_t seed)
{
    for (int i = 0; i < s.RGBSize(); ++i)
        s.DataPtr()[i] = uint8_t(i * 7 + seed);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Median time of one frame's memcpy, in seconds.
double MemcpySeconds(int W, int H)
{
    CLSDIB a, b;
    a.Create(W, H);
    b.Create(W, H);
    Fill(a, 1);
    std::vector<double> t;
    for (int i = 0; i < 200; ++i) {
        const auto t0 = Clock::now();
        std::memcpy(b.DataPtr(), a.DataPtr(), size_t(a.RGBSize()));
        benchmark::DoNotOptimize(b.DataPtr());
        benchmark::ClobberMemory();
        t.push_back(Seconds(t0));
    }
    return Median(t);
}

void BM_ShapeMemcpyFrame(benchmark::State& state)
{
    const int W = int(state.range(0)), H = int(state.range(1));
    CLSDIB a, b;
    a.Create(W, H);
    b.Create(W, H);
    Fill(a, 1);
    for (auto _ : state) {
        std::memcpy(b.DataPtr(), a.DataPtr(), size_t(a.RGBSize()));
        benchmark::DoNotOptimize(b.DataPtr());
        benchmark::ClobberMemory();
    }
}

// One iteration is one whole run of the effect; only the steps are timed.
void BM_ShapeEffect(benchmark::State& state, int effect, Size sz)
{
    const int W = sz.W, H = sz.H, S = 16;
    CLSDIB screen, newPic, oldPic, start;
    for (CLSDIB* s : {&screen, &newPic, &oldPic, &start})
        s->Create(W, H);
    Fill(start, 3);
    Fill(newPic, 101);
    const EffectStep step = EffectFor(effect);
    const EffectStart sv = EffectStartValues(effect, W, H, S);
    std::vector<double> frames;
    Rng rng;
    for (auto _ : state) {
        CopyWhole(screen, start);
        if (sv.saves)
            CopyWhole(oldPic, screen);
        EffectState st;
        st.S = S;
        st.P = sv.P;
        st.Q = sv.Q;
        if (sv.resetsQuadrant)
            st.TransQuadrant = 0;
        EffectContext c{screen, newPic, oldPic, W, H, 4, double(W) / H, st, rng};
        double total = 0;
        for (;;) {
            const auto t0 = Clock::now();
            const StepOutcome o = step(c);
            const double dt = Seconds(t0);
            if (o != StepOutcome::Drew)
                break;
            frames.push_back(dt);
            total += dt;
        }
        state.SetIterationTime(total);
    }
    const double med = Median(frames);
    // On a shared machine the worst frame is often a time slice lost to
    // another process; the 95th percentile shows the effect's own slow frames.
    std::vector<double> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    state.counters["p95_us"] = sorted.empty() ? 0 : sorted[sorted.size() * 95 / 100] * 1e6;
    state.counters["frames"] = double(frames.size()) / double(state.iterations());
    state.counters["median_us"] = med * 1e6;
    state.counters["worst_us"] = frames.empty() ? 0 : *std::max_element(frames.begin(), frames.end()) * 1e6;
    state.counters["x_memcpy"] = med / MemcpySeconds(W, H);
}

int RegisterAll()
{
    for (Size sz : kSizes) {
        benchmark::RegisterBenchmark("ShapeMemcpyFrame", BM_ShapeMemcpyFrame)->Args({sz.W, sz.H});
        for (int e : kEffects) {
            const std::string name =
                "ShapeEffect/" + std::to_string(e) + "/" + std::to_string(sz.W) + "x" + std::to_string(sz.H);
            benchmark::RegisterBenchmark(name.c_str(), BM_ShapeEffect, e, sz)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(sz.W > 1000 ? 3 : 10);
        }
    }
    return 0;
}

const int registered = RegisterAll();

}  // namespace
