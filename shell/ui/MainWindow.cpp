#include "shell/ui/MainWindow.h"

#include "app/AlbumApp.h"
#include "imaging/Blit.h"
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
const char* const kBtnTips[kBtnCount] = {"自动播放 (空格)", "最前一张 (Home)", "上一张 (←)",
                                         "下一张 (→)",      "最后一张 (End)",  "任一张",
                                         "停止自动播放 (空格)"};
const char* const kFolderCaptions[kFolderLabels] = {"照片", "修饰", "设置", "输出", "退出"};

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
      art_(std::make_unique<SkinArt>(SkinArt::Load(app.Model().paths)))
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
    try {
        skin_.CloneFile(core_.paths.InProgramDir(QStringLiteral("skin.png")).toStdString());
    } catch (const std::exception&) {
        skin_.Release();  // the frame stays in the background colour
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
    imBar_ = new PictureElement(this);
    connect(imBar_, &PictureElement::pressed, this, &MainWindow::TitlePressed);
    connect(imBar_, &PictureElement::moved, this, &MainWindow::TitleMoved);
    connect(imBar_, &PictureElement::released, this, [this] { moveState_ = MoveState::Idle; });
    connect(imBar_, &PictureElement::doubleClicked, this, [this](QMouseEvent* e) {
        if (e->button() == Qt::LeftButton)
            ToggleMaximised();
    });

    imico_ = new PictureElement(this, QSize(16, 16));
    imico_->SetPicture(a.ico);
    labTitle_ = new SkinLabel(this, QStringLiteral(" 澄影集"));
    labTitle_->SetTextColor(kTitleText);

    const auto windowButton = [this](const char* tip) {
        auto* b = new PictureElement(this, QSize(17, 16));
        b->setToolTip(QString::fromUtf8(tip));
        return b;
    };
    immin_ = windowButton("最小化");
    immax_ = windowButton("最大化");
    imclose_ = windowButton("关闭");
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
    hoverGlyphs(immin_, &a.minHover, &a.minDown);
    hoverGlyphs(imclose_, &a.closeHover, &a.closeDown);
    connect(immax_, &PictureElement::moved, this, [this] {
        if (!immax_->active) {
            immax_->SetPicture(isMaximized() ? art_->usHover : art_->maxHover);
            immax_->active = true;
        }
    });
    connect(immax_, &PictureElement::pressed, this,
            [this] { immax_->SetPicture(isMaximized() ? art_->usDown : art_->maxDown); });
    connect(immax_, &PictureElement::released, this, [this] {
        immax_->SetPicture(QPixmap());
        immax_->active = false;
    });
    connect(immin_, &PictureElement::clicked, this, &QWidget::showMinimized);
    connect(immax_, &PictureElement::clicked, this, &MainWindow::ToggleMaximised);
    connect(imclose_, &PictureElement::clicked, this, &QWidget::close);

    for (int i = 0; i < kFolderLabels; ++i) {
        auto* l = new SkinLabel(this, QString::fromUtf8(kFolderCaptions[i]));
        l->SetTextColor(kLabelGrey);
        connect(l, &SkinLabel::moved, this, [l] { l->SetTextColor(Qt::black); });
        labFolder_[i] = l;
    }
    // "修饰", "设置", "输出" wait for an album.
    for (int i = 1; i <= 3; ++i)
        labFolder_[i]->setEnabled(false);
    for (int i = 0; i < kFolderLabels; ++i)
        connect(labFolder_[i], &SkinLabel::clicked, this, [this, i] { app_.LabelClicked(i); });
    // Crossing the title strip turns the menu-bar labels and the links back.
    connect(imBar_, &PictureElement::moved, this, [this] {
        for (SkinLabel* l : labFolder_)
            l->SetTextColor(kLabelGrey);
        aboutButton_->SetPicture(art_->mail);
        imgques_->SetPicture(art_->ques);
    });

    aboutButton_ = new PictureElement(this, QSize(19, 18));
    aboutButton_->SetPicture(a.mail);
    aboutButton_->setToolTip(QStringLiteral("关于澄影集"));
    connect(aboutButton_, &PictureElement::moved, this, [this] { aboutButton_->SetPicture(art_->mailMove); });
    connect(aboutButton_, &PictureElement::clicked, this, [this] {
        AboutBox box(core_.paths, this);
        box.exec();
    });
    imgques_ = new PictureElement(this, QSize(19, 18));
    imgques_->SetPicture(a.ques);
    imgques_->setToolTip(QStringLiteral("　关于澄影集...(自述文件)　"));
    connect(imgques_, &PictureElement::moved, this, [this] { imgques_->SetPicture(art_->quesMove); });
    // The help opens in the desktop's own viewer; without it there is simply no help.
    connect(imgques_, &PictureElement::clicked, this, [this] {
        const QString readme = core_.paths.InProgramDir(QStringLiteral("readme.htm"));
        if (QFileInfo(readme).isFile())
            QDesktopServices::openUrl(QUrl::fromLocalFile(readme));
    });
    img4star_ = new PictureElement(this, QSize(70, 35));
    img4star_->SetPicture(a.star);
    img4star_->setToolTip(QStringLiteral("荣获四星级推荐"));
    img4star_->setCursor(Qt::PointingHandCursor);
    connect(img4star_, &PictureElement::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromUtf8(AboutBox::kHomePage))); });

    labInfo_ = new SkinLabel(this);
    labMusic_ = new SkinLabel(this);
    lab1ofsum_ = new SkinLabel(this);
    for (SkinLabel* l : {labInfo_, labMusic_, lab1ofsum_})
        l->SetTextColor(kInfoText);

    for (int i = 0; i < kBtnCount; ++i) {
        auto* b = new PictureElement(this, kBtnSize[i]);
        b->SetPicture(a.btnUp[i]);
        b->setToolTip(QString::fromUtf8(kBtnTips[i]));
        btn_[i] = b;
        connect(b, &PictureElement::pressed, this, [this, i](QMouseEvent* e) {
            btn_[i]->SetPicture(art_->btnDown[i]);
            btn_[i]->active = true;
            if (i == kThumb)
                ThumbPressed(e);
        });
        connect(b, &PictureElement::moved, this, [this, i](QMouseEvent* e) {
            if (!btn_[i]->active)
                btn_[i]->SetPicture(art_->btnMove[i]);
            else if (i == kThumb)
                ThumbMoved(e);
        });
        connect(b, &PictureElement::released, this, [this, i] {
            btn_[i]->SetPicture(art_->btnUp[i]);
            const bool wasPressed = btn_[i]->active;
            btn_[i]->active = false;
            if (i == kThumb && wasPressed)
                ThumbReleased();
            if (i == kThumb)
                labAnyPhoto_->hide();
        });
        if (i != kThumb)
            connect(b, &PictureElement::clicked, this, [this, i] { app_.BtnClick(i); });
    }
    btn_[6]->hide();
    btn_[6]->setEnabled(false);

    labAnyPhoto_ = new SkinLabel(this);
    labAnyPhoto_->SetBackColor(kAnyPhotoBack);
    labAnyPhoto_->SetTextColor(Qt::black);
    labAnyPhoto_->hide();

    // The small tool buttons of the quick-effect strip, each at its own place
    // on the track; the strip decides what they do and how they look.
    for (int i = 0; i < kSBtnCount; ++i) {
        sbtn_[i] = new PictureElement(this, QSize(16, 16));
        sbtn_[i]->setToolTip(QuickStrip::Tooltip(i));
        connect(sbtn_[i], &PictureElement::moved, this, [this, i] { app_.StripHover(i); });
        connect(sbtn_[i], &PictureElement::released, this, [this, i](QMouseEvent* e) {
            if (sbtn_[i]->rect().contains(e->position().toPoint()))
                app_.StripClick(i);
        });
    }
    ShowStripLooks();

    bottomGrip_ = new PictureElement(this);
    bottomGrip_->setCursor(Qt::SizeVerCursor);
    rightGrip_ = new PictureElement(this);
    rightGrip_->setCursor(Qt::SizeHorCursor);
    cornerGrip_ = new PictureElement(this, QSize(kPjiaoSize, kPjiaoSize));
    cornerGrip_->SetPicture(a.jiao);
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
        logoFrames_[i] = new PictureElement(this, a.pel[i].isNull() ? QSize(33, 31) : a.pel[i].size());
        logoFrames_[i]->SetPicture(a.pel[i]);
        logoFrames_[i]->hide();
    }
    // The finished logo is the maker's signature: a click on it writes to us.
    connect(logoFrames_[29], &PictureElement::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromUtf8(AboutBox::kMakerMail))); });
    logoTimer_.setInterval(200);
    connect(&logoTimer_, &QTimer::timeout, this, &MainWindow::LogoStep);
}

