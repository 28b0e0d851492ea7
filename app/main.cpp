#include "album/ShowScript.h"
#include "app/AlbumCore.h"
#include "platform/Fonts.h"
#include "platform/ui/QuitSignals.h"
#include "shell/ui/MainWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QSessionManager>

using namespace tamsel;

namespace {

// A folder or a show script named on the command line opens as if chosen in
// the program: a folder like picking its first photo, a script like "打开脚本...".
void OpenFromCommandLine(AlbumCore& core, MainWindow& window, const QString& arg)
{
    const QFileInfo fi(arg);
    if (fi.isDir()) {
        const QString folder = WithTrailingSlash(fi.absoluteFilePath());
        const bool same = folder == core.state.PhotoFolder;
        if (!core.photos.Point(folder) || core.photos.Count() == 0) {
            window.ShowInfo(QStringLiteral("  这个文件夹里没有照片: %1").arg(arg), true);
            core.photos.Point(core.state.PhotoFolder);
            return;
        }
        core.state.PhotoFolder = folder;
        core.state.PhotoCount = core.photos.Count();
        if (!same) {
            core.state.PhotoCaption = QStringList();
            core.state.PhotoCaption.resize(core.state.PhotoCount + 1);
        }
        core.state.CurPhoto = 0;
        core.state.CoverShowing = 0;
    } else if (fi.isFile()) {
        const ScriptResult r = ReadScript(fi.absoluteFilePath(), core.state, core.photos);
        if (!r.message.isEmpty())
            window.ShowInfo(r.message, true);
        core.state.CurPhoto = 0;
        core.state.CoverShowing = -1;
    } else {
        window.ShowInfo(QStringLiteral("  找不到 %1").arg(arg), true);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tamsel"));
    QApplication::setApplicationDisplayName(QStringLiteral("澄影集"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tamsel"));
    RegisterFontSubstitutions();

    AlbumCore core(AppPaths::Resolve());
    MainWindow window(core);
    const StartupReport report = core.Startup();
    if (!report.message.isEmpty())
        window.ShowInfo(report.message, true);

    const QStringList args = app.arguments();
    if (args.size() > 1)
        OpenFromCommandLine(core, window, args.at(1));

    // Every way the program can end writes the album state the same way.
    QuitSignals signals;
    QObject::connect(&signals, &QuitSignals::quitRequested, &app, &QApplication::quit);
    QObject::connect(&window, &MainWindow::closing, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, [&core] { core.Shutdown(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [&core](QSessionManager&) { core.Shutdown(); });

    window.SizeAndCentre();
    window.ShowCurrent();
    window.show();
    return app.exec();
}
