#include "shell/ui/SkinnedDialog.h"

#include "platform/Fonts.h"
#include "platform/Paths.h"
#include "shell/ui/FormShape.h"
#include "shell/ui/SkinArt.h"
#include "shell/ui/SkinWidgets.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tamsel {

namespace {

// How the frame picture is cut: corners 26 wide, 34 tall at the top (the
// paper title band) and 26 at the bottom; what lies between stretches.
constexpr int kSide = 26;
constexpr int kTop = 34;
constexpr int kBottom = 26;
constexpr int kTitleBand = 30;   // rows of the band that moves the window
const QColor kBodyColour(247, 242, 229);
const QColor kTitleColour(34, 50, 74);

// Draws the frame picture over rect r, corners as they stand.
void PaintNine(QPainter& p, const QPixmap& src, const QRect& r)
{
    // Source rectangles count the picture's own pixels; the cuts are in 1x units.
    const qreal k = src.devicePixelRatio();
    const int sw = int(src.width() / k), sh = int(src.height() / k);
    const int xs[4] = {0, kSide, sw - kSide, sw};
    const int ys[4] = {0, kTop, sh - kBottom, sh};
    const int xd[4] = {r.left(), r.left() + kSide, r.right() + 1 - kSide, r.right() + 1};
    const int yd[4] = {r.top(), r.top() + kTop, r.bottom() + 1 - kBottom, r.bottom() + 1};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            p.drawPixmap(QRect(xd[i], yd[j], xd[i + 1] - xd[i], yd[j + 1] - yd[j]), src,
                         QRectF(xs[i] * k, ys[j] * k, (xs[i + 1] - xs[i]) * k, (ys[j + 1] - ys[j]) * k));
}

}  // namespace

SkinnedDialog::SkinnedDialog(const AppPaths& paths, const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setModal(true);
    setWindowTitle(title);
    setFont(WindowFont());
    setMouseTracking(true);
    MakeOutlineVisible(*this);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBodyColour);
    setPalette(pal);

    const auto load = [&paths, this](const char* name) {
        return LoadSkinPicture(paths, QString::fromLatin1(name), devicePixelRatio());
    };
    frame_ = load("dialog_frame.png");
    closeNormal_ = load("about_close_normal.png");
    closeHover_ = load("about_close_hover.png");
    closePressed_ = load("about_close_pressed.png");

    title_ = new QLabel(title, this);
    title_->setFont(WindowFont());
    QPalette tp = title_->palette();
    tp.setColor(QPalette::WindowText, kTitleColour);
    title_->setPalette(tp);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    title_->adjustSize();
    title_->move(kSide + 4, 6 + (24 - title_->height()) / 2);

    close_ = new PictureElement(this, QSize(17, 16));
    close_->SetPicture(closeNormal_);
    close_->setToolTip(QStringLiteral("关闭"));
    connect(close_, &PictureElement::pressed, this, [this] {
        close_->active = true;
        close_->SetPicture(closePressed_);
    });
    connect(close_, &PictureElement::moved, this, [this] {
        if (!close_->active)
            close_->SetPicture(closeHover_);
    });
    connect(close_, &PictureElement::released, this, [this] {
        close_->active = false;
        close_->SetPicture(closeNormal_);
    });
    connect(close_, &PictureElement::clicked, this, [this] { CloseImageClicked(); });

    body_ = new QWidget(this);
    body_->setMouseTracking(true);
    body_->installEventFilter(this);
}

bool SkinnedDialog::eventFilter(QObject* watched, QEvent* e)
{
    // Anywhere on the dialog, the close picture is itself again.
    if (watched == body_ && e->type() == QEvent::MouseMove)
        close_->SetPicture(closeNormal_);
    return QDialog::eventFilter(watched, e);
}

void SkinnedDialog::FitToBody()
{
    const QSize body = body_->sizeHint();
    setFixedSize(body.width() + 2 * (kSide - 10), body.height() + kTop + kBottom);
}

void SkinnedDialog::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ClipToOutline(*this, p);
    if (frame_.isNull())
        p.fillRect(rect(), kBodyColour);
    else
        PaintNine(p, frame_, rect());
}

void SkinnedDialog::resizeEvent(QResizeEvent*)
{
    close_->move(width() - kSide - 14, 10);
    body_->setGeometry(kSide - 10, kTop, width() - 2 * (kSide - 10), height() - kTop - kBottom);
    SetFormRegion(*this, false);
}

void SkinnedDialog::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || e->position().y() >= kTitleBand)
        return;
    moving_ = true;
    // The window system moves the window; without one that can, we do.
    manualMove_ = !(windowHandle() && windowHandle()->startSystemMove());
    if (manualMove_)
        moveOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void SkinnedDialog::mouseMoveEvent(QMouseEvent* e)
{
    close_->SetPicture(closeNormal_);
    if (moving_ && manualMove_ && (e->buttons() & Qt::LeftButton))
        move(e->globalPosition().toPoint() - moveOffset_);
}

void SkinnedDialog::mouseReleaseEvent(QMouseEvent*) { moving_ = false; }

}  // namespace tamsel
