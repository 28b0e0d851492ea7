#include "TestUtil.h"
#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"

#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(PhotoList, ListsAlbumExtensionsInAnyCaseSortedWithoutCase)
{
    QTemporaryDir dir;
    QDir d(dir.path());
    for (const char* n : {"b.jpg", "a.JPG", "c.png", "d.txt", "E.Bmp", "f.jpeg", "g.tif", "h.ICO",
                          "i.wmf", "j.pcx", "k.tga", "noext"})
        Touch(d, n);
    d.mkdir("sub.jpg");   // a folder is never a photo
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(list.Point(dir.path()));
    EXPECT_EQ(list.Names(), QStringList({"a.JPG", "b.jpg", "c.png", "E.Bmp", "g.tif", "h.ICO",
                                         "i.wmf", "j.pcx", "k.tga"}));
    EXPECT_EQ(list.Path(0), dir.path() + "/a.JPG");
    EXPECT_EQ(list.IndexOf("B.JPG"), 1);
    EXPECT_EQ(list.IndexOf("d.txt"), -1);

    Touch(d, "aa.png");
    ASSERT_TRUE(list.Reread());
    EXPECT_EQ(list.Name(1), "aa.png");
    EXPECT_EQ(list.Count(), 10);
}

// A missing folder (an unplugged card) lists nothing, but it stays the
// album's folder, named as it was given, and is listed when it returns.
TEST(PhotoList, MissingFolderFailsAndEmptiesTheList)
{
    QTemporaryDir dir;
    Touch(QDir(dir.path()), "x.jpg");
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(list.Point(dir.path() + "/"));
    EXPECT_TRUE(list.Listed());
    const QString card = dir.path() + "/card";
    EXPECT_FALSE(list.Point(card));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.Listed());
    EXPECT_EQ(list.Folder(), card);
    EXPECT_EQ(list.Path(0), card + "/");

    QDir(dir.path()).mkdir("card");
    Touch(QDir(card), "y.png");
    ASSERT_TRUE(list.Reread());
    EXPECT_EQ(list.Path(0), card + "/y.png");

    EXPECT_FALSE(list.Point(""));
    EXPECT_TRUE(list.Folder().isEmpty());
    EXPECT_EQ(list.Name(5), "");
}

// Names whose bytes are not valid in the file-name encoding (a GBK name from
// an old camera, stray bytes from an archive) cannot be reached by any path
// made from the listed name: they are counted, not listed. Hidden names and
// names of other files are neither.
TEST(PhotoList, NamesTheSystemCannotDecodeAreCountedNotListed)
{
    QTemporaryDir dir;
    Touch(QDir(dir.path()), QStringLiteral("好.jpg"));
    Touch(QDir(dir.path()), QStringLiteral(".hidden.jpg"));
    for (const char* raw : {"\xb0\xa1.JPG", "x\xff.png", "\xff.txt", ".\xff.jpg"}) {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + raw;
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(list.Point(dir.path()));
    EXPECT_EQ(list.Names(), QStringList({".hidden.jpg", QStringLiteral("好.jpg")}));
    EXPECT_EQ(list.PassedOver(), 3);   // the album lists hidden photos too
    const FolderListing batch = ListFolder(dir.path(), AlbumExtensions(), false);
    EXPECT_EQ(batch.names, QStringList({QStringLiteral("好.jpg")}));
    EXPECT_EQ(batch.passedOver, 2);
    EXPECT_TRUE(PassedOverText(batch.passedOver).contains('2'));
    list.Clear();
    EXPECT_EQ(list.PassedOver(), 0);
}
