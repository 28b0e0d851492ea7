// A mock main window put together from the written pictures exactly where the
// window layout puts them, so the skin can be judged as the user will see it.
#include "art/Art.h"

#include <QDir>
#include <QPainter>
#include <QRegion>
#include <cmath>

namespace tamsel::art {
namespace {

QImage Load(const QString& dir, const QString& name)
{
    QImage img(QDir(dir).filePath(name));
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// One skin piece: cut, stretched when the sizes differ, then drawn.
void Piece(QPainter& p, const QImage& skin, QRect dst, QRect src)
{
    QImage part = skin.copy(src);
    if (part.size() != dst.size())
        part = part.scaled(dst.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(dst.topLeft(), part);
}

QRegion WindowShape(int w, int h)
{
    QRegion r(0, 26, w, h - 52);
    r += QRegion(23, 0, w - 46, h);
    r += QRegion(23, 52, w - 23, h - 58);
    r += QRegion(52, 52, w - 58, h - 52);
    r += QRegion(0, 0, 52, 52, QRegion::Ellipse);
    r += QRegion(w - 50, 0, 51, 52, QRegion::Ellipse);
    r += QRegion(0, h - 52, 52, 52, QRegion::Ellipse);
    r += QRegion(w - 9, h - 9, 9, 9, QRegion::Ellipse);
    return r;
}

}  // namespace

bool WritePreview(const QString& data, const QString& path, int W, int H, int frameType)
{
    const QImage skin = Load(data, QStringLiteral("skin.png"));
    if (skin.isNull())
        return false;
    const int SW = skin.width(), SH = skin.height();
    QImage win(W, H, QImage::Format_ARGB32_Premultiplied);
    win.fill(QColor(250, 250, 250));
    QPainter p(&win);
    Piece(p, skin, QRect(0, 0, 142, 56), QRect(0, 0, 142, 56));
    Piece(p, skin, QRect(142, 0, W - 250, 56), QRect(150, 0, 60, 56));
    Piece(p, skin, QRect(W - SW + 229, 0, SW - 228, 56), QRect(228, 0, SW - 228, 56));
    Piece(p, skin, QRect(0, 56, 10, H), QRect(0, 56, 10, 10));
    Piece(p, skin, QRect(W - 9, 56, 10, H), QRect(SW - 10, 56, 10, 8));
    Piece(p, skin, QRect(0, H - 66, 126, 67), QRect(0, SH - 66, 126, 66));
    Piece(p, skin, QRect(126, H - 66, W - 200, 67), QRect(126, SH - 66, 80, 66));
    Piece(p, skin, QRect(W - SW + 207, H - 66, SW - 206, 67), QRect(206, SH - 66, SW - 206, 66));

    // The photo area with the cover, and the frame mask laid over it.
    const QRect area(9, 55, W - 18, H - 122);
    QImage face = Load(data, QStringLiteral("face.jpg"));
    if (!face.isNull())
        p.drawImage(area, face.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation),
                    QRect(QPoint(0, 0), area.size()));
    if (frameType >= 2) {
        QImage mask = Load(data, frameType == 2 ? QStringLiteral("mask1.jpg") : QStringLiteral("mask2.jpg"))
                          .scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        {
            QPainter m(&mask);
            m.setPen(Qt::NoPen);
            m.setBrush(Qt::black);
            const int w = mask.width(), h = mask.height();
            const QRect hole(QPoint(std::lround(w * 0.13), std::lround(h * 0.132)),
                             QPoint(std::lround(w * 0.867) - 1, std::lround(h * 0.865) - 1));
            if (frameType == 2) m.drawRect(hole);
            else m.drawEllipse(hole);
        }
        for (int y = 0; y < mask.height(); ++y)
            for (int x = 0; x < mask.width(); ++x)
                if ((mask.pixel(x, y) & 0xffffff) != 0)
                    win.setPixel(area.x() + x, area.y() + y, mask.pixel(x, y) | 0xff000000);
    }

    const int T = (W - 126) - (SW - 206);
    const QFont windowFont = Ming(14);
    p.drawImage(20, 8, Load(data, QStringLiteral("icon16.png")));
    p.setFont(windowFont);
    p.setPen(paper::Title);
    p.drawText(QPoint(36, 9 + 12), QStringLiteral(" 澄影集"));
    const QStringList menus = {QStringLiteral("照片"), QStringLiteral("修饰"), QStringLiteral("设置"),
                               QStringLiteral("输出"), QStringLiteral("退出")};
    const int pitch = std::max(30, ((W - 200) - 5 * 24) / 5);
    p.setFont(Ming(12));
    for (int i = 0; i < 5; ++i) {
        p.setPen(i == 0 ? QColor(0, 0, 0) : QColor(128, 128, 128));
        p.drawText(QPoint(136 + i * pitch, 10 + 11), menus[i]);
    }
    p.setFont(Ming(12));
    p.setPen(paper::InfoText);
    p.drawText(QPoint(20, 36 + 11), QStringLiteral(" 先生/女士:感谢使用澄影集,请您多提宝贵意见！"));
    const QString pos = QStringLiteral(" 位置 4 / 10");
    const int posW = p.fontMetrics().horizontalAdvance(pos);
    if (W > 560)
        p.drawText(QPoint(W - posW - 15 - 70, 36 + 11), pos);
    p.drawImage(W - 140, 8, Load(data, QStringLiteral("link_about_normal.png")));
    p.drawImage(W - 122, 8, Load(data, QStringLiteral("link_help_hover.png")));
    p.drawImage(W - 54, 7, Load(data, QStringLiteral("win_max_hover.png")));
    p.drawImage(W - 79, 21, Load(data, QStringLiteral("badge_4star.png")));

    p.drawImage(17, H - 49, Load(data, QStringLiteral("btn_play_normal.png")));
    p.drawImage(60, H - 44, Load(data, QStringLiteral("btn_first_normal.png")));
    p.drawImage(84, H - 44, Load(data, QStringLiteral("btn_prev_hover.png")));
    p.drawImage(W - 109, H - 44, Load(data, QStringLiteral("btn_next_normal.png")));
    p.drawImage(W - 85, H - 44, Load(data, QStringLiteral("btn_last_pressed.png")));
    p.drawImage(std::lround(118 + T * 3 / 9.0), H - 41, Load(data, QStringLiteral("btn_thumb_normal.png")));

    static const char* quick[] = {"loop", "rotleft", "rotright", "colour", "grey", "rectframe", "ovalframe", "original"};
    static const int steps[] = {0, 32, 16, 32, 16, 16, 16, 32};
    int x = 126 + T / 2 - 88;
    for (int k = 0; k < 8; ++k) {
        x += steps[k];
        const char* state = (k == frameType + 3) ? "pressed" : (k == 1 ? "hover" : "normal");
        QImage icon = Load(data, QStringLiteral("quick_%1_%2.png").arg(quick[k]).arg(state));
        p.drawImage(x, H - 64, icon.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    p.drawImage(W - 46, H - 52, Load(data, QStringLiteral("logo_29.png")));
    p.drawImage(W - 26, H - 26, Load(data, QStringLiteral("grip.png")));
    p.end();

    // Cut to the window's outline and set on a plain desktop.
    QImage shot(W + 40, H + 40, QImage::Format_ARGB32_Premultiplied);
    shot.fill(QColor(120, 124, 130));
    QPainter s(&shot);
    s.setClipRegion(WindowShape(W, H).translated(20, 20));
    s.drawImage(20, 20, win);
    s.end();
    return shot.save(path);
}

}  // namespace tamsel::art
