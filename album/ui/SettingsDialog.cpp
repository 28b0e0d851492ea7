#include "album/ui/SettingsDialog.h"

#include "album/Drops.h"
#include "album/ui/FontDialog.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/ui/DropCopy.h"
#include "platform/Paths.h"
#include "shell/ui/SkinWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tamsel {

namespace {

const QSize kPreview(120, 84);   // the cover preview, in the photo area's proportions
const QSize kCell(28, 20);       // one cell of the caption position grid
const QColor kMessageColour(178, 62, 48);

const char* const kPosTips[9] = {"左上", "中上", "右上", "左中", "中心",
                                 "右中", "左下", "中下", "右下"};
const char* const kStyles[4] = {"彩色原照", "黑白欣赏", "矩形像框", "椭圆像框"};

// A filled rectangle with a one-pixel rim and, when given, a text in it.
QPixmap Framed(QSize size, QColor fill, QColor rim, const QString& text = {})
{
    QPixmap pm(size);
    pm.fill(fill);
    QPainter p(&pm);
    p.setPen(rim);
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    if (!text.isEmpty())
        p.drawText(pm.rect(), Qt::AlignCenter, text);
    return pm;
}

// A cell of the position grid: a small dark photo area with a light rim.
QPixmap CellPicture() { return Framed(kCell, QColor(44, 61, 91), QColor(207, 192, 158)); }

// What stands in for a cover that cannot be shown.
QPixmap Placeholder()
{
    return Framed(kPreview, QColor(236, 228, 209), QColor(88, 98, 118), QStringLiteral("无法显示封面"));
}

void SetSwatch(QLabel* l, int32_t ref)
{
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, ColorFromRef(ref));
    l->setPalette(pal);
}

QLineEdit* NumberBox(QWidget* parent, const char* name, int digits)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    // Only digits can be typed; an empty box is answered on "确定".
    e->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,%1}").arg(digits)), e));
    e->setFixedWidth(56);
    return e;
}

}  // namespace

SettingsDialog::SettingsDialog(const AlbumState& state, const PhotoList& photos, const AppPaths& paths,
                               QWidget* parent)
    : SkinnedDialog(paths, QStringLiteral("/参数设置"), parent),
      state_(state),
      form_(state, photos, [this](const AlbumState& next) {
          if (applySettings)
              applySettings(next);
      })
{
    form_.holdPaint = [this](bool hold) {
        if (holdPaint)
            holdPaint(hold);
    };
    setObjectName(QStringLiteral("settingsDialog"));
    askFont = [this](const FontChoice& f) { return FontDialog::Ask(f, this); };

    BuildControls();
    FitToBody();

    // Load: the faces, the caption colour and marker, the cover.
    const Outcome loaded = form_.Load(kPreview);
    ShowFontLooks();
    ShowCover();
    if (loaded.HasMessage())
        Say(loaded.message, false);
}

