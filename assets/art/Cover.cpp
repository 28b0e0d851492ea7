// The album cover: layered misty mountains at dusk mirrored in a still lake,
// a lone boat, and the album's name written down the left in Kai script with
// a red seal. The name means "a collection of clear reflections", which is
// what the lake shows.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

namespace tamsel::art {
namespace {

constexpr int CW = 960;
constexpr int CH = 672;          // the album's own 480 x 336, doubled
constexpr int WaterY = 470;      // the lake's edge
constexpr double SunX = 0.665 * CW;
constexpr double SunY = 0.415 * CH;

double SmoothStep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

QColor Add(const QColor& c, const QColor& light, double amount)
{
    return QColor(std::min(255, int(c.red() + light.red() * amount)),
                  std::min(255, int(c.green() + light.green() * amount)),
                  std::min(255, int(c.blue() + light.blue() * amount)));
}

QColor SkyAt(int x, int y)
{
    static const std::vector<std::pair<double, QColor>> stops = {
        {0.00, QColor(18, 26, 50)},   {0.30, QColor(40, 48, 90)},   {0.55, QColor(102, 82, 120)},
        {0.75, QColor(200, 130, 112)}, {0.90, QColor(240, 182, 128)}, {1.00, QColor(248, 214, 160)},
    };
    QColor c = Ramp(stops, y / double(WaterY));
    const double dist = std::hypot(x - SunX, (y - SunY) * 1.25);
    const double glow = 0.50 * std::exp(-std::pow(dist / 230.0, 2)) + 0.55 * std::exp(-std::pow(dist / 55.0, 2));
    c = Add(c, QColor(255, 214, 150), glow);

    // Long thin clouds, lit from below near the sun, violet away from it.
    const double band = SmoothStep(70, 150, y) * (1 - SmoothStep(300, 380, y));
    const double n = Fractal2D(x / 300.0, y / 20.0, 5, 17);
    const double density = std::clamp((n - 0.08) * 2.4, 0.0, 1.0) * band;
    if (density > 0) {
        const double near = std::exp(-std::pow(dist / 330.0, 2));
        const QColor cloud = Mix(QColor(84, 66, 104), QColor(252, 190, 150), 0.25 + 0.75 * near);
        c = Mix(c, cloud, density * 0.55);
    }
    if (y < 220 && Hash(x, y, 99) > 0.9994)
        c = Mix(c, QColor(255, 250, 235), 0.8 * (1 - y / 220.0));
    return c;
}

struct Layer {
    double base, amp, scale;
    int seed;
    QColor top;
    double mist;     // how far the foot fades into haze
    double valley;   // how deep the valley under the sun is cut
};

double RidgeY(const Layer& l, double x)
{
    double n = 1 - std::abs(Fractal1D(x / l.scale + l.seed * 3.1, 5, l.seed));
    n = std::pow(n, 2.2);
    const double broad = 0.55 + 0.45 * Fractal1D(x / (l.scale * 3.5), 2, l.seed + 50);
    // Low on the left, where the name is written, and a valley for the sun.
    const double left = 0.35 + 0.65 * SmoothStep(0.10 * CW, 0.48 * CW, x);
    const double valley = 1 - l.valley * std::exp(-std::pow((x - SunX) / 120.0, 2));
    return CH * (l.base - l.amp * n * broad * left * valley);
}

void Mountains(QImage& img)
{
    const Layer layers[] = {
        {0.52, 0.20, 230, 3, QColor(170, 146, 176), 0.85, 0.75},
        {0.57, 0.24, 200, 8, QColor(128, 112, 152), 0.80, 0.70},
        {0.62, 0.22, 170, 5, QColor(86, 84, 122), 0.70, 0.55},
        {0.665, 0.19, 140, 12, QColor(52, 58, 92), 0.55, 0.30},
        {0.705, 0.09, 150, 21, QColor(28, 34, 58), 0.30, 0.10},
    };
    const QColor haze(236, 190, 158);
    for (const Layer& l : layers) {
        for (int x = 0; x < CW; ++x) {
            const double ry = RidgeY(l, x + 0.5);
            for (int y = std::max(0, int(std::floor(ry))); y < WaterY; ++y) {
                const double cover = std::clamp(y + 1 - ry, 0.0, 1.0);
                // Mist lies in level bands, whatever the shape of the ridge.
                const double depth = std::clamp((y - CH * (l.base - l.amp * 0.45)) / 150.0, 0.0, 1.0);
                // Light from the sun grazes the ridge tops.
                const double rim = std::exp(-std::pow((x - SunX) / 260.0, 2)) * std::exp(-(y - ry) / 3.0) * 0.35;
                QColor c = Mix(l.top, haze, std::pow(depth, 1.3) * l.mist);
                c = Add(c, QColor(255, 200, 150), rim * (1 - l.mist * 0.3));
                img.setPixelColor(x, y, Mix(img.pixelColor(x, y), c, cover));
            }
        }
    }
    // A breath of mist lies on the water's edge.
    for (int y = WaterY - 26; y < WaterY; ++y)
        for (int x = 0; x < CW; ++x)
            img.setPixelColor(x, y, Mix(img.pixelColor(x, y), haze, 0.45 * SmoothStep(WaterY - 26, WaterY, y)));
}

void Boat(QPainter& p, QPointF at, double s, QColor c)
{
    QPainterPath hull;
    hull.moveTo(at + QPointF(-28 * s, -2 * s));
    hull.quadTo(at + QPointF(0, 6 * s), at + QPointF(30 * s, -4 * s));
    hull.quadTo(at + QPointF(2, 2 * s), at + QPointF(-28 * s, -2 * s));
    p.fillPath(hull, c);
    QPainterPath man;   // a fisherman under a wide hat
    man.moveTo(at + QPointF(-4 * s, 0));
    man.lineTo(at + QPointF(-3 * s, -9 * s));
    man.lineTo(at + QPointF(1 * s, -9 * s));
    man.lineTo(at + QPointF(2 * s, 0));
    man.closeSubpath();
    p.fillPath(man, c);
    QPainterPath hat;
    hat.moveTo(at + QPointF(-6.5 * s, -9 * s));
    hat.lineTo(at + QPointF(-1 * s, -13.5 * s));
    hat.lineTo(at + QPointF(4.5 * s, -9 * s));
    hat.closeSubpath();
    p.fillPath(hat, c);
    p.setPen(QPen(c, 1.2 * s));
    p.drawLine(at + QPointF(1 * s, -7 * s), at + QPointF(22 * s, 4 * s));
}

void Water(QImage& img)
{
    const QImage above = img.copy();
    for (int y = WaterY; y < CH; ++y) {
        const double dy = y - WaterY;
        const double fall = dy / double(CH - WaterY);
        for (int x = 0; x < CW; ++x) {
            const double ripple = (0.8 + dy * 0.025) * std::sin(dy * 0.5 + Fractal1D(x / 140.0 + dy * 0.01, 2, 31) * 4);
            const int sx = std::clamp(int(x + ripple), 0, CW - 1);
            const int sy = std::clamp(int(WaterY - 1 - dy * 1.05), 0, WaterY - 1);
            QColor c = above.pixelColor(sx, sy);
            c = Mix(c, QColor(20, 28, 50), 0.30 + 0.55 * fall);
            // Fine wind lines.
            const double line = Fractal2D(x / 110.0, y / 1.8, 3, 57);
            if (line > 0.35)
                c = Mix(c, QColor(214, 196, 200), (line - 0.35) * 0.35 * (1 - fall));
            // The sun's broken path on the water.
            const double spread = 22 + dy * 0.55;
            const double across = std::abs(x - SunX) / spread;
            if (across < 1.6) {
                const double g = Fractal2D(x / 12.0, y / 1.5, 3, 41);
                if (g > 0.25)
                    c = Add(c, QColor(255, 216, 150), (g - 0.25) * 1.6 * std::exp(-across * across) * (1 - 0.7 * fall));
            }
            img.setPixelColor(x, y, c);
        }
    }
    for (int x = 0; x < CW; ++x)
        img.setPixelColor(x, WaterY, Mix(img.pixelColor(x, WaterY), QColor(255, 232, 196),
                                         0.10 + 0.35 * std::exp(-std::pow((x - SunX) / 200.0, 2))));
}

// Soft shadow behind text: the glyphs' alpha, blurred a few times.
QImage Blurred(const QImage& src, int radius, int passes)
{
    QImage a = src.convertToFormat(QImage::Format_ARGB32);
    const int w = a.width(), h = a.height();
    std::vector<int> buf(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            buf[size_t(y) * w + x] = qAlpha(a.pixel(x, y));
    std::vector<int> tmp(buf.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int s = 0, n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = x + k;
                    if (xx >= 0 && xx < w) { s += buf[size_t(y) * w + xx]; ++n; }
                }
                tmp[size_t(y) * w + x] = s / n;
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int s = 0, n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int yy = y + k;
                    if (yy >= 0 && yy < h) { s += tmp[size_t(yy) * w + x]; ++n; }
                }
                buf[size_t(y) * w + x] = s / n;
            }
    }
    QImage out = NewImage(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.setPixelColor(x, y, QColor(8, 10, 24, std::min(255, buf[size_t(y) * w + x] * 2)));
    return out;
}

void VerticalText(QPainter& p, const QString& text, QPointF top, double step)
{
    for (int i = 0; i < text.size(); ++i)
        p.drawText(QRectF(top.x() - step, top.y() + i * step, 2 * step, step), Qt::AlignCenter, text.mid(i, 1));
}

void Lettering(QImage& img)
{
    QImage layer = NewImage(CW, CH);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(Kai(94));
        p.setPen(QColor(255, 246, 226));
        VerticalText(p, QStringLiteral("澄影集"), QPointF(150, 58), 104);
        p.setFont(Kai(27));
        p.setPen(gold::Light);
        VerticalText(p, QStringLiteral("一泓澄水"), QPointF(62, 150), 33);
        VerticalText(p, QStringLiteral("万象留影"), QPointF(62, 150 + 33 * 4 + 20), 33);
    }
    QPainter p(&img);
    p.drawImage(0, 0, Blurred(layer, 4, 3));
    // The name carries a faint warm gradient, like gold ink.
    QImage tinted = layer.copy();
    {
        QPainter t(&tinted);
        t.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QLinearGradient g(QPointF(0, 58), QPointF(0, 58 + 3 * 104));
        g.setColorAt(0, QColor(255, 248, 232));
        g.setColorAt(1, QColor(244, 214, 156));
        t.fillRect(QRect(80, 40, 160, 360), g);
    }
    p.drawImage(0, 0, tinted);

