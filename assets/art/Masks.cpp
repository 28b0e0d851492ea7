// The two frame masks laid over a photo: a gilded frame around an ink-blue
// silk mat, cut to a rectangle (mask1) or an oval (mask2). The album punches
// a black window into the middle and treats black as see-through, so nothing
// outside that window may be black: the darkest tone used is well above it,
// with room for the JPEG coder's rounding.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace tamsel::art {
namespace {

constexpr int MW = 960;
constexpr int MH = 672;
// Where the album will punch its window, as fractions of the mask's size.
constexpr double WinL = 0.13, WinT = 0.132, WinR = 0.867, WinB = 0.865;
constexpr int Darkest = 22;

QColor Floor(QColor c)
{
    return QColor(std::max(Darkest, c.red()), std::max(Darkest, c.green()), std::max(Darkest, c.blue()));
}

// Cross-section of the gilded moulding, from its outer edge inwards, and
// whether that part of the profile faces the light.
QColor Moulding(double d, double light)
{
    static const std::vector<std::pair<double, QColor>> profile = {
        {0, QColor(70, 50, 24)},     {2, QColor(150, 112, 52)},  {5, QColor(236, 204, 134)},
        {9, QColor(200, 160, 88)},   {13, QColor(122, 88, 40)},  {16, QColor(92, 64, 30)},
        {18, QColor(196, 158, 88)},  {26, QColor(230, 196, 124)}, {32, QColor(176, 136, 70)},
        {36, QColor(112, 80, 38)},   {38, QColor(232, 204, 140)}, {41, QColor(150, 112, 56)},
        {44, QColor(60, 42, 20)},
    };
    QColor c = Ramp(profile, d);
    // Light from the upper left: the top and left rails are brighter.
    const double k = 0.80 + 0.32 * light;
    return QColor(std::clamp(int(c.red() * k), 0, 255), std::clamp(int(c.green() * k), 0, 255),
                  std::clamp(int(c.blue() * k), 0, 255));
}

constexpr double FrameW = 44;

// A bead-and-reel run along the flat of the moulding.
double Beads(double along, double d)
{
    if (d < 20 || d > 30)
        return 0;
    const double phase = std::fmod(along, 14.0) / 14.0;
    const double across = (d - 25) / 5.0;
    const double bead = std::exp(-std::pow((phase - 0.5) / 0.22, 2)) * (1 - across * across);
    return std::max(0.0, bead);
}

QColor FrameAt(int x, int y)
{
    const double dl = x + 0.5, dr = MW - x - 0.5, dt = y + 0.5, db = MH - y - 0.5;
    const double d = std::min({dl, dr, dt, db});
    double light, along;
    if (d == dt) { light = 1.0; along = x; }
    else if (d == dl) { light = 0.75; along = y; }
    else if (d == dr) { light = 0.15; along = y; }
    else { light = 0.0; along = x; }
    QColor c = Moulding(d, light);
    const double b = Beads(along, d);
    if (b > 0)
        c = Mix(c, light > 0.5 ? gold::Pale : gold::Light, b * 0.55);
    return c;
}

// Silk of the mat: ink blue with a fine weave.
QColor Silk(int x, int y)
{
    const double weave = ((x % 3 == 0) ? 1.5 : 0) + ((y % 3 == 0) ? 1.5 : 0);
    const double cloud = Fractal2D(x / 70.0, y / 70.0, 3, 77) * 5;
    return QColor(int(30 + weave + cloud), int(42 + weave + cloud), int(64 + weave * 1.3 + cloud * 1.3));
}

QImage Mat(bool oval)
{
    QImage img(MW, MH, QImage::Format_RGB32);
    const double l = MW * WinL, t = MH * WinT, r = MW * WinR, b = MH * WinB;
    const QPointF c((l + r) / 2, (t + b) / 2);
    const double rx = (r - l) / 2, ry = (b - t) / 2;
    for (int y = 0; y < MH; ++y)
        for (int x = 0; x < MW; ++x) {
            const double d = std::min({x + 0.5, MW - x - 0.5, y + 0.5, MH - y - 0.5});
            if (d < FrameW) {
                img.setPixelColor(x, y, Floor(FrameAt(x, y)));
                continue;
            }
            // Distance outside the window's edge, and which way the cut faces.
            double out, faceLight;
            const double px = x + 0.5, py = y + 0.5;
            if (oval) {
                const double ex = (px - c.x()) / rx, ey = (py - c.y()) / ry;
                const double e = std::hypot(ex, ey);
                const double gx = ex / rx, gy = ey / ry;
                out = (e - 1) / std::max(1e-9, std::hypot(gx, gy) / std::max(e, 1e-9));
                // The bevel leans in towards the centre; the lower right of it
                // looks up at the light.
                faceLight = std::clamp(0.5 + 0.5 * (ex + ey) / std::max(e, 1e-9) / std::sqrt(2.0), 0.0, 1.0);
            } else {
                const double ol = l - px, orr = px - r, ot = t - py, ob = py - b;
                out = std::max({ol, orr, ot, ob});
                faceLight = out == ot ? 0.25 : out == ol ? 0.35 : out == ob ? 1.0 : 0.85;
            }
            QColor col = Silk(x, y);
            if (out < 0) {
                col = Silk(x, y);                      // inside: punched out anyway
            } else if (out < 7) {
                // The bevelled cut shows the mat board's cream core.
                col = Mix(QColor(172, 160, 134), QColor(246, 236, 212), faceLight);
            } else if (out < 8) {
                col = Mix(Silk(x, y), QColor(14, 20, 32), 0.5);
            } else if (out >= 15 && out < 18) {
                // A gold fillet sits a little way out from the opening.
                const double mid = 1 - std::abs(out - 16.5) / 1.5;
                col = Mix(Silk(x, y), Mix(gold::Base, gold::Pale, mid * 0.6), 0.35 + 0.65 * mid);
            }
            // The moulding throws a soft shadow onto the mat.
            const double fromFrame = d - FrameW;
            if (fromFrame < 10)
                col = Mix(col, QColor(10, 14, 22), 0.55 * (1 - fromFrame / 10.0));
            img.setPixelColor(x, y, Floor(col));
        }
    if (oval) {
        // Gold sprays in the four spandrels between the oval and the frame.
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        for (int corner = 0; corner < 4; ++corner) {
            p.save();
            p.translate(corner % 2 ? MW : 0, corner / 2 ? MH : 0);
            p.scale(corner % 2 ? -1 : 1, corner / 2 ? -1 : 1);
            p.translate(FrameW + 14, FrameW + 14);
            QPen pen(gold::Base, 2.2, Qt::SolidLine, Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            QPainterPath vine;
            vine.moveTo(0, 0);
            vine.cubicTo(40, 6, 70, 24, 96, 4);
            vine.moveTo(0, 0);
            vine.cubicTo(6, 30, 18, 52, 2, 72);
            p.drawPath(vine);
            p.setPen(Qt::NoPen);
            p.setBrush(gold::Light);
            for (const QPointF& leaf : {QPointF(34, 9), QPointF(62, 16), QPointF(9, 30), QPointF(12, 52)})
                p.drawEllipse(leaf, 4.2, 2.6);
            p.setBrush(gold::Pale);
            p.drawEllipse(QPointF(0, 0), 5, 5);
            p.restore();
        }
    }
    return img;
}

}  // namespace

void PaintMasks(Output& out)
{
    out.Jpeg(Mat(false), QStringLiteral("mask1.jpg"), 94);
    out.Jpeg(Mat(true), QStringLiteral("mask2.jpg"), 94);
}

}  // namespace tamsel::art
