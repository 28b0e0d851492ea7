// The eight quick-effect buttons, 32 x 32 each in three looks. The window
// shows them in 16 x 16 places, so every stroke is drawn on a 16-unit grid
// doubled: halving the picture (or showing it at device pixel ratio 2) keeps
// the lines on whole pixels and crisp.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>

namespace tamsel::art {
namespace {

enum class Look { Normal, Hover, Pressed };
enum class Kind { Loop, RotLeft, RotRight, Colour, Grey, RectFrame, OvalFrame, Original };

// Arrow head as a filled triangle pointing along (dx, dy) from its tip.
void Head(QPainter& p, QPointF tip, QPointF dir, QColor c)
{
    const QPointF n(-dir.y(), dir.x());
    QPainterPath t;
    t.moveTo(tip + dir * 0.6);
    t.lineTo(tip - dir * 2.2 + n * 2.1);
    t.lineTo(tip - dir * 2.2 - n * 2.1);
    t.closeSubpath();
    p.fillPath(t, c);
}

// A small landscape photograph: sky, sun and hill, in colour or in greys.
void PhotoCard(QPainter& p, QColor line, bool colour)
{
    const QRectF card(3.5, 5.5, 9, 7);
    const QColor sky = colour ? QColor(104, 160, 214) : QColor(150, 150, 150);
    const QColor sun = colour ? QColor(238, 118, 70) : QColor(232, 232, 232);
    const QColor hill = colour ? QColor(84, 170, 102) : QColor(84, 84, 84);
    p.fillRect(card, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(10, 7.8), 1.3, 1.3);
    QPainterPath h;
    h.moveTo(3.5, 12.5);
    h.lineTo(3.5, 10.5);
    h.quadTo(6, 8, 8.5, 10.2);
    h.quadTo(10.5, 9.2, 12.5, 10.8);
    h.lineTo(12.5, 12.5);
    h.closeSubpath();
    p.fillPath(h, hill);
    p.setPen(QPen(line, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(card);
}

void DrawGlyph(QPainter& p, Kind k, QColor c)
{
    QPen pen(c, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (k) {
    case Kind::Loop: {
        QPainterPath top;
        top.moveTo(3.5, 10.5);
        top.lineTo(3.5, 8.5);
        top.quadTo(3.5, 6.5, 5.5, 6.5);
        top.lineTo(10.5, 6.5);
        p.drawPath(top);
        Head(p, QPointF(12, 6.5), QPointF(1, 0), c);
        QPainterPath bottom;
        bottom.moveTo(12.5, 7.5);
        bottom.lineTo(12.5, 9.5);
        bottom.quadTo(12.5, 11.5, 10.5, 11.5);
        bottom.lineTo(5.5, 11.5);
        p.drawPath(bottom);
        Head(p, QPointF(4, 11.5), QPointF(-1, 0), c);
        break;
    }
    case Kind::RotLeft:
    case Kind::RotRight: {
        const bool left = k == Kind::RotLeft;
        auto X = [&](double x) { return left ? x : 16 - x; };  // mirrored about x = 8
        p.drawRect(QRectF(left ? 7.5 : 3.5, 8.5, 5, 5));
        QPainterPath arc;
        arc.moveTo(X(11.5), 6);
        arc.lineTo(X(11.5), 5.5);
        arc.lineTo(X(7), 5.5);
        arc.quadTo(X(4.5), 5.5, X(4.5), 8.5);
        arc.lineTo(X(4.5), 9);
        p.drawPath(arc);
        Head(p, QPointF(X(4.5), 11), QPointF(0, 1), c);
        break;
    }
    case Kind::Colour:
    case Kind::Grey:
        PhotoCard(p, c, k == Kind::Colour);
        break;
    // Both frames: the moulding outside, the opening cut square or oval.
    case Kind::RectFrame:
        p.drawRect(QRectF(3.5, 4.5, 9, 9));
        p.drawRect(QRectF(5.5, 6.5, 5, 5));
        break;
    case Kind::OvalFrame:
        p.drawRect(QRectF(3.5, 4.5, 9, 9));
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(QRectF(5, 6, 6, 6));
        break;
    case Kind::Original:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(c, 1));
        p.drawEllipse(QPointF(7, 8.5), 3.5, 3.5);
        p.setPen(QPen(c, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9.7, 11.2), QPointF(12.6, 14.1));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRect(QRectF(6.5, 8, 1, 1));      // one pixel: "as it is"
        break;
    }
}

QImage Icon(Kind k, Look look)
{
    QImage img = NewImage(32, 32);
    QPainter p(&img);
    p.scale(2, 2);
    // The places hang just under the gold rail of the bar: the top two rows
    // (in 16-pixel units) stay clear so the rail shows through.
    const QRectF tile(1, 2, 14, 14);
    QColor glyph = ink::Glyph;
    if (look != Look::Normal) {
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(tile.topLeft(), tile.bottomLeft());
        QColor edge;
        if (look == Look::Hover) {
            g.setColorAt(0, QColor(66, 88, 126));
            g.setColorAt(1, QColor(38, 54, 82));
            edge = QColor(110, 136, 178);
            glyph = QColor(255, 247, 224);
        } else {
            g.setColorAt(0, gold::Light);
            g.setColorAt(1, gold::Base);
            edge = gold::Dark;
            glyph = QColor(24, 34, 52);
        }
        p.setPen(QPen(edge, 0.5));
        p.setBrush(g);
        p.drawRoundedRect(tile.adjusted(0.25, 0.25, -0.25, -0.25), 2.5, 2.5);
        if (look == Look::Pressed) {
            p.setPen(QPen(WithAlpha(gold::Deep, 150), 0.5));
            p.drawLine(QPointF(2.5, 2.75), QPointF(13.5, 2.75));
        }
        p.setRenderHint(QPainter::Antialiasing, false);
    } else {
        // A faint shadow lifts the idle glyph off the lacquer.
        p.save();
        p.translate(0, 0.5);
        DrawGlyph(p, k, QColor(0, 0, 0, 120));
        p.restore();
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    DrawGlyph(p, k, glyph);
    return img;
}

}  // namespace

void PaintQuickIcons(Output& out)
{
    static const std::pair<const char*, Kind> kinds[] = {
        {"loop", Kind::Loop},     {"rotleft", Kind::RotLeft},     {"rotright", Kind::RotRight},
        {"colour", Kind::Colour}, {"grey", Kind::Grey},           {"rectframe", Kind::RectFrame},
        {"ovalframe", Kind::OvalFrame}, {"original", Kind::Original},
    };
    static const std::pair<const char*, Look> looks[] = {
        {"normal", Look::Normal}, {"hover", Look::Hover}, {"pressed", Look::Pressed}};
    for (const auto& [kindName, kind] : kinds)
        for (const auto& [lookName, look] : looks)
            out.Png(Icon(kind, look),
                    QStringLiteral("quick_%1_%2.png").arg(QLatin1String(kindName)).arg(QLatin1String(lookName)));
}

}  // namespace tamsel::art