    // The seal: two characters cut white into red.
    const QRectF seal(126, 392, 48, 82);
    QPainterPath sealPath;
    sealPath.addRoundedRect(seal, 4, 4);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(sealPath, QColor(176, 52, 40));
    p.setPen(QPen(QColor(255, 226, 206, 150), 1.5));
    p.drawRoundedRect(seal.adjusted(3.5, 3.5, -3.5, -3.5), 2, 2);
    p.setFont(Kai(32));
    p.setPen(QColor(255, 240, 228));
    VerticalText(p, QStringLiteral("澄影"), QPointF(seal.center().x(), seal.top() + 4), 37);
}

void Finish(QImage& img)
{
    // A gentle vignette and a grain of film keep the gradients from banding.
    for (int y = 0; y < CH; ++y)
        for (int x = 0; x < CW; ++x) {
            const double dx = (x - CW / 2.0) / (CW / 2.0), dy = (y - CH / 2.0) / (CH / 2.0);
            const double v = 1 - 0.16 * std::pow(std::min(1.0, (dx * dx + dy * dy) / 2.0), 1.2) * 2;
            const double grain = (Hash(x, y, 5) - 0.5) * 3.0;
            const QColor c = img.pixelColor(x, y);
            img.setPixelColor(x, y, QColor(std::clamp(int(c.red() * v + grain), 0, 255),
                                           std::clamp(int(c.green() * v + grain), 0, 255),
                                           std::clamp(int(c.blue() * v + grain), 0, 255)));
        }
}

}  // namespace

