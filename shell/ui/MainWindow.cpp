#include "shell/ui/MainWindow.h"

#include "app/AlbumApp.h"
#include "imaging/Blit.h"
#include "imaging/Decode.h"
#include "platform/Fonts.h"
#include "platform/Rounding.h"
#include "shell/InfoLine.h"
#include "shell/ui/AboutBox.h"
#include "shell/ui/FormShape.h"
#include "shell/ui/SkinArt.h"
#include "shell/ui/SkinWidgets.h"
#include "show/ui/PhotoArea.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cstring>

namespace tamsel {

namespace {

const QColor kBackColor(250, 250, 250);
const QColor kLabelGrey(128, 128, 128);
const QColor kAnyPhotoBack(255, 255, 221);
// Ink colours that sit well on the paper of the title strip.
const QColor kTitleText(34, 50, 74);
const QColor kInfoText(58, 70, 88);

// The keys name the button they stand for in its tooltip.
const char* const kBarTips[kBarButtons] = {"自动播放 (空格)", "最前一张 (Home)", "上一张 (←)",
                                         "下一张 (→)",      "最后一张 (End)",  "任一张",
                                         "停止自动播放 (空格)"};
const char* const kMenuCaptions[kMenuLabels] = {"照片", "修饰", "设置", "输出", "退出"};

// Moves an element; a place that cannot be taken (a negative size in a window
// too small for it) is skipped and the element keeps its last one.
void Place(QWidget* w, const QRect& r)
{
    if (w && r.width() >= 0 && r.height() >= 0)
        w->setGeometry(r);
}

void Place(QWidget* w, const QPoint& p)
{
    if (w)
        w->move(p);
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
    LoadArt();
    BuildElements();
    app_.Attach(this);
    app_.SetShowWindow([this] { return quint64(winId()); });
}

MainWindow::~MainWindow()
{
    app_.SetShowWindow({});
    app_.Attach(nullptr);
}

QWidget* MainWindow::photoArea() const { return area_; }

int MainWindow::SkinWidth() const { return skin_.HasPixels() ? skin_.Width() : kSkinWidth; }

void MainWindow::LoadArt()
{
    // A skin that cannot be read leaves none: the frame stays in the background colour.
    auto load = [](Surface& to, const QString& file) {
        Decoded read = DecodePicture(file);
        to = read.IsPicture() ? std::move(read.picture) : Surface();
    };
    load(skin_, core_.paths.InProgramDir(QStringLiteral("skin.png")));
    denseSkin_.Release();
    const QString dense = core_.paths.InProgramDir(QStringLiteral("skin@2x.png"));
    if (skin_.HasPixels() && devicePixelRatio() >= 1.5 && QFileInfo::exists(dense)) {
        load(denseSkin_, dense);
        // Only a drawing of exactly twice the 1x skin can be cut at its places.
        if (denseSkin_.HasPixels() && (denseSkin_.Width() != 2 * skin_.Width() ||
                                       denseSkin_.Height() != 2 * skin_.Height()))
            denseSkin_.Release();
    }
    const QIcon icon = art_->WindowIcon();
    if (!icon.isNull())
        setWindowIcon(icon);
}

void MainWindow::BuildElements()
{
    const SkinArt& a = *art_;
    // The photo area first, so that everything of the frame lies above it.
    area_ = new PhotoArea(app_, this);
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

    // The title drag area lies under the title elements that share its strip.
    titleBar_ = new PictureElement(this);
    connect(titleBar_, &PictureElement::pressed, this, &MainWindow::TitlePressed);
    connect(titleBar_, &PictureElement::moved, this, &MainWindow::TitleMoved);
    connect(titleBar_, &PictureElement::released, this, [this] { moveState_ = MoveState::Idle; });
    connect(titleBar_, &PictureElement::doubleClicked, this, [this](QMouseEvent* e) {
        if (e->button() == Qt::LeftButton)
            ToggleMaximised();
    });

    icon_ = new PictureElement(this, QSize(16, 16));
    icon_->SetPicture(a.icon);
    titleLabel_ = new SkinLabel(this, QStringLiteral(" 澄影集"));
    titleLabel_->SetTextColor(kTitleText);
    // The icon and the name are part of the title bar: the drag and the
    // double-click go through them to it.
    icon_->setAttribute(Qt::WA_TransparentForMouseEvents);
    titleLabel_->setAttribute(Qt::WA_TransparentForMouseEvents);

    const auto windowButton = [this](const char* tip) {
        auto* b = new PictureElement(this, QSize(17, 16));
        b->setToolTip(QString::fromUtf8(tip));
        return b;
    };
    minimiseButton_ = windowButton("最小化");
    maximiseButton_ = windowButton("最大化");
    closeButton_ = windowButton("关闭");
    const auto hoverGlyphs = [this](PictureElement* b, const QPixmap* hover, const QPixmap* down) {
        connect(b, &PictureElement::moved, this, [b, hover] {
            if (!b->active) {
                b->SetPicture(*hover);
                b->active = true;
            }
        });
        connect(b, &PictureElement::pressed, this, [b, down] { b->SetPicture(*down); });
        connect(b, &PictureElement::released, this, [b] {
            b->SetPicture(QPixmap());
            b->active = false;
        });
    };
    hoverGlyphs(minimiseButton_, &a.minHover, &a.minDown);
    hoverGlyphs(closeButton_, &a.closeHover, &a.closeDown);
    connect(maximiseButton_, &PictureElement::moved, this, [this] {
        if (!maximiseButton_->active) {
            maximiseButton_->SetPicture(isMaximized() ? art_->restoreHover : art_->maxHover);
            maximiseButton_->active = true;
        }
    });
    connect(maximiseButton_, &PictureElement::pressed, this,
            [this] { maximiseButton_->SetPicture(isMaximized() ? art_->restoreDown : art_->maxDown); });
    connect(maximiseButton_, &PictureElement::released, this, [this] {
        maximiseButton_->SetPicture(QPixmap());
        maximiseButton_->active = false;
    });
    connect(minimiseButton_, &PictureElement::clicked, this, &QWidget::showMinimized);
    connect(maximiseButton_, &PictureElement::clicked, this, &MainWindow::ToggleMaximised);
    connect(closeButton_, &PictureElement::clicked, this, &QWidget::close);

    for (int i = 0; i < kMenuLabels; ++i) {
        auto* l = new SkinLabel(this, QString::fromUtf8(kMenuCaptions[i]));
        l->SetTextColor(kLabelGrey);
        connect(l, &SkinLabel::moved, this, [l] { l->SetTextColor(Qt::black); });
        menuLabels_[i] = l;
    }
    // "修饰", "设置", "输出" wait for an album.
    for (int i = 1; i <= 3; ++i)
        menuLabels_[i]->setEnabled(false);
    for (int i = 0; i < kMenuLabels; ++i)
        connect(menuLabels_[i], &SkinLabel::clicked, this, [this, i] { app_.LabelClicked(i); });
    // Crossing the title strip turns the menu-bar labels and the links back.
    connect(titleBar_, &PictureElement::moved, this, [this] {
        for (SkinLabel* l : menuLabels_)
            l->SetTextColor(kLabelGrey);
        aboutButton_->SetPicture(art_->about);
        helpButton_->SetPicture(art_->help);
    });

    aboutButton_ = new PictureElement(this, QSize(19, 18));
    aboutButton_->SetPicture(a.about);
    aboutButton_->setToolTip(QStringLiteral("关于澄影集"));
    connect(aboutButton_, &PictureElement::moved, this, [this] { aboutButton_->SetPicture(art_->aboutHover); });
    connect(aboutButton_, &PictureElement::clicked, this, [this] {
        AboutBox box(core_.paths, this);
        box.exec();
    });
    helpButton_ = new PictureElement(this, QSize(19, 18));
    helpButton_->SetPicture(a.help);
    helpButton_->setToolTip(QStringLiteral("　关于澄影集...(自述文件)　"));
    connect(helpButton_, &PictureElement::moved, this, [this] { helpButton_->SetPicture(art_->helpHover); });
    // The help opens in the desktop's own viewer; without it there is simply no help.
    connect(helpButton_, &PictureElement::clicked, this, [this] {
        const QString readme = core_.paths.InProgramDir(QStringLiteral("readme.htm"));
        if (QFileInfo(readme).isFile())
            QDesktopServices::openUrl(QUrl::fromLocalFile(readme));
    });
    badge_ = new PictureElement(this, QSize(70, 35));
    badge_->SetPicture(a.badge);
    badge_->setToolTip(QStringLiteral("荣获四星级推荐"));
    badge_->setCursor(Qt::PointingHandCursor);
    connect(badge_, &PictureElement::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromUtf8(AboutBox::kHomePage))); });

    infoLabel_ = new SkinLabel(this);
    musicLabel_ = new SkinLabel(this);
    countLabel_ = new SkinLabel(this);
    for (SkinLabel* l : {infoLabel_, musicLabel_, countLabel_})
        l->SetTextColor(kInfoText);

    for (int i = 0; i < kBarButtons; ++i) {
        auto* b = new PictureElement(this, kBarButtonSize[i]);
        b->SetPicture(a.barUp[i]);
        b->setToolTip(QString::fromUtf8(kBarTips[i]));
        barButtons_[i] = b;
        connect(b, &PictureElement::pressed, this, [this, i](QMouseEvent* e) {
            barButtons_[i]->SetPicture(art_->barDown[i]);
            barButtons_[i]->active = true;
            if (i == kThumb)
                ThumbPressed(e);
        });
        connect(b, &PictureElement::moved, this, [this, i](QMouseEvent* e) {
            if (!barButtons_[i]->active)
                barButtons_[i]->SetPicture(art_->barHover[i]);
            else if (i == kThumb)
                ThumbMoved(e);
        });
        connect(b, &PictureElement::released, this, [this, i] {
            barButtons_[i]->SetPicture(art_->barUp[i]);
            const bool wasPressed = barButtons_[i]->active;
            barButtons_[i]->active = false;
            if (i == kThumb && wasPressed)
                ThumbReleased();
            if (i == kThumb)
                photoNameLabel_->hide();
        });
        if (i != kThumb)
            connect(b, &PictureElement::clicked, this, [this, i] { app_.BtnClick(i); });
    }
    barButtons_[6]->hide();
    barButtons_[6]->setEnabled(false);

    photoNameLabel_ = new SkinLabel(this);
    photoNameLabel_->SetBackColor(kAnyPhotoBack);
    photoNameLabel_->SetTextColor(Qt::black);
    photoNameLabel_->hide();

    // The small tool buttons of the quick-effect strip, each at its own place
    // on the track; the strip decides what they do and how they look.
    for (int i = 0; i < kQuickButtons; ++i) {
        quickButtons_[i] = new PictureElement(this, QSize(16, 16));
        quickButtons_[i]->setToolTip(QuickStrip::Tooltip(i));
        connect(quickButtons_[i], &PictureElement::moved, this, [this, i] { app_.StripHover(i); });
        connect(quickButtons_[i], &PictureElement::released, this, [this, i](QMouseEvent* e) {
            if (quickButtons_[i]->rect().contains(e->position().toPoint()))
                app_.StripClick(i);
        });
    }
    ShowStripLooks();

    bottomGrip_ = new PictureElement(this);
    bottomGrip_->setCursor(Qt::SizeVerCursor);
    rightGrip_ = new PictureElement(this);
    rightGrip_->setCursor(Qt::SizeHorCursor);
    cornerGrip_ = new PictureElement(this, QSize(kCornerGripSize, kCornerGripSize));
    cornerGrip_->SetPicture(a.grip);
    cornerGrip_->setCursor(Qt::SizeFDiagCursor);
    const std::array<PictureElement*, 3> grips = {bottomGrip_, rightGrip_, cornerGrip_};
    for (int g = 0; g < 3; ++g) {
        connect(grips[g], &PictureElement::pressed, this,
                [this, g](QMouseEvent* e) { GripPressed(g, e); });
        connect(grips[g], &PictureElement::moved, this,
                [this, g](QMouseEvent* e) { GripMoved(g, e); });
        connect(grips[g], &PictureElement::released, this, [this, g] { GripReleased(g); });
    }

    for (int i = 0; i < 30; ++i) {
        logoFrames_[i] = new PictureElement(this, a.logoFrames[i].isNull() ? QSize(33, 31) : a.logoFrames[i].deviceIndependentSize().toSize());
        logoFrames_[i]->SetPicture(a.logoFrames[i]);
        logoFrames_[i]->hide();
    }
    // The finished logo is the maker's signature: a click on it writes to us.
    connect(logoFrames_[29], &PictureElement::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromUtf8(AboutBox::kMakerMail))); });
    logoTimer_.setInterval(200);
    connect(&logoTimer_, &QTimer::timeout, this, &MainWindow::LogoStep);

    // Names by role, for the desktop's accessibility tools and the tests.
    setObjectName(QStringLiteral("mainWindow"));
    const auto name = [](QWidget* w, const char* role, int index = -1) {
        QString n = QString::fromLatin1(role);
        if (index >= 0)
            n += QString::number(index);
        w->setObjectName(n);
    };
    name(area_, "photoArea");
    name(titleBar_, "titleBar");
    name(icon_, "titleIcon");
    name(titleLabel_, "titleLabel");
    name(minimiseButton_, "minimiseButton");
    name(maximiseButton_, "maximiseButton");
    name(closeButton_, "closeButton");
    name(aboutButton_, "aboutButton");
    name(helpButton_, "helpButton");
    name(badge_, "badge");
    name(infoLabel_, "infoLabel");
    name(musicLabel_, "musicLabel");
    name(countLabel_, "countLabel");
    name(photoNameLabel_, "photoNameLabel");
    name(bottomGrip_, "bottomGrip");
    name(rightGrip_, "rightGrip");
    name(cornerGrip_, "cornerGrip");
    for (int i = 0; i < kMenuLabels; ++i)
        name(menuLabels_[i], "menuLabel", i);
    for (int i = 0; i < kBarButtons; ++i)
        name(barButtons_[i], "barButton", i);
    for (int i = 0; i < kQuickButtons; ++i)
        name(quickButtons_[i], "quickButton", i);
    for (int i = 0; i < 30; ++i)
        name(logoFrames_[i], "logoFrame", i);
}

