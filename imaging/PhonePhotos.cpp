#include "imaging/PhonePhotos.h"

#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"

#include <QMap>

namespace tamsel {

PhonePhotoNote NoteOnPhonePhotos(const QString& folder)
{
    PhonePhotoNote note;
    QMap<QString, int> counts;   // by label
    // One look at the folder, the album's own way: hidden photos count, and
    // names the system cannot spell are counted apart.
    static const QStringList kinds = [] {
        QStringList endings = AlbumExtensions();
        for (const ImageFormat* f : PhoneFormats())
            endings += f->Endings();
        return endings;
    }();
    const FolderListing listing = ListFolder(folder, kinds, true);
    note.passedOver = listing.passedOver;
    for (const QString& name : listing.names) {
        if (IsAlbumPhoto(name))
            ++note.albumPhotos;
        else if (const QString kind = PhonePhotoKind(name); !kind.isEmpty())
            ++counts[kind];
    }
    if (counts.isEmpty())
        return note;
    // In the table's order: HEIC, AVIF, WebP.
    QStringList parts;
    for (const ImageFormat* f : PhoneFormats())
        if (const int n = counts.value(QLatin1String(f->label)); n > 0)
            parts.push_back(QStringLiteral("%1 张 %2").arg(n).arg(QLatin1String(f->label)));
    const QString how = QStringLiteral("，请用 照片 → 批量转换... 转为 JPG");
    note.text = note.albumPhotos == 0
                    ? QStringLiteral(" 此文件夹有 %1 照片").arg(parts.join(QStringLiteral("、"))) + how
                    : QStringLiteral(" 此文件夹另有 %1 照片未列入相册").arg(parts.join(QStringLiteral("、"))) + how;
    return note;
}

}  // namespace tamsel
