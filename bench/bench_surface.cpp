// Surface clearing, whole copies and halftone stretches against a plain memcpy
// of the same bytes, the floor any of them could reach.
#include "imaging/Blit.h"
#include "model/Surface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

using namespace tamsel;

namespace {

void Noise(Surface& s)
{
    std::mt19937 g(5);
    for (int i = 0; i < s.RGBSize(); i += 4)
        std::memcpy(s.DataPtr() + i, &g, std::min(4, s.RGBSize() - i));
    uint32_t v = 1;
    for (int i = 0; i < s.RGBSize(); ++i) {
        v = v * 1664525u + 1013904223u;
        s.DataPtr()[i] = uint8_t(v >> 24);
    }
}

void BM_Memcpy(benchmark::State& st)
{
    const size_t bytes = size_t(DibStride(st.range(0)) * st.range(1));
    std::vector<uint8_t> a(bytes, 1), b(bytes);
    for (auto _ : st) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(bytes));
}

void BM_Cls(benchmark::State& st)
{
    Surface s;
    s.Create(int(st.range(0)), int(st.range(1)));
    for (auto _ : st) {
        s.Cls();
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * s.RGBSize());
}

void BM_CopyWhole(benchmark::State& st)
{
    Surface a, b;
    a.Create(int(st.range(0)), int(st.range(1)));
    b.Create(int(st.range(0)), int(st.range(1)));
    Noise(a);
    for (auto _ : st) {
        CopyWhole(b, a);
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * a.RGBSize());
}

void BM_BitBltWhole(benchmark::State& st)
{
    Surface a, b;
    a.Create(int(st.range(0)), int(st.range(1)));
    b.Create(int(st.range(0)), int(st.range(1)));
    Noise(a);
    for (auto _ : st) {
        BitBlt(b, 0, 0, a.Width(), a.Height(), a, 0, 0);
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(int64_t(st.iterations()) * a.RGBSize());
}

// range: source w, h, destination w, h. Items are output pixels.
void BM_StretchHalftone(benchmark::State& st)
{
    Surface src, dst;
    src.Create(int(st.range(0)), int(st.range(1)));
    dst.Create(int(st.range(2)), int(st.range(3)));
    Noise(src);
    for (auto _ : st) {
        StretchBlt(dst, 0, 0, dst.Width(), dst.Height(), src, 0, 0, src.Width(), src.Height());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(int64_t(st.iterations()) * dst.Width() * dst.Height());
    st.SetBytesProcessed(int64_t(st.iterations()) * dst.RGBSize());
}

}  // namespace

BENCHMARK(BM_Memcpy)->Args({480, 336})->Args({1920, 1080})->Args({540, 378})->Args({1902, 958});
BENCHMARK(BM_Cls)->Args({480, 336})->Args({1920, 1080});
BENCHMARK(BM_CopyWhole)->Args({480, 336})->Args({1920, 1080});
BENCHMARK(BM_BitBltWhole)->Args({480, 336})->Args({1920, 1080});
BENCHMARK(BM_StretchHalftone)
    ->Args({6000, 4000, 540, 378})
    ->Args({540, 378, 480, 336})
    ->Args({1962, 1198, 1902, 958})
    ->Unit(benchmark::kMicrosecond);
