// The main window: its start, the layout applied to its elements, the
// background painted from the skin, the info line and the logo.
#include "shell/ui/MainWindow.h"

#include "app/AlbumApp.h"
#include "platform/Fonts.h"
#include "shell/FrameBackground.h"
#include "shell/InfoLine.h"
#include "shell/ui/FormShape.h"
#include "shell/ui/SkinArt.h"
#include "shell/ui/SkinWidgets.h"
#include "show/ui/PhotoArea.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace tamsel {

namespace {

// Moves an element; a place that cannot be taken (a negative size in a window
// too small for it) is skipped and the element keeps its last one.
void Place(QWidget* w, const ElementPlace& p)
{
    if (p.how == ElementPlace::How::Move)
        w->move(p.at.topLeft());
    else if (p.how == ElementPlace::How::Set && p.at.width() >= 0 && p.at.height() >= 0)
        w->setGeometry(p.at);
}

}  // namespace

MainWindow::MainWindow(AlbumApp& app, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      app_(app),
      core_(app.Model()),
      art_(std::make_unique<SkinArt>(SkinArt::Load(app.Model().paths, devicePixelRatio())))
{
    setWindowTitle(QStringLiteral("澄影集"));
    setFont(WindowFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setObjectName(QStringLiteral("mainWindow"));
    if (const QIcon icon = art_->WindowIcon(); !icon.isNull())
        setWindowIcon(icon);
    // The photo area first, so that everything of the frame lies above it.
    BuildPhotoArea();
    BuildElements();
    logoTimer_.setObjectName(QStringLiteral("logo"));   // named for the busy meter
    pointerTimer_.setObjectName(QStringLiteral("pointerRest"));
    logoTimer_.setInterval(200);
    connect(&logoTimer_, &QTimer::timeout, this, &MainWindow::LogoStep);
    app_.Attach(this);
    // xdg-screensaver suspends for an X window; a Wayland session keeps the
    // screen on through the desktop's services alone.
    app_.SetShowWindow([this] { return CompositorPlacesWindows() ? quint64(0) : quint64(winId()); });
    // The compositor sizes the window by its grips, and learns here how small
    // the frame may become.
    if (CompositorPlacesWindows())
        setMinimumSize(kMinWidth, kMinHeight);
    MakeOutlineVisible(*this);
}

MainWindow::~MainWindow()
{
    app_.SetShowWindow({});
    app_.Attach(nullptr);
}

QWidget* MainWindow::photoArea() const { return area_; }

int MainWindow::SkinWidth() const { return art_->skin.HasPixels() ? art_->skin.Width() : kSkinWidth; }

void MainWindow::BuildPhotoArea()
{
    area_ = new PhotoArea(app_, this);
    area_->setObjectName(QStringLiteral("photoArea"));
    connect(area_, &PhotoArea::doubleClicked, this, &MainWindow::ToggleFullScreen);
    // On the full screen the pointer keeps out of the way of the photos.
    pointerTimer_.setSingleShot(true);
    pointerTimer_.setInterval(2000);
    connect(&pointerTimer_, &QTimer::timeout, this, [this] {
        if (isFullScreen())
            area_->setCursor(Qt::BlankCursor);
    });
    connect(area_, &PhotoArea::mouseMoved, this, [this](QMouseEvent* e) {
        if (isFullScreen()) {
            area_->unsetCursor();
            pointerTimer_.start();
        }
        ClearHoverLooks();
        app_.PhotoAreaMouseMove(e->position().x(), e->position().y());
    });
    connect(area_, &PhotoArea::mouseReleased, this, [this](QMouseEvent* e) {
        if (e->button() == Qt::RightButton)
            app_.PhotoAreaRightClick();
    });
}

void MainWindow::Start()
{
    InfoLabel()->SetCaption(QString::fromUtf8(kGreeting));
    SizeAndCentre();
    FormResize();
    app_.ShowFace();
    ResetLogo();
    logoTimer_.start();
    if (core_.photos.Count() > 0)
        EnableAlbumLabels();
}

void MainWindow::SizeAndCentre()
{
    const int w = core_.state.ShowWidth + kFrameWidth;
    const int h = core_.state.ShowHeight + kFrameHeight;
    resize(w, h);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.x() + (g.width() - w) / 2, g.y() + (g.height() - h) / 2);
    }
}

void MainWindow::FormResize()
{
    app_.SetPixelRatio(devicePixelRatio());
    if (isFullScreen()) {
        // The photo area alone, over the whole screen; the frame waits below it.
        clearMask();
        area_->setGeometry(rect());
        area_->raise();
        client_ = size();
        app_.LaidOut(width(), height(), double(width()) / double(std::max(1, height())));
        return;
    }
    LayoutInput in;
    in.W = width();
    in.H = height();
    in.SW = SkinWidth();
    in.SH = art_->skin.HasPixels() ? art_->skin.Height() : kSkinHeight;
    in.n = core_.photos.Count();
    in.c = core_.CurPhoto();
    layout_ = ComputeFormLayout(in);
    const FormLayout& L = layout_;
    client_ = QSize(L.ClientW, L.ClientH);

    // A photo area the window is too small for keeps its last size.
    const bool areaFits = L.photoArea.width() >= 0 && L.photoArea.height() >= 0;
    if (areaFits)
        app_.LaidOut(L.ShowWidth, L.ShowHeight, L.ShowAspect);
    else
        app_.LaidOut(core_.state.ShowWidth, core_.state.ShowHeight, core_.main.ShowAspect);

    for (const Built& b : elements_)
        Place(b.widget, PlaceOf(L, b.entry->element, b.index));
    PhotoNameLabel()->SetCaption(core_.photos.Name(core_.CurPhoto()));
    PaintSkin();
    if (areaFits)
        area_->setGeometry(L.photoArea);

    if (!core_.position.CoverShowing())
        InfoLabel()->SetCaption(PhotoInfoText(core_.photos.Name(core_.CurPhoto()),
                                              core_.dibs.DibPhoto.FullWidth(),
                                              core_.dibs.DibPhoto.FullHeight(), core_.state.ShowWidth,
                                              core_.shown.CurFileInfo()));
    ArrangeInfoLine();

    SetFormRegion(*this, true);
}

