#include "TestUtil.h"
#include "model/PhotoList.h"

#include <gtest/gtest.h>

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
    PhotoList list;
    ASSERT_TRUE(list.Point(dir.path()));
    EXPECT_EQ(list.Names(), QStringList({"a.JPG", "b.jpg", "c.png", "E.Bmp", "g.tif", "h.ICO",
                                         "i.wmf", "j.pcx", "k.tga"}));
    EXPECT_EQ(list.Folder(), dir.path() + "/");
    EXPECT_EQ(list.IndexOf("B.JPG"), 1);
    EXPECT_EQ(list.IndexOf("d.txt"), -1);

    Touch(d, "aa.png");
    ASSERT_TRUE(list.Reread());
    EXPECT_EQ(list.Name(1), "aa.png");
    EXPECT_EQ(list.Count(), 10);
}

TEST(PhotoList, MissingFolderFailsAndEmptiesTheList)
{
    QTemporaryDir dir;
    Touch(QDir(dir.path()), "x.jpg");
    PhotoList list;
    ASSERT_TRUE(list.Point(dir.path() + "/"));
    EXPECT_FALSE(list.Point(dir.path() + "/nothing/"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Folder().isEmpty());
    EXPECT_FALSE(list.Point(""));
    EXPECT_EQ(list.Name(5), "");
}
