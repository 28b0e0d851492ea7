// The animated logo: thirty frames in which a brush draws a gold circle (an
// ensō) and the first character of the album's name rises inside it. The last
// frame stays up for ten seconds, so it is the calm, complete mark.
#include "art/Art.h"

#include <QPainter>
#include <cmath>

namespace tamsel::art {
namespace {

constexpr int LogoW = 33;
constexpr int LogoH = 31;
constexpr int Frames = 30;

double Ease(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Point on the circle at brush progress u (0 = where the brush lands).
QPointF OnRing(double u, double radius)
{
    const double start = 235.0, sweep = -325.0;   // drawn clockwise
    const double a = (start + sweep * u) * M_PI / 180.0;
    return QPointF(LogoW / 2.0 + radius * std::cos(a), LogoH / 2.0 - radius * std::sin(a));
}

void Brush(QPainter& p, double upTo)
{
    constexpr double R = 12.2;
    const int dabs = std::max(1, int(upTo * 260));
    p.setPen(Qt::NoPen);
    for (int i = 0; i <= dabs; ++i) {
        const double u = upTo * i / dabs;
        // Heavy where the brush lands, thinning and drying out towards the end.
        double w = 1.95 - 0.95 * u + 0.25 * std::sin(u * 11.0);
        if (u < 0.05) w += 0.7 * (1 - u / 0.05);
        const double dry = Fractal1D(u * 40, 3, 7);
        const int alpha = int(std::clamp(200 - 120 * u * std::max(0.0, dry + 0.4), 60.0, 220.0));
        p.setBrush(WithAlpha(Mix(gold::Light, gold::Base, u), alpha));
        const double wobble = 0.35 * Fractal1D(u * 8, 2, 3);
        p.drawEllipse(OnRing(u, R + wobble), w, w);
    }
}

void Glint(QPainter& p, QPointF c, double size, int alpha)
{
    QPainterPath star;
    const double s = size, t = size * 0.18;
    star.moveTo(c.x(), c.y() - s);
    star.quadTo(c.x() + t, c.y() - t, c.x() + s, c.y());
    star.quadTo(c.x() + t, c.y() + t, c.x(), c.y() + s);
    star.quadTo(c.x() - t, c.y() + t, c.x() - s, c.y());
    star.quadTo(c.x() - t, c.y() - t, c.x(), c.y() - s);
    p.fillPath(star, QColor(255, 250, 230, alpha));
}

QImage Frame(int f)
{
    QImage img = NewImage(LogoW, LogoH);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The brush sets off quickly and slows as it closes the circle.
    const double t = std::min(1.0, f / 17.0);
    Brush(p, std::max(0.02, 1 - (1 - t) * (1 - t)));

    const double rise = Ease((f - 11) / 12.0);
    if (rise > 0) {
        p.setFont(Kai(17));
        const QRectF box(0, 0.8 + (1 - rise) * 2.0, LogoW, LogoH);
        p.setPen(QColor(0, 0, 0, int(120 * rise)));
        p.drawText(box.translated(0.6, 0.8), Qt::AlignCenter, QStringLiteral("澄"));
        p.setPen(WithAlpha(gold::Pale, int(255 * rise)));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("澄"));
    }

    // A glint runs along the finished circle, gone again by the last frame.
    if (f >= 21 && f <= 28) {
        const double t = (f - 20) / 9.0;
        const int alpha = int(255 * std::sin(t * M_PI));
        Glint(p, OnRing(0.55 + 0.3 * t, 12.2), 2.2 + 1.6 * std::sin(t * M_PI), alpha);
    }
    return img;
}

}  // namespace

void PaintLogo(Output& out)
{
    for (int f = 0; f < Frames; ++f)
        out.Png(Frame(f), QStringLiteral("logo_%1.png").arg(f, 2, 10, QLatin1Char('0')));
}

}  // namespace tamsel::art