void MainWindow::Start()
{
    labInfo_->SetCaption(QString::fromUtf8(kGreeting));
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
    const bool areaFits = L.picphotoshow.width() >= 0 && L.picphotoshow.height() >= 0;
    if (areaFits)
        app_.LaidOut(L.ClientW, L.ClientH, L.ShowWidth, L.ShowHeight, L.ShowAspect);
    else
        app_.LaidOut(L.ClientW, L.ClientH, core_.state.ShowWidth, core_.state.ShowHeight,
                     core_.main.ShowAspect);

    Place(imBar_, L.IMBar);
    Place(immax_, L.Immax);
    Place(immin_, L.Immin);
    Place(imclose_, L.Imclose);
    Place(labInfo_, L.LabInfo);
    ArrangeInfoLine();

    for (int i = 0; i < kBtnCount; ++i)
        Place(btn_[i], L.Btn[i]);
    Place(labAnyPhoto_, L.LabAnyPhoto);
    labAnyPhoto_->SetCaption(core_.photos.Name(core_.CurPhoto()));

    for (int i = 0; i < kSBtnCount; ++i)
        Place(sbtn_[i], L.ImgSBtn[i]);

    Place(bottomGrip_, L.Pbottom);
    Place(rightGrip_, L.Pright);
    Place(cornerGrip_, L.Pjiao);

    PaintSkin();

    Place(imico_, L.Imico);
    Place(labTitle_, L.LabTitle);
    for (int i = 0; i < kFolderLabels; ++i)
        Place(labFolder_[i], L.LabFolder[i]);
    Place(aboutButton_, L.Imgmail);
    Place(imgques_, L.Imgques);
    Place(img4star_, L.Img4star);

    if (areaFits)
        area_->setGeometry(L.picphotoshow);

    if (!core_.position.CoverShowing()) {
        labInfo_->SetCaption(PhotoInfoText(core_.photos.Name(core_.CurPhoto()),
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
    try {
        if (back_.Width() != W || back_.Height() != H || !back_.HasPixels())
            back_.Create(W, H);
    } catch (const std::exception&) {
        return;
    }
    // The background colour is grey, the same value in all three bytes.
    for (int y = 0; y < H; ++y)
        std::memset(back_.RowPtr(y), kBackColor.red(), size_t(W) * 3);
    if (skin_.HasPixels()) {
        for (const SkinPiece& p : layout_.skin) {
            if (p.dst.size() == p.src.size())
                BitBlt(back_, p.dst.x(), p.dst.y(), p.dst.width(), p.dst.height(), skin_,
                       p.src.x(), p.src.y());
            else
                StretchBlt(back_, p.dst.x(), p.dst.y(), p.dst.width(), p.dst.height(), skin_,
                           p.src.x(), p.src.y(), p.src.width(), p.src.height());
        }
    }
    background_ = back_.ToQImage();
    // While maximised the maximise button's idle look is the restore glyph.
    if (isMaximized() && !art_->us0.isNull()) {
        QPainter p(&background_);
        p.drawPixmap(layout_.Immax, art_->us0);
    }
    update();
}

void MainWindow::ArrangeInfoLine()
{
    InfoLineInput in;
    in.infoLeft = labInfo_->x();
    in.infoTop = labInfo_->y();
    in.infoWidth = labInfo_->width();
    in.musicWidth = labMusic_->width();
    in.ofsumWidth = lab1ofsum_->width();
    in.starWidth = img4star_->width();
    in.clientW = core_.main.ClientW;
    const InfoLinePlacement p = tamsel::ArrangeInfoLine(in);
    labMusic_->setVisible(p.musicVisible);
    if (p.musicVisible)
        labMusic_->move(p.music);
    lab1ofsum_->setVisible(p.ofsumVisible);
    if (p.ofsumVisible)
        lab1ofsum_->move(p.ofsum);
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
    labMusic_->SetCaption(text);
    ArrangeInfoLine();
    if (beep)
        QApplication::beep();
}

void MainWindow::RequestStep() { area_->Kick(); }

void MainWindow::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    if (background_.isNull())
        p.fillRect(rect(), kBackColor);
    else
        p.drawImage(e->rect(), background_, e->rect());
}

void MainWindow::ClearHoverLooks()
{
    // The bare background clears every hover look.
    for (PictureElement* b : {immin_, immax_, imclose_}) {
        if (b->active) {
            b->SetPicture(QPixmap());
            b->active = false;
        }
    }
    ResetBarPictures();
}

void MainWindow::ResetBarPictures()
{
    for (int j = 0; j < kBtnCount; ++j)
        if (!btn_[j]->active)
            btn_[j]->SetPicture(art_->btnUp[j]);
    app_.StripLeaveAll();  // latched quick-effect buttons stay pressed
}

void MainWindow::ShowStripLooks()
{
    for (int k = 0; k < kSBtnCount; ++k) {
        sbtn_[k]->SetPicture(art_->imgs[k][int(app_.Strip().LookOf(k))]);
        sbtn_[k]->active = app_.Strip().Pressed(k);
    }
}

void MainWindow::SetBtnState(bool enabled)
{
    for (int i = 0; i < kBtnCount - 1; ++i)
        btn_[i]->setEnabled(enabled);
    for (int i = 0; i < kFolderLabels - 1; ++i)
        labFolder_[i]->setEnabled(enabled);
    for (QWidget* w : {static_cast<QWidget*>(rightGrip_), static_cast<QWidget*>(bottomGrip_),
                       static_cast<QWidget*>(immin_), static_cast<QWidget*>(immax_)})
        w->setEnabled(enabled);
}

void MainWindow::ShowStopButton(bool running)
{
    btn_[0]->setVisible(!running);
    btn_[6]->setEnabled(running);
    btn_[6]->setVisible(running);
    if (running)
        btn_[6]->raise();
}

void MainWindow::ShowInfo(const QString& text, bool beep)
{
    labInfo_->SetCaption(text);
    ArrangeInfoLine();
    if (beep)
        QApplication::beep();
}

void MainWindow::EnableAlbumLabels()
{
    for (int i = 1; i <= 3; ++i)
        labFolder_[i]->setEnabled(true);
}

void MainWindow::RefreshInfoLine()
{
    const int n = core_.state.PhotoCount;
    const int c = core_.CurPhoto();
    btn_[kThumb]->move(ThumbLeft(core_.main.ClientW, SkinWidth(), n, c), btn_[kThumb]->y());
    // After a photo that could not be loaded the info label keeps saying so:
    // the name and size would otherwise put this photo's name on the
    // previous photo's picture and size.
    if (!core_.shown.LoadFailed())
        labInfo_->SetCaption(PhotoInfoText(core_.shown.CurFileName(), core_.dibs.DibPhoto.FullWidth(),
                                       core_.dibs.DibPhoto.FullHeight(), core_.state.ShowWidth,
                                       core_.shown.CurFileInfo()));
    lab1ofsum_->SetCaption(PositionText(c, n));
    ArrangeInfoLine();
}

bool MainWindow::ResizeDragging() const
{
    return bottomGrip_->active || rightGrip_->active || cornerGrip_->active;
}

}  // namespace tamsel
