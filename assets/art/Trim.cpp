// The small pieces that stand on the skin: the award badge and the corner
// grip; and the dialogs' frame with its close button.
#include "art/Art.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace tamsel::art {
namespace {

QPainterPath Star(QPointF c, double outer, double inner)
{
    QPainterPath s;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0) s.moveTo(pt); else s.lineTo(pt);
    }
    s.closeSubpath();
    return s;
}

// A lacquer plaque pinned over the edge of the title paper: a red seal and
// four gold stars. Its top rows stay clear: the window buttons reach into them.
QImage Badge()
{
    QImage img = NewImage(70, 35);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF plaque(2.5, 4.5, 65, 27);

    QPainterPath shadow;
    shadow.addRoundedRect(plaque.translated(0.6, 1.4), 4, 4);
    p.fillPath(shadow, QColor(0, 0, 0, 70));
    QLinearGradient fill(plaque.topLeft(), plaque.bottomLeft());
    fill.setColorAt(0, QColor(52, 72, 106));
    fill.setColorAt(0.5, ink::Band2);
    fill.setColorAt(1, ink::Inner);
    p.setPen(QPen(gold::Base, 1.2));
    p.setBrush(fill);
    p.drawRoundedRect(plaque, 4, 4);
    p.setPen(QPen(WithAlpha(gold::Dark, 200), 0.7));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(plaque.adjusted(2.2, 2.2, -2.2, -2.2), 2.4, 2.4);

    // The seal, slightly uneven like a real stamp.
    const QRectF seal(7.5, 9.5, 18, 18);
    QPainterPath sealPath;
    sealPath.addRoundedRect(seal, 2.2, 2.2);
    p.fillPath(sealPath, Vermilion);
    p.setPen(QPen(QColor(255, 226, 200, 160), 0.6));
    p.drawRoundedRect(seal.adjusted(1.4, 1.4, -1.4, -1.4), 1.2, 1.2);
    p.setFont(Kai(15));
    p.setPen(QColor(255, 240, 222));
    p.drawText(seal.translated(0, 0.5), Qt::AlignCenter, QStringLiteral("荐"));

    // Four stars: the download site's highest praise.
    for (int i = 0; i < 4; ++i) {
        const QPainterPath s = Star(QPointF(33.5 + 9 * i, 18.2), 4.8, 2.0);
        p.fillPath(s.translated(0, 0.8), QColor(0, 0, 0, 100));
        QLinearGradient g(QPointF(0, 13.4), QPointF(0, 23));
        g.setColorAt(0, gold::Pale);
        g.setColorAt(1, gold::Base);
        p.fillPath(s, g);
    }
    return img;
}

// Six engraved gold studs in the corner: the place to take hold of to resize.
QImage Grip()
{
    QImage img = NewImage(27, 27);
    QPainter p(&img);
    for (int a = 0; a < 3; ++a)
        for (int b = 0; a + b < 3; ++b) {
            const int x = 21 - 4 * a, y = 21 - 4 * b;
            p.fillRect(x + 1, y + 1, 2, 2, QColor(0, 0, 0, 170));
            p.fillRect(x, y, 2, 2, gold::Base);
            p.fillRect(x, y, 1, 1, gold::Pale);
        }
    return img;
}

enum class Look { Up, Move, Down };

QImage AboutClose(Look look)
{
    QImage img = NewImage(17, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(8.5, 8);
    QRadialGradient g(c - QPointF(0, 3), 9);
    QColor cross;
    switch (look) {
    case Look::Up:
        g.setColorAt(0, QColor(66, 88, 126));
        g.setColorAt(1, ink::Band3);
        cross = gold::Pale;
        break;
    case Look::Move:
        g.setColorAt(0, QColor(214, 96, 76));
        g.setColorAt(1, Vermilion);
        cross = QColor(255, 248, 240);
        break;
    case Look::Down:
        g.setColorAt(0, QColor(150, 48, 36));
        g.setColorAt(1, QColor(110, 32, 24));
        cross = gold::Light;
        break;
    }
    p.setPen(QPen(look == Look::Up ? gold::Base : QColor(120, 36, 26), 1));
    p.setBrush(g);
    p.drawEllipse(c, 6.9, 6.9);
    const QPointF s = look == Look::Down ? QPointF(0.3, 0.7) : QPointF(0, 0);
    p.setPen(QPen(cross, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + s + QPointF(-2.8, -2.8), c + s + QPointF(2.8, 2.8));
    p.drawLine(c + s + QPointF(2.8, -2.8), c + s + QPointF(-2.8, 2.8));
    return img;
}

// A frame for the album's rounded dialogs (settings, about, batch tools), cut
// in nine: the corners and edges as they stand, the middle stretched. The
// moulding and gold line are the main window's; the title band is paper.
constexpr int DlgW = 160, DlgH = 120, DlgRadius = 24;

double DialogInset(double px, double py)
{
    const double r = DlgRadius;
    const double cx = px < r ? r : px > DlgW - r ? DlgW - r : px;
    const double cy = py < r ? r : py > DlgH - r ? DlgH - r : py;
    if (cx != px && cy != py)
        return r - std::hypot(px - cx, py - cy);
    return std::min({px, DlgW - px, py, DlgH - py});
}

QColor DialogBase(double px, double py)
{
    const double d = DialogInset(px, py);
    const int row = int(py);
    if (d < 0) return ink::Rim;
    if (d < 1) return ink::Rim;
    if (d < 2) return ink::BandHi;
    if (d < 3) return ink::Band1;
    if (d < 4) return ink::Band2;
    if (d < 5) return ink::Band3;
    if (d < 6) return gold::Base;
    if (row <= 29) return Mix(paper::Top, paper::Bottom, (row - 6) / 23.0);
    if (row == 30) return gold::Base;
    if (row == 31) return QColor(226, 216, 192);      // the title band's shadow
    return paper::Top;
}

QImage DialogFrame()
{
    QImage img = NewImage(DlgW, DlgH, QImage::Format_RGB32);
    const double s = Scale();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) {
                    const QColor c = DialogBase((x + (i + 0.5) / 4) / s, (y + (j + 0.5) / 4) / s);
                    r += c.red(); g += c.green(); b += c.blue();
                }
            img.setPixelColor(x, y, QColor(r / 16, g / 16, b / 16));
        }
    return img;
}

}  // namespace

void PaintTrim(Output& out)
{
    out.Png(DialogFrame(), QStringLiteral("dialog_frame.png"));
    out.Png(Badge(), QStringLiteral("badge_4star.png"));
    out.Png(Grip(), QStringLiteral("grip.png"));
    out.Png(AboutClose(Look::Up), QStringLiteral("about_close_normal.png"));
    out.Png(AboutClose(Look::Move), QStringLiteral("about_close_hover.png"));
    out.Png(AboutClose(Look::Down), QStringLiteral("about_close_pressed.png"));
}

}  // namespace tamsel::art