void MainWindow::Start()
{
    infoLabel_->SetCaption(QString::fromUtf8(kGreeting));
    SizeAndCentre();
    FormResize();
    app_.ShowFace();
    ResetLogo();
    logoTimer_.start();
    if (core_.state.PhotoCount > 0)
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
        app_.LaidOut(width(), height(), width(), height(),
                     double(width()) / double(std::max(1, height())));
        return;
    }
    LayoutInput in;
    in.W = width();
    in.H = height();
    in.SW = SkinWidth();
    in.SH = skin_.HasPixels() ? skin_.Height() : kSkinHeight;
    in.n = core_.state.PhotoCount;
    in.c = core_.CurPhoto();
    layout_ = ComputeFormLayout(in);
    const FormLayout& L = layout_;

    // A photo area the window is too small for keeps its last size.
    const bool areaFits = L.photoArea.width() >= 0 && L.photoArea.height() >= 0;
    if (areaFits)
        app_.LaidOut(L.ClientW, L.ClientH, L.ShowWidth, L.ShowHeight, L.ShowAspect);
    else
        app_.LaidOut(L.ClientW, L.ClientH, core_.state.ShowWidth, core_.state.ShowHeight,
                     core_.main.ShowAspect);

    Place(titleBar_, L.titleBar);
    Place(maximiseButton_, L.maximiseButton);
    Place(minimiseButton_, L.minimiseButton);
    Place(closeButton_, L.closeButton);
    Place(infoLabel_, L.infoLabel);
    ArrangeInfoLine();

    for (int i = 0; i < kBarButtons; ++i)
        Place(barButtons_[i], L.barButtons[i]);
    Place(photoNameLabel_, L.photoNameLabel);
    photoNameLabel_->SetCaption(core_.photos.Name(core_.CurPhoto()));

    for (int i = 0; i < kQuickButtons; ++i)
        Place(quickButtons_[i], L.quickButtons[i]);

    Place(bottomGrip_, L.bottomGrip);
    Place(rightGrip_, L.rightGrip);
    Place(cornerGrip_, L.cornerGrip);

    PaintSkin();

    Place(icon_, L.icon);
    Place(titleLabel_, L.titleLabel);
    for (int i = 0; i < kMenuLabels; ++i)
        Place(menuLabels_[i], L.menuLabels[i]);
    Place(aboutButton_, L.aboutButton);
    Place(helpButton_, L.helpButton);
    Place(badge_, L.badge);

    if (areaFits)
        area_->setGeometry(L.photoArea);

    if (!core_.position.CoverShowing()) {
        infoLabel_->SetCaption(PhotoInfoText(core_.photos.Name(core_.CurPhoto()),
                                           core_.dibs.DibPhoto.FullWidth(),
                                           core_.dibs.DibPhoto.FullHeight(), core_.state.ShowWidth,
                                           core_.shown.CurFileInfo()));
        ArrangeInfoLine();
    }

    SetFormRegion(*this, true);
}

