#include "shell/ui/SkinArt.h"

#include "imaging/QuickStrip.h"
#include "platform/Paths.h"

#include <QFileInfo>

namespace tamsel {

QPixmap LoadSkinPicture(const AppPaths& paths, const QString& fileName, double ratio)
{
    if (ratio >= 1.5 && fileName.endsWith(QStringLiteral(".png"))) {
        QString dense = fileName;
        dense.insert(dense.size() - 4, QStringLiteral("@2x"));
        QPixmap pm(paths.InProgramDir(dense));
        if (!pm.isNull()) {
            pm.setDevicePixelRatio(2);
            return pm;
        }
    }
    return QPixmap(paths.InProgramDir(fileName));
}

SkinArt SkinArt::Load(const AppPaths& paths, double ratio)
{
    const auto load = [&paths, ratio](const QString& name) {
        return LoadSkinPicture(paths, name + QStringLiteral(".png"), ratio);
    };
    SkinArt a;
    static const char* const kBarNames[kBarButtons] = {"play", "first", "prev", "next",
                                                     "last", "thumb", "stop"};
    for (int i = 0; i < kBarButtons; ++i) {
        const QString base = QStringLiteral("btn_%1_").arg(QLatin1String(kBarNames[i]));
        a.barUp[i] = load(base + "normal");
        a.barHover[i] = load(base + "hover");
        a.barDown[i] = load(base + "pressed");
    }
    // The strip's 32 x 32 icons are drawn on a doubled grid for the 16 x 16
    // places of the small buttons: shown at pixel ratio 2 they stay sharp.
    for (int i = 0; i < kQuickButtons; ++i) {
        for (int l = 0; l < 3; ++l) {
            QPixmap icon(paths.InProgramDir(QuickStrip::PictureName(i, QuickStrip::Look(l))));
            icon.setDevicePixelRatio(icon.width() / 16.0);
            a.quick[i][l] = icon;
        }
    }
    for (int i = 0; i < 30; ++i)
        a.logoFrames[i] = load(QStringLiteral("logo_%1").arg(i, 2, 10, QLatin1Char('0')));
    a.icon = load(QStringLiteral("icon16"));
    a.bigIcon = load(QStringLiteral("icon256"));
    a.about = load(QStringLiteral("link_about_normal"));
    a.aboutHover = load(QStringLiteral("link_about_hover"));
    a.help = load(QStringLiteral("link_help_normal"));
    a.helpHover = load(QStringLiteral("link_help_hover"));
    a.badge = load(QStringLiteral("badge_4star"));
    a.grip = load(QStringLiteral("grip"));
    a.minHover = load(QStringLiteral("win_min_hover"));
    a.minDown = load(QStringLiteral("win_min_pressed"));
    a.maxHover = load(QStringLiteral("win_max_hover"));
    a.maxDown = load(QStringLiteral("win_max_pressed"));
    a.restoreHover = load(QStringLiteral("win_restore_hover"));
    a.restoreDown = load(QStringLiteral("win_restore_pressed"));
    a.restore = load(QStringLiteral("win_restore_idle"));
    a.closeHover = load(QStringLiteral("win_close_hover"));
    a.closeDown = load(QStringLiteral("win_close_pressed"));
    return a;
}

QIcon SkinArt::WindowIcon() const
{
    QIcon windowIcon;
    for (const QPixmap& p : {icon, bigIcon})
        if (!p.isNull())
            windowIcon.addPixmap(p);
    return windowIcon;
}

}  // namespace tamsel
