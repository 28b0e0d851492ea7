#include "app/PhotoOutput.h"

#include "imaging/ColourProfile.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "imaging/PelOps.h"
#include "model/AlbumModel.h"
#include "platform/Rounding.h"
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

// Where the picture on the screen is found for writing it out: a retouch
// or a scan is DibPhoto alone, with the profile its pixels are in (a scan
// turned for the screen is turned back); any other photo is the file it was
// read from. Neither when that file is gone.
struct ShownPicture {
    const Surface* shown = nullptr;
    Surface turnedBack;
    QString file;

    bool Found() const { return shown || !file.isEmpty(); }
    const Surface& Picture() const { return turnedBack.HasPixels() ? turnedBack : *shown; }
};

void PictureToWrite(const AlbumModel& model, ShownPicture& out)
{
    if (model.shown.InMemory()) {
        const Surface& shown = model.dibs.DibPhoto;
        out.shown = &shown;
        if (const int turn = model.shown.ShownTurn(); turn != 0 &&
            out.turnedBack.Create(shown.Height(), shown.Width())) {
            PelRotate(out.turnedBack, RoundHalfEven(out.turnedBack.Width() / 2.0),
                      RoundHalfEven(out.turnedBack.Height() / 2.0), shown.Width(), shown.Height(), shown, 0, 0,
                      double(360 - turn));
            out.turnedBack.SetInDisplayColours(shown.InDisplayColours());
        }
        return;
    }
    const QString& file = model.shown.CurFile();
    if (!file.isEmpty() && QFileInfo(file).isFile())
        out.file = file;
}

// The copy appears whole or not at all: the desktop may be reading the old
// one. A BMP or JPEG photo goes byte for byte; a photo of another format is
// written as the BMP the album reads it as, a picture every desktop can
// show, and so is a picture in memory.
Outcome WriteWallpaperCopy(const ShownPicture& source, const QString& copy)
{
    if (!source.shown)
        return ReadsDirectly(source.file) ? CopyFileWhole(source.file, copy)
                                          : SaveImageFile(LoadImageFile(source.file), copy, kBmp);
    const QByteArray icc = PixelProfile(source.Picture());
    return source.Picture().SaveBMP(QFile::encodeName(copy).toStdString(),
                                    std::string_view(icc.constData(), size_t(icc.size())));
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
    ShownPicture source;
    PictureToWrite(model, source);
    if (!source.Found())
        return Outcome::Failed(Unsaved(QStringLiteral("找不到当前照片的文件")));
    ImageHandle image = source.shown ? ImageOfPicture(source.Picture(), PixelProfile(source.Picture()))
                                     : LoadImageFile(source.file);
    if (!image.IsValid())
        return Outcome::Failed(Unsaved(QStringLiteral("无法读取当前照片 %1").arg(model.shown.CurFileName())));
    if (code == kIco && (image.Width() > kMaxIconSide || image.Height() > kMaxIconSide))
        return Outcome::Failed(Unsaved(QStringLiteral("图标最大为 256 x 256 像素,这张照片是 %1 x %2")
                                           .arg(image.Width())
                                           .arg(image.Height())));
    if (const Outcome saved = SaveImageFile(std::move(image), target, code); !saved)
        return Outcome::Failed(Unsaved(saved.message));
    return Outcome::Done(QStringLiteral("  照片已另存为 %1").arg(QDir::toNativeSeparators(target)));
}

Outcome SetWallpaper(AlbumModel& model) { return SetWallpaper(model, DetectDesktop()); }

Outcome SetWallpaper(AlbumModel& model, const DesktopInfo& desktop)
{
    ShownPicture source;
    PictureToWrite(model, source);
    if (!source.Found())
        return Outcome::Failed(QStringLiteral("  对不起,找不到当前照片的文件"));
    const QString& copy = model.paths.wallpaper;
    QDir().mkpath(QFileInfo(copy).absolutePath());
    if (const Outcome copied = WriteWallpaperCopy(source, copy); !copied)
        return Outcome::Failed(QStringLiteral("  对不起,墙纸未换:") + copied.message);
    const Outcome r = ApplyWallpaper(copy, desktop);
    if (!r.ok)
        return Outcome::Failed(QStringLiteral("  ") + r.message);
    return Outcome::Done(QStringLiteral("  已设为墙纸,图片在 %1").arg(QDir::toNativeSeparators(copy)));
}

}  // namespace tamsel