void SettingsDialog::BuildControls()
{
    QWidget* body = Body();
    const auto caption = [body](const char* text) { return new QLabel(QString::fromUtf8(text), body); };

    // 窗口参数
    auto* window = new QGroupBox(QStringLiteral("窗口参数"), body);
    auto* wg = new QGridLayout(window);
    widthEdit_ = NumberBox(window, "widthEdit", 4);
    heightEdit_ = NumberBox(window, "heightEdit", 4);
    backColourSwatch_ = new QLabel(window);
    backColourSwatch_->setObjectName(QStringLiteral("backColourSwatch"));
    backColourSwatch_->setFixedSize(32, 18);
    backColourSwatch_->setFrameShape(QFrame::Box);
    wg->addWidget(caption("宽度:"), 0, 0);
    wg->addWidget(widthEdit_, 0, 1);
    wg->addWidget(caption("高度:"), 0, 2);
    wg->addWidget(heightEdit_, 0, 3);
    wg->addWidget(caption("背景色"), 0, 4);
    wg->addWidget(backColourSwatch_, 0, 5);
    wg->setColumnStretch(6, 1);

    // 浏览方式, with the cover beside it
    auto* style = new QGroupBox(QStringLiteral("浏览方式"), body);
    auto* sg = new QGridLayout(style);
    auto* styles = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        styleRadios_[i] = new QRadioButton(QString::fromUtf8(kStyles[i]), style);
        styleRadios_[i]->setObjectName(QStringLiteral("styleRadio%1").arg(i));
        styles->addButton(styleRadios_[i], i);
        sg->addWidget(styleRadios_[i], i / 2, i % 2);
    }
    connect(styles, &QButtonGroup::idClicked, this, [this](int i) { form_.frameChoice = i; });
    auto* coverButton = new QPushButton(QStringLiteral("选择封面"), style);
    coverButton->setObjectName(QStringLiteral("coverButton"));
    connect(coverButton, &QPushButton::clicked, this, &SettingsDialog::ChooseCover);
    coverPreview_ = new QLabel(style);
    coverPreview_->setObjectName(QStringLiteral("coverPreview"));
    coverPreview_->setFixedSize(kPreview);
    coverPreview_->setAlignment(Qt::AlignCenter);
    sg->addWidget(coverButton, 2, 0);
    sg->addWidget(coverPreview_, 0, 2, 3, 1);

    // 切换效果
    auto* timing = new QGroupBox(QStringLiteral("切换效果"), body);
    auto* tg = new QGridLayout(timing);
    pauseEdit_ = NumberBox(timing, "pauseEdit", 5);
    frameDelayEdit_ = NumberBox(timing, "frameDelayEdit", 5);
    transitionCombo_ = new QComboBox(timing);
    transitionCombo_->setObjectName(QStringLiteral("transitionCombo"));
    transitionCombo_->addItem(QString::fromUtf8(kRandomTransitions));
    tg->addWidget(caption("停顿时间："), 0, 0);
    tg->addWidget(pauseEdit_, 0, 1);
    tg->addWidget(caption("秒"), 0, 2);
    tg->addWidget(caption("切换速度(帧停顿)："), 1, 0);
    tg->addWidget(frameDelayEdit_, 1, 1);
    tg->addWidget(caption("毫秒"), 1, 2);
    tg->addWidget(caption("切换方式："), 2, 0);
    tg->addWidget(transitionCombo_, 2, 1, 1, 2);
    tg->setColumnStretch(3, 1);

    // 背景音乐
    auto* music = new QGroupBox(QStringLiteral("背景音乐"), body);
    auto* mg = new QGridLayout(music);
    musicOnCheck_ = new QCheckBox(QStringLiteral("同步播放"), music);
    musicOnCheck_->setObjectName(QStringLiteral("musicOnCheck"));
    musicLoopCheck_ = new QCheckBox(QStringLiteral("循环播放"), music);
    musicLoopCheck_->setObjectName(QStringLiteral("musicLoopCheck"));
    auto* tunesButton = new QPushButton(QStringLiteral("选择乐曲"), music);
    tunesButton->setObjectName(QStringLiteral("tunesButton"));
    tuneList_ = new QListWidget(music);
    tuneList_->setObjectName(QStringLiteral("tuneList"));
    tuneList_->setFixedHeight(78);
    tuneList_->installEventFilter(this);
    // Music files dropped on the list join it; the list's own item moving stays off.
    tuneDropArea_ = tuneList_->viewport();
    tuneDropArea_->setAcceptDrops(true);
    tuneDropArea_->installEventFilter(this);
    mg->addWidget(musicOnCheck_, 0, 0);
    mg->addWidget(musicLoopCheck_, 0, 1);
    mg->addWidget(tunesButton, 0, 2);
    mg->addWidget(tuneList_, 1, 0, 1, 3);
    connect(musicOnCheck_, &QCheckBox::clicked, this, [this](bool on) {
        form_.SetMusicOn(on);
        if (musicSwitched)
            musicSwitched(on);
    });
    connect(musicLoopCheck_, &QCheckBox::clicked, this, [this](bool on) { form_.SetMusicLoop(on); });
    connect(tunesButton, &QPushButton::clicked, this, &SettingsDialog::ChooseTunes);

    // 字幕设置
    auto* captions = new QGroupBox(QStringLiteral("字幕设置"), body);
    auto* cg = new QVBoxLayout(captions);
    auto* fontRow = new QHBoxLayout;
    captionFontCombo_ = new QComboBox(captions);
    captionFontCombo_->setObjectName(QStringLiteral("captionFontCombo"));
    captionFontCombo_->setMinimumWidth(110);
    auto* fontButton = new QPushButton(QStringLiteral("字体"), captions);
    fontButton->setObjectName(QStringLiteral("fontButton"));
    connect(fontButton, &QPushButton::clicked, this, &SettingsDialog::ChooseFont);
    captionColourSwatch_ = new QLabel(captions);
    captionColourSwatch_->setObjectName(QStringLiteral("captionColourSwatch"));
    captionColourSwatch_->setFixedSize(24, 18);
    captionColourSwatch_->setFrameShape(QFrame::Box);
    fontRow->addWidget(captionFontCombo_, 1);
    fontRow->addWidget(fontButton);
    fontRow->addWidget(captionColourSwatch_);
    cg->addLayout(fontRow);

    auto* posRow = new QHBoxLayout;
    posRow->addWidget(new QLabel(QStringLiteral("窗口上定位"), captions));
    auto* grid = new QWidget(captions);
    grid->setFixedSize(kCell.width() * 3, kCell.height() * 3);
    const QPixmap cell = CellPicture();
    for (int i = 0; i < 9; ++i) {
        captionCells_[i] = new PictureElement(grid, kCell);
        captionCells_[i]->setObjectName(QStringLiteral("captionCell%1").arg(i));
        captionCells_[i]->SetPicture(cell);
        captionCells_[i]->setToolTip(QString::fromUtf8(kPosTips[i]));
        captionCells_[i]->move((i % 3) * kCell.width(), (i / 3) * kCell.height());
        connect(captionCells_[i], &PictureElement::released, this, [this, i] {
            form_.SetCaptionPosition(i);
            PlaceMarker();
        });
    }
    captionMarker_ = new QLabel(QStringLiteral("字"), grid);
    captionMarker_->setObjectName(QStringLiteral("captionMarker"));
    captionMarker_->setAlignment(Qt::AlignCenter);
    captionMarker_->setFixedSize(kCell);
    captionMarker_->setAttribute(Qt::WA_TransparentForMouseEvents);
    posRow->addWidget(grid);
    posRow->addStretch();
    cg->addLayout(posRow);

    auto* scopeRow = new QHBoxLayout;
    auto* scope = new QButtonGroup(this);
    captionScope_[0] = new QRadioButton(QStringLiteral("适用单张照片"), captions);
    captionScope_[1] = new QRadioButton(QStringLiteral("适用所有照片"), captions);
    for (int i = 0; i < 2; ++i) {
        captionScope_[i]->setObjectName(QString::fromLatin1(i == 0 ? "captionScopeOne" : "captionScopeAll"));
        scope->addButton(captionScope_[i], i);
        scopeRow->addWidget(captionScope_[i]);
    }
    // One photo at a time until the user asks for all: a plain "确定" must
    // not write one caption over every photo's own.
    captionScope_[0]->setChecked(true);
    connect(scope, &QButtonGroup::idClicked, this, [this](int i) { ChooseScope(i == 1); });
    cg->addLayout(scopeRow);

    photoList_ = new QListWidget(captions);
    photoList_->setObjectName(QStringLiteral("photoList"));
    // A click shows the photo's caption, also on the photo already chosen:
    // it brings back the stored caption over what was typed since.
    const auto showCaptionOf = [this](int row) {
        form_.SelectPhoto(row);
        captionEdit_->setText(form_.captionText);
    };
    connect(photoList_, &QListWidget::currentRowChanged, this, showCaptionOf);
    connect(photoList_, &QListWidget::itemClicked, this,
            [this, showCaptionOf](QListWidgetItem* item) { showCaptionOf(photoList_->row(item)); });
    cg->addWidget(photoList_, 1);

    auto* textRow = new QHBoxLayout;
    captionEdit_ = new QLineEdit(captions);
    captionEdit_->setObjectName(QStringLiteral("captionEdit"));
    connect(captionEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.captionText = t; });
    textRow->addWidget(new QLabel(QStringLiteral("字幕:"), captions));
    textRow->addWidget(captionEdit_, 1);
    cg->addLayout(textRow);
    linkCaptionButton_ = new QPushButton(QStringLiteral("请将字幕与对应的照片进行锁定->"), captions);
    linkCaptionButton_->setObjectName(QStringLiteral("linkCaptionButton"));
    connect(linkCaptionButton_, &QPushButton::clicked, this, &SettingsDialog::Link);
    cg->addWidget(linkCaptionButton_);

    // The boxes' texts go to the form as they are typed.
    connect(widthEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.widthText = t; });
    connect(heightEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.heightText = t; });
    connect(pauseEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.pauseText = t; });
    connect(frameDelayEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.frameDelayText = t; });
    connect(transitionCombo_, &QComboBox::currentIndexChanged, this, [this](int i) { form_.transMode = std::max(i, 0); });

    // 取消, 确定 and the line that answers what was not accepted
    messageLabel_ = new QLabel(body);
    messageLabel_->setObjectName(QStringLiteral("messageLabel"));
    messageLabel_->setWordWrap(true);
    QPalette mp = messageLabel_->palette();
    mp.setColor(QPalette::WindowText, kMessageColour);
    messageLabel_->setPalette(mp);
    auto* cancel = new QPushButton(QStringLiteral("取消"), body);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* ok = new QPushButton(QStringLiteral("确定"), body);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, [this] { Close(false); });
    connect(ok, &QPushButton::clicked, this, [this] { Close(true); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(messageLabel_, 1);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);

    auto* left = new QVBoxLayout;
    left->addWidget(window);
    left->addWidget(style);
    left->addWidget(timing);
    left->addWidget(music);
    auto* top = new QGridLayout(body);
    top->setContentsMargins(6, 4, 6, 4);
    top->addLayout(left, 0, 0);
    top->addWidget(captions, 0, 1);
    top->addLayout(buttons, 1, 0, 1, 2);
}

