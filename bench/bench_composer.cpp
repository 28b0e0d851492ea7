// The whole composition of a camera-sized JPEG (load, fit, clear, stretch,
// first view) against libjpeg-turbo's own decode of the same file, which is
// the floor: the photo must be decoded at its own size whatever else happens.
#include "show/TransitionEngine.h"
#include "ComposeBenchPhoto.h"

#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "imaging/Composer.h"
#include "imaging/ImageFile.h"
#include "imaging/Prefetch.h"
#include "model/AlbumModel.h"
#include "model/AlbumView.h"
#include "platform/Paths.h"

#include <QFile>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

using namespace tamsel;

namespace {

struct NoSink : AlbumView {
    void ShowInfo(const QString& text, bool) override { last = text; }
    QString last;
};

// What djpeg does with the file, minus writing it out: read it through
// libjpeg's own buffer and decode every row, in the surface's colour order,
// into one reused row buffer.
void DecodeAlone(const QString& path, unsigned eighths = 8)
{
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!f)
        return;
    jpeg_decompress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_decompress(&c);
    jpeg_stdio_src(&c, f);
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGR;
    c.scale_num = eighths;
    c.scale_denom = 8;
    jpeg_start_decompress(&c);
    std::vector<unsigned char> row(size_t(c.output_width) * 3);
    JSAMPROW r = row.data();
    while (c.output_scanline < c.output_height)
        jpeg_read_scanlines(&c, &r, 1);
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    std::fclose(f);
    benchmark::DoNotOptimize(row.data());
}

// CPU time of this thread (user and system, page faults included): on a
// machine shared with other work it is far steadier than the wall clock.
double ThreadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The best of a few decodes: the baseline every composition is measured against.
// At 1/8 it is what `djpeg -scale 1/8` does: the floor for a small photo area.
double BaselineMs(unsigned eighths = 8)
{
    static double best[9] = {};
    if (best[eighths] == 0) {
        const QString photo = bench::BenchPhoto();
        double b = 1e30;
        for (int i = 0; i < 5; ++i) {
            const double t0 = ThreadMs();
            DecodeAlone(photo, eighths);
            b = std::min(b, ThreadMs() - t0);
        }
        best[eighths] = b;
    }
    return best[eighths];
}

// A composer with its state and display surfaces for a photo
// area of w x h, as the show has them while bringing a photo in.
struct ComposerRig {
    AlbumModel model{AppPaths::ForProgramDir(QDir::tempPath()), AlbumExtensions()};
    AppPaths& paths = model.paths;
    AlbumState& album = model.state;
    MainState& main = model.main;
    SurfacePool& dibs = model.dibs;
    PhotoList& photos = model.photos;
    NoSink sink;
    Composer composer{model, ReportTo(sink)};
    TransitionEngine engine{model, sink, [this](const QString& p) { return composer.DIBClonePicture(p); }};

    ComposerRig(int w, int h)
    {
        album.ShowWidth = w;
        album.ShowHeight = h;
        engine.MakeSurfaces(w, h);
        main.SetView(View::BringingIn);
    }
    // The composition and its first view, as the load step makes them.
    void Compose(const QString& photo)
    {
        if (const std::optional<Composition> made = composer.DIBClonePicture(photo))
            engine.Take(*made);
    }
};

void BM_JpegDecodeAlone(benchmark::State& st)
{
    const QString photo = bench::BenchPhoto();
    double best = 1e30;
    for (auto _ : st) {
        const double t0 = ThreadMs();
        DecodeAlone(photo);
        best = std::min(best, ThreadMs() - t0);
    }
    st.counters["best_ms"] = best;
    st.SetItemsProcessed(int64_t(st.iterations()) * 6000 * 4000);
}

// DIBClonePicture of the photo into a photo area of range(0) x range(1), as
// the show does for each new photo: every photo is decoded into new memory
// while the previous one is still held.
void BM_ComposePhoto(benchmark::State& st)
{
    const QString photo = bench::BenchPhoto();
    ComposerRig rig(int(st.range(0)), int(st.range(1)));
    const double base = BaselineMs();
    double best = 1e30;
    for (auto _ : st) {
        const double t0 = ThreadMs();
        rig.Compose(photo);
        best = std::min(best, ThreadMs() - t0);
        benchmark::DoNotOptimize(rig.engine.DibNew().DataPtr());
    }
    // x_base: the best composition against the best decode alone, both in CPU time.
    st.counters["base_ms"] = base;
    st.counters["best_ms"] = best;
    st.counters["x_base"] = best / base;
    st.counters["x_eighth"] = best / BaselineMs(1);
    if (!rig.sink.last.isEmpty())
        st.SkipWithError(rig.sink.last.toStdString().c_str());
    st.SetItemsProcessed(int64_t(st.iterations()) * 6000 * 4000);
}

