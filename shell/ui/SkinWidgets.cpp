#include "shell/ui/SkinWidgets.h"

#include "platform/Fonts.h"
#include "shell/InfoLine.h"

#include <QMouseEvent>
#include <QPainter>

namespace tamsel {

PictureElement::PictureElement(QWidget* parent, QSize size) : QWidget(parent)
{
    setMouseTracking(true);
    if (size.isValid())
        resize(size);
}

void PictureElement::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void PictureElement::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter p(this);
    // Pictures drawn at twice the size come down smoothly on a plain screen.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(0, 0, picture_);
}

void PictureElement::mousePressEvent(QMouseEvent* e) { Q_EMIT pressed(e); }

void PictureElement::mouseMoveEvent(QMouseEvent* e) { Q_EMIT moved(e); }

void PictureElement::mouseReleaseEvent(QMouseEvent* e)
{
    Q_EMIT released(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

void PictureElement::mouseDoubleClickEvent(QMouseEvent* e) { Q_EMIT doubleClicked(e); }

SkinLabel::SkinLabel(QWidget* parent, const QString& text) : QLabel(parent)
{
    setFont(WindowFont());
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    SetCaption(text);
}

void SkinLabel::SetCaption(const QString& text)
{
    // Every skin label is one line; file names and messages naming files
    // come here as they are.
    setText(OneLine(text));
    adjustSize();
}

void SkinLabel::SetTextColor(const QColor& c)
{
    // Only the enabled look: a disabled label keeps the system's disabled style.
    QPalette pal = palette();
    pal.setColor(QPalette::Active, QPalette::WindowText, c);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, c);
    setPalette(pal);
}

void SkinLabel::SetBackColor(const QColor& c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
    setAutoFillBackground(true);
}

void SkinLabel::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton &&
                       rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click)
        Q_EMIT clicked();
}

void SkinLabel::mouseMoveEvent(QMouseEvent* e) { Q_EMIT moved(e); }

}  // namespace tamsel
