#include "imaging/PhonePhotos.h"

#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"

#include <QMap>

namespace tamsel {

PhonePhotoNote NoteOnPhonePhotos(const QString& folder)
{
    PhonePhotoNote note;
    // The album's own way of looking: hidden photos count, and names the
    // system cannot spell are counted apart.
    const FolderListing own = ListFolder(folder, AlbumExtensions(), true);
    const FolderListing phone = ListFolder(folder, PhoneExtensions(), true);
    note.passedOver = own.passedOver + phone.passedOver;
    // Without a photo of its own the album lists the phone photos: nothing
    // is left out to speak of.
    if (PhotoList::GivesWay(own)) {
        note.albumPhotos = int(phone.names.size());
        note.passedOver = phone.passedOver;
        return note;
    }
    note.albumPhotos = int(own.names.size());
    QMap<QString, int> counts;   // by label
    for (const QString& name : phone.names)
        ++counts[PhonePhotoKind(name)];
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
