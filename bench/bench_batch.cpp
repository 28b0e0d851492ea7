// Batch conversion of a whole folder (200 photos of 1920 x 1280) against
// ImageMagick's own mogrify on a copy of the same folder, in the same run.
// Each side runs in a child process of its own, so the counters give the
// wall time and the peak resident memory of that side alone:
//   ours_s, mogrify_s, x_mogrify = ours_s / mogrify_s (wall times),
//   ours_cpu_s, mogrify_cpu_s (processor time: on a busy machine the wall
//   times say more about the neighbours than about the two programs),
//   ours_peak_MB, mogrify_peak_MB, budget_MB = 2 photos per worker + 100 MB.
// Run it alone, before anything in the process has used the image library
// (the children are forked): tamsel_bench --benchmark_filter=BatchVsMogrify
#include "imaging/ImageFile.h"
#include "tools/BatchConvert.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace tamsel;

constexpr int kPhotos = 200, kW = 1920, kH = 1280;

// Smooth light and colour with fine grain, so the encoders have real work.
QImage PhotoLike()
{
    QImage img(kW, kH, QImage::Format_RGB888);
    std::mt19937 rng(7);
    for (int y = 0; y < kH; ++y) {
        uchar* p = img.scanLine(y);
        for (int x = 0; x < kW; ++x) {
            const int grain = int(rng() % 17) - 8;
            const int base[3] = {x * 255 / kW, y * 255 / kH, ((x + y) / 7) % 256};
            for (int c = 0; c < 3; ++c)
                p[3 * x + c] = uchar(std::clamp(base[c] + grain, 0, 255));
        }
    }
    return img;
}

// count copies of one photo in the format of ext, named p000.ext ...
void FillFolder(const QString& dir, const char* ext)
{
    const QString first = QDir(dir).filePath(QStringLiteral("p000.") + ext);
    PhotoLike().save(first, nullptr, 90);
    for (int i = 1; i < kPhotos; ++i)
        QFile::copy(first, QDir(dir).filePath(QStringLiteral("p%1.").arg(i, 3, 10, QChar('0')) + ext));
}

void RemoveAll(const QString& dir, const QString& ext)
{
    for (const QString& n : QDir(dir).entryList({"*." + ext}, QDir::Files))
        QFile::remove(QDir(dir).filePath(n));
}

struct ChildRun {
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMB = 0;
    bool ok = false;
};

// Runs body in a child process; its wall time and peak memory.
ChildRun InChild(const std::function<void()>& body)
{
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    rusage ru{};
    if (pid < 0 || ::wait4(pid, &status, 0, &ru) != pid)
        return {};
    const auto secs = [](const timeval& tv) { return double(tv.tv_sec) + double(tv.tv_usec) / 1e6; };
    return {double(t.nsecsElapsed()) / 1e9, secs(ru.ru_utime) + secs(ru.ru_stime), double(ru.ru_maxrss) / 1024.0,
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

void BM_BatchVsMogrify(benchmark::State& state)
{
    const int from = int(state.range(0)), to = int(state.range(1));
    const QString fromExt = FormatExtension(from), toExt = FormatExtension(to);
    QTemporaryDir root;
    const QString ours = root.filePath("ours"), theirs = root.filePath("mogrify");
    QDir().mkpath(ours);
    QDir().mkpath(theirs);
    FillFolder(ours, fromExt.toLatin1().constData());
    for (const QString& n : QDir(ours).entryList(QDir::Files))
        QFile::copy(QDir(ours).filePath(n), QDir(theirs).filePath(n));

    // Both folders on the disk before anything is timed: the write-back of
    // three gigabytes of bitmaps would otherwise land on the first side timed.
    ::sync();

    // mogrify gets the file names as a shell would expand them.
    std::vector<std::string> args = {"mogrify", "-format", toExt.toStdString()};
    for (const QString& n : QDir(theirs).entryList(QDir::Files, QDir::Name))
        args.push_back(n.toStdString());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    for (auto _ : state) {
        RemoveAll(ours, toExt);
        RemoveAll(theirs, toExt);
        const ChildRun us = InChild([&] {
            const ConvertPlan plan =
                PlanConversion(ours, ListConvertSources(ours, from).names, to, ConvertMode::KeepBeside, {});
            const ConvertReport r = RunConversion(plan, ExistingTargets::Skip);
            ::_exit(r.converted == kPhotos ? 0 : 1);
        });
        const ChildRun them = InChild([&] {
            if (::chdir(QFile::encodeName(theirs).constData()) == 0)
                ::execvp("mogrify", argv.data());
            ::_exit(127);
        });
        if (!us.ok || !them.ok) {
            state.SkipWithError("a batch did not convert every photo");
            break;
        }
        state.SetIterationTime(us.seconds);
        const double photoMB = double(kW) * kH * 3 / (1024.0 * 1024.0);
        const int workers = int(std::max(1u, std::thread::hardware_concurrency()));
        state.counters["ours_s"] = us.seconds;
        state.counters["mogrify_s"] = them.seconds;
        state.counters["x_mogrify"] = us.seconds / them.seconds;
        state.counters["ours_cpu_s"] = us.cpuSeconds;
        state.counters["mogrify_cpu_s"] = them.cpuSeconds;
        state.counters["ours_peak_MB"] = us.peakMB;
        state.counters["mogrify_peak_MB"] = them.peakMB;
        state.counters["budget_MB"] = 2 * workers * photoMB + 100;
    }
    state.SetLabel((fromExt + " -> " + toExt).toStdString());
}

}  // namespace

BENCHMARK(BM_BatchVsMogrify)
    ->Args({kBmp, kJpg})
    ->Args({kJpg, kPng})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
