// Decoding a phone photo against a JPEG of the same 12 megapixels, both
// through the album's image loader, in the same run:
//   x_jpeg = HEIC decode / JPEG decode (wall time; the aim is at most 3).
// And the same two photos to the photo area (DecodePicture for the box the
// photo is fitted into, as the load-ahead asks), at 480 x 336 and 1902 x 958:
//   x_jpeg_480, x_jpeg_1902 = HEIC / JPEG (the aim is at most 2);
//   heic_whole_s: the HEIC decoded whole, as every box took it before.
// The image library writes the HEIC as one picture, not as the grid of
// 512 x 512 tiles a phone writes, and without a thumbnail.
// The photos are written once (x265 takes the better part of a minute for
// 12 megapixels): tamsel_bench --benchmark_filter='Phone'
#include "imaging/Decode.h"
#include "imaging/ImageFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <vector>

namespace {

using namespace tamsel;

// A 4000 x 3000 picture with smooth light and fine grain, as a phone's is.
void WritePhoto(const QString& path, int quality)
{
    constexpr int kW = 4000, kH = 3000;
    std::vector<unsigned char> rgb(size_t(kW) * kH * 3);
    std::mt19937 rng(7);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int grain = int(rng() % 9) - 4;
            const int base[3] = {x * 255 / kW, y * 255 / kH, ((x + y) / 13) % 256};
            for (int c = 0; c < 3; ++c)
                rgb[(size_t(y) * kW + x) * 3 + c] = (unsigned char)std::clamp(base[c] + grain, 0, 255);
        }
    Magick::Image img(kW, kH, "RGB", Magick::CharPixel, rgb.data());
    img.quality(quality);
    img.write(path.toStdString());
}

double SecondsToLoad(const QString& path)
{
    QElapsedTimer t;
    t.start();
    const ImageHandle h = LoadImageFile(path);
    benchmark::DoNotOptimize(h.Width());
    return h.IsValid() ? double(t.nsecsElapsed()) / 1e9 : -1;
}

// The same picture as a HEIC and a JPEG, written once for the run.
struct PhonePhotos {
    QTemporaryDir dir;
    QString heic = dir.filePath("photo.heic"), jpg = dir.filePath("photo.jpg");
    PhonePhotos()
    {
        InitImageLibrary();
        WritePhoto(heic, 60);
        WritePhoto(jpg, 92);
    }
};
const PhonePhotos& Photos()
{
    static const PhonePhotos photos;
    return photos;
}

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Wall time; cpu: the processor time it took on all cores, which other
// work on a shared machine disturbs less.
double SecondsToShow(const QString& path, QSize box, double* cpu)
{
    const double cpuFrom = CpuSeconds();
    QElapsedTimer t;
    t.start();
    const Decoded d = DecodePicture(path, box);
    benchmark::DoNotOptimize(d.picture.Width());
    const double wall = double(t.nsecsElapsed()) / 1e9;
    *cpu = std::min(*cpu, CpuSeconds() - cpuFrom);
    return d.IsPicture() ? wall : -1;
}

void BM_PhoneDecode(benchmark::State& state)
{
    const QString heic = Photos().heic, jpg = Photos().jpg;
    for (auto _ : state) {
        double best[2] = {1e9, 1e9};
        for (int i = 0; i < 3; ++i) {
            best[0] = std::min(best[0], SecondsToLoad(heic));
            best[1] = std::min(best[1], SecondsToLoad(jpg));
        }
        if (best[0] < 0 || best[1] < 0) {
            state.SkipWithError("a photo could not be read");
            break;
        }
        state.SetIterationTime(best[0]);
        state.counters["heic_s"] = best[0];
        state.counters["jpeg_s"] = best[1];
        state.counters["x_jpeg"] = best[0] / best[1];
    }
}

// The best of five of each, HEIC and JPEG taken in turn; x_jpeg_cpu_* the
// same by processor time.
void BM_PhoneToPhotoArea(benchmark::State& state)
{
    const QString heic = Photos().heic, jpg = Photos().jpg;
    const QSize boxes[] = {{480, 336}, {1902, 958}};
    for (auto _ : state) {
        // The whole photo through the image library: what every box cost
        // before phone photos were decoded for the screen.
        double whole = 1e9, wholeCpu = 1e9;
        for (int i = 0; i < 3; ++i)
            whole = std::min(whole, SecondsToShow(heic, {}, &wholeCpu));
        state.counters["heic_whole_s"] = whole;
        state.counters["heic_whole_cpu_s"] = wholeCpu;
        double total = 0;
        for (const QSize box : boxes) {
            double best[2] = {1e9, 1e9}, cpu[2] = {1e9, 1e9};
            for (int i = 0; i < 5; ++i) {
                best[0] = std::min(best[0], SecondsToShow(heic, box, &cpu[0]));
                best[1] = std::min(best[1], SecondsToShow(jpg, box, &cpu[1]));
            }
            if (best[0] < 0 || best[1] < 0) {
                state.SkipWithError("a photo could not be read");
                return;
            }
            const std::string size = std::to_string(box.width());
            state.counters["heic_" + size + "_s"] = best[0];
            state.counters["jpeg_" + size + "_s"] = best[1];
            state.counters["x_jpeg_" + size] = best[0] / best[1];
            state.counters["heic_" + size + "_cpu_s"] = cpu[0];
            state.counters["x_jpeg_cpu_" + size] = cpu[0] / cpu[1];
            total += best[0];
        }
        state.SetIterationTime(total);
    }
}

}  // namespace

BENCHMARK(BM_PhoneToPhotoArea)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhoneDecode)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
