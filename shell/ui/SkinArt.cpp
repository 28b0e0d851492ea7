#include "shell/ui/SkinArt.h"

#include "imaging/QuickStrip.h"
#include "platform/Paths.h"

namespace tamsel {

SkinArt SkinArt::Load(const AppPaths& paths)
{
    const auto load = [&paths](const QString& name) {
        return QPixmap(paths.InProgramDir(name + QStringLiteral(".png")));
    };
    SkinArt a;
    static const char* const kBtnNames[kBtnCount] = {"play", "first", "prev", "next",
                                                     "last", "thumb", "stop"};
    for (int i = 0; i < kBtnCount; ++i) {
        const QString base = QStringLiteral("btn_%1_").arg(QLatin1String(kBtnNames[i]));
        a.btnUp[i] = load(base + "normal");
        a.btnMove[i] = load(base + "hover");
        a.btnDown[i] = load(base + "pressed");
    }
    // The strip's 32 x 32 icons are drawn on a doubled grid for the 16 x 16
    // places of the small buttons: shown at pixel ratio 2 they stay sharp.
    for (int i = 0; i < kSBtnCount; ++i) {
        for (int l = 0; l < 3; ++l) {
            QPixmap icon(paths.InProgramDir(QuickStrip::PictureName(i, QuickStrip::Look(l))));
            icon.setDevicePixelRatio(icon.width() / 16.0);
            a.imgs[i][l] = icon;
        }
    }
    for (int i = 0; i < 30; ++i)
        a.pel[i] = load(QStringLiteral("logo_%1").arg(i, 2, 10, QLatin1Char('0')));
    a.ico = load(QStringLiteral("icon16"));
    a.bigIcon = load(QStringLiteral("icon256"));
    a.mail = load(QStringLiteral("link_about_normal"));
    a.mailMove = load(QStringLiteral("link_about_hover"));
    a.ques = load(QStringLiteral("link_help_normal"));
    a.quesMove = load(QStringLiteral("link_help_hover"));
    a.star = load(QStringLiteral("badge_4star"));
    a.jiao = load(QStringLiteral("grip"));
    a.minHover = load(QStringLiteral("win_min_hover"));
    a.minDown = load(QStringLiteral("win_min_pressed"));
    a.maxHover = load(QStringLiteral("win_max_hover"));
    a.maxDown = load(QStringLiteral("win_max_pressed"));
    a.usHover = load(QStringLiteral("win_restore_hover"));
    a.usDown = load(QStringLiteral("win_restore_pressed"));
    a.us0 = load(QStringLiteral("win_restore_idle"));
    a.closeHover = load(QStringLiteral("win_close_hover"));
    a.closeDown = load(QStringLiteral("win_close_pressed"));
    return a;
}

QIcon SkinArt::WindowIcon() const
{
    QIcon icon;
    for (const QPixmap& p : {ico, bigIcon})
        if (!p.isNull())
            icon.addPixmap(p);
    return icon;
}

}  // namespace tamsel
