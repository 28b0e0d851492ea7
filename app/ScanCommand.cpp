#include "app/ScanCommand.h"

#include "imaging/Composer.h"
#include "model/AlbumModel.h"
#include "show/TransitionEngine.h"
#include "platform/SafeWrite.h"

#include <QFile>
#include <QImage>

namespace tamsel {

Outcome ShowScannedPicture(AlbumModel& model, Composer& composer, TransitionEngine& engine,
                           const QImage& picture)
{
    if (picture.isNull())
        return Outcome::Done();
    const AppPaths& paths = model.paths;
    Outcome kept = paths.EnsureWorkDir() ? Outcome::Done()
                                         : Outcome::Failed(QStringLiteral("工作文件夹无法建立"));
    Surface scanned;
    if (kept)
        kept = scanned.Clone(picture);
    // Whole or not at all: the working file may hold an earlier retouch.
    if (kept)
        kept = scanned.SaveBMP(QFile::encodeName(paths.tempPic).toStdString(), Keep::Scratch);
    if (!kept)
        return Outcome::Failed(QStringLiteral("  对不起,扫描的图片无法写入工作文件:%1").arg(kept.message));
    model.main.MarkLabelsDirty();
    // A fresh picture: the composition turns it by RotateAngle like any photo.
    model.main.Retouched = 0;
    engine.ShowAtOnce(composer.DIBClonePicture(paths.tempPic));
    model.main.SetView(View::Still);
    return Outcome::Done();
}

}  // namespace tamsel
