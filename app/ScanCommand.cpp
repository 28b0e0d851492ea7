#include "app/ScanCommand.h"

#include "imaging/Composer.h"
#include "model/AlbumModel.h"
#include "show/TransitionEngine.h"
#include "platform/FileInfo.h"

#include <QDateTime>
#include <QImage>

namespace tamsel {
namespace {

// A 24-bit BMP file: its file header and info header before the pixels.
constexpr qint64 kBmpHeaderBytes = 14 + 40;

}  // namespace

Outcome ShowScannedPicture(AlbumModel& model, Composer& composer, TransitionEngine& engine,
                           const QImage& picture)
{
    if (picture.isNull())
        return Outcome::Done();
    Surface scanned;
    if (const Outcome kept = scanned.Clone(picture); !kept)
        return Outcome::Failed(QStringLiteral("  对不起,扫描的图片无法写入工作文件:%1").arg(kept.message));
    // The info line describes a scan as the BMP file it used to be kept in:
    // that name, that file's size, and the time of the scan.
    const QString info = FileInfoText(kBmpHeaderBytes + scanned.RGBSize(), QDateTime::currentDateTimeUtc());
    model.main.MarkLabelsDirty();
    engine.ShowAtOnce(composer.ComposePicture(std::move(scanned), true, QStringLiteral("TempPic.bmp"), info));
    model.main.SetView(View::Still);
    return Outcome::Done();
}

}  // namespace tamsel
