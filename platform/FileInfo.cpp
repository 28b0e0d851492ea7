#include "platform/FileInfo.h"

#include "platform/Rounding.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimeZone>

namespace tamsel {
namespace {

// The file time stamp's zero point, 1 January 1601 UTC: what a failed look-up reports.
QDateTime ZeroFileTime() { return QDateTime(QDate(1601, 1, 1), QTime(0, 0), QTimeZone::utc()); }

}  // namespace

QString FileInfoText(const QString& path)
{
    const QFileInfo fi(path);
    qint64 bytes = 0;
    QDateTime written = ZeroFileTime();
    if (!path.isEmpty() && fi.exists()) {
        bytes = fi.size();
        written = fi.lastModified().toUTC();
    }
    return FileInfoText(bytes, written);
}

QString FileInfoText(qint64 bytes, const QDateTime& written)
{
    // The album shows China's time whatever the machine's zone is.
    const QDateTime t = written.toUTC().addSecs(8 * 3600);
    const QDate d = t.date();
    const QTime h = t.time();
    const int kb = RoundHalfEven(double(bytes) / 1024.0);
    const int yy = d.year() % 100;
    return QStringLiteral("  文件 %1KB  修改 %2-%3-%4 %5:%6")
        .arg(kb)
        .arg(yy, 2, 10, QLatin1Char('0'))
        .arg(d.month())
        .arg(d.day())
        .arg(h.hour())
        .arg(h.minute());
}

}  // namespace tamsel
