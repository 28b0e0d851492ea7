#include "shell/ui/AboutBox.h"

#include "platform/Paths.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tamsel {

const char* const AboutBox::kHomePage = "https://github.com/tamsel-album/tamsel";
const char* const AboutBox::kMakerMail =
    "mailto:tamsel-album@users.noreply.github.com?subject=澄影集";

QString AboutBox::VersionText()
{
    return QStringLiteral(" V %1.%2.%3")
        .arg(TAMSEL_VERSION_MAJOR)
        .arg(TAMSEL_VERSION_MINOR)
        .arg(TAMSEL_VERSION_PATCH);
}

AboutBox::AboutBox(const AppPaths& paths, QWidget* parent)
    : SkinnedDialog(paths, QStringLiteral("关于澄影集"), parent)
{
    auto* icon = new QLabel(Body());
    icon->setPixmap(QPixmap(paths.InProgramDir(QStringLiteral("icon256.png")))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto* name = new QLabel(QStringLiteral("澄影集"), Body());
    QFont big = font();
    big.setFamily(QStringLiteral("楷体_GB2312"));
    big.setPointSizeF(20);
    name->setFont(big);
    auto* version = new QLabel(VersionText(), Body());
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* words = new QLabel(QStringLiteral("数码相册与幻灯片放映"), Body());

    const auto link = [this](const QString& text, const char* target) {
        auto* l = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                 .arg(QString::fromUtf8(target).toHtmlEscaped(), text),
                             Body());
        l->setOpenExternalLinks(true);
        l->setTextInteractionFlags(Qt::TextBrowserInteraction);
        return l;
    };
    auto* ok = new QPushButton(QStringLiteral("确定"), Body());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(Body());
    grid->setContentsMargins(16, 8, 16, 10);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(words, 2, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(link(QStringLiteral("主页"), kHomePage));
    row->addSpacing(12);
    row->addWidget(link(QStringLiteral("写信给我们"), kMakerMail));
    row->addStretch(1);
    row->addWidget(ok);
    grid->addLayout(row, 3, 0, 1, 2);
    grid->setRowMinimumHeight(3, 44);
    FitToBody();
}

}  // namespace tamsel
