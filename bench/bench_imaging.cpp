// Speed of the image file library and the pixel work on a 24-megapixel photo,
// each against a baseline measured in the same run: libjpeg-turbo's own djpeg
// for decoding, a memcpy of the same bytes for the pixel operations. The
// counter x_base is (time per iteration) / (baseline time): 1 would be as fast
// as the baseline.
#include "imaging/ImageFile.h"
#include "imaging/PelOps.h"
#include "model/Surface.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>

#include <time.h>

namespace {

using namespace tamsel;
using Clock = std::chrono::steady_clock;

constexpr int kW = 6000, kH = 4000;

// A photo-like picture: smooth light and colour with fine grain, so that JPEG
// and PNG have real work to do and nothing compresses to nothing.
void PaintPhoto(Surface& s)
{
    std::mt19937 rng(1);
    for (int y = 0; y < s.Height(); ++y) {
        uint8_t* p = s.RowPtr(y);
        for (int x = 0; x < s.Width(); ++x, p += 3) {
            const int grain = int(rng() % 9) - 4;
            p[0] = uint8_t(std::clamp(60 + x * 120 / kW + grain, 0, 255));
            p[1] = uint8_t(std::clamp(80 + y * 140 / kH + grain, 0, 255));
            p[2] = uint8_t(std::clamp(200 - (x + y) * 150 / (kW + kH) + grain, 0, 255));
        }
    }
}

Surface& Photo()
{
    static Surface photo = [] {
        Surface s;
        s.Create(kW, kH);
        PaintPhoto(s);
        return s;
    }();
    return photo;
}

struct Files {
    QTemporaryDir dir;
    QString jpg, png;
};

Files& PhotoFiles()
{
    static Files files = [] {
        Files f;
        f.jpg = f.dir.filePath("photo.jpg");
        f.png = f.dir.filePath("photo.png");
        const QImage img = Photo().ToQImage();
        img.save(f.jpg, "JPG", 90);
        img.save(f.png, "PNG", 6);
        return f;
    }();
    return files;
}

// The machine is shared: the pixel work is timed in this thread's own CPU
// time, which other processes disturb far less than the wall clock. Decoding
// (ImageMagick may use threads, djpeg is another process) is timed on the wall.
enum class Timing { Wall, ThreadCpu };

double Now(Timing t)
{
    if (t == Timing::Wall)
        return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// The fastest of `runs` runs of fn, in seconds; measured once per name.
double Baseline(const std::string& name, Timing timing, int runs, const std::function<void()>& fn)
{
    static std::map<std::string, double> seen;
    if (auto it = seen.find(name); it != seen.end())
        return it->second;
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now(timing);
        fn();
        best = std::min(best, Now(timing) - t0);
    }
    seen[name] = best;
    return best;
}

double MemcpySeconds(size_t bytes)
{
    return Baseline("memcpy" + std::to_string(bytes), Timing::ThreadCpu, 30, [bytes] {
        static std::unique_ptr<uint8_t[]> a, b;
        static size_t size = 0;
        if (size != bytes) {
            a = std::make_unique<uint8_t[]>(bytes);
            b = std::make_unique<uint8_t[]>(bytes);
            std::memset(a.get(), 1, bytes);
            std::memset(b.get(), 2, bytes);
            size = bytes;
        }
        std::memcpy(b.get(), a.get(), bytes);
        benchmark::DoNotOptimize(b.get());
        benchmark::ClobberMemory();
    });
}

// Runs the timed loop and sets the ratio to the baseline.
template <class Fn>
void Timed(benchmark::State& state, Timing timing, double baseline, Fn fn)
{
    const double t0 = Now(timing);
    for (auto _ : state)
        fn();
    const double per = (Now(timing) - t0) / double(std::max<int64_t>(1, state.iterations()));
    state.counters["ms"] = per * 1000;
    state.counters["x_base"] = per / baseline;
    state.counters["base_ms"] = baseline * 1000;
}

// ---- decoding ---------------------------------------------------------------

double DjpegSeconds()
{
    return Baseline("djpeg", Timing::Wall, 5, [] {
        Files& f = PhotoFiles();
        QProcess::execute("djpeg", {"-bmp", "-outfile", f.dir.filePath("djpeg.bmp"), f.jpg});
    });
}

void BM_ZLoadSaveBmp_Jpeg(benchmark::State& state)
{
    Files& f = PhotoFiles();
    InitImageLibrary();
    const QString out = f.dir.filePath("z.bmp");
    Timed(state, Timing::Wall, DjpegSeconds(), [&] { benchmark::DoNotOptimize(SaveImageFile(LoadImageFile(f.jpg), out, kBmp)); });
}
BENCHMARK(BM_ZLoadSaveBmp_Jpeg)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ZLoadSaveBmp_Png(benchmark::State& state)
{
    Files& f = PhotoFiles();
    InitImageLibrary();
    const QString out = f.dir.filePath("z.bmp");
    Timed(state, Timing::Wall, DjpegSeconds(), [&] { benchmark::DoNotOptimize(SaveImageFile(LoadImageFile(f.png), out, kBmp)); });
}
BENCHMARK(BM_ZLoadSaveBmp_Png)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- pixel work on the surface ----------------------------------------------

template <class Fn>
void PixelBench(benchmark::State& state, Fn fn)
{
    Surface& s = Photo();
    const size_t bytes = size_t(s.RGBSize());
    Timed(state, Timing::ThreadCpu, MemcpySeconds(bytes), [&] {
        fn(s);
        benchmark::ClobberMemory();
    });
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_Memcpy(benchmark::State& state)
{
    const size_t bytes = size_t(Photo().RGBSize());
    auto a = std::make_unique<uint8_t[]>(bytes);
    auto b = std::make_unique<uint8_t[]>(bytes);
    std::memset(a.get(), 1, bytes);
    std::memset(b.get(), 2, bytes);
    Timed(state, Timing::ThreadCpu, MemcpySeconds(bytes), [&] {
        std::memcpy(b.get(), a.get(), bytes);
        benchmark::DoNotOptimize(b.get());
        benchmark::ClobberMemory();
    });
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_Sharpen(benchmark::State& state)
{
    PixelBench(state, [](Surface& s) { s.Sharpen(); });
}
BENCHMARK(BM_Sharpen)->Unit(benchmark::kMillisecond);

void BM_FastBlur(benchmark::State& state)
{
    PixelBench(state, [](Surface& s) { s.FastBlur(); });
}
BENCHMARK(BM_FastBlur)->Unit(benchmark::kMillisecond);

void BM_ShiftColors(benchmark::State& state)
{
    int sign = 1;
    PixelBench(state, [&](Surface& s) {
        s.ShiftColors(9 * sign, 9 * sign, 9 * sign);
        sign = -sign;
    });
}
BENCHMARK(BM_ShiftColors)->Unit(benchmark::kMillisecond);

void BM_PelGreyScale(benchmark::State& state)
{
    PixelBench(state, [](Surface& s) {
        PelGreyScale(s, 0, 0, s.Width(), s.Height(), s, 0, 0);
    });
    PaintPhoto(Photo());   // the later benchmarks want colour again
}
BENCHMARK(BM_PelGreyScale)->Unit(benchmark::kMillisecond);

void BM_PelHSL(benchmark::State& state)
{
    PixelBench(state, [](Surface& s) {
        PelHSL(s, 0, 0, s.Width(), s.Height(), s, 0, 0, 30.0f, 1.1f);
    });
}
BENCHMARK(BM_PelHSL)->Unit(benchmark::kMillisecond);

void BM_PelRotate90(benchmark::State& state)
{
    Surface& src = Photo();
    Surface dst;
    dst.Create(src.Height(), src.Width());
    const size_t bytes = size_t(src.RGBSize());
    Timed(state, Timing::ThreadCpu, MemcpySeconds(bytes), [&] {
        PelRotate(dst, dst.Width() / 2, dst.Height() / 2, src.Width(), src.Height(), src, 0, 0,
                  90.0);
        benchmark::ClobberMemory();
    });
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_PelRotate90)->Unit(benchmark::kMillisecond);

}  // namespace
