#include "app/VideoCommandLine.h"

#include "album/ShowScript.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "platform/Fonts.h"
#include "show/VideoExport.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace tamsel {
namespace {

ExportProgress* g_running = nullptr;

// The exit status of a video written without some of the photos.
constexpr int kExitPhotosMissing = 3;

// Ctrl-C or a kill stops the export the way 取消 does, so no partial file stays.
extern "C" void CancelOnSignal(int)
{
    if (g_running)
        g_running->cancel = true;
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "tamsel: %s\n", message.trimmed().toLocal8Bit().constData());
    return 2;
}

// "WxH", or the album's photo area made even (the encoders want even sides).
QSize SizeFrom(const QString& text, const AlbumState& album)
{
    if (text.isEmpty())
        return {album.ShowWidth & ~1, int(album.ShowHeight) & ~1};
    const QStringList wh = text.split(QLatin1Char('x'));
    bool okW = false, okH = false;
    const QSize size(wh.value(0).toInt(&okW), wh.value(1).toInt(&okH));
    return wh.size() == 2 && okW && okH ? size : QSize();
}

}  // namespace

void AddVideoExportOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {QStringLiteral("export-video"),
         QStringLiteral("把演示脚本的幻灯片导出为视频 OUT.mp4 或 OUT.webm, 不开窗口; "
                        "退出码 0 完成, 2 失败, 3 视频已写出但有照片无法读出"),
         QStringLiteral("ALBUM.tms")},
        {QStringLiteral("size"), QStringLiteral("视频尺寸, 默认为照片区尺寸"),
         QStringLiteral("WxH")},
        {QStringLiteral("fps"), QStringLiteral("每秒帧数"), QStringLiteral("N"),
         QStringLiteral("30")},
        {QStringLiteral("seed"), QStringLiteral("随机切换方式的种子"),
         QStringLiteral("N"), QStringLiteral("1")},
    });
}

bool AsksForVideoExport(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--export-video") == 0 || std::strncmp(argv[i], "--export-video=", 15) == 0)
            return true;
    return false;
}

int ExportVideoFromCommandLine(int argc, char** argv)
{
    // Captions are drawn with the fonts; no window is opened, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RegisterFontSubstitutions();
    QCommandLineParser cli;
    cli.addHelpOption();
    AddVideoExportOptions(cli);
    cli.addPositionalArgument(QStringLiteral("out"), QStringLiteral("OUT.mp4 | OUT.webm"));
    cli.process(app);
    if (cli.positionalArguments().size() != 1)
        return Fail(QStringLiteral("--export-video ALBUM.tms OUT.mp4 [--size WxH] [--fps N] [--seed N]"));

    AlbumModel album(AppPaths::Resolve(), AlbumExtensions(), PhoneExtensions());
    ScriptRead read = ReadScript(cli.value(QStringLiteral("export-video")), album.state, album.photos);
    if (!read.outcome)
        return Fail(read.outcome.message);
    album.state = std::move(read.state);
    VideoRequest request;
    request.output = cli.positionalArguments().constFirst();
    request.size = SizeFrom(cli.value(QStringLiteral("size")), album.state);
    bool ok = false;
    request.fps = cli.value(QStringLiteral("fps")).toInt(&ok);
    if (!ok)
        request.fps = 0;
    request.seed = cli.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok)
        return Fail(QStringLiteral("--seed N"));

    ExportProgress progress;
    g_running = &progress;
    std::signal(SIGINT, CancelOnSignal);
    std::signal(SIGTERM, CancelOnSignal);
    std::signal(SIGHUP, CancelOnSignal);
    QStringList unread;
    const Outcome o = ExportVideo(album.state, album.photos, album.paths, request, progress, &unread);
    g_running = nullptr;
    if (!o || progress.cancel)
        return Fail(o.message);
    // The message names every photo the video lacks.
    if (o.HasMessage())
        std::fprintf(stderr, "tamsel: %s\n", o.message.trimmed().toLocal8Bit().constData());
    return unread.isEmpty() ? 0 : kExitPhotosMissing;
}

}  // namespace tamsel
