#include "album/Drops.h"

#include "imaging/ImageFormats.h"

#include <QFileInfo>

namespace tamsel {

namespace {

// The music the tune list plays: the endings its file dialog offers, and
// the free formats the player takes just as well.
bool IsTune(const QFileInfo& fi)
{
    static const QStringList endings{"mp3", "wma", "wav", "mid", "cda", "wmv", "avi", "mpg",
                                     "ogg", "oga", "opus", "flac", "m4a", "aac"};
    return fi.isFile() && endings.contains(fi.suffix(), Qt::CaseInsensitive);
}

// Only files on this machine open; a link from a web page names its last part.
QString LocalPath(const QUrl& url) { return url.isLocalFile() ? url.toLocalFile() : QString(); }

QString NameOf(const QUrl& url)
{
    const QString name = url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.fileName();
    return name.isEmpty() ? url.toDisplayString() : name;
}

QString Refusal(const QString& doing, const QUrl& first)
{
    return QStringLiteral("  无法%1拖入的项目: %2").arg(doing, NameOf(first));
}

// What the command line opens too, less a file of any other kind: there it is
// read as a show script, which a stray drop must not be.
bool Opens(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    const QString name = fi.fileName();
    return fi.isDir() || (fi.isFile() && (IsAlbumPhoto(name) || !PhonePhotoKind(name).isEmpty() ||
                                          fi.suffix().compare(QLatin1String("tms"), Qt::CaseInsensitive) == 0));
}

}  // namespace

DropOpening WhatDropOpens(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (const QString path = LocalPath(url); Opens(path))
            return {QFileInfo(path).absoluteFilePath(), {}};
    return {{}, urls.isEmpty() ? QString() : Refusal(QStringLiteral("打开"), urls.constFirst())};
}

DroppedTunes TunesDropped(const QList<QUrl>& urls)
{
    DroppedTunes r;
    for (const QUrl& url : urls) {
        const QString path = LocalPath(url);
        if (!path.isEmpty() && IsTune(QFileInfo(path)))
            r.tunes << QFileInfo(path).absoluteFilePath();
        else if (r.refusal.isEmpty())
            r.refusal = Refusal(QStringLiteral("加入"), url);
    }
    return r;
}

}  // namespace tamsel
