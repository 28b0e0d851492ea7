#include "app/AlbumApp.h"
#include "platform/Fonts.h"
#include "platform/ui/QuitSignals.h"
#include "shell/ui/MainWindow.h"
#include "show/ui/QtAudioPlayer.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QSessionManager>

using namespace tamsel;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tamsel"));
    QApplication::setApplicationDisplayName(QStringLiteral("澄影集"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tamsel"));
    RegisterFontSubstitutions();
    // Qt's own dialogs (files, colours) speak the program's language.
    QTranslator qtChinese;
    if (qtChinese.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtChinese);

    AlbumApp core(AppPaths::Resolve());
    const StartupReport report = core.Startup();
    core.SetPlayer(std::make_unique<QtAudioPlayer>());
    MainWindow window(core);
    window.Start();
    core.Begin(report);

    // Every way the program can end writes the album state the same way.
    QuitSignals signals;
    QObject::connect(&signals, &QuitSignals::quitRequested, &app, &QApplication::quit);
    QObject::connect(&window, &MainWindow::closing, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, [&core] { core.Shutdown(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [&core](QSessionManager&) { core.SaveAlbumData(); });

    window.show();

    // A folder or a show script named on the command line opens as if chosen
    // in the program: a folder like picking its first photo, a script like
    // "打开脚本...".
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        const QFileInfo fi(args.at(1));
        if (fi.isDir())
            core.OpenFolder(fi.absoluteFilePath());
        else if (fi.isFile())
            core.Report(core.OpenScript(fi.absoluteFilePath()));
        else
            core.Report(Outcome::Failed(QStringLiteral("  找不到 %1").arg(args.at(1))));
    }
    return app.exec();
}