// The wait before the lens first shows over a photo composed from a reduced
// decode: the whole photo is read again (wall time, as the user waits).
void BM_WholePhotoForTheLens(benchmark::State& st)
{
    const QString photo = bench::BenchPhoto();
    ComposerRig rig(480, 336);
    for (auto _ : st) {
        st.PauseTiming();
        rig.Compose(photo);
        st.ResumeTiming();
        rig.composer.EnsureFullPhoto();
        benchmark::DoNotOptimize(rig.dibs.DibPhoto.DataPtr());
    }
}

// A 3000 x 2000 photo in a format the album reads through the image file
// library (PNG, TIFF, PCX, TGA by format code), made once in the temporary folder.
QString OtherFormatPhoto(int code)
{
    const QString png = QDir::tempPath() + "/tamsel-bench-3000x2000.png";
    if (!QFileInfo::exists(png))
        bench::PaintPhoto(3000, 2000).save(png, "PNG");
    if (code == kPng)
        return png;
    const QString ending = code == kTif ? "tif" : code == kPcx ? "pcx" : "tga";
    const QString path = QDir::tempPath() + "/tamsel-bench-3000x2000." + ending;
    if (!QFileInfo::exists(path))
        SaveImageFile(LoadImageFile(png), path, code);
    return path;
}

double ProcessMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Qt's own decode of the PNG: what reading the photo costs with nothing else done.
double PngBaselineMs()
{
    static double best = 0;
    if (best == 0) {
        best = 1e30;
        for (int i = 0; i < 3; ++i) {
            const double t0 = ProcessMs();
            QImageReader reader(OtherFormatPhoto(kPng));
            benchmark::DoNotOptimize(reader.read().constBits());
            best = std::min(best, ProcessMs() - t0);
        }
    }
    return best;
}

// DIBClonePicture of a photo of another format into a 1902 x 958 photo area:
// all the work of bringing it in on the window's thread, when nothing was
// decoded ahead. Wall time and the CPU time of every thread (the image
// library decodes on several).
void BM_ComposeOtherFormat(benchmark::State& st)
{
    const QString photo = OtherFormatPhoto(int(st.range(0)));
    ComposerRig rig(1902, 958);
    double wall = 1e30, cpu = 1e30;
    for (auto _ : st) {
        const double w0 = WallMs(), c0 = ProcessMs();
        rig.Compose(photo);
        cpu = std::min(cpu, ProcessMs() - c0);
        wall = std::min(wall, WallMs() - w0);
        benchmark::DoNotOptimize(rig.engine.DibNew().DataPtr());
    }
    st.counters["wall_ms"] = wall;
    st.counters["cpu_ms"] = cpu;
    st.counters["x_png"] = cpu / PngBaselineMs();
    if (!rig.sink.last.isEmpty())
        st.SkipWithError(rig.sink.last.toStdString().c_str());
}

// The same photo through the load-ahead: how long until it is ready
// (decoded on the prefetch's thread), then its composition from what was
// decoded ahead, on the window's thread.
void BM_PrefetchOtherFormat(benchmark::State& st)
{
    const QString photo = OtherFormatPhoto(int(st.range(0)));
    ComposerRig rig(1902, 958);
    PhotoPrefetch ahead;
    rig.composer.prefetch = &ahead;
    double ready = 1e30, compose = 1e30;
    for (auto _ : st) {
        const double w0 = WallMs();
        rig.composer.LoadAhead(photo);
        while (!rig.composer.PhotoReady(photo))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const double w1 = WallMs();
        rig.Compose(photo);
        compose = std::min(compose, WallMs() - w1);
        ready = std::min(ready, w1 - w0);
        benchmark::DoNotOptimize(rig.engine.DibNew().DataPtr());
        // The next round decodes again rather than finding this photo ahead.
        rig.composer.LoadAhead(bench::BenchPhoto());
        while (!rig.composer.PhotoReady(bench::BenchPhoto()))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    st.counters["ready_ms"] = ready;
    st.counters["compose_ms"] = compose;
    if (!rig.sink.last.isEmpty())
        st.SkipWithError(rig.sink.last.toStdString().c_str());
}

}  // namespace

BENCHMARK(BM_ComposeOtherFormat)->Arg(kPng)->Arg(kTif)->Arg(kPcx)->Arg(kTga)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(BM_PrefetchOtherFormat)->Arg(kPng)->Arg(kTif)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WholePhotoForTheLens)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_JpegDecodeAlone)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ComposePhoto)->Args({480, 336})->Args({1902, 958})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->MinTime(2);