int SettingsDialog::Open()
{
    Activate();
    // Over the main window at every opening, wherever it has moved since.
    if (QWidget* over = parentWidget() ? parentWidget()->window() : nullptr)
        move(over->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    return exec();
}

void SettingsDialog::reject()
{
    // Esc and the window manager's close end the dialog as "取消" does.
    Close(false);
}

void SettingsDialog::Activate()
{
    messageLabel_->clear();
    const bool musicClicked = form_.Activate();
    ShowForm();
    if (musicClicked && musicSwitched)
        musicSwitched(form_.musicBox);
}

void SettingsDialog::ShowForm()
{
    widthEdit_->setText(form_.widthText);
    heightEdit_->setText(form_.heightText);
    SetSwatch(backColourSwatch_, form_.backColor);
    if (form_.frameChoice >= 0 && form_.frameChoice < 4)
        styleRadios_[size_t(form_.frameChoice)]->setChecked(true);
    pauseEdit_->setText(form_.pauseText);
    frameDelayEdit_->setText(form_.frameDelayText);
    transitionCombo_->setCurrentIndex(form_.transMode);
    photoList_->blockSignals(true);
    photoList_->clear();
    photoList_->addItems(form_.Photos().Names());
    photoList_->blockSignals(false);
    captionEdit_->setText(form_.captionText);
    musicOnCheck_->setChecked(form_.musicBox);
    musicLoopCheck_->setChecked(form_.loopBox);
    ShowTunes();
    ShowFontLooks();
}

void SettingsDialog::ShowTunes()
{
    tuneList_->clear();
    tuneList_->addItems(form_.tuneLines);
    musicOnCheck_->setChecked(form_.musicBox);
}

void SettingsDialog::ShowFontLooks()
{
    captionFontCombo_->clear();
    captionFontCombo_->addItems(form_.faces);
    captionFontCombo_->setCurrentIndex(form_.faceIndex);
    SetSwatch(captionColourSwatch_, form_.textColor);
    QFont f(state_.CapFontName);
    f.setPixelSize(kCell.height() - 6);
    captionMarker_->setFont(f);
    QPalette pal = captionMarker_->palette();
    pal.setColor(QPalette::WindowText, ColorFromRef(form_.textColor));
    captionMarker_->setPalette(pal);
    PlaceMarker();
}

void SettingsDialog::ShowCover()
{
    coverPreview_->setPixmap(form_.coverPreview.isNull() ? Placeholder()
                                                   : QPixmap::fromImage(form_.coverPreview));
}

void SettingsDialog::PlaceMarker()
{
    const int i = std::clamp(state_.CapPos, 0, 8);
    captionMarker_->move(captionCells_[size_t(i)]->pos());
    captionMarker_->raise();
}

void SettingsDialog::Say(const QString& text, bool beep)
{
    messageLabel_->setText(text);
    if (beep)
        QApplication::beep();
}

void SettingsDialog::ChooseCover()
{
    const QString path = askCover ? askCover() : QString();
    if (path.isEmpty())
        return;
    const Outcome o = form_.ChooseCover(path, kPreview);
    if (!o) {
        Say(o.message, true);
        return;
    }
    messageLabel_->clear();
    ShowCover();
    if (coverChanged)
        coverChanged();
}

void SettingsDialog::ChooseFont()
{
    form_.BeginFontChoice();
    const std::optional<FontChoice> chosen =
        askFont ? askFont({state_.CapFontName, double(state_.CapFontSize), form_.textColor})
                : std::nullopt;
    if (!chosen)
        return;
    form_.ApplyFont(*chosen);
    ShowFontLooks();
}

void SettingsDialog::ChooseTunes() { AddTunes(askTunes ? askTunes() : QStringList()); }

void SettingsDialog::AddTunes(const QStringList& chosen)
{
    if (chosen.isEmpty())
        return;
    const int left = form_.AddTunes(chosen);
    ShowTunes();
    if (left > 0)
        Say(QStringLiteral("乐曲列表最多 %1 首,另有 %2 首未加入").arg(kMaxTunes).arg(left), false);
}

bool SettingsDialog::TuneDrop(QEvent* e)
{
    if (e->type() == QEvent::DragMove)
        return true;   // taken or not as its entering was
    auto* drop = static_cast<QDropEvent*>(e);
    const DroppedTunes d = TunesDropped(drop->mimeData()->urls());
    if (d.tunes.isEmpty()) {
        // The pointer says no; the line says why.
        drop->ignore();
        if (!d.refusal.isEmpty())
            Say(d.refusal.trimmed(), e->type() == QEvent::Drop);
        return true;
    }
    if (TakeAsCopy(drop) && e->type() == QEvent::Drop) {
        Say(d.refusal.trimmed(), false);
        AddTunes(d.tunes);
    }
    return true;
}

void SettingsDialog::DeleteTune()
{
    const int s = tuneList_->currentRow();
    if (s < 0)
        return;
    const bool off = form_.DeleteTune(s);
    ShowTunes();
    tuneList_->setCurrentRow(std::min(s, tuneList_->count() - 1));
    if (off && musicSwitched)
        musicSwitched(false);
}

void SettingsDialog::ChooseScope(bool all)
{
    form_.allPhotos = all;
    photoList_->setEnabled(!all);
    linkCaptionButton_->setEnabled(!all);
    if (!all)
        captionEdit_->setEnabled(true);
}

void SettingsDialog::Link()
{
    if (form_.LinkCaption())
        Say(QStringLiteral("字幕已锁定到 %1").arg(form_.Photos().Name(form_.selectedPhoto)), false);
    else
        Say(QStringLiteral("请先在列表中选定一张照片"), true);
}

void SettingsDialog::Close(bool ok)
{
    const SettingsForm::Applied a = ok ? form_.Ok() : form_.Cancel();
    if (!a.outcome) {
        Say(a.outcome.message, true);
        QLineEdit* box = a.badField == SettingsForm::Field::Width    ? widthEdit_
                         : a.badField == SettingsForm::Field::Height ? heightEdit_
                         : a.badField == SettingsForm::Field::Pause  ? pauseEdit_
                                                                     : frameDelayEdit_;
        box->setFocus();
        box->selectAll();
        return;
    }
    if (ok) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (styleApplied)
            styleApplied(state_.FrameType);
        if (a.sizeChanged && applySize)
            applySize(state_.ShowWidth, state_.ShowHeight);
        QApplication::restoreOverrideCursor();
        // The boxes show what was stored, clamped.
        widthEdit_->setText(QString::number(state_.ShowWidth));
        heightEdit_->setText(QString::number(state_.ShowHeight));
    }
    musicOnCheck_->setChecked(form_.musicBox);
    if (a.musicOff && musicSwitched)
        musicSwitched(false);
    done(ok ? Accepted : Rejected);
}

void SettingsDialog::CloseImageClicked()
{
    // Closed by its picture: nothing of the closing buttons runs, and the next opening
    // loads a new dialog.
    done(Rejected);
    deleteLater();
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == tuneList_ && e->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        DeleteTune();
        return true;
    }
    if (watched == tuneDropArea_ &&
        (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove || e->type() == QEvent::Drop))
        return TuneDrop(e);
    return SkinnedDialog::eventFilter(watched, e);
}

}  // namespace tamsel
