// What colour management adds to showing a camera photo: the reduced decode
// of a 24-megapixel JPEG into 480 x 336, without a profile and with an Adobe
// RGB profile embedded (the same pixels), timed in turn in one run.
#include "ComposeBenchPhoto.h"
#include "imaging/ColourProfile.h"
#include "imaging/Decode.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace tamsel;

namespace {

// The photo with an APP2 ICC profile segment after its start marker.
QString WithProfile(const QString& photo, const QByteArray& icc)
{
    const QString path = QDir::tempPath() + "/tamsel-bench-6000x4000-adobe.jpg";
    QFile in(photo), out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return {};
    const QByteArray bytes = in.readAll();
    const QByteArray payload = QByteArray("ICC_PROFILE\0\1\1", 14) + icc;
    const int length = int(payload.size()) + 2;
    out.write(bytes.left(2) + QByteArray("\xFF\xE2", 2) + char(length >> 8) + char(length & 0xFF) + payload +
              bytes.mid(2));
    return path;
}

double Seconds(const QString& path)
{
    const auto t0 = std::chrono::steady_clock::now();
    const Decoded d = DecodePicture(path, QSize(480, 336));
    benchmark::DoNotOptimize(d.picture.DataPtr());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_ReducedDecodeWithProfile(benchmark::State& state)
{
    const QString plain = bench::BenchPhoto();
    const QString adobe = WithProfile(plain, AdobeRgbProfile());
    Seconds(adobe);   // the transform is built once per profile, as for a folder of photos
    double without = 0, with = 0;
    for (auto _ : state) {
        without += Seconds(plain);
        with += Seconds(adobe);
    }
    const double n = double(state.iterations());
    state.counters["plain_ms"] = 1000 * without / n;
    state.counters["adobe_ms"] = 1000 * with / n;
    state.counters["extra_pct"] = 100 * (with - without) / without;
}
BENCHMARK(BM_ReducedDecodeWithProfile)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
