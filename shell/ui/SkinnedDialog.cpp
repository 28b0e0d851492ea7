#include "shell/ui/SkinnedDialog.h"

#include "platform/Fonts.h"
#include "platform/Paths.h"
#include "shell/ui/FormShape.h"
#include "shell/ui/SkinWidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tamsel {
namespace {

// The frame picture's nine pieces: corners that stand as they are, edges and
// middle that stretch.
constexpr int kLeft = 26, kRight = 26, kTop = 34, kBottom = 26;
constexpr int kTitleTop = 6, kTitleHeight = 24;
const QColor kBody(247, 242, 229);
const QColor kTitleInk(34, 50, 74);

}  // namespace

SkinnedDialog::SkinnedDialog(const AppPaths& paths, const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), title_(title)
{
    setModal(true);
    setWindowTitle(title);
    setFont(WindowFont());
    setMouseTracking(true);
    const auto load = [&paths](const char* name) {
        return QPixmap(paths.InProgramDir(QString::fromLatin1(name)));
    };
    frame_ = load("dialog_frame.png");
    closeUp_ = load("about_close_normal.png");
    closeMove_ = load("about_close_hover.png");
    closeDown_ = load("about_close_pressed.png");

    close_ = new PictureElement(this, QSize(17, 16));
    close_->SetPicture(closeUp_);
    close_->setToolTip(QStringLiteral("关闭"));
    connect(close_, &PictureElement::moved, this, [this] { close_->SetPicture(closeMove_); });
    connect(close_, &PictureElement::pressed, this, [this] { close_->SetPicture(closeDown_); });
    connect(close_, &PictureElement::released, this, [this] { close_->SetPicture(closeUp_); });
    connect(close_, &PictureElement::clicked, this, &QDialog::reject);
}

QRect SkinnedDialog::BodyRect() const
{
    return QRect(kLeft / 2, kTop, width() - kLeft / 2 - kRight / 2, height() - kTop - kBottom / 2);
}

void SkinnedDialog::resizeEvent(QResizeEvent*)
{
    close_->move(width() - 26 - close_->width() + 8, kTitleTop + (kTitleHeight - 16) / 2);
    SetFormRegion(*this, false);
}

void SkinnedDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBody);
    if (!frame_.isNull()) {
        const int fw = frame_.width(), fh = frame_.height();
        const int W = width(), H = height();
        const int xs[] = {0, kLeft, fw - kRight, fw};
        const int ys[] = {0, kTop, fh - kBottom, fh};
        const int xd[] = {0, kLeft, W - kRight, W};
        const int yd[] = {0, kTop, H - kBottom, H};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawPixmap(QRect(xd[c], yd[r], xd[c + 1] - xd[c], yd[r + 1] - yd[r]), frame_,
                             QRect(xs[c], ys[r], xs[c + 1] - xs[c], ys[r + 1] - ys[r]));
    }
    p.setPen(kTitleInk);
    p.drawText(QRect(kLeft, kTitleTop, width() - 2 * kLeft, kTitleHeight),
               Qt::AlignVCenter | Qt::AlignLeft, title_);
}

void SkinnedDialog::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || e->position().y() >= kTop)
        return;
    // The window system moves the dialog where it can; otherwise we do.
    dragging_ = !(windowHandle() && windowHandle()->startSystemMove());
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void SkinnedDialog::mouseMoveEvent(QMouseEvent* e)
{
    // The bare background clears the close picture's hover look.
    close_->SetPicture(closeUp_);
    if (dragging_ && (e->buttons() & Qt::LeftButton))
        move(e->globalPosition().toPoint() - dragOffset_);
}

void SkinnedDialog::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

}  // namespace tamsel