void MainWindow::PaintSkin()
{
    const int W = layout_.ClientW;
    const int H = layout_.ClientH;
    if (W <= 0 || H <= 0)
        return;
    if (denseSkin_.HasPixels()) {
        PaintDenseSkin();
        return;
    }
    // Painted on a surface of its own that goes once the picture the window
    // paints from is made: kept, it would be a second copy of the window.
    Surface back;
    if (!back.Create(W, H))
        return;
    // The background colour is grey, the same value in all three bytes.
    for (int y = 0; y < H; ++y)
        std::memset(back.RowPtr(y), kBackColor.red(), size_t(W) * 3);
    if (skin_.HasPixels()) {
        for (const SkinPiece& p : layout_.skin) {
            if (p.dst.size() == p.src.size())
                BitBlt(back, p.dst.x(), p.dst.y(), p.dst.width(), p.dst.height(), skin_,
                       p.src.x(), p.src.y());
            else
                StretchBlt(back, p.dst.x(), p.dst.y(), p.dst.width(), p.dst.height(), skin_,
                           p.src.x(), p.src.y(), p.src.width(), p.src.height());
        }
    }
    KeepBackground(back, 1);
}

void MainWindow::PaintDenseSkin()
{
    const int W = 2 * layout_.ClientW;
    const int H = 2 * layout_.ClientH;
    Surface denseBack;
    if (!denseBack.Create(W, H))
        return;
    for (int y = 0; y < H; ++y)
        std::memset(denseBack.RowPtr(y), kBackColor.red(), size_t(W) * 3);
    for (const SkinPiece& p : layout_.skin) {
        const QRect d(p.dst.topLeft() * 2, p.dst.size() * 2);
        const QRect s(p.src.topLeft() * 2, p.src.size() * 2);
        if (d.size() == s.size())
            BitBlt(denseBack, d.x(), d.y(), d.width(), d.height(), denseSkin_, s.x(), s.y());
        else
            StretchBlt(denseBack, d.x(), d.y(), d.width(), d.height(), denseSkin_, s.x(), s.y(),
                       s.width(), s.height());
    }
    KeepBackground(denseBack, 2);
}

