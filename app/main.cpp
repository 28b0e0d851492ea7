#include "app/AlbumApp.h"
#include "app/MediaRemote.h"
#include "imaging/ColourProfile.h"
#include "imaging/Decoded.h"
#include "platform/ScreenProfile.h"
#include "app/VideoCommandLine.h"
#include "platform/Fonts.h"
#include "platform/QuitSignalRoute.h"
#include "platform/ui/BusyMeter.h"
#include "platform/ui/QuitSignals.h"
#include "shell/ui/MainWindow.h"
#include "show/ui/MusicProcess.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QSessionManager>

#include <cstring>
#include <optional>

using namespace tamsel;

namespace {

void DescribeCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("澄影集: 数码相册与幻灯片放映"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("path"),
                                 QStringLiteral("照片文件夹、照片或演示脚本 (.tms)"),
                                 QStringLiteral("[FOLDER | PHOTO | SCRIPT.tms]"));
    AddVideoExportOptions(parser);
}

// Qt's own texts (its dialogs, its command-line lines) in the program's language.
bool LoadQtChinese(QTranslator& t)
{
    return t.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

// --help and --version answer on the terminal, with or without a display.
bool AsksOnlyForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* o : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], o) == 0)
                return true;
    return false;
}

// Hands every event it delivers to the busy meter, when one is set.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    BusyMeter* meter = nullptr;
    bool notify(QObject* receiver, QEvent* e) override
    {
        if (!meter)
            return QApplication::notify(receiver, e);
        // The event's kind and receiver, taken first: a delivery may delete both.
        const auto type = e->type();
        const char* cls = receiver->metaObject()->className();
        const QString name = receiver->objectName();
        meter->Enter();
        const bool handled = QApplication::notify(receiver, e);
        meter->Leave([&] {
            return QStringLiteral("%1:%2%3").arg(int(type)).arg(QLatin1String(cls)).arg(
                name.isEmpty() ? QString() : QStringLiteral("(%1)").arg(name));
        });
        return handled;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    // --help and --version answer first, for the export's options as well.
    if (AsksOnlyForText(argc, argv)) {
        QCoreApplication text(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("tamsel"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TAMSEL_VERSION));
        // Qt's own lines ("用法", the help and version options) in Chinese too.
        QTranslator qtChinese;
        if (LoadQtChinese(qtChinese))
            QCoreApplication::installTranslator(&qtChinese);
        QCommandLineParser parser;
        DescribeCommandLine(parser);
        parser.process(text);   // prints and ends the program
        return 0;
    }
    // The export without a window takes the quit signals itself, as a cancel.
    if (AsksForVideoExport(argc, argv))
        return ExportVideoFromCommandLine(argc, argv);
    // Before any thread exists, so that every thread inherits the mask and
    // only the signal thread takes a quit signal.
    BlockQuitSignals();
    // For the window benchmarks: the longest the window's thread was busy.
    // Made first, so that it outlasts every event.
    std::optional<BusyMeter> busy;
    if (qEnvironmentVariableIsSet("TAMSEL_BUSY_LOG"))
        busy.emplace(qEnvironmentVariable("TAMSEL_BUSY_LOG"));
    TimedApplication app(argc, argv);
    app.meter = busy ? &*busy : nullptr;
    QApplication::setApplicationName(QStringLiteral("tamsel"));
    // No display name: the window manager would show it after every
    // window's own title ("照片批量改名 — 澄影集").
    QGuiApplication::setDesktopFileName(QStringLiteral("tamsel"));
    QApplication::setApplicationVersion(QStringLiteral(TAMSEL_VERSION));
    RegisterFontSubstitutions();
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(app);
    // Qt's own dialogs (files, colours) speak the program's language.
QTranslator qtChinese;
    if (LoadQtChinese(qtChinese))
        QCoreApplication::installTranslator(&qtChinese);

    // Photos with a profile are shown in the screen's colours, known before
    // the first photo is decoded. The switch shows their numbers as they are.
    SetColourManagement(!qEnvironmentVariableIsSet("TAMSEL_NO_COLOUR_MANAGEMENT"));
    // colord's profile for the output on any session; the root window's
    // property on an X11 session without colord.
    const QScreen* screen = QGuiApplication::primaryScreen();
    QByteArray screenProfile =
        ColordDisplayProfile(QDBusConnection::systemBus(), screen ? screen->name() : QString());
    if (screenProfile.isEmpty() && QGuiApplication::platformName() == QLatin1String("xcb"))
        screenProfile = RootWindowIccProfile();
    SetDisplayProfile(screenProfile);

    AlbumApp core(AppPaths::Resolve());
    const StartupReport report = core.Startup();
    core.SetPlayer(std::make_unique<MusicProcess>());
    MainWindow window(core);
    window.Start();
    core.Begin(report);

    // Every way the program can end writes the album state the same way.
    // A quit signal stops every decode at once: the window's thread may be
    // waiting on one, and the quit must not wait behind a damaged file.
    QuitSignals signals([] { StopDecodes(); });
    QObject::connect(&signals, &QuitSignals::quitRequested, &window, &MainWindow::QuitWhenIdle);
    QObject::connect(&window, &MainWindow::closing, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, [&core] { core.Shutdown(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest,
                     [&core](QSessionManager&) { core.SaveAlbumData(); });

    // The desktop's media keys and controls drive the show; no bus, no remote.
    MediaRemote remote(core, {[&window] {
                                  if (window.isMinimized())
                                      window.showNormal();
                                  window.raise();
                                  window.activateWindow();
                              },
                              [&window] { window.close(); }});
    if (remote.Offer(QDBusConnection::sessionBus()))
        core.WatchShown([&remote] { remote.Changed(); });

    window.show();

    // A folder, a photo or a show script named on the command line opens as
    // if chosen in the program.
    if (!parser.positionalArguments().isEmpty())
        core.OpenPath(parser.positionalArguments().constFirst());
    const int status = app.exec();
    core.WatchShown({});   // the remote goes before the album
    return status;
}
