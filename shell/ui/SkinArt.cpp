#include "shell/ui/SkinArt.h"

#include "imaging/Decode.h"
#include "imaging/QuickStrip.h"
#include "platform/Paths.h"
#include "shell/SkinElements.h"

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
    SkinArt a;
    // A skin that cannot be read leaves none: the frame stays in the background
    // colour. The skin is the installation's own PNG: the platform's picture
    // loading reads it, and the image file library (2 MB more at the start)
    // stays asleep until a photo needs it.
    auto load = [](Surface& to, const QString& file) {
        Decoded read = ReadWithPlatform(file);
        to = read.IsPicture() ? std::move(read.picture) : Surface();
    };
    load(a.skin, paths.InProgramDir(QStringLiteral("skin.png")));
    const QString dense = paths.InProgramDir(QStringLiteral("skin@2x.png"));
    if (a.skin.HasPixels() && ratio >= 1.5 && QFileInfo::exists(dense)) {
        load(a.denseSkin, dense);
        // Only a drawing of exactly twice the 1x skin can be cut at its places.
        if (a.denseSkin.HasPixels() &&
            (a.denseSkin.Width() != 2 * a.skin.Width() || a.denseSkin.Height() != 2 * a.skin.Height()))
            a.denseSkin.Release();
    }
    for (const QString& name : SkinPictureNames())
        a.pictures.insert(name, LoadSkinPicture(paths, name + QStringLiteral(".png"), ratio));
    // The strip's 32 x 32 icons are drawn on a doubled grid for the 16 x 16
    // places of the small buttons: shown at pixel ratio 2 they stay sharp.
    for (int i = 0; i < kQuickButtons; ++i) {
        for (int l = 0; l < 3; ++l) {
            QPixmap icon(paths.InProgramDir(QuickStrip::PictureName(i, QuickStrip::Look(l))));
            icon.setDevicePixelRatio(icon.width() / 16.0);
            a.quick[i][l] = icon;
        }
    }
    a.bigIcon = LoadSkinPicture(paths, QStringLiteral("icon256.png"), ratio);
    return a;
}

QIcon SkinArt::WindowIcon() const
{
    QIcon windowIcon;
    for (const QPixmap& p : {Picture(QStringLiteral("icon16")), bigIcon})
        if (!p.isNull())
            windowIcon.addPixmap(p);
    return windowIcon;
}

}  // namespace tamsel
