#pragma once
// The photo the composition benchmarks work on: a 6000 x 4000 JPEG of a
// camera's size and weight, made once and kept in the temporary folder, or any
// real photo named by TAMSEL_BENCH_JPEG.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tamsel::bench {

// Smooth light and colour with fine grain on top, so the file compresses
// like a photo (about a byte per pixel), not like a flat test card; each
// shift gives a picture of other colours.
inline QImage PaintPhoto(int W, int H, int shift = 0)
{
    QImage img(W, H, QImage::Format_RGB32);
    uint32_t v = 12345u + uint32_t(shift);
    for (int y = 0; y < H; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < W; ++x) {
            v = v * 1664525u + 1013904223u;
            const int grain = int(v >> 27) - 16;
            const double s = std::sin(x * 0.0021 + y * 0.0013 + shift) * 0.5 + 0.5;
            const double t = std::cos(x * 0.0007 - y * 0.0031 + 2 * shift) * 0.5 + 0.5;
            auto c = [&](double f) { return std::clamp(int(f) + grain, 0, 255); };
            row[x] = qRgb(c(40 + 180 * s), c(60 + 150 * t), c(90 + 120 * s * t));
        }
    }
    return img;
}

inline bool WritePhoto(const QString& path, int shift = 0)
{
    QImageWriter w(path, "jpeg");
    w.setQuality(90);
    return w.write(PaintPhoto(6000, 4000, shift));
}

inline QString BenchPhoto()
{
    const QString given = qEnvironmentVariable("TAMSEL_BENCH_JPEG");
    if (!given.isEmpty())
        return given;
    const QString path = QDir::tempPath() + "/tamsel-bench-6000x4000.jpg";
    if (!QFileInfo::exists(path))
        WritePhoto(path);
    return path;
}

}  // namespace tamsel::bench
