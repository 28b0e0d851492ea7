// tamsel-render: runs one transition between two pictures exactly as the slide
// show does and writes every frame it draws, for looking at effects, for
// previewing them and for the tests.
//
//   tamsel-render --effect N --from A.jpg --to B.jpg --size WxH --out DIR [--seed K]
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "imaging/Composer.h"
#include "model/AlbumView.h"
#include "platform/Fonts.h"
#include "show/TransitionEngine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

using namespace tamsel;

namespace {

struct StderrSink : AlbumView {
    void ShowInfo(const QString& text, bool) override
    {
        std::fprintf(stderr, "%s\n", text.trimmed().toLocal8Bit().constData());
    }
};

int Fail(const QString& message)
{
    std::fprintf(stderr, "tamsel-render: %s\n", message.toLocal8Bit().constData());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RegisterFontSubstitutions();

    QCommandLineParser cli;
    cli.setApplicationDescription("Runs one transition effect between two pictures.");
    cli.addHelpOption();
    const QString effects = QStringLiteral("Effect number 1..%1 (%2: none).").arg(EffectCount()).arg(kNoTransition);
    cli.addOptions({{"effect", effects, "N"},
                    {"from", "The picture on screen before.", "A"},
                    {"to", "The picture brought in.", "B"},
                    {"size", "Photo area size.", "WxH", "480x336"},
                    {"out", "Folder for the frames.", "DIR"},
                    {"seed", "Seed of the random choices.", "K", "1"}});
    cli.process(app);

    bool ok = false;
    const int effect = cli.value("effect").toInt(&ok);
    if (!ok || !(effect == kNoTransition || (effect >= 1 && effect <= EffectCount())))
        return Fail("--effect must be one of the effect numbers or " + QString::number(kNoTransition));
    const QStringList size = cli.value("size").split('x');
    const int W = size.value(0).toInt();
    const int H = size.value(1).toInt();
    if (size.size() != 2 || W <= 0 || H <= 0 || W > 8192 || H > 8192)
        return Fail("--size must be WxH");
    const QString from = cli.value("from"), to = cli.value("to"), out = cli.value("out");
    if (from.isEmpty() || to.isEmpty() || out.isEmpty())
        return Fail("--from, --to and --out are needed");
    if (!QDir().mkpath(out))
        return Fail("cannot make " + out);
    const uint32_t seed = cli.value("seed").toUInt();

    AlbumModel core(AppPaths::Resolve(), AlbumExtensions());
    AlbumState& s = core.state;
    s.ShowWidth = W;
    s.ShowHeight = H;
    s.FrameType = 0;
    s.CoverFile = QFileInfo(from).absoluteFilePath();
    core.main.ShowAspect = double(W) / double(H);
    StderrSink sink;
    Composer composer(core, ReportTo(sink));

    AlbumView host;
    const QString toPath = QFileInfo(to).absoluteFilePath();
    TransitionEngine engine(core, host, [&](const QString&) { return composer.DIBClonePicture(toPath); });
    // The old picture stands on the screen at rest, as after its own pan.
    ShowFace(engine, composer, W, H, true);
    engine.forcedEffect = effect;
    engine.reseedFromClock = false;
    engine.rng.Seed(seed);

    int frames = 0;
    bool done = false;
    engine.onFrame = [&](bool effectFrame) {
        const QString name = effectFrame ? QStringLiteral("%1.png").arg(++frames, 4, 10, QChar('0'))
                                         : QStringLiteral("final.png");
        engine.DibScreen().ToQImage().save(QDir(out).filePath(name));
        if (!effectFrame)
            done = true;
    };
    core.main.SetView(View::BringingIn);
    core.main.RequestPhoto();
    core.main.EndShow();
    // The load step, the effect's frames, the first pan step. A runaway effect
    // is cut off rather than left filling the disk.
    for (int step = 0; !done && step < 100000; ++step) {
        if (engine.Step().splitFrame)
            engine.FinishSplitFrame();
    }
    std::printf("frames: %d\n", frames);
    return done ? 0 : 1;
}
