// The skin picture and the pictures that must match it pixel for pixel: the
// window-button glyphs and the two link images of the title strip.
//
// The layout stretches some columns and rows of the skin, so the painting is
// split in two: a base that is a pure function of the distance from the window
// edge and of the row (identical in every stretched column), and ornaments
// that are placed only in the parts copied 1:1.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace tamsel::art {
namespace {

// Distance of a point from the outline of the window the skin stands for:
// three corners rounded with a radius of 26, the bottom-right one with 4.5,
// as the window's shape cuts them.
double Inset(double px, double py)
{
    if (px < 26 && py < 26)
        return 26 - std::hypot(px - 26, py - 26);
    if (px > SkinRight - 26 && py < 26)
        return 26 - std::hypot(px - (SkinRight - 26), py - 26);
    if (px < 26 && py > SkinBottom - 26)
        return 26 - std::hypot(px - 26, py - (SkinBottom - 26));
    if (px > SkinRight - 4.5 && py > SkinBottom - 4.5)
        return 4.5 - std::hypot(px - (SkinRight - 4.5), py - (SkinBottom - 4.5));
    return std::min({px, SkinRight - px, py, SkinBottom - py});
}

// The lacquer moulding with its gold inlay line, from the outside in.
QColor Moulding(double d)
{
    if (d < 1) return ink::Rim;
    if (d < 2) return ink::BandHi;
    if (d < 3) return ink::Band1;
    if (d < 4) return ink::Band2;
    if (d < 5) return ink::Band3;
    return gold::Base;
}

// Rice paper of the title strip: a faint shade under the gold line, then a
// gentle fall from warm white to cream, with a trace of horizontal fibre.
QColor Paper(int row)
{
    if (row <= 6)
        return Mix(paper::Top, paper::Rule, 0.30);
    QColor c = Mix(paper::Top, paper::Bottom, (row - 7) / 43.0);
    const double fibre = (Hash(row, 7, 11) - 0.5) * 2.4;
    return QColor(std::clamp(int(c.red() + fibre), 0, 255), std::clamp(int(c.green() + fibre), 0, 255),
                  std::clamp(int(c.blue() + fibre * 0.8), 0, 255));
}

// The lacquered bar of the controls: lit lip under the gold rail, a slow fall
// into shadow, and a thin line of reflected light above the bottom edge.
QColor Roller(int row)
{
    static const std::vector<std::pair<double, QColor>> stops = {
        {67, QColor(66, 88, 126)}, {68, QColor(50, 69, 101)}, {70, QColor(42, 59, 88)},
        {82, QColor(34, 49, 73)},  {102, QColor(27, 39, 59)}, {118, QColor(21, 31, 48)},
        {124, QColor(18, 27, 42)}, {125, QColor(30, 42, 62)}, {126, QColor(20, 29, 43)},
    };
    QColor c = Ramp(stops, row);
    const double fibre = (Hash(row, 3, 5) - 0.5) * 1.6;
    return QColor(std::clamp(int(c.red() + fibre), 0, 255), std::clamp(int(c.green() + fibre), 0, 255),
                  std::clamp(int(c.blue() + fibre), 0, 255));
}

// Colour of the skin's base at a point. Row decisions use the pixel's row,
// edge decisions the continuous distance, so supersampling only softens arcs.
QColor Base(double px, double py)
{
    const double d = Inset(px, py);
    const int row = int(std::floor(py));
    if (d < 0)
        return ink::Rim;
    // The side borders (and the top band of the strip that shares their
    // texture) all come from one horizontal profile.
    auto side = [&]() {
        if (d < 6) return Moulding(d);
        if (d < 8) return ink::Inner;
        return ink::Shadow;
    };
    if (row < StripTop) {
        if (d < 6) return Moulding(d);
        if (row <= 50) return Paper(row);
        if (row == 51) return gold::Base;   // closes the paper's gold outline
        if (d < 8 || row <= 53) return ink::Inner;
        if (row == 54 || d < 10) return ink::Shadow;
        // Under the photo: never seen in the window, painted only so that
        // the skin picture reads as a whole window on its own.
        return Mix(QColor(44, 54, 72), QColor(30, 38, 52), (row - 55) / 7.0);
    }
    if (row < StripTop + 3)
        return d < 10 ? side() : ink::Inner;
    if (d < 1)
        return ink::Rim;
    if (row == StripTop + 3)
        return gold::Base;                  // the rail the controls hang from
    if (d < 2)
        return Mix(Roller(row), ink::BandHi, 0.55);
    return Roller(row);
}

// The colour of picture pixel (x, y) at the current scale.
QColor Supersampled(int x, int y)
{
    const double s = Scale();
    int r = 0, g = 0, b = 0;
    constexpr int N = 4;
    for (int j = 0; j < N; ++j)
        for (int i = 0; i < N; ++i) {
            const QColor c = Base((x + (i + 0.5) / N) / s, (y + (j + 0.5) / N) / s);
            r += c.red(); g += c.green(); b += c.blue();
        }
    return QColor(r / (N * N), g / (N * N), b / (N * N));
}

QImage BaseSkin()
{
    QImage img = NewImage(SkinW, SkinH, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixelColor(x, y, Supersampled(x, y));
    return img;
}

// A recess cut into the lacquer: darker inside, shadowed at the top, with the
// lower lip catching the light.
void Recess(QPainter& p, const QPainterPath& shape)
{
    const QRectF r = shape.boundingRect();
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(6, 10, 16));
    fill.setColorAt(0.35, QColor(12, 19, 30));
    fill.setColorAt(1, QColor(26, 38, 58));
    p.fillPath(shape, fill);
    QLinearGradient lip(r.topLeft(), r.bottomLeft());
    lip.setColorAt(0, QColor(4, 7, 11, 230));
    lip.setColorAt(0.5, QColor(30, 42, 62, 120));
    lip.setColorAt(1, QColor(92, 116, 156, 230));
    p.strokePath(shape, QPen(QBrush(lip), 1.0));
}

void Diamond(QPainter& p, QPointF c, double r)
{
    QPainterPath d;
    d.moveTo(c.x(), c.y() - r);
    d.lineTo(c.x() + r, c.y());
    d.lineTo(c.x(), c.y() + r);
    d.lineTo(c.x() - r, c.y());
    d.closeSubpath();
    p.fillPath(d, gold::Base);
    p.strokePath(d, QPen(gold::Dark, 0.6));
}

void Ornaments(QImage& skin)
{
    QPainter p(&skin);
    p.setRenderHint(QPainter::Antialiasing);

    // Title strip: an engraved rule between the menu row and the info line,
    // ending in two small gold lozenges before the badge.
    p.fillRect(QRect(18, 30, 248 - 18 + 1, 1), paper::Rule);
    p.fillRect(QRect(18, 31, 248 - 18 + 1, 1), QColor(255, 253, 246));
    Diamond(p, QPointF(13.5, 31), 3.2);
    Diamond(p, QPointF(253.5, 31), 3.2);

    // Control bar. The play button sits in a round collar at the left end,
    // the pairs of stepping buttons in two capsules, the thumb runs in a slot
    // and the logo turns in a medallion at the right end.
    const double cy = BarCentreY;
    QPainterPath collar;
    collar.addEllipse(QPointF(32, cy), 16.5, 16.5);
    Recess(p, collar);
    for (double left : {57.5, 226.5}) {
        QPainterPath cap;
        cap.addRoundedRect(QRectF(left, cy - 12.5, 49, 25), 12.5, 12.5);
        Recess(p, cap);
    }
    QPainterPath slot;
    slot.addRoundedRect(QRectF(113, cy - 2.5, 105, 5), 2.5, 2.5);
    Recess(p, slot);
    QPainterPath medallion;
    medallion.addEllipse(QPointF(308.5, BarCentreY - 2.5), 17.5, 17.5);
    Recess(p, medallion);
    p.setPen(QPen(WithAlpha(gold::Dark, 150), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(308.5, BarCentreY - 2.5), 15.6, 15.6);
    p.end();

    // Edges stay exactly as the base draws them: the recesses near the
    // rounded corner must not spill over the rim.
    const double s = Scale();
    for (int y = 0; y < skin.height(); ++y)
        for (int x = 0; x < skin.width(); ++x)
            if (Inset((x + 0.5) / s, (y + 0.5) / s) < 2.5)
                skin.setPixelColor(x, y, Supersampled(x, y));
}

// ---- glyphs of the window buttons ---------------------------------------------
enum class Win { Min, Max, Restore, Close };
enum class State { Idle, Hover, Pressed };

void WinGlyph(QPainter& p, Win which, QColor c, QPointF o)
{
    p.save();
    p.translate(o);
    switch (which) {
    case Win::Min:
        p.fillRect(QRectF(4, 10, 9, 2), c);
        break;
    case Win::Max:
        p.fillRect(QRectF(4, 3, 9, 2), c);
        p.fillRect(QRectF(4, 5, 1, 7), c);
        p.fillRect(QRectF(12, 5, 1, 7), c);
        p.fillRect(QRectF(4, 12, 9, 1), c);
        break;
    case Win::Restore:
        // Back window: only the parts the front one leaves free.
        p.fillRect(QRectF(6, 2, 7, 2), c);
        p.fillRect(QRectF(12, 4, 1, 5), c);
        p.fillRect(QRectF(11, 8, 1, 1), c);
        // Front window.
        p.fillRect(QRectF(3, 6, 7, 2), c);
        p.fillRect(QRectF(3, 8, 1, 5), c);
        p.fillRect(QRectF(9, 8, 1, 5), c);
        p.fillRect(QRectF(3, 12, 7, 1), c);
        p.fillRect(QRectF(6, 4, 1, 2), c);
        break;
    case Win::Close: {
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(c, 1.6, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QPointF(4.8, 3.8), QPointF(12.2, 11.2));
        p.drawLine(QPointF(12.2, 3.8), QPointF(4.8, 11.2));
        break;
    }
    }
    p.restore();
}

// A lit tile behind a glyph: pale gold under the pointer, pressed deeper.
void Tile(QPainter& p, QRectF r, State s, bool danger)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    QColor edge;
    if (danger) {
        g.setColorAt(0, s == State::Hover ? QColor(205, 88, 70) : QColor(150, 48, 36));
        g.setColorAt(1, s == State::Hover ? QColor(172, 58, 44) : QColor(128, 40, 30));
        edge = QColor(118, 36, 27);
    } else if (s == State::Hover) {
        g.setColorAt(0, gold::Pale);
        g.setColorAt(1, QColor(236, 214, 160));
        edge = gold::Base;
    } else {
        g.setColorAt(0, QColor(214, 188, 128));
        g.setColorAt(1, QColor(230, 208, 156));
        edge = gold::Dark;
    }
    p.setPen(QPen(edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    if (s == State::Pressed) {
        // The inner top edge in shadow tells that the tile went in.
        p.setPen(QPen(WithAlpha(danger ? QColor(60, 14, 10) : gold::Deep, 110), 1));
        p.drawLine(QPointF(r.left() + 2.5, r.top() + 1.5), QPointF(r.right() - 2.5, r.top() + 1.5));
    } else {
        p.setPen(QPen(QColor(255, 255, 255, danger ? 70 : 170), 1));
        p.drawLine(QPointF(r.left() + 2.5, r.top() + 1.5), QPointF(r.right() - 2.5, r.top() + 1.5));
    }
    p.restore();
}

QImage WinButton(const QImage& clean, int cellX, Win which, State s)
{
    const int k = Scale();
    QImage img = clean.copy(cellX * k, WinCellY * k, 17 * k, 16 * k).convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(k);
    QPainter p(&img);
    const bool danger = which == Win::Close;
    QColor glyph = paper::Slate;
    QPointF offset(0, 0);
    if (s != State::Idle) {
        Tile(p, QRectF(0, 0, 17, 16), s, danger);
        glyph = danger ? QColor(255, 246, 236) : paper::Title;
        if (s == State::Pressed)
            offset = QPointF(0, 1);
    }
    WinGlyph(p, which, glyph, offset);
    return img;
}

// ---- link images -------------------------------------------------------------
enum class Link { Mail, Help };

QImage LinkImage(const QImage& clean, Link which, bool hover)
{
    // They stand on the stretched part of the title strip, which is the same
    // in every column: one column of it is their exact background.
    const int s = Scale();
    QImage img = NewImage(19, 18, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, clean.pixel(180 * s, 8 * s + y));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor c = paper::Slate;
    if (hover) {
        Tile(p, QRectF(0, 0, 19, 18), State::Hover, false);
        c = paper::Title;
    }
    if (which == Link::Mail) {
        p.setPen(QPen(c, 1));
        p.setBrush(hover ? QBrush(QColor(255, 252, 240)) : QBrush(Qt::NoBrush));
        p.drawRect(QRectF(3.5, 4.5, 12, 9));
        QPainterPath flap;
        flap.moveTo(3.8, 4.8);
        flap.lineTo(9.5, 9.6);
        flap.lineTo(15.2, 4.8);
        p.setBrush(Qt::NoBrush);
        p.drawPath(flap);
        if (hover) {
            // A small gold seal on the letter.
            p.setPen(Qt::NoPen);
            p.setBrush(Vermilion);
            p.drawEllipse(QPointF(9.5, 10.2), 1.7, 1.7);
        }
    } else {
        p.setPen(QPen(c, 1.1));
        p.setBrush(hover ? QBrush(QColor(255, 252, 240)) : QBrush(Qt::NoBrush));
        p.drawEllipse(QPointF(9.5, 9), 6.6, 6.6);
        QPainterPath q;
        q.moveTo(7.3, 7.4);
        q.cubicTo(7.3, 5.2, 11.8, 5.2, 11.8, 7.4);
        q.cubicTo(11.8, 8.9, 9.5, 8.9, 9.5, 10.6);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(hover ? gold::Dark.darker(130) : c, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(q);
        p.setPen(Qt::NoPen);
        p.setBrush(hover ? gold::Dark.darker(130) : c);
        p.drawEllipse(QPointF(9.5, 12.6), 0.95, 0.95);
    }
    return img;
}

}  // namespace

QImage PaintSkin(Output& out)
{
    QImage clean = BaseSkin();
    Ornaments(clean);

    // The skin carries the idle glyphs of the window buttons; their hover and
    // pressed pictures are cut from the same place, so they line up exactly.
    QImage skin = clean.copy();
    {
        QPainter p(&skin);
        WinGlyph(p, Win::Min, paper::Slate, QPointF(MinCellX, WinCellY));
        WinGlyph(p, Win::Max, paper::Slate, QPointF(MaxCellX, WinCellY));
        WinGlyph(p, Win::Close, paper::Slate, QPointF(CloseCellX, WinCellY));
    }
    out.Png(skin, QStringLiteral("skin.png"));

    out.Png(WinButton(clean, MinCellX, Win::Min, State::Hover), QStringLiteral("win_min_hover.png"));
    out.Png(WinButton(clean, MinCellX, Win::Min, State::Pressed), QStringLiteral("win_min_pressed.png"));
    out.Png(WinButton(clean, MaxCellX, Win::Max, State::Hover), QStringLiteral("win_max_hover.png"));
    out.Png(WinButton(clean, MaxCellX, Win::Max, State::Pressed), QStringLiteral("win_max_pressed.png"));
    out.Png(WinButton(clean, MaxCellX, Win::Restore, State::Idle), QStringLiteral("win_restore_idle.png"));
    out.Png(WinButton(clean, MaxCellX, Win::Restore, State::Hover), QStringLiteral("win_restore_hover.png"));
    out.Png(WinButton(clean, MaxCellX, Win::Restore, State::Pressed),
            QStringLiteral("win_restore_pressed.png"));
    out.Png(WinButton(clean, CloseCellX, Win::Close, State::Hover), QStringLiteral("win_close_hover.png"));
    out.Png(WinButton(clean, CloseCellX, Win::Close, State::Pressed),
            QStringLiteral("win_close_pressed.png"));

    out.Png(LinkImage(clean, Link::Mail, false), QStringLiteral("link_about_normal.png"));
    out.Png(LinkImage(clean, Link::Mail, true), QStringLiteral("link_about_hover.png"));
    out.Png(LinkImage(clean, Link::Help, false), QStringLiteral("link_help_normal.png"));
    out.Png(LinkImage(clean, Link::Help, true), QStringLiteral("link_help_hover.png"));
    return skin;
}

}  // namespace tamsel::art