void MainWindow::KeepBackground(const Surface& back, int ratio)
{
    const QRect whole(0, 0, layout_.ClientW, layout_.ClientH);
    const QRect hole = layout_.photoArea.intersected(whole);
    std::vector<QRect> pieces;
    if (hole.isEmpty()) {
        pieces = {whole};
    } else {
        pieces = {QRect(0, 0, whole.width(), hole.top()),
                  QRect(0, hole.bottom() + 1, whole.width(), whole.height() - hole.bottom() - 1),
                  QRect(0, hole.top(), hole.left(), hole.height()),
                  QRect(hole.right() + 1, hole.top(), whole.width() - hole.right() - 1, hole.height())};
    }
    background_.clear();
    for (const QRect& at : pieces) {
        if (at.isEmpty())
            continue;
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
    whole.fill(kBackColor);
    QPainter p(&whole);
    for (const BackgroundPiece& piece : background_)
        p.drawImage(piece.at.topLeft(), piece.image);
    return whole;
}

void MainWindow::FinishBackground()
{
    // While maximised the maximise button's idle look is the restore glyph.
    if (isMaximized() && !art_->restore.isNull()) {
        const QRect glyph(layout_.maximiseButton, art_->restore.deviceIndependentSize().toSize());
        for (BackgroundPiece& piece : background_) {
            if (!piece.at.intersects(glyph))
                continue;
            QPainter p(&piece.image);
            p.drawPixmap(glyph.topLeft() - piece.at.topLeft(), art_->restore);
        }
    }
    update();
}

void MainWindow::ArrangeInfoLine()
{
    InfoLineInput in;
    in.infoLeft = infoLabel_->x();
    in.infoTop = infoLabel_->y();
    in.infoWidth = infoLabel_->width();
    in.musicWidth = musicLabel_->width();
    in.countWidth = countLabel_->width();
    in.badgeWidth = badge_->width();
    in.clientW = core_.main.ClientW;
    const InfoLinePlacement p = tamsel::ArrangeInfoLine(in);
    musicLabel_->setVisible(p.musicVisible);
    if (p.musicVisible)
        musicLabel_->move(p.music);
    countLabel_->setVisible(p.countVisible);
    if (p.countVisible)
        countLabel_->move(p.count);
}


void MainWindow::ResetLogo()
{
    for (int i = 0; i < 30; ++i) {
        logoFrames_[i]->move(core_.main.ClientW - 46, core_.main.ClientH - 52);
        logoFrames_[i]->hide();
    }
    logoFrames_[29]->setToolTip(QStringLiteral("澄影集 — 照片与时光"));
}

void MainWindow::LogoStep()
{
    const LogoClock::Tick t = logo_.Step();
    logoFrames_[size_t(t.hideA)]->hide();
    logoFrames_[size_t(t.hideB)]->hide();
    logoFrames_[size_t(t.show)]->show();
    logoTimer_.setInterval(t.nextIntervalMs);
}

void MainWindow::SetMusicText(const QString& text, bool beep)
{
    musicLabel_->SetCaption(text);
    ArrangeInfoLine();
    if (beep)
        QApplication::beep();
}

void MainWindow::RequestStep() { area_->Kick(); }

void MainWindow::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    if (background_.empty())
        p.fillRect(rect(), kBackColor);
    for (const BackgroundPiece& piece : background_) {
        const QRect r = piece.at.intersected(e->rect());
        if (r.isEmpty())
            continue;
        const qreal k = piece.image.devicePixelRatio();
        p.drawImage(QRectF(r), piece.image,
                    QRectF(QPointF(r.topLeft() - piece.at.topLeft()) * k, QSizeF(r.size()) * k));
    }
}

