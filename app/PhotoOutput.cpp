#include "app/PhotoOutput.h"

#include "imaging/ImageFile.h"
#include "model/AlbumModel.h"
#include "platform/SafeWrite.h"
#include "platform/Wallpaper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tamsel {
namespace {

constexpr int kMaxIconSide = 256;

QString Unsaved(const QString& why) { return QStringLiteral("  照片未保存:") + why; }

// "bmp、jpg、… 或 png": the endings save as takes.
QString OutputEndings()
{
    QStringList endings;
    for (const ImageFormat* f : OutputFormats())
        endings << f->Ending();
    const QString last = endings.takeLast();
    return endings.join(QStringLiteral("、")) + QStringLiteral(" 或 ") + last;
}

}  // namespace

Outcome SaveAs(AlbumModel& model, const QString& target)
{
    if (target.isEmpty())
        return Outcome::Done();
    const int code = OutputFormatOf(target);
    if (code < 0)
        return Outcome::Failed(
            Unsaved(QStringLiteral("文件名须以 %1 结尾").arg(OutputEndings())));
    const QString& source = model.shown.CurFile();
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return Outcome::Failed(Unsaved(QStringLiteral("找不到当前照片的文件")));
    ImageHandle image = LoadImageFile(source);
    if (!image.IsValid())
        return Outcome::Failed(Unsaved(QStringLiteral("无法读取当前照片 %1").arg(model.shown.CurFileName())));
    if (code == kIco && (image.Width() > kMaxIconSide || image.Height() > kMaxIconSide))
        return Outcome::Failed(Unsaved(QStringLiteral("图标最大为 256 x 256 像素,这张照片是 %1 x %2")
                                           .arg(image.Width())
                                           .arg(image.Height())));
    if (const Outcome saved = SaveImageFile(std::move(image), target, code); !saved)
        return Outcome::Failed(Unsaved(saved.message));
    return Outcome::Done();
}

Outcome SetWallpaper(AlbumModel& model) { return SetWallpaper(model, DetectDesktop()); }

Outcome SetWallpaper(AlbumModel& model, const DesktopInfo& desktop)
{
    const QString& source = model.shown.CurFile();
    if (source.isEmpty() || !QFileInfo(source).isFile())
        return Outcome::Failed(QStringLiteral("  对不起,找不到当前照片的文件"));
    const QString& copy = model.paths.wallpaper;
    QDir().mkpath(QFileInfo(copy).absolutePath());
    // The copy appears whole or not at all: the desktop may be reading the
    // old one. A BMP or JPEG photo goes byte for byte; a photo of another
    // format is written as the BMP the album reads it as, a picture every
    // desktop can show.
    const Outcome copied = ReadsDirectly(source) ? CopyFileWhole(source, copy)
                                                 : SaveImageFile(LoadImageFile(source), copy, kBmp);
    if (!copied)
        return Outcome::Failed(QStringLiteral("  对不起,墙纸未换:") + copied.message);
    const Outcome r = ApplyWallpaper(copy, desktop);
    if (!r.ok)
        return Outcome::Failed(QStringLiteral("  ") + r.message);
    return Outcome::Done();
}

}  // namespace tamsel
