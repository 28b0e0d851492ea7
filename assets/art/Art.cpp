#include "art/Art.h"

#include <QDir>
#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tamsel::art {

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto lerp = [t](int u, int v) { return int(std::lround(u + (v - u) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor WithAlpha(QColor c, int alpha)
{
    c.setAlpha(std::clamp(alpha, 0, 255));
    return c;
}

namespace {
int g_scale = 1;
}

int Scale() { return g_scale; }
void SetScale(int scale) { g_scale = std::max(1, scale); }

QImage NewImage(int w, int h, QImage::Format format)
{
    QImage img(w * g_scale, h * g_scale, format);
    img.setDevicePixelRatio(g_scale);
    img.fill(Qt::transparent);
    return img;
}

QImage NewImage(int w, int h) { return NewImage(w, h, QImage::Format_ARGB32_Premultiplied); }

QFont Kai(double pixelSize)
{
    QFont f(QStringLiteral("AR PL UKai CN"));
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont Ming(double pixelSize)
{
    QFont f(QStringLiteral("AR PL UMing CN"));
    f.setPixelSize(int(std::lround(pixelSize)));
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QColor Ramp(const std::vector<std::pair<double, QColor>>& stops, double t)
{
    if (t <= stops.front().first)
        return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const double span = stops[i].first - stops[i - 1].first;
            return Mix(stops[i - 1].second, stops[i].second,
                       span > 0 ? (t - stops[i - 1].first) / span : 1.0);
        }
    }
    return stops.back().second;
}

double Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0x1000000);
}

static double Smooth(double t) { return t * t * (3 - 2 * t); }

double Fractal1D(double x, int octaves, int seed)
{
    double sum = 0, amp = 1, norm = 0, freq = 1;
    for (int o = 0; o < octaves; ++o) {
        const double p = x * freq;
        const int i = int(std::floor(p));
        const double f = Smooth(p - i);
        const double a = Hash(i, o, seed) * 2 - 1;
        const double b = Hash(i + 1, o, seed) * 2 - 1;
        sum += amp * (a + (b - a) * f);
        norm += amp;
        amp *= 0.5;
        freq *= 2;
    }
    return sum / norm;
}

double Fractal2D(double x, double y, int octaves, int seed)
{
    double sum = 0, amp = 1, norm = 0, freq = 1;
    for (int o = 0; o < octaves; ++o) {
        const double px = x * freq, py = y * freq;
        const int ix = int(std::floor(px)), iy = int(std::floor(py));
        const double fx = Smooth(px - ix), fy = Smooth(py - iy);
        const int s = seed * 31 + o;
        const double a = Hash(ix, iy, s), b = Hash(ix + 1, iy, s);
        const double c = Hash(ix, iy + 1, s), d = Hash(ix + 1, iy + 1, s);
        const double v = (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
        sum += amp * (v * 2 - 1);
        norm += amp;
        amp *= 0.5;
        freq *= 2;
    }
    return sum / norm;
}

Output::Output(QString dataDir, QString assetsDir)
    : dataDir_(std::move(dataDir)), assetsDir_(std::move(assetsDir))
{
    QDir().mkpath(dataDir_);
}

bool Output::Save(const QImage& img, const QString& path, const char* format, int quality)
{
    QImageWriter w(path, format);
    if (quality >= 0)
        w.setQuality(quality);
    // For PNG, Qt reads the quality as the inverse of zlib's level: 0 packs tightest.
    if (QByteArray(format) == "png")
        w.setQuality(0);
    const bool done = w.write(img);
    if (!done) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(w.errorString()));
        ok_ = false;
    } else {
        written_ << QStringLiteral("%1  %2 x %3").arg(QDir(dataDir_).relativeFilePath(path))
                        .arg(img.width()).arg(img.height());
    }
    return done;
}

bool Output::Png(const QImage& img, const QString& name)
{
    QString file = name;
    if (g_scale > 1 && file.endsWith(QStringLiteral(".png")))
        file.insert(file.size() - 4, QStringLiteral("@%1x").arg(g_scale));
    return Save(img, QDir(dataDir_).filePath(file), "png", -1);
}

bool Output::Jpeg(const QImage& img, const QString& name, int quality)
{
    // JPEG has no alpha: flatten onto an opaque picture first.
    return Save(img.convertToFormat(QImage::Format_RGB888), QDir(dataDir_).filePath(name), "jpeg",
                quality);
}

bool Output::AssetPng(const QImage& img, const QString& name)
{
    return Save(img, QDir(assetsDir_).filePath(name), "png", -1);
}

}  // namespace tamsel::art
