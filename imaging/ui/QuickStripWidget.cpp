#include "imaging/ui/QuickStripWidget.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace tamsel {

QuickStripWidget::QuickStripWidget(QuickStrip& strip, const QString& pictureDir,
                                   Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), strip_(strip), orientation_(orientation)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    for (int k = 0; k < QuickStrip::kButtons; ++k)
        for (int l = 0; l < 3; ++l) {
            const auto look = QuickStrip::Look(l);
            QPixmap pm(pictureDir + "/" + PictureName(k, look));
            if (pm.isNull()) {
                allFound_ = false;
                pm = Fallback(k, look);
            }
            pictures_[size_t(k)][size_t(l)] = pm;
        }
    strip_.onLooksChanged = [this] { update(); };
    setFixedSize(sizeHint());
}

QuickStripWidget::~QuickStripWidget() { strip_.onLooksChanged = nullptr; }

QString QuickStripWidget::PictureName(int k, QuickStrip::Look look)
{
    static const char* const kKinds[QuickStrip::kButtons] = {
        "loop", "rotleft", "rotright", "colour", "grey", "rectframe", "ovalframe", "original"};
    static const char* const kLooks[3] = {"normal", "hover", "pressed"};
    if (k < 0 || k >= QuickStrip::kButtons)
        return {};
    return QStringLiteral("quick_%1_%2.png")
        .arg(QLatin1String(kKinds[k]), QLatin1String(kLooks[int(look)]));
}

QPixmap QuickStripWidget::Fallback(int k, QuickStrip::Look look) const
{
    // A plain tile with the button's first character keeps the strip usable
    // in an installation that lacks its pictures.
    QPixmap pm(kSize, kSize);
    pm.fill(look == QuickStrip::Look::Pressed ? QColor(60, 60, 60)
            : look == QuickStrip::Look::Hover ? QColor(110, 110, 110)
                                              : QColor(85, 85, 85));
    QPainter p(&pm);
    p.setPen(look == QuickStrip::Look::Pressed ? QColor(255, 220, 120) : Qt::white);
    p.drawText(pm.rect(), Qt::AlignCenter, QuickStrip::Tooltip(k).left(1));
    return pm;
}

QSize QuickStripWidget::sizeHint() const
{
    return orientation_ == Qt::Horizontal ? QSize(kSize * QuickStrip::kButtons, kSize)
                                          : QSize(kSize, kSize * QuickStrip::kButtons);
}

QRect QuickStripWidget::ButtonRect(int k) const
{
    return orientation_ == Qt::Horizontal ? QRect(k * kSize, 0, kSize, kSize)
                                          : QRect(0, k * kSize, kSize, kSize);
}

int QuickStripWidget::ButtonAt(const QPoint& p) const
{
    for (int k = 0; k < QuickStrip::kButtons; ++k)
        if (ButtonRect(k).contains(p))
            return k;
    return -1;
}

void QuickStripWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int k = 0; k < QuickStrip::kButtons; ++k)
        p.drawPixmap(ButtonRect(k), pictures_[size_t(k)][size_t(strip_.LookOf(k))]);
}

void QuickStripWidget::mouseMoveEvent(QMouseEvent* e)
{
    const int k = ButtonAt(e->position().toPoint());
    if (k >= 0)
        strip_.Hover(k);
    else
        strip_.LeaveAll();
}

void QuickStripWidget::mouseReleaseEvent(QMouseEvent* e)
{
    // Any mouse button; only a release over a button counts as its click.
    const int k = ButtonAt(e->position().toPoint());
    if (k >= 0)
        strip_.Click(k);
}

void QuickStripWidget::leaveEvent(QEvent*) { strip_.LeaveAll(); }

bool QuickStripWidget::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int k = ButtonAt(help->pos());
        if (k >= 0)
            QToolTip::showText(help->globalPos(), QuickStrip::Tooltip(k), this, ButtonRect(k));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}

}  // namespace tamsel
