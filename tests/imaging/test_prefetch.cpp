#include "TestUtil.h"
#include "imaging/Prefetch.h"

#include <QImage>
#include <QThread>
#include <gtest/gtest.h>

#include <cstring>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

QString Photo(const QTemporaryDir& dir, const QString& name, QColor colour, QSize size = {64, 48})
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    const QString path = dir.filePath(name);
    img.save(path, nullptr, 95);
    return path;
}

bool SamePixels(const Surface& a, const Surface& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.DataPtr(), b.DataPtr(), size_t(a.RGBSize())) == 0;
}

}  // namespace

TEST(Prefetch, HandsOverExactlyWhatReadingTheFileGives)
{
    QTemporaryDir dir;
    const QString a = Photo(dir, "a.jpg", QColor(200, 40, 40));
    const QString b = Photo(dir, "b.bmp", QColor(20, 40, 240));
    PhotoPrefetch ahead;
    ahead.Start(a);
    EXPECT_EQ(ahead.Ahead(), a);
    Surface got, direct;
    ASSERT_TRUE(ahead.Take(a, {}, got));
    EXPECT_TRUE(direct.CloneFile(a.toStdString()));
    EXPECT_TRUE(SamePixels(got, direct));
    EXPECT_FALSE(ahead.Take(a, {}, got));        // handed over once

    // A newer request replaces the older one, which is never handed out.
    ahead.Start(a);
    ahead.Start(b);
    EXPECT_FALSE(ahead.Take(a, {}, got));
    ASSERT_TRUE(ahead.Take(b, {}, got));
    EXPECT_EQ(got.Width(), 64);
}

TEST(Prefetch, AChangedBrokenOrMissingFileIsReadAgainByTheCaller)
{
    QTemporaryDir dir;
    const QString a = Photo(dir, "a.jpg", QColor(200, 40, 40));
    PhotoPrefetch ahead;
    Surface got;

    ahead.Start(a);
    QThread::msleep(1100);                   // a new time stamp on every file system
    Photo(dir, "a.jpg", QColor(10, 200, 10), {80, 60});
    EXPECT_FALSE(ahead.Take(a, {}, got));        // the old picture must not show

    const QString broken = Touch(QDir(dir.path()), "broken.jpg", "not a picture");
    ahead.Start(broken);
    EXPECT_FALSE(ahead.Take(broken, {}, got));

    ahead.Start(a);
    QFile::remove(a);
    EXPECT_FALSE(ahead.Take(a, {}, got));
    ahead.Start(dir.filePath("never-there.jpg"));
    EXPECT_EQ(ahead.Ahead(), QString());
}
