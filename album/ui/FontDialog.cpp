#include "album/ui/FontDialog.h"

#include "platform/Fonts.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

namespace tamsel {

namespace {

// The sixteen colours a desktop font dialog offers under its effects.
struct NamedColour {
    const char* name;
    int32_t ref;   // 0x00BBGGRR
};
constexpr NamedColour kColours[] = {
    {"黑色", 0x000000},   {"褐红色", 0x000080}, {"绿色", 0x008000},   {"橄榄色", 0x008080},
    {"深蓝色", 0x800000}, {"紫色", 0x800080},   {"蓝绿色", 0x808000}, {"灰色", 0x808080},
    {"银色", 0xC0C0C0},   {"红色", 0x0000FF},   {"酸橙色", 0x00FF00}, {"黄色", 0x00FFFF},
    {"蓝色", 0xFF0000},   {"紫红色", 0xFF00FF}, {"水绿色", 0xFFFF00}, {"白色", 0xFFFFFF},
};
const char* const kOtherColour = "其他颜色...";

QIcon Swatch(int32_t ref)
{
    QPixmap pm(16, 12);
    pm.fill(ColorFromRef(ref));
    QPainter p(&pm);
    p.setPen(Qt::gray);
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

}  // namespace

QStringList FontDialog::Faces()
{
    QStringList faces = {QStringLiteral("楷体_GB2312"), QStringLiteral("宋体")};
    QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    chinese << QFontDatabase::families(QFontDatabase::TraditionalChinese);
    for (const QString& f : chinese)
        if (!faces.contains(f) && !QFontDatabase::isPrivateFamily(f))
            faces << f;
    for (const QString& f : QFontDatabase::families())
        if (!faces.contains(f) && !QFontDatabase::isPrivateFamily(f))
            faces << f;
    return faces;
}

FontDialog::FontDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent), initial_(initial)
{
    setWindowTitle(QStringLiteral("字体"));
    setFont(WindowFont());
    setModal(true);

    faces_ = new QListWidget(this);
    QStringList faces = Faces();
    if (!initial.face.isEmpty() && !faces.contains(initial.face))
        faces.prepend(initial.face);   // a face a script brought along stays choosable
    faces_->addItems(faces);
    faces_->setCurrentRow(std::max(0, int(faces.indexOf(initial.face))));

    size_ = new QComboBox(this);
    size_->setEditable(true);
    for (int s = kMinCapFontSize; s <= kMaxCapFontSize; ++s)
        size_->addItem(QString::number(s));
    size_->lineEdit()->setValidator(new QDoubleValidator(1, 999, 1, size_));
    size_->setEditText(QString::number(initial.size));

    colour_ = new QComboBox(this);
    for (const NamedColour& c : kColours)
        colour_->addItem(Swatch(c.ref), QString::fromUtf8(c.name), c.ref);
    int at = colour_->findData(initial.colour);
    if (at < 0) {
        colour_->addItem(Swatch(initial.colour), QStringLiteral("自定义"), initial.colour);
        at = colour_->count() - 1;
    }
    colour_->addItem(QString::fromUtf8(kOtherColour));
    colour_->setCurrentIndex(at);
    lastColour_ = at;

    sample_ = new QLabel(QStringLiteral("澄影集 AaBbYyZz"), this);
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumSize(260, 64);
    sample_->setAutoFillBackground(true);
    QPalette sp = sample_->palette();
    sp.setColor(QPalette::Window, QColor(64, 72, 84));   // captions stand on photos
    sample_->setPalette(sp);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("字体:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("大小:"), this), 0, 1);
    grid->addWidget(faces_, 1, 0, 3, 1);
    grid->addWidget(size_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("颜色:"), this), 2, 1, Qt::AlignBottom);
    grid->addWidget(colour_, 3, 1, Qt::AlignTop);
    grid->addWidget(new QLabel(QStringLiteral("示例:"), this), 4, 0, 1, 2);
    grid->addWidget(sample_, 5, 0, 1, 2);
    grid->addWidget(buttons, 6, 0, 1, 2);

    connect(faces_, &QListWidget::currentRowChanged, this, &FontDialog::ShowSample);
    connect(size_, &QComboBox::currentTextChanged, this, &FontDialog::ShowSample);
    connect(colour_, &QComboBox::activated, this, &FontDialog::ColourActivated);
    ShowSample();
}

std::optional<FontChoice> FontDialog::Ask(const FontChoice& initial, QWidget* parent)
{
    FontDialog d(initial, parent);
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return d.Choice();
}

FontChoice FontDialog::Choice() const
{
    FontChoice c = initial_;
    if (const QListWidgetItem* item = faces_->currentItem())
        c.face = item->text();
    bool ok = false;
    const double size = size_->currentText().toDouble(&ok);
    if (ok && size > 0)
        c.size = size;
    const QVariant colour = colour_->currentData();
    if (colour.isValid())
        c.colour = colour.toInt();
    return c;
}

void FontDialog::ColourActivated(int index)
{
    if (!colour_->itemData(index).isValid()) {
        // "其他颜色...": any colour, kept as one more entry; cancelled, the
        // colour chosen before stays.
        const QColor c = QColorDialog::getColor(ColorFromRef(colour_->itemData(lastColour_).toInt()), this);
        if (c.isValid()) {
            const int32_t ref = ColorRef(c);
            lastColour_ = colour_->findData(ref);
            if (lastColour_ < 0) {
                colour_->insertItem(index, Swatch(ref), QStringLiteral("自定义"), ref);
                lastColour_ = index;
            }
        }
        colour_->setCurrentIndex(lastColour_);
    }
    lastColour_ = colour_->currentIndex();
    ShowSample();
}

void FontDialog::ShowSample()
{
    const FontChoice c = Choice();
    QFont f(c.face);
    f.setPointSizeF(std::clamp(c.size, double(kMinCapFontSize), double(kMaxCapFontSize)));
    sample_->setFont(f);
    QPalette sp = sample_->palette();
    sp.setColor(QPalette::WindowText, ColorFromRef(c.colour));
    sample_->setPalette(sp);
}

}  // namespace tamsel
