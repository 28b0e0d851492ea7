#include "model/PhonePhotos.h"

#include "model/PhotoList.h"

#include <QMap>


namespace tamsel {

QString PhonePhotoKind(const QString& name)
{
    const int dot = int(name.lastIndexOf('.'));
    if (dot < 0)
        return {};
    const QString ext = name.mid(dot + 1).toLower();
    if (ext == QLatin1String("heic") || ext == QLatin1String("heif"))
        return QStringLiteral("HEIC");
    if (ext == QLatin1String("avif"))
        return QStringLiteral("AVIF");
    if (ext == QLatin1String("webp"))
        return QStringLiteral("WebP");
    return {};
}

PhonePhotoNote NoteOnPhonePhotos(const QString& folder)
{
    PhonePhotoNote note;
    QMap<QString, int> counts;   // by kind, in the order HEIC, AVIF, WebP
    // One look at the folder, the album's own way: hidden photos count, and
    // names the system cannot spell are counted apart.
    static const QStringList kinds =
        AlbumExtensions() + QStringList{"heic", "heif", "avif", "webp"};
    const FolderListing listing = ListFolder(folder, kinds, true);
    note.passedOver = listing.passedOver;
    for (const QString& name : listing.names) {
        if (PhotoList::IsAlbumFile(name))
            ++note.albumPhotos;
        else if (const QString kind = PhonePhotoKind(name); !kind.isEmpty())
            ++counts[kind];
    }
    if (counts.isEmpty())
        return note;
    QStringList parts;
    for (const char* kind : {"HEIC", "AVIF", "WebP"})
        if (const int n = counts.value(QLatin1String(kind)); n > 0)
            parts.push_back(QStringLiteral("%1 张 %2").arg(n).arg(QLatin1String(kind)));
    const QString how = QStringLiteral("，请用 照片 → 批量转换... 转为 JPG");
    note.text = note.albumPhotos == 0
                    ? QStringLiteral(" 此文件夹有 %1 照片").arg(parts.join(QStringLiteral("、"))) + how
                    : QStringLiteral(" 此文件夹另有 %1 照片未列入相册").arg(parts.join(QStringLiteral("、"))) + how;
    return note;
}

}  // namespace tamsel