void MainWindow::ClearHoverLooks()
{
    // The bare background clears every hover look.
    for (PictureElement* b : {minimiseButton_, maximiseButton_, closeButton_}) {
        if (b->active) {
            b->SetPicture(QPixmap());
            b->active = false;
        }
    }
    ResetBarPictures();
}

void MainWindow::ResetBarPictures()
{
    for (int j = 0; j < kBarButtons; ++j)
        if (!barButtons_[j]->active)
            barButtons_[j]->SetPicture(art_->barUp[j]);
    app_.StripLeaveAll();  // latched quick-effect buttons stay pressed
}

void MainWindow::ShowStripLooks()
{
    for (int k = 0; k < kQuickButtons; ++k) {
        quickButtons_[k]->SetPicture(art_->quick[k][int(app_.Strip().LookOf(k))]);
        quickButtons_[k]->active = app_.Strip().Pressed(k);
    }
}

void MainWindow::SetBtnState(bool enabled)
{
    for (int i = 0; i < kBarButtons - 1; ++i)
        barButtons_[i]->setEnabled(enabled);
    for (int i = 0; i < kMenuLabels - 1; ++i)
        menuLabels_[i]->setEnabled(enabled);
    for (QWidget* w : {static_cast<QWidget*>(rightGrip_), static_cast<QWidget*>(bottomGrip_),
                       static_cast<QWidget*>(minimiseButton_), static_cast<QWidget*>(maximiseButton_)})
        w->setEnabled(enabled);
}

