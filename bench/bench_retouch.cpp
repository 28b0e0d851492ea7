// A retouch of a camera-sized photo, from the command to the redisplayed
// picture (filter, recomposed, stretched onto the screen), against the
// filter alone on the same picture in the same run.
#include "show/TransitionEngine.h"
#include "ComposeBenchPhoto.h"

#include "app/Retouch.h"
#include "imaging/Composer.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumView.h"
#include "imaging/PelOps.h"
#include "model/AlbumModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

using namespace tamsel;

namespace {

struct NoSink : AlbumView {
    void ShowInfo(const QString& text, bool) override { last = text; }
    QString last;
};

// CPU time of this thread.
double ThreadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void FilterAlone(AlbumModel& m, int code, const ColourBalance& b)
{
    Surface& p = m.dibs.DibPhoto;
    if (code == kCmdSharpen) {
        p.Sharpen();
    } else {
        p.ShiftColors(b.BalBright, b.BalBright, b.BalBright);
        PelHSL(p, 0, 0, p.Width(), p.Height(), p, 0, 0, b.BalHue / 10.0f, b.BalSat / 100.0f);
    }
}

// range(0): the command code, 36 sharpen or 35 colour balance.
void BM_RetouchCommand(benchmark::State& st)
{
    const int code = int(st.range(0));
    AlbumModel m(AppPaths::ForProgramDir(QDir::tempPath()), AlbumExtensions());
    NoSink sink;
    Composer composer{m, ReportTo(sink)};
    TransitionEngine engine{m, sink, [&](const QString& p) { return composer.DIBClonePicture(p); }};
    engine.MakeSurfaces(m.state.ShowWidth, m.state.ShowHeight);
    m.main.SetView(View::Still);
    engine.ShowAtOnce(composer.DIBClonePicture(bench::BenchPhoto()));
    // The command works on every pixel, as the window's retouch does.
    composer.EnsureFullPhoto();
    const ColourBalance balance{12, 150, 110};

    double filter = 1e30, whole = 1e30;
    for (auto _ : st) {
        double t0 = ThreadMs();
        FilterAlone(m, code, balance);
        filter = std::min(filter, ThreadMs() - t0);
        t0 = ThreadMs();
        RunRetouch(m, composer, engine, code, balance);
        whole = std::min(whole, ThreadMs() - t0);
        benchmark::DoNotOptimize(engine.DibScreen().DataPtr());
    }
    // x_filter: the whole command against the filter alone, best of each.
    st.counters["filter_ms"] = filter;
    st.counters["best_ms"] = whole;
    st.counters["x_filter"] = whole / filter;
    if (!sink.last.isEmpty())
        st.SkipWithError(sink.last.toStdString().c_str());
}

}  // namespace

BENCHMARK(BM_RetouchCommand)->Arg(kCmdSharpen)->Arg(kCmdBalance)->Unit(benchmark::kMillisecond)->MinTime(2);
