#include "ScriptedView.h"
#include "TestAccess.h"
#include "TestUtil.h"
#include "album/Navigator.h"
#include "album/ui/FolderChooser.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "model/AlbumView.h"
#include "model/PhotoList.h"
#include "shell/WidgetApp.h"

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// An album of n photos standing on photo c, with a photo shown (no cover).
struct Album {
    AlbumState s;
    PhotoPosition pos;
    MainState m;
    PhotoList photos{AlbumExtensions()};
    ScriptedView view;
    Navigator nav{s, pos, m, photos, view};

    Album(int n, int c, int cover = 0)
    {
        if (n > 0)
            TestAccess::SetPhotos(photos, "/album/", QStringList(n));
        TestAccess::SetCurPhoto(pos, c);
        TestAccess::SetCover(pos, cover);
        m.SetView(View::Still);
    }
    // Click and report whether a photo was asked for, clearing the flags first.
    bool Click(int index)
    {
        m.PhotoTaken();
        m.SetView(View::Still);
        m.LabelsShown();
        const bool asked = nav.BtnClick(index);
        EXPECT_EQ(asked, m.NewPhoto() == 1 && m.ViewMode() == View::BringingIn && m.LabelsDirty() == 1);
        return asked;
    }
};

}  // namespace

TEST(Navigator, EveryClickClearsTheShow)
{
    Album a(5, 2);
    a.m.StartShow();
    a.Click(Navigator::Next);
    EXPECT_EQ(a.m.ShowRunning(), 0);
}

TEST(Navigator, WithoutPhotosEveryButtonAsksForAFolder)
{
    for (int i : {0, 1, 2, 3, 4}) {
        Album a(0, 0, -1);
        EXPECT_FALSE(a.Click(i));
        EXPECT_EQ(a.view.info, QString::fromUtf8(kNoFolderMessage));
        EXPECT_EQ(a.view.beeps, 1);
        EXPECT_EQ(a.pos.CurPhoto(), 0);
        EXPECT_TRUE(a.pos.CoverShowing());
        EXPECT_EQ(a.view.btnState, -1);
    }
}

TEST(Navigator, StepsNeverWrapAndStopAtTheEnds)
{
    Album a(3, 0);
    EXPECT_FALSE(a.Click(Navigator::Previous));
    EXPECT_FALSE(a.Click(Navigator::First));
    EXPECT_TRUE(a.Click(Navigator::Next));
    EXPECT_EQ(a.pos.CurPhoto(), 1);
    EXPECT_TRUE(a.Click(Navigator::Next));
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_FALSE(a.Click(Navigator::Next));
    EXPECT_FALSE(a.Click(Navigator::Last));
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_TRUE(a.Click(Navigator::Previous));
    EXPECT_EQ(a.pos.CurPhoto(), 1);
    EXPECT_TRUE(a.Click(Navigator::First));
    EXPECT_EQ(a.pos.CurPhoto(), 0);
    EXPECT_TRUE(a.Click(Navigator::Last));
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_EQ(a.view.beeps, 0);  // a button that cannot act says nothing
}

TEST(Navigator, UnderTheCoverNextShowsTheCurrentPhotoAndPreviousStepsBack)
{
    Album a(5, 2, -1);
    EXPECT_TRUE(a.Click(Navigator::Next));
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_FALSE(a.pos.CoverShowing());

    Album b(5, 2, -1);
    EXPECT_TRUE(b.Click(Navigator::Previous));
    EXPECT_EQ(b.pos.CurPhoto(), 1);
    EXPECT_FALSE(b.pos.CoverShowing());
}

TEST(Navigator, UnderTheCoverTheNamedPhotoComesInEvenWhereThePositionStands)
{
    // The last photo under the cover: "下一张" and "最后一张" bring it in.
    for (int i : {Navigator::Next, Navigator::Last}) {
        Album a(3, 2, -1);
        EXPECT_TRUE(a.Click(i)) << i;
        EXPECT_EQ(a.pos.CurPhoto(), 2);
        EXPECT_FALSE(a.pos.CoverShowing());
        // Once shown, the same button has nothing more to do.
        EXPECT_FALSE(a.Click(i)) << i;
    }
    Album first(3, 0, -1);
    EXPECT_TRUE(first.Click(Navigator::First));
    EXPECT_EQ(first.pos.CurPhoto(), 0);
    EXPECT_FALSE(first.pos.CoverShowing());
}

TEST(Navigator, PlayRunsTheShowAndStopHandsTheBarBack)
{
    Album a(4, 1);
    EXPECT_TRUE(a.Click(Navigator::Play));
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_EQ(a.m.ShowRunning(), 1);
    EXPECT_EQ(a.view.btnState, 0);
    EXPECT_EQ(a.view.stopShown, 1);

    a.Click(Navigator::Stop);
    EXPECT_EQ(a.m.StopRequested(), 1);
    EXPECT_EQ(a.view.btnState, 1);
    EXPECT_EQ(a.view.stopShown, 0);
    EXPECT_EQ(a.m.ShowRunning(), 0);
}