void MainWindow::ShowStopButton(bool running)
{
    barButtons_[0]->setVisible(!running);
    barButtons_[6]->setEnabled(running);
    barButtons_[6]->setVisible(running);
    if (running)
        barButtons_[6]->raise();
}

void MainWindow::ShowInfo(const QString& text, bool beep)
{
    infoLabel_->SetCaption(text);
    ArrangeInfoLine();
    if (beep)
        QApplication::beep();
}

void MainWindow::EnableAlbumLabels()
{
    for (int i = 1; i <= 3; ++i)
        menuLabels_[i]->setEnabled(true);
}

void MainWindow::RefreshInfoLine()
{
    const int n = core_.state.PhotoCount;
    const int c = core_.CurPhoto();
    barButtons_[kThumb]->move(ThumbLeft(core_.main.ClientW, SkinWidth(), n, c), barButtons_[kThumb]->y());
    // After a photo that could not be loaded the info label keeps saying so:
    // the name and size would otherwise put this photo's name on the
    // previous photo's picture and size.
    if (!core_.shown.LoadFailed())
        infoLabel_->SetCaption(PhotoInfoText(core_.shown.CurFileName(), core_.dibs.DibPhoto.FullWidth(),
                                       core_.dibs.DibPhoto.FullHeight(), core_.state.ShowWidth,
                                       core_.shown.CurFileInfo()));
    countLabel_->SetCaption(PositionText(c, n));
    ArrangeInfoLine();
}

bool MainWindow::ResizeDragging() const
{
    return bottomGrip_->active || rightGrip_->active || cornerGrip_->active;
}

}  // namespace tamsel
