// Draws every picture the album installs (skin, buttons, icons, logo, cover,
// frame masks) into assets/data, and the desktop icon beside it.
//
//   tamsel-make-art [ASSETS_DIR]              write the pictures
//   tamsel-make-art --preview OUT_DIR         compose mock windows from them
#include "art/Art.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Painting needs fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    using namespace tamsel::art;

    if (argc >= 3 && std::strcmp(argv[1], "--preview") == 0) {
        const QString dir = QString::fromLocal8Bit(argv[2]);
        const QString data = QDir(QStringLiteral(TAMSEL_ASSETS_DIR)).filePath(QStringLiteral("data"));
        QDir().mkpath(dir);
        bool ok = true;
        ok &= WritePreview(data, QDir(dir).filePath(QStringLiteral("window-498x458.png")), 498, 458, 0);
        ok &= WritePreview(data, QDir(dir).filePath(QStringLiteral("window-800x600-rect.png")), 800, 600, 2);
        ok &= WritePreview(data, QDir(dir).filePath(QStringLiteral("window-419x411-oval.png")), 419, 411, 3);
        return ok ? 0 : 1;
    }

    const QString assets = argc >= 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TAMSEL_ASSETS_DIR);
    Output out(QDir(assets).filePath(QStringLiteral("data")), assets);
    PaintSkin(out);
    PaintBarButtons(out);
    PaintQuickIcons(out);
    PaintLogo(out);
    PaintTrim(out);
    PaintAppIcons(out);
    PaintCover(out);
    PaintMasks(out);
    // Dense screens get the skin and its elements drawn again at twice the
    // pixels. The quick-effect icons, the cover and the masks are already drawn
    // at double size, and the window icon comes in 256 pixels.
    SetScale(2);
    PaintSkin(out);
    PaintBarButtons(out);
    PaintLogo(out);
    PaintTrim(out);
    SetScale(1);
    for (const QString& line : out.Written())
        std::printf("%s\n", qPrintable(line));
    return out.Ok() ? 0 : 1;
}
