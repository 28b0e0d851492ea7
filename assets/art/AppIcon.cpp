// The application icon: a gold moon over ink-blue mountains and their
// reflection, on a lacquer tile with a gold inlay line. The title-bar icon is
// drawn pixel by pixel, since a shrunken picture turns to mud at 16 pixels.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace tamsel::art {
namespace {

struct Peak { double x, height, width; };

// A ridge of steep peaks, as ink painters draw them: each peak falls away
// exponentially, with a little noise so the slopes are not ruled lines.
QPainterPath Ridge(double s, double base, std::initializer_list<Peak> peaks, int seed)
{
    QPainterPath path;
    path.moveTo(0, s);
    for (int i = 0; i <= 128; ++i) {
        const double u = i / 128.0;
        double h = 0;
        for (const Peak& p : peaks)
            h = std::max(h, p.height * std::exp(-std::abs(u - p.x) / p.width));
        h *= 1 + 0.10 * Fractal1D(u * 9, 3, seed);
        path.lineTo(s * u, s * (base - h));
    }
    path.lineTo(s, s);
    path.closeSubpath();
    return path;
}

QImage LargeIcon(int s)
{
    QImage img = NewImage(s, s);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = s / 256.0;
    const QRectF tile(6 * k, 6 * k, 244 * k, 244 * k);

    QPainterPath tilePath;
    tilePath.addRoundedRect(tile, 46 * k, 46 * k);
    p.fillPath(tilePath.translated(0, 3 * k), QColor(0, 0, 0, 80));
    QLinearGradient lacquer(tile.topLeft(), tile.bottomLeft());
    lacquer.setColorAt(0, QColor(50, 70, 104));
    lacquer.setColorAt(1, QColor(16, 24, 38));
    p.fillPath(tilePath, lacquer);

    // The picture inside the inlay line.
    const QRectF inner = tile.adjusted(16 * k, 16 * k, -16 * k, -16 * k);
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, 32 * k, 32 * k);
    p.save();
    p.setClipPath(innerPath);
    const double water = inner.top() + inner.height() * 0.66;
    QLinearGradient sky(inner.topLeft(), QPointF(inner.left(), water));
    sky.setColorAt(0, QColor(22, 32, 56));
    sky.setColorAt(0.55, QColor(70, 66, 108));
    sky.setColorAt(0.85, QColor(204, 140, 108));
    sky.setColorAt(1, QColor(244, 200, 140));
    p.fillRect(inner, sky);

    const QPointF moon(inner.left() + inner.width() * 0.64, inner.top() + inner.height() * 0.36);
    QRadialGradient glow(moon, 70 * k);
    glow.setColorAt(0, QColor(255, 226, 160, 150));
    glow.setColorAt(1, QColor(255, 226, 160, 0));
    p.fillRect(inner, glow);
    QRadialGradient disc(moon - QPointF(6 * k, 6 * k), 26 * k);
    disc.setColorAt(0, QColor(255, 248, 222));
    disc.setColorAt(1, gold::Light);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(moon, 22 * k, 22 * k);

    p.save();
    p.translate(inner.topLeft());
    const double w = inner.width();
    struct Layer { double base; std::initializer_list<Peak> peaks; int seed; QColor top, foot; };
    const Layer layers[] = {
        {0.60, {{0.30, 0.26, 0.10}, {0.78, 0.20, 0.09}}, 4, QColor(124, 116, 158), QColor(206, 162, 150)},
        {0.64, {{0.10, 0.22, 0.08}, {0.46, 0.30, 0.07}, {0.92, 0.18, 0.08}}, 9, QColor(64, 74, 112),
         QColor(150, 128, 140)},
        {0.665, {{0.62, 0.12, 0.10}, {0.28, 0.08, 0.12}}, 2, QColor(28, 40, 66), QColor(60, 70, 96)},
    };
    for (const Layer& l : layers) {
        QLinearGradient g(QPointF(0, w * (l.base - 0.32)), QPointF(0, w * 0.66));
        g.setColorAt(0, l.top);
        g.setColorAt(1, l.foot);
        p.fillPath(Ridge(w, l.base, l.peaks, l.seed), g);
    }
    p.restore();

    // Still water: the moon's path in broken gold lines.
    const QRectF lake(inner.left(), water, inner.width(), inner.bottom() - water);
    QLinearGradient lakeFill(lake.topLeft(), lake.bottomLeft());
    lakeFill.setColorAt(0, QColor(44, 52, 84));
    lakeFill.setColorAt(1, QColor(16, 24, 40));
    p.fillRect(lake, lakeFill);
    p.fillRect(QRectF(lake.left(), water, lake.width(), 1.5 * k), QColor(250, 220, 170, 170));
    for (int i = 0; i < 7; ++i) {
        const double y = water + (6 + i * 8) * k;
        const double half = (20 - i * 2.2) * k;
        p.fillRect(QRectF(moon.x() - half, y, 2 * half, 2.4 * k), WithAlpha(gold::Light, 220 - i * 24));
    }
    p.restore();

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(gold::Base, 3.2 * k));
    p.drawRoundedRect(inner.adjusted(-5 * k, -5 * k, 5 * k, 5 * k), 36 * k, 36 * k);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.5 * k));
    p.drawRoundedRect(tile.adjusted(1.5 * k, 1.5 * k, -1.5 * k, -1.5 * k), 45 * k, 45 * k);
    return img;
}

// Sixteen pixels: a lacquer tile with a gold rim, a moon, a ridge and water.
QImage SmallIcon()
{
    static const char* rows[16] = {
        "..gGGGGGGGGGGg..",
        ".gBBBBBBBBBBBBg.",
        "gBssssssssssssBg",
        "GBsssssssmmsssBG",
        "GBssssssmMMmssBG",
        "GBssssssmMMmssBG",
        "GBsssssssmmsssBG",
        "GBsssfssssssssBG",
        "GBssfffssssfssBG",
        "GBsffffffsfffsBG",
        "GBffffffffffffBG",
        "GBwwwwwwwwWwwwBG",
        "GBwwwwwwwWWwwwBG",
        "gBwwwwwwwwwwwwBg",
        ".gBBBBBBBBBBBBg.",
        "..gGGGGGGGGGGg..",
    };
    QImage img = NewImage(16, 16);
    for (int y = 0; y < 16; ++y) {
        const char* r = rows[y];
        const int len = int(std::strlen(r));
        for (int x = 0; x < 16 && x < len; ++x) {
            QColor c;
            switch (r[x]) {
            case 'G': c = gold::Base; break;
            case 'g': c = WithAlpha(gold::Base, 140); break;
            case 'B': c = ink::Band2; break;
            case 's': c = Mix(QColor(40, 48, 84), QColor(200, 140, 110), y / 10.0); break;
            case 'm': c = gold::Light; break;
            case 'M': c = QColor(255, 246, 214); break;
            case 'f': c = QColor(34, 46, 74); break;
            case 'w': c = QColor(28, 38, 62); break;
            case 'W': c = gold::Light; break;
            default: continue;
            }
            img.setPixelColor(x, y, c);
        }
    }
    return img;
}

}  // namespace

QImage AppIcon(int size)
{
    if (size <= 16)
        return SmallIcon();
    // Drawn large and reduced in one step keeps the fine lines even.
    return LargeIcon(512).scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void PaintAppIcons(Output& out)
{
    out.Png(AppIcon(16), QStringLiteral("icon16.png"));
    const QImage big = AppIcon(256);
    out.Png(big, QStringLiteral("icon256.png"));
    out.AssetPng(big, QStringLiteral("tamsel.png"));
}

}  // namespace tamsel::art
