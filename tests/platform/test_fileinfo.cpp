#include "platform/FileInfo.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace tamsel;

namespace {

// A file of the given size whose last write is the given UTC time.
QString MakeFile(const QTemporaryDir& dir, const QString& name, qint64 bytes, const QDateTime& utc)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(bytes, 'x'));
    f.close();
    EXPECT_TRUE(f.open(QIODevice::ReadWrite));
    EXPECT_TRUE(f.setFileTime(utc, QFileDevice::FileModificationTime));
    f.close();
    return path;
}

QDateTime Utc(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone::utc());
}

}  // namespace

TEST(FileInfoText, ShowsKilobytesAndChinaTime)
{
    QTemporaryDir dir;
    const QString a = MakeFile(dir, "a.jpg", 123456, Utc(2005, 3, 7, 6, 5));
    EXPECT_EQ(FileInfoText(a), QStringLiteral("  文件 121KB  修改 05-3-7 14:5"));
    // Past midnight in China the date moves on with the hour.
    const QString b = MakeFile(dir, "b.jpg", 0, Utc(2005, 3, 7, 23, 30));
    EXPECT_EQ(FileInfoText(b), QStringLiteral("  文件 0KB  修改 05-3-8 7:30"));
    // New year's eve and a leap day move the month and the year too.
    const QString c = MakeFile(dir, "c.jpg", 10, Utc(2019, 12, 31, 20, 0));
    EXPECT_EQ(FileInfoText(c), QStringLiteral("  文件 0KB  修改 20-1-1 4:0"));
    const QString d = MakeFile(dir, "d.jpg", 10, Utc(2024, 2, 28, 16, 59));
    EXPECT_EQ(FileInfoText(d), QStringLiteral("  文件 0KB  修改 24-2-29 0:59"));
}

TEST(FileInfoText, RoundsHalfKilobytesToEven)
{
    QTemporaryDir dir;
    const QDateTime t = Utc(2010, 10, 10, 0, 0);
    EXPECT_TRUE(FileInfoText(MakeFile(dir, "x", 1536, t)).startsWith(QStringLiteral("  文件 2KB")));
    EXPECT_TRUE(FileInfoText(MakeFile(dir, "y", 2560, t)).startsWith(QStringLiteral("  文件 2KB")));
    EXPECT_TRUE(FileInfoText(MakeFile(dir, "z", 2561, t)).startsWith(QStringLiteral("  文件 3KB")));
    EXPECT_TRUE(FileInfoText(MakeFile(dir, "w", 511, t)).startsWith(QStringLiteral("  文件 0KB")));
}

TEST(FileInfoText, MissingFileReadsAsZeroRecord)
{
    EXPECT_EQ(FileInfoText(QStringLiteral("/nonexistent/dir/photo.jpg")),
              QStringLiteral("  文件 0KB  修改 01-1-1 8:0"));
    EXPECT_EQ(FileInfoText(QString()), QStringLiteral("  文件 0KB  修改 01-1-1 8:0"));
}
