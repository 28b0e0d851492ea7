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
    const Decoded got = ahead.Take(a, {});
    ASSERT_TRUE(got.IsPicture());
    const Decoded direct = DecodePicture(a);
    EXPECT_TRUE(SamePixels(got.picture, direct.picture));
    EXPECT_TRUE(ahead.Take(a, {}).IsNotMine());        // handed over once

    // A newer request replaces the older one, which is never handed out.
    ahead.Start(a);
    ahead.Start(b);
    EXPECT_TRUE(ahead.Take(a, {}).IsNotMine());
    const Decoded other = ahead.Take(b, {});
    ASSERT_TRUE(other.IsPicture());
    EXPECT_EQ(other.picture.Width(), 64);
}

// A photo changed or gone since is read again by the caller; a broken one
// is refused as reading it would be.
TEST(Prefetch, AChangedOrMissingFileIsReadAgainByTheCallerABrokenOneRefused)
{
    QTemporaryDir dir;
    const QString a = Photo(dir, "a.jpg", QColor(200, 40, 40));
    PhotoPrefetch ahead;

    ahead.Start(a);
    QThread::msleep(1100);                   // a new time stamp on every file system
    Photo(dir, "a.jpg", QColor(10, 200, 10), {80, 60});
    EXPECT_TRUE(ahead.Take(a, {}).IsNotMine());        // the old picture must not show

    const QString broken = Touch(QDir(dir.path()), "broken.png", "not a picture");
    ahead.Start(broken);
    const Decoded refused = ahead.Take(broken, {});
    EXPECT_EQ(refused.answer, Decoded::Answer::Refused);
    EXPECT_EQ(refused.refusal, DecodePicture(broken).refusal);

    ahead.Start(a);
    QFile::remove(a);
    EXPECT_TRUE(ahead.Take(a, {}).IsNotMine());
    ahead.Start(dir.filePath("never-there.jpg"));
    EXPECT_EQ(ahead.Ahead(), QString());
}
