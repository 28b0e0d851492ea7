#include "shell/ui/HelpWindow.h"

#include "platform/Paths.h"

#include <QDesktopServices>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tamsel {

HelpWindow::HelpWindow(const AppPaths& paths, QWidget* parent)
    : SkinnedDialog(paths, QStringLiteral("澄影集 使用说明"), parent)
{
    // Beside the main window, not over it: the help is read while the album is used.
    setModal(false);
    browser_ = new QTextBrowser(Body());
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme().isEmpty() && url.path().isEmpty())
            browser_->scrollToAnchor(url.fragment());   // a section of the help
        else
            QDesktopServices::openUrl(url);             // the web, mail, another file
    });
    const QString readme = paths.InProgramDir(QStringLiteral("readme.htm"));
    QFile file(readme);
    hasHelp_ = file.open(QIODevice::ReadOnly);
    if (hasHelp_) {
        // The page's dark title band is a gradient the text view cannot draw:
        // its light title would stand on the paper colour, so here it is dark.
        QString html = QString::fromUtf8(file.readAll());
        html.replace(QStringLiteral("</head>"),
                     QStringLiteral("<style>header h1 { color: #22324a; } header p { color: #5a6476; }</style></head>"));
        browser_->document()->setBaseUrl(QUrl::fromLocalFile(readme));
        browser_->setHtml(html);
    } else {
        browser_->setPlainText(QStringLiteral("对不起,没有找到使用说明 %1").arg(readme));
    }
    auto* layout = new QVBoxLayout(Body());
    layout->setContentsMargins(8, 4, 8, 8);
    layout->addWidget(browser_);
    // The help's page is 860 pixels at most; this shows its text without a
    // sideways scroll and leaves room for the album beside it.
    setFixedSize(780, 600);
}

}  // namespace tamsel
