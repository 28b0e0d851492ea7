// Frame-drawing time of every transition effect: the median, the 95th
// percentile and the worst frame of whole runs, next to a memcpy of one frame
// of the same size measured in the same run (x_memcpy = median / memcpy).
// On a shared machine the worst frame is often a time slice lost to another
// process; the 95th percentile shows the effect's own slow frames.
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

struct Size {
    int W, H;
};
// The default photo area, the largest window, a full-screen show and one on a
// 4K screen (the photo area in device pixels).
const Size kSizes[] = {{480, 336}, {1902, 958}, {1920, 1080}, {3840, 2160}};

void Fill(Surface& s, uint8_t seed)
{
    for (int i = 0; i < s.RGBSize(); ++i)
        s.DataPtr()[i] = uint8_t(i * 7 + seed);
}

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

double Percentile(std::vector<double> v, int pct)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * size_t(pct) / 100)];
}

// Median time of one frame's memcpy, in seconds.
double MemcpySeconds(int W, int H)
{
    Surface a, b;
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
    return Percentile(t, 50);
}

// One iteration is one whole run of the effect; only the steps are timed, and
// the pause inside a split frame is not drawing time.
void BM_Effect(benchmark::State& state, int effect, Size sz)
{
    const int W = sz.W, H = sz.H, S = 16;
    Surface screen, newPic, oldPic, start;
    for (Surface* s : {&screen, &newPic, &oldPic, &start})
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
        EffectContext c{screen, newPic, oldPic, W, H, 4, double(W) / H, st, rng};
        double total = 0;
        for (;;) {
            const auto t0 = Clock::now();
            StepOutcome o = step(c);
            double dt = Seconds(t0);
            if (o == StepOutcome::DrewPart) {
                st.phase = 1;
                const auto t1 = Clock::now();
                o = step(c);
                dt += Seconds(t1);
                st.phase = 0;
            }
            if (o != StepOutcome::Drew)
                break;
            frames.push_back(dt);
            total += dt;
        }
        state.SetIterationTime(total);
    }
    const double med = Percentile(frames, 50);
    state.counters["frames"] = double(frames.size()) / double(state.iterations());
    state.counters["median_us"] = med * 1e6;
    state.counters["p95_us"] = Percentile(frames, 95) * 1e6;
    state.counters["worst_us"] = Percentile(frames, 100) * 1e6;
    state.counters["x_memcpy"] = med / MemcpySeconds(W, H);
}

int RegisterAll()
{
    for (Size sz : kSizes)
        for (int e = 1; e <= 70; ++e) {
            const std::string name = "Effect/" + std::to_string(e) + "/" + std::to_string(sz.W) +
                                     "x" + std::to_string(sz.H);
            benchmark::RegisterBenchmark(name.c_str(), BM_Effect, e, sz)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(sz.W > 1000 ? 3 : 10);
        }
    return 0;
}

const int registered = RegisterAll();

}  // namespace