void MainWindow::PaintSkin()
{
    // Painted on a surface of its own that goes once the pieces the window
    // paints from are cut: kept, it would be a second copy of the window.
    const int ratio = art_->denseSkin.HasPixels() ? 2 : 1;
    const Surface back = PaintFrame(ratio == 2 ? art_->denseSkin : art_->skin, layout_, ratio);
    if (!back.HasPixels())
        return;
    background_.clear();
    for (const QRect& at : AroundPhotoArea(layout_)) {
        QImage image = back.ToQImage(QRect(at.topLeft() * ratio, at.size() * ratio));
        image.setDevicePixelRatio(ratio);
        background_.push_back({at, std::move(image)});
    }
    FinishBackground();
}

QImage MainWindow::Background() const
{
    const qreal ratio = background_.empty() ? 1 : background_.front().image.devicePixelRatio();
    QImage whole(QSize(layout_.ClientW, layout_.ClientH) * ratio, QImage::Format_RGB32);
    whole.setDevicePixelRatio(ratio);
    whole.fill(QColor(kFrameBackColour));
    QPainter p(&whole);
    for (const BackgroundPiece& piece : background_)
        p.drawImage(piece.at.topLeft(), piece.image);
    return whole;
}

void MainWindow::FinishBackground()
{
    // While maximised an element's idle look may differ: the maximise
    // button's is the restore glyph, painted on the skin it stands over.
    for (const Built& b : elements_) {
        if (!isMaximized() || !b.entry->maximised.normal)
            continue;
        const QPixmap glyph = Look(b, &ElementLooks::normal);
        if (glyph.isNull())
            continue;
        const QRect at(PlaceOf(layout_, b.entry->element, b.index).at.topLeft(),
                       glyph.deviceIndependentSize().toSize());
        for (BackgroundPiece& piece : background_) {
            if (!piece.at.intersects(at))
                continue;
            QPainter p(&piece.image);
            p.drawPixmap(at.topLeft() - piece.at.topLeft(), glyph);
        }
    }
    update();
}

void MainWindow::ArrangeInfoLine()
{
    SkinLabel* info = InfoLabel();
    SkinLabel* music = MusicLabel();
    SkinLabel* count = CountLabel();
    InfoLineInput in;
    in.infoLeft = info->x();
    in.infoTop = info->y();
    in.infoWidth = info->width();
    in.musicWidth = music->width();
    in.countWidth = count->width();
    in.badgeWidth = Element(SkinElement::Badge)->width();
    in.clientW = client_.width();
    const InfoLinePlacement p = tamsel::ArrangeInfoLine(in);
    music->setVisible(p.musicVisible);
    if (p.musicVisible)
        music->move(p.music);
    count->setVisible(p.countVisible);
    if (p.countVisible)
        count->move(p.count);
}

void MainWindow::ResetLogo()
{
    for (const Built& b : elements_) {
        if (b.entry->element == SkinElement::LogoFrame) {
            b.widget->move(LogoPlace(client_.width(), client_.height()));
            b.widget->hide();
        }
    }
}

void MainWindow::LogoStep()
{
    const LogoClock::Tick t = logo_.Step();
    Element(SkinElement::LogoFrame, t.hideA)->hide();
    Element(SkinElement::LogoFrame, t.hideB)->hide();
    Element(SkinElement::LogoFrame, t.show)->show();
    logoTimer_.setInterval(t.nextIntervalMs);
}

void MainWindow::SetMusicText(const QString& text, bool beep)
{
    MusicLabel()->SetCaption(text);
    ArrangeInfoLine();
    if (beep)
        QApplication::beep();
}

void MainWindow::RequestStep() { area_->Kick(); }

void MainWindow::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    ClipToOutline(*this, p);
    if (background_.empty())
        p.fillRect(rect(), QColor(kFrameBackColour));
    for (const BackgroundPiece& piece : background_) {
        const QRect r = piece.at.intersected(e->rect());
        if (r.isEmpty())
            continue;
        const qreal k = piece.image.devicePixelRatio();
        p.drawImage(QRectF(r), piece.image,
                    QRectF(QPointF(r.topLeft() - piece.at.topLeft()) * k, QSizeF(r.size()) * k));
    }
}

void MainWindow::ShowInfo(const QString& text, bool beep)
{
    InfoLabel()->SetCaption(text);
    ArrangeInfoLine();
    if (beep)
        QApplication::beep();
}

void MainWindow::RefreshInfoLine()
{
    const int n = core_.photos.Count();
    const int c = core_.CurPhoto();
    PictureElement* thumb = BarButton(kThumb);
    thumb->move(ThumbLeft(client_.width(), SkinWidth(), n, c), thumb->y());
    // After a photo that could not be loaded the info label keeps saying so:
    // the name and size would otherwise put this photo's name on the
    // previous photo's picture and size.
    if (!core_.shown.LoadFailed())
        InfoLabel()->SetCaption(PhotoInfoText(core_.shown.CurFileName(), core_.dibs.DibPhoto.FullWidth(),
                                              core_.dibs.DibPhoto.FullHeight(), core_.state.ShowWidth,
                                              core_.shown.CurFileInfo()));
    CountLabel()->SetCaption(PositionText(c, n));
    ArrangeInfoLine();
}

}  // namespace tamsel
