// Recording a slide show into a video file, against the show's own length:
// the counter "x_realtime" is video seconds written per second of work
// (above 1: faster than the show plays). Three camera-size photos, random
// transitions, captions, the installation's tune, default timing.
#include "ComposeBenchPhoto.h"

#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Fonts.h"
#include "platform/Paths.h"
#include "show/VideoExport.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace tamsel;

namespace {

struct BenchAlbum {
    QTemporaryDir dir;
    AppPaths paths = AppPaths::Resolve();
    AlbumState album = AlbumState::FirstRun(paths);
    PhotoList photos{AlbumExtensions()};

    BenchAlbum()
    {
        for (int i = 0; i < 3; ++i) {
            bench::WritePhoto(dir.filePath(QStringLiteral("p%1.jpg").arg(i)), i);
            album.PhotoCaption << QStringLiteral("第%1张").arg(i + 1);
        }
        photos.Point(dir.path() + "/");
        album.FrameType = 0;
        album.MusicOn = 1;
    }
};

void BM_ExportVideo(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    RegisterFontSubstitutions();
    static BenchAlbum a;
    const QSize size(int(state.range(0)), int(state.range(1)));
    const QString out = a.dir.filePath(state.range(2) ? "v.webm" : "v.mp4");
    double video = 0, work = 0;
    for (auto _ : state) {
        ExportProgress progress;
        const auto t0 = std::chrono::steady_clock::now();
        const Outcome o = ExportVideo(a.album, a.photos, a.paths, {out, size, 30, 1}, progress);
        work += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        video += progress.seconds;
        if (!o)
            state.SkipWithError(o.message.toStdString().c_str());
    }
    state.counters["x_realtime"] = video / work;
    state.counters["video_s"] = video / double(state.iterations());
}

}  // namespace

BENCHMARK(BM_ExportVideo)
    ->Args({480, 336, 0})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
