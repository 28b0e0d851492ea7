#include "album/ui/SettingsDialog.h"

#include "album/ui/FontDialog.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Paths.h"
#include "shell/ui/SkinWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

SettingsDialog::SettingsDialog(AlbumState& state, const AppPaths& paths, QWidget* parent)
    : SkinnedDialog(paths, QStringLiteral("/参数设置"), parent), state_(state), form_(state)
{
    form_.holdPaint = [this](bool hold) {
        if (holdPaint)
            holdPaint(hold);
    };
    setObjectName(QStringLiteral("frmSelSet"));
    askCover = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), AlbumFileFilter());
    };
    askTunes = [this] {
        return QFileDialog::getOpenFileNames(this, QStringLiteral("选择音乐文件"), QString(),
                                             QString::fromUtf8(kTuneFilter));
    };
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
    txtWidth_ = NumberBox(window, "txtWidth", 4);
    txtHeight_ = NumberBox(window, "txtHeight", 4);
    picBCol_ = new QLabel(window);
    picBCol_->setObjectName(QStringLiteral("picBCol"));
    picBCol_->setFixedSize(32, 18);
    picBCol_->setFrameShape(QFrame::Box);
    wg->addWidget(caption("宽度:"), 0, 0);
    wg->addWidget(txtWidth_, 0, 1);
    wg->addWidget(caption("高度:"), 0, 2);
    wg->addWidget(txtHeight_, 0, 3);
    wg->addWidget(caption("背景色"), 0, 4);
    wg->addWidget(picBCol_, 0, 5);
    wg->setColumnStretch(6, 1);

    // 浏览方式, with the cover beside it
    auto* style = new QGroupBox(QStringLiteral("浏览方式"), body);
    auto* sg = new QGridLayout(style);
    auto* styles = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        option2_[i] = new QRadioButton(QString::fromUtf8(kStyles[i]), style);
        option2_[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
        styles->addButton(option2_[i], i);
        sg->addWidget(option2_[i], i / 2, i % 2);
    }
    connect(styles, &QButtonGroup::idClicked, this, [this](int i) { form_.frameChoice = i; });
    auto* coverButton = new QPushButton(QStringLiteral("选择封面"), style);
    coverButton->setObjectName(QStringLiteral("Command2"));
    connect(coverButton, &QPushButton::clicked, this, &SettingsDialog::ChooseCover);
    image1_ = new QLabel(style);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setFixedSize(kPreview);
    image1_->setAlignment(Qt::AlignCenter);
    sg->addWidget(coverButton, 2, 0);
    sg->addWidget(image1_, 0, 2, 3, 1);

    // 切换效果
    auto* timing = new QGroupBox(QStringLiteral("切换效果"), body);
    auto* tg = new QGridLayout(timing);
    text2_ = NumberBox(timing, "Text2", 5);
    text3_ = NumberBox(timing, "Text3", 5);
    combo1_ = new QComboBox(timing);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->addItem(QString::fromUtf8(kRandomTransitions));
    tg->addWidget(caption("停顿时间："), 0, 0);
    tg->addWidget(text2_, 0, 1);
    tg->addWidget(caption("秒"), 0, 2);
    tg->addWidget(caption("切换速度(帧停顿)："), 1, 0);
    tg->addWidget(text3_, 1, 1);
    tg->addWidget(caption("毫秒"), 1, 2);
    tg->addWidget(caption("切换方式："), 2, 0);
    tg->addWidget(combo1_, 2, 1, 1, 2);
    tg->setColumnStretch(3, 1);

    // 背景音乐
    auto* music = new QGroupBox(QStringLiteral("背景音乐"), body);
    auto* mg = new QGridLayout(music);
    check1_ = new QCheckBox(QStringLiteral("同步播放"), music);
    check1_->setObjectName(QStringLiteral("Check1"));
    check2_ = new QCheckBox(QStringLiteral("循环播放"), music);
    check2_->setObjectName(QStringLiteral("Check2"));
    auto* tunesButton = new QPushButton(QStringLiteral("选择乐曲"), music);
    tunesButton->setObjectName(QStringLiteral("cmdSelMusic"));
    list1_ = new QListWidget(music);
    list1_->setObjectName(QStringLiteral("List1"));
    list1_->setFixedHeight(78);
    list1_->installEventFilter(this);
    mg->addWidget(check1_, 0, 0);
    mg->addWidget(check2_, 0, 1);
    mg->addWidget(tunesButton, 0, 2);
    mg->addWidget(list1_, 1, 0, 1, 3);
    connect(check1_, &QCheckBox::clicked, this, [this](bool on) {
        form_.SetMusicOn(on);
        if (musicSwitched)
            musicSwitched(on);
    });
    connect(check2_, &QCheckBox::clicked, this, [this](bool on) { form_.SetMusicLoop(on); });
    connect(tunesButton, &QPushButton::clicked, this, &SettingsDialog::ChooseTunes);

    // 字幕设置
    auto* captions = new QGroupBox(QStringLiteral("字幕设置"), body);
    auto* cg = new QVBoxLayout(captions);
    auto* fontRow = new QHBoxLayout;
    combo2_ = new QComboBox(captions);
    combo2_->setObjectName(QStringLiteral("Combo2"));
    combo2_->setMinimumWidth(110);
    auto* fontButton = new QPushButton(QStringLiteral("字体"), captions);
    fontButton->setObjectName(QStringLiteral("Command3"));
    connect(fontButton, &QPushButton::clicked, this, &SettingsDialog::ChooseFont);
    picTCol_ = new QLabel(captions);
    picTCol_->setObjectName(QStringLiteral("picTCol"));
    picTCol_->setFixedSize(24, 18);
    picTCol_->setFrameShape(QFrame::Box);
    fontRow->addWidget(combo2_, 1);
    fontRow->addWidget(fontButton);
    fontRow->addWidget(picTCol_);
    cg->addLayout(fontRow);

    auto* posRow = new QHBoxLayout;
    posRow->addWidget(new QLabel(QStringLiteral("窗口上定位"), captions));
    auto* grid = new QWidget(captions);
    grid->setFixedSize(kCell.width() * 3, kCell.height() * 3);
    const QPixmap cell = CellPicture();
    for (int i = 0; i < 9; ++i) {
        imgPos_[i] = new PictureElement(grid, kCell);
        imgPos_[i]->setObjectName(QStringLiteral("ImgPos%1").arg(i));
        imgPos_[i]->SetPicture(cell);
        imgPos_[i]->setToolTip(QString::fromUtf8(kPosTips[i]));
        imgPos_[i]->move((i % 3) * kCell.width(), (i / 3) * kCell.height());
        connect(imgPos_[i], &PictureElement::released, this, [this, i] {
            form_.SetCaptionPosition(i);
            PlaceMarker();
        });
    }
    labPos_ = new QLabel(QStringLiteral("字"), grid);
    labPos_->setObjectName(QStringLiteral("LabPos"));
    labPos_->setAlignment(Qt::AlignCenter);
    labPos_->setFixedSize(kCell);
    labPos_->setAttribute(Qt::WA_TransparentForMouseEvents);
    posRow->addWidget(grid);
    posRow->addStretch();
    cg->addLayout(posRow);

    auto* scopeRow = new QHBoxLayout;
    auto* scope = new QButtonGroup(this);
    option1_[0] = new QRadioButton(QStringLiteral("适用单张照片"), captions);
    option1_[1] = new QRadioButton(QStringLiteral("适用所有照片"), captions);
    for (int i = 0; i < 2; ++i) {
        option1_[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        scope->addButton(option1_[i], i);
        scopeRow->addWidget(option1_[i]);
    }
    // One photo at a time until the user asks for all: a plain "确定" must
    // not write one caption over every photo's own.
    option1_[0]->setChecked(true);
    connect(scope, &QButtonGroup::idClicked, this, [this](int i) { ChooseScope(i == 1); });
    cg->addLayout(scopeRow);

    file1_ = new QListWidget(captions);
    file1_->setObjectName(QStringLiteral("File1"));
    connect(file1_, &QListWidget::currentRowChanged, this, [this](int row) {
        form_.SelectPhoto(row);
        text1_->setText(form_.captionText);
    });
    cg->addWidget(file1_, 1);

    auto* textRow = new QHBoxLayout;
    text1_ = new QLineEdit(captions);
    text1_->setObjectName(QStringLiteral("Text1"));
    connect(text1_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.captionText = t; });
    textRow->addWidget(new QLabel(QStringLiteral("字幕:"), captions));
    textRow->addWidget(text1_, 1);
    cg->addLayout(textRow);
    cmdLink_ = new QPushButton(QStringLiteral("请将字幕与对应的照片进行锁定->"), captions);
    cmdLink_->setObjectName(QStringLiteral("cmdLink"));
    connect(cmdLink_, &QPushButton::clicked, this, &SettingsDialog::Link);
    cg->addWidget(cmdLink_);

    // The boxes' texts go to the form as they are typed.
    connect(txtWidth_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.widthText = t; });
    connect(txtHeight_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.heightText = t; });
    connect(text2_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.pauseText = t; });
    connect(text3_, &QLineEdit::textChanged, this, [this](const QString& t) { form_.frameDelayText = t; });
    connect(combo1_, &QComboBox::currentIndexChanged, this, [this](int i) { form_.transMode = std::max(i, 0); });

    // 取消, 确定 and the line that answers what was not accepted
    message_ = new QLabel(body);
    message_->setObjectName(QStringLiteral("LabMessage"));
    message_->setWordWrap(true);
    QPalette mp = message_->palette();
    mp.setColor(QPalette::WindowText, kMessageColour);
    message_->setPalette(mp);
    auto* cancel = new QPushButton(QStringLiteral("取消"), body);
    cancel->setObjectName(QStringLiteral("Command1_0"));
    auto* ok = new QPushButton(QStringLiteral("确定"), body);
    ok->setObjectName(QStringLiteral("Command1_1"));
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, [this] { Close(false); });
    connect(ok, &QPushButton::clicked, this, [this] { Close(true); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(message_, 1);
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
    return exec();
}

void SettingsDialog::Activate()
{
    message_->clear();
    const bool musicClicked = form_.Activate();
    ShowForm();
    if (musicClicked && musicSwitched)
        musicSwitched(form_.musicBox);
}

void SettingsDialog::ShowForm()
{
    txtWidth_->setText(form_.widthText);
    txtHeight_->setText(form_.heightText);
    SetSwatch(picBCol_, form_.backColor);
    if (form_.frameChoice >= 0 && form_.frameChoice < 4)
        option2_[size_t(form_.frameChoice)]->setChecked(true);
    text2_->setText(form_.pauseText);
    text3_->setText(form_.frameDelayText);
    combo1_->setCurrentIndex(form_.transMode);
    file1_->blockSignals(true);
    file1_->clear();
    file1_->addItems(form_.Photos().Names());
    file1_->blockSignals(false);
    text1_->setText(form_.captionText);
    check1_->setChecked(form_.musicBox);
    check2_->setChecked(form_.loopBox);
    ShowTunes();
    ShowFontLooks();
}

void SettingsDialog::ShowTunes()
{
    list1_->clear();
    list1_->addItems(form_.tuneLines);
    check1_->setChecked(form_.musicBox);
}

void SettingsDialog::ShowFontLooks()
{
    combo2_->clear();
    combo2_->addItems(form_.faces);
    combo2_->setCurrentIndex(form_.faceIndex);
    SetSwatch(picTCol_, form_.textColor);
    QFont f(state_.CapFontName);
    f.setPixelSize(kCell.height() - 6);
    labPos_->setFont(f);
    QPalette pal = labPos_->palette();
    pal.setColor(QPalette::WindowText, ColorFromRef(form_.textColor));
    labPos_->setPalette(pal);
    PlaceMarker();
}

void SettingsDialog::ShowCover()
{
    image1_->setPixmap(form_.coverPreview.isNull() ? Placeholder()
                                                   : QPixmap::fromImage(form_.coverPreview));
}

void SettingsDialog::PlaceMarker()
{
    const int i = std::clamp(state_.CapPos, 0, 8);
    labPos_->move(imgPos_[size_t(i)]->pos());
    labPos_->raise();
}

void SettingsDialog::Say(const QString& text, bool beep)
{
    message_->setText(text);
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
    message_->clear();
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

void SettingsDialog::ChooseTunes()
{
    const QStringList chosen = askTunes ? askTunes() : QStringList();
    if (chosen.isEmpty())
        return;
    const int left = form_.AddTunes(chosen);
    ShowTunes();
    if (left > 0)
        Say(QStringLiteral("乐曲列表最多 %1 首,另有 %2 首未加入").arg(kMaxTunes).arg(left), false);
}

void SettingsDialog::DeleteTune()
{
    const int s = list1_->currentRow();
    if (s < 0)
        return;
    const bool off = form_.DeleteTune(s);
    ShowTunes();
    list1_->setCurrentRow(std::min(s, list1_->count() - 1));
    if (off && musicSwitched)
        musicSwitched(false);
}

void SettingsDialog::ChooseScope(bool all)
{
    form_.allPhotos = all;
    file1_->setEnabled(!all);
    cmdLink_->setEnabled(!all);
    if (!all)
        text1_->setEnabled(true);
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
        QLineEdit* box = a.badField == SettingsForm::Field::Width    ? txtWidth_
                         : a.badField == SettingsForm::Field::Height ? txtHeight_
                         : a.badField == SettingsForm::Field::Pause  ? text2_
                                                                     : text3_;
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
        txtWidth_->setText(QString::number(state_.ShowWidth));
        txtHeight_->setText(QString::number(state_.ShowHeight));
    }
    check1_->setChecked(form_.musicBox);
    if (a.musicOff && musicSwitched)
        musicSwitched(false);
    if (ok)
        accept();
    else
        reject();
}

void SettingsDialog::CloseImageClicked()
{
    // Unloaded: nothing of the closing buttons runs, and the next opening
    // loads a new dialog.
    reject();
    deleteLater();
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == list1_ && e->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        DeleteTune();
        return true;
    }
    return SkinnedDialog::eventFilter(watched, e);
}

}  // namespace tamsel