TEST(Navigator, PlayOnTheLastPhotoNeedsTheLoopAndThenStartsFromTheFirst)
{
    Album a(3, 2);
    EXPECT_FALSE(a.Click(Navigator::Play));
    EXPECT_EQ(a.m.ShowRunning(), 0);
    EXPECT_EQ(a.view.stopShown, -1);

    a.s.LoopShow = 1;
    EXPECT_TRUE(a.Click(Navigator::Play));
    EXPECT_EQ(a.pos.CurPhoto(), 0);  // never past the end of the list
    EXPECT_EQ(a.m.ShowRunning(), 1);

    // Under the cover the show starts with the photo the position names.
    Album b(3, 1, -1);
    EXPECT_TRUE(b.Click(Navigator::Play));
    EXPECT_EQ(b.pos.CurPhoto(), 1);
    EXPECT_FALSE(b.pos.CoverShowing());
}

TEST(Navigator, APositionOutsideTheListStartsFromTheFirstPhoto)
{
    // Left over from a bigger folder: stepping back must not name photo 8 of 3.
    Album a(3, 9);
    EXPECT_TRUE(a.Click(Navigator::Next));
    EXPECT_EQ(a.pos.CurPhoto(), 1);
    Album b(3, 9);
    EXPECT_FALSE(b.Click(Navigator::Previous));
    EXPECT_EQ(b.pos.CurPhoto(), 0);
}

TEST(Navigator, ThumbReleaseBringsThePhotoUnderIt)
{
    Album a(5, 3);
    a.m.PhotoTaken();  // cleared mid-pan by the engine
    a.nav.ThumbReleased();
    EXPECT_EQ(a.m.ViewMode(), View::BringingIn);
    EXPECT_EQ(a.m.NewPhoto(), 1);
    EXPECT_EQ(a.m.LabelsDirty(), 1);
    EXPECT_EQ(a.pos.CurPhoto(), 3);

    // Under the cover it is the "下一张" action: the photo itself, last one too.
    Album b(5, 4, -1);
    b.nav.ThumbReleased();
    EXPECT_EQ(b.pos.CurPhoto(), 4);
    EXPECT_FALSE(b.pos.CoverShowing());
    EXPECT_EQ(b.m.ViewMode(), View::BringingIn);

    Album none(0, 0, -1);
    none.nav.ThumbReleased();
    EXPECT_EQ(none.view.info, QString::fromUtf8(kNoFolderMessage));
}

class NavigatorFolderChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* n : {"a.JPG", "b.jpg", "c.png", "d.txt"})
            Touch(QDir(dir.path()), n, "x");
        folder = dir.path() + "/";
    }
    QTemporaryDir dir;
    QString folder;
};

TEST_F(NavigatorFolderChoice, PickingAPhotoListsItsFolderAndShowsIt)
{
    Album a(0, 0, -1);
    a.nav.BeginFolderChoice();
    EXPECT_EQ(a.nav.FolderChosen(dir.filePath("b.jpg")), FolderChange::NewFolder);
    EXPECT_EQ(a.photos.Folder(), folder);
    EXPECT_EQ(a.photos.Names(), (QStringList{"a.JPG", "b.jpg", "c.png"}));
    EXPECT_EQ(a.pos.CurPhoto(), 1);
    EXPECT_FALSE(a.pos.CoverShowing());
    EXPECT_EQ(a.m.ViewMode(), View::BringingIn);
    EXPECT_EQ(a.m.NewPhoto(), 1);
    EXPECT_EQ(a.view.labelsEnabled, 1);
    EXPECT_EQ(a.view.beeps, 0);
}

TEST_F(NavigatorFolderChoice, PickingTheLastPhotoShowsItToo)
{
    Album a(0, 0, -1);
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(dir.filePath("c.png"));
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_FALSE(a.pos.CoverShowing());
    EXPECT_EQ(a.m.ViewMode(), View::BringingIn);
    // From there "下一张" has nothing more, "上一张" goes back one.
    EXPECT_FALSE(a.Click(Navigator::Next));
    EXPECT_TRUE(a.Click(Navigator::Previous));
    EXPECT_EQ(a.pos.CurPhoto(), 1);
}

TEST_F(NavigatorFolderChoice, TheSameFolderKeepsItsCaptionsAndOnlyMoves)
{
    Album a(0, 0, -1);
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(dir.filePath("a.JPG"));
    Touch(QDir(dir.path()), "e.bmp", "x");  // not listed until the folder changes

    a.nav.BeginFolderChoice();
    // Names match without regard to case; the captions stay.
    EXPECT_EQ(a.nav.FolderChosen(dir.filePath("C.PNG")), FolderChange::None);
    EXPECT_EQ(a.photos.Count(), 3);
    EXPECT_EQ(a.pos.CurPhoto(), 2);
    EXPECT_EQ(a.view.labelsEnabled, 1);
}

