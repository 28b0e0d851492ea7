// The seven buttons of the control bar in their three looks. They are round
// lacquer buttons with a gold rim; the bar beneath them is stretched by a row,
// so they carry their own transparency rather than a copy of the bar.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace tamsel::art {
namespace {

enum class Look { Normal, Hover, Pressed };
enum class Glyph { Play, Stop, First, Prev, Next, Last };

QPainterPath Triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath t;
    t.moveTo(a);
    t.lineTo(b);
    t.lineTo(c);
    t.closeSubpath();
    return t;
}

QPainterPath GlyphPath(Glyph g, double s)
{
    const double c = s / 2;
    QPainterPath path;
    switch (g) {
    case Glyph::Play:  // optically centred: a triangle's weight lies to its left
        path = Triangle({c - 4.2, c - 6.8}, {c - 4.2, c + 6.8}, {c + 7.2, c});
        break;
    case Glyph::Stop:
        path.addRoundedRect(QRectF(c - 5.5, c - 5.5, 11, 11), 1.6, 1.6);
        break;
    case Glyph::First:
        path.addRect(QRectF(c - 5, c - 4.5, 2, 9));
        path.addPath(Triangle({c + 4.5, c - 4.5}, {c + 4.5, c + 4.5}, {c - 2.5, c}));
        break;
    case Glyph::Prev:
        path = Triangle({c + 3, c - 5}, {c + 3, c + 5}, {c - 4.2, c});
        break;
    case Glyph::Next:
        path = Triangle({c - 3, c - 5}, {c - 3, c + 5}, {c + 4.2, c});
        break;
    case Glyph::Last:
        path.addRect(QRectF(c + 3, c - 4.5, 2, 9));
        path.addPath(Triangle({c - 4.5, c - 4.5}, {c - 4.5, c + 4.5}, {c + 2.5, c}));
        break;
    }
    return path;
}

QImage RoundButton(int size, Glyph glyph, Look look)
{
    QImage img = NewImage(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double c = size / 2.0;
    const double r = c - 0.6;

    // Gold rim, lit from the upper left.
    QLinearGradient rim(QPointF(c - r, c - r), QPointF(c + r, c + r));
    rim.setColorAt(0, look == Look::Pressed ? gold::Base : gold::Pale);
    rim.setColorAt(0.5, look == Look::Pressed ? gold::Dark : gold::Base);
    rim.setColorAt(1, look == Look::Pressed ? gold::Deep : gold::Dark);
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(QPointF(c, c), r, r);

    // Lacquer face.
    const double fr = r - (size >= 30 ? 1.8 : 1.5);
    QRadialGradient face(QPointF(c, c - fr * 0.55), fr * 1.5);
    switch (look) {
    case Look::Normal:
        face.setColorAt(0, QColor(64, 88, 128));
        face.setColorAt(1, QColor(17, 26, 41));
        break;
    case Look::Hover:
        face.setColorAt(0, QColor(86, 116, 164));
        face.setColorAt(1, QColor(27, 41, 64));
        break;
    case Look::Pressed:
        face = QRadialGradient(QPointF(c, c + fr * 0.5), fr * 1.5);
        face.setColorAt(0, QColor(34, 49, 74));
        face.setColorAt(1, QColor(8, 12, 20));
        break;
    }
    p.setBrush(face);
    p.drawEllipse(QPointF(c, c), fr, fr);

    if (look != Look::Pressed) {
        // A soft sheen on the upper half.
        QLinearGradient sheen(QPointF(c, c - fr), QPointF(c, c));
        sheen.setColorAt(0, QColor(255, 255, 255, look == Look::Hover ? 70 : 48));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        p.setBrush(sheen);
        p.drawEllipse(QRectF(c - fr * 0.78, c - fr * 0.95, fr * 1.56, fr * 1.05));
    } else {
        // The face sits lower: its top edge falls into shadow.
        QPainterPath shade;
        shade.addEllipse(QPointF(c, c), fr, fr);
        QPainterPath lit;
        lit.addEllipse(QPointF(c, c + 1.6), fr, fr);
        p.setBrush(QColor(0, 0, 0, 110));
        p.drawPath(shade.subtracted(lit));
    }

    const QPointF shift = look == Look::Pressed ? QPointF(0.4, 0.8) : QPointF(0, 0);
    const QPainterPath g = GlyphPath(glyph, size).translated(shift);
    p.setBrush(QColor(0, 0, 0, look == Look::Pressed ? 60 : 110));
    p.drawPath(g.translated(0, 1));
    QLinearGradient gc(QPointF(0, c - 7), QPointF(0, c + 7));
    switch (look) {
    case Look::Normal:
        gc.setColorAt(0, QColor(255, 246, 220));
        gc.setColorAt(1, gold::Light);
        break;
    case Look::Hover:
        gc.setColorAt(0, QColor(255, 255, 246));
        gc.setColorAt(1, gold::Pale);
        break;
    case Look::Pressed:
        gc.setColorAt(0, gold::Light);
        gc.setColorAt(1, gold::Base);
        break;
    }
    p.setBrush(gc);
    p.drawPath(g);
    return img;
}

// The thumb is a gold bead threaded on the slot.
QImage Bead(Look look)
{
    constexpr int size = 14;
    QImage img = NewImage(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double c = size / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QPointF(c, c + 0.8), 6.2, 6.2);
    QRadialGradient g(QPointF(c - 1.8, c - 2.4), 8.5, QPointF(c - 2.2, c - 2.8));
    switch (look) {
    case Look::Normal:
        g.setColorAt(0, QColor(255, 248, 222));
        g.setColorAt(0.35, gold::Light);
        g.setColorAt(0.75, gold::Base);
        g.setColorAt(1, gold::Deep);
        break;
    case Look::Hover:
        g.setColorAt(0, QColor(255, 255, 245));
        g.setColorAt(0.4, gold::Pale);
        g.setColorAt(0.8, gold::Light);
        g.setColorAt(1, gold::Dark);
        break;
    case Look::Pressed:
        // Held: the bead takes on jade, the album's second accent.
        g.setColorAt(0, QColor(214, 244, 230));
        g.setColorAt(0.4, Jade.lighter(120));
        g.setColorAt(0.8, Jade.darker(120));
        g.setColorAt(1, Jade.darker(220));
        break;
    }
    p.setBrush(g);
    p.drawEllipse(QPointF(c, c), 6.2, 6.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 28, 10, 120), 0.8));
    p.drawEllipse(QPointF(c, c), 6.0, 6.0);
    return img;
}

}  // namespace

void PaintBarButtons(Output& out)
{
    struct Kind { const char* name; int size; Glyph glyph; };
    static const Kind kinds[] = {
        {"play", 30, Glyph::Play}, {"first", 20, Glyph::First}, {"prev", 20, Glyph::Prev},
        {"next", 20, Glyph::Next}, {"last", 20, Glyph::Last},  {"stop", 30, Glyph::Stop},
    };
    static const std::pair<const char*, Look> looks[] = {
        {"normal", Look::Normal}, {"hover", Look::Hover}, {"pressed", Look::Pressed}};
    for (const Kind& s : kinds)
        for (const auto& [lookName, look] : looks)
            out.Png(RoundButton(s.size, s.glyph, look),
                    QStringLiteral("btn_%1_%2.png").arg(QLatin1String(s.name)).arg(QLatin1String(lookName)));
    for (const auto& [lookName, look] : looks)
        out.Png(Bead(look), QStringLiteral("btn_thumb_%1.png").arg(QLatin1String(lookName)));
}

}  // namespace tamsel::art
