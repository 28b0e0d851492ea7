#include "tools/ui/BalanceDialog.h"

#include "model/AlbumState.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace tamsel {
namespace {

struct BalanceSlider {
    const char* label;
    const char* name;
    int min, max, initial, largeStep;
};

constexpr BalanceSlider kSliders[3] = {
    {"亮  度：", "brightness", -255, 255, 0, 25},
    {"色  度：", "hue", 0, 3600, 0, 360},
    {"饱和度：", "saturation", 0, 1000, 100, 100},
};

}  // namespace

BalanceDialog::BalanceDialog(ColourBalance& balance, QWidget* parent) : QDialog(parent), balance_(balance)
{
    setWindowTitle(QStringLiteral("平衡"));
    setObjectName(QStringLiteral("balanceDialog"));

    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        const BalanceSlider& slider = kSliders[i];
        auto* name = new QLabel(QString::fromUtf8(slider.label), this);
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QString::fromLatin1(slider.name) + QStringLiteral("Slider"));
        bar->setRange(slider.min, slider.max);
        bar->setPageStep(slider.largeStep);
        bar->setSingleStep(1);
        bar->setValue(slider.initial);
        bar->setMinimumWidth(240);
        auto* value = new QLabel(QString::number(bar->value()), this);
        value->setObjectName(QString::fromLatin1(slider.name) + QStringLiteral("Value"));
        value->setMinimumWidth(QFontMetrics(value->font()).horizontalAdvance(QStringLiteral("-0000")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // valueChanged fires for every step of a drag as well as for clicks.
        connect(bar, &QScrollBar::valueChanged, value,
                [value](int v) { value->setText(QString::number(v)); });
        grid->addWidget(name, i, 0);
        grid->addWidget(bar, i, 1);
        grid->addWidget(value, i, 2);
        sliders_[i] = bar;
        values_[i] = value;
    }

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &BalanceDialog::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    balance_.BalBright = 0;
    balance_.BalHue = 0;
    balance_.BalSat = 100;
}

void BalanceDialog::Confirm()
{
    balance_.BalBright = sliders_[0]->value();
    balance_.BalHue = sliders_[1]->value();
    balance_.BalSat = sliders_[2]->value();
    accept();
}

bool BalanceDialog::Ask(ColourBalance& balance, QWidget* parent)
{
    BalanceDialog dialog(balance, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tamsel