TEST_F(NavigatorFolderChoice, ANonPhotoInAnotherFolderStartsAtItsFirstPhoto)
{
    Album a(0, 0, -1);
    TestAccess::SetCurPhoto(a.pos, 7);  // from the album before
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(dir.filePath("d.txt"));
    EXPECT_EQ(a.photos.Count(), 3);
    EXPECT_EQ(a.pos.CurPhoto(), 0);
    EXPECT_FALSE(a.pos.CoverShowing());
}

TEST_F(NavigatorFolderChoice, AFolderWithoutPhotosAsksForOne)
{
    QTemporaryDir empty;
    Touch(QDir(empty.path()), "notes.txt");
    Album a(0, 0, -1);
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(empty.filePath("notes.txt"));
    EXPECT_EQ(a.photos.Count(), 0);
    EXPECT_EQ(a.view.info, QString::fromUtf8(kNoFolderMessage));
    EXPECT_EQ(a.view.beeps, 1);
    EXPECT_TRUE(a.pos.CoverShowing());
}

TEST_F(NavigatorFolderChoice, AFolderNamedLikeItsPhotoIsKeptWhole)
{
    // The picked name also occurs earlier in the path.
    QDir(dir.path()).mkdir("b.jpg.d");
    const QString inner = dir.filePath("b.jpg.d");
    Touch(QDir(inner), "b.jpg", "x");
    Touch(QDir(inner), "z.jpg", "x");
    Album a(0, 0, -1);
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(inner + "/b.jpg");
    EXPECT_EQ(a.photos.Folder(), inner + "/");
    EXPECT_EQ(a.photos.Names(), (QStringList{"b.jpg", "z.jpg"}));
    EXPECT_EQ(a.pos.CurPhoto(), 0);
}

TEST_F(NavigatorFolderChoice, CancellingKeepsTheAlbumOrSaysNoneWasChosen)
{
    Album none(0, 0, -1);
    none.m.SetView(View::Still);
    none.nav.BeginFolderChoice();
    none.nav.FolderChosen(QString());
    EXPECT_EQ(none.m.ViewMode(), View::Cover);
    EXPECT_EQ(none.view.info, QString::fromUtf8(kNoFolderChosenMessage));
    EXPECT_EQ(none.view.beeps, 1);

    Album a(0, 0, -1);
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(dir.filePath("b.jpg"));
    a.nav.BeginFolderChoice();
    EXPECT_EQ(a.nav.FolderChosen(QString()), FolderChange::None);
    EXPECT_EQ(a.photos.Folder(), folder);
    EXPECT_EQ(a.view.beeps, 0);
    // The next "下一张" brings the same photo in again.
    EXPECT_TRUE(a.pos.CoverShowing());
    EXPECT_TRUE(a.Click(Navigator::Next));
    EXPECT_EQ(a.pos.CurPhoto(), 1);
}

TEST_F(NavigatorFolderChoice, AFolderGivenByItselfOpensAtItsFirstPhoto)
{
    Album a(0, 0, -1);
    PhotoList list{AlbumExtensions()};
    list.Point(dir.path());
    a.nav.BeginFolderChoice();
    a.nav.FolderChosen(dir.path(), list.Name(0));
    EXPECT_EQ(a.photos.Folder(), folder);
    EXPECT_EQ(a.photos.Count(), 3);
    EXPECT_EQ(a.pos.CurPhoto(), 0);
    EXPECT_FALSE(a.pos.CoverShowing());
    EXPECT_EQ(a.m.ViewMode(), View::BringingIn);
}

TEST(FolderChooserDialog, OpensOnTheFolderGivenAndReturnsTheChosenOne)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    const QString start = QDir(dir.path()).canonicalPath();
    {
        FolderChooser dialog(start);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选择文件夹"));
        EXPECT_EQ(dialog.CurrentFolder(), start);
        EXPECT_NE(dialog.CurrentFolder(), QDir::currentPath());
        EXPECT_TRUE(dialog.MountPoints().contains("/"));
        dialog.ButtonClick(1);
        EXPECT_EQ(dialog.Chosen(), QString());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        FolderChooser dialog(start);
        dialog.ChooseFolder(dir.filePath("sub"));
        dialog.ButtonClick(0);
        EXPECT_EQ(dialog.Chosen(), start + "/sub");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        // Another mount point: the tree goes to its root.
        FolderChooser dialog(start);
        dialog.ChooseMountPoint("/");
        EXPECT_EQ(dialog.CurrentMountPoint(), QStringLiteral("/"));
        EXPECT_EQ(dialog.CurrentFolder(), QStringLiteral("/"));
    }
}
