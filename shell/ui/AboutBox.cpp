#include "shell/ui/AboutBox.h"

#include "platform/Paths.h"

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
    resize(340, 214);
    const QRect body = BodyRect();

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(paths.InProgramDir(QStringLiteral("icon256.png")))
                        .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setGeometry(body.left() + 14, body.top() + 10, 64, 64);

    auto* name = new QLabel(QStringLiteral("澄影集"), this);
    QFont big = font();
    big.setFamily(QStringLiteral("楷体_GB2312"));
    big.setPointSizeF(20);
    name->setFont(big);
    name->setGeometry(body.left() + 92, body.top() + 8, 150, 34);

    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setGeometry(body.left() + 96, body.top() + 44, 150, 20);

    auto* words = new QLabel(QStringLiteral("数码相册与幻灯片放映"), this);
    words->setGeometry(body.left() + 96, body.top() + 64, 200, 20);

    const auto link = [this](const QString& text, const char* target) {
        auto* l = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                 .arg(QString::fromUtf8(target).toHtmlEscaped(), text),
                             this);
        l->setOpenExternalLinks(true);
        l->setTextInteractionFlags(Qt::TextBrowserInteraction);
        return l;
    };
    link(QStringLiteral("主页"), kHomePage)->setGeometry(body.left() + 20, body.bottom() - 34, 60, 20);
    link(QStringLiteral("写信给我们"), kMakerMail)
        ->setGeometry(body.left() + 76, body.bottom() - 34, 90, 20);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    ok->setGeometry(body.right() - 90, body.bottom() - 38, 72, 26);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tamsel