void PaintCover(Output& out)
{
    QImage img(CW, CH, QImage::Format_RGB32);
    for (int y = 0; y < WaterY; ++y)
        for (int x = 0; x < CW; ++x)
            img.setPixelColor(x, y, SkyAt(x, y));
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QRadialGradient disc(QPointF(SunX - 5, SunY - 6), 30);
        disc.setColorAt(0, QColor(255, 252, 236));
        disc.setColorAt(1, QColor(255, 226, 170));
        p.setPen(Qt::NoPen);
        p.setBrush(disc);
        p.drawEllipse(QPointF(SunX, SunY), 25, 25);
        // Three birds going home.
        p.setPen(QPen(QColor(40, 34, 56, 200), 1.8, Qt::SolidLine, Qt::RoundCap));
        for (const QPointF& b : {QPointF(430, 196), QPointF(456, 214), QPointF(474, 188)}) {
            QPainterPath w;
            w.moveTo(b + QPointF(-7, -2));
            w.quadTo(b + QPointF(-3, -4), b);
            w.quadTo(b + QPointF(3, -4), b + QPointF(7, -2));
            p.drawPath(w);
        }
    }
    Mountains(img);
    Water(img);
    {
        // The boat floats on the water: draw it after the reflection, with
        // its own faint mirror image.
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.save();
        p.translate(0, 2 * (WaterY + 58 - 8) + 2);
        p.scale(1, -1);
        Boat(p, QPointF(372, WaterY + 58 - 8), 1.15, QColor(22, 26, 42, 70));
        p.restore();
        Boat(p, QPointF(372, WaterY + 58 - 8), 1.15, QColor(22, 26, 42));
    }
    Lettering(img);
    Finish(img);
    out.Jpeg(img, QStringLiteral("face.jpg"), 92);
}

}  // namespace tamsel::art
