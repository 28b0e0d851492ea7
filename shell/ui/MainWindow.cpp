#include "shell/ui/MainWindow.h"

#include "app/AlbumCore.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace tamsel {

MainWindow::MainWindow(AlbumCore& core, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), core_(core), info_(kGreeting)
{
    setWindowTitle(QStringLiteral("澄影集"));
    setFont(WindowFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MainWindow::SizeAndCentre()
{
    const int w = core_.state.ShowWidth + 18;
    const int h = core_.state.ShowHeight + 122;
    resize(w, h);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - w) / 2, g.y() + (g.height() - h) / 2);
    }
}

void MainWindow::ShowInfo(const QString& text, bool beep)
{
    info_ = text;
    if (beep)
        QApplication::beep();
    update();
}

void MainWindow::ShowCurrent()
{
    const QString file = core_.state.CoverShowing ? core_.state.CoverFile
                                                  : core_.PhotoPath(core_.state.CurPhoto);
    QImageReader reader(file);
    reader.setAutoTransform(true);
    picture_ = reader.read();
    update();
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x33, 0x3a, 0x44));
    const QRect area(9, 55, width() - 18, height() - 122);
    p.fillRect(area, Qt::black);
    if (!picture_.isNull()) {
        QSize s = picture_.size().scaled(area.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), s);
        target.moveCenter(area.center());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(target, picture_);
    }
    p.setPen(QColor(0xe8, 0xe0, 0xc8));
    p.drawText(QRect(9, 8, width() - 18, 40), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("澄影集"));
    p.drawText(QRect(9, height() - 60, width() - 18, 50), Qt::AlignVCenter | Qt::AlignLeft, info_);
}

void MainWindow::mousePressEvent(QMouseEvent* e)
{
    // A frameless window is moved by dragging it; the system does the moving.
    if (e->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    Q_EMIT closing();
    e->accept();
}

}  // namespace tamsel
