// The two batch dialogs driven as a user would: keys, clicks, the choosers.
#include "BatchFolder.h"
#include "album/ui/FolderChooser.h"
#include "imaging/ImageFile.h"
#include "tools/RenameJournal.h"
#include "tools/ui/ConvertDialog.h"
#include "tools/ui/RenameDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

void Type(QLineEdit* field, const QString& text)
{
    for (const QChar ch : text) {
        const int key = ch.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(field, &release);
    }
}

void Retype(QLineEdit* field, const QString& text)
{
    field->selectAll();
    Type(field, text);
}

bool WaitClosed(QDialog& d)
{
    QElapsedTimer t;
    t.start();
    while (d.isVisible() && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !d.isVisible();
}

}  // namespace

TEST(BatchDialogs, RenameThroughTheDialog)
{
    QTemporaryDir album, empty;
    MakeNamedFiles(album.path(), {"b.JPG", "a.jpg", "c.png", ".hidden.jpg", "notes.txt"});
    RenameDialog d(nullptr, album.path(), album.path() + "/");
    d.show();
    EXPECT_EQ(d.Sources(), QStringList({"a.jpg", "b.JPG", "c.png"}));
    EXPECT_EQ(d.Field(0)->text(), "a");
    EXPECT_EQ(d.Field(0)->selectedText(), "a");
    EXPECT_EQ(d.Preview(), QStringList({"a001.jpg", "a002.JPG", "a003.png"}));

    Type(d.Field(0), "trip");   // replaces the selected stem
    EXPECT_EQ(d.Preview(), QStringList({"trip001.jpg", "trip002.JPG", "trip003.png"}));
    Retype(d.Field(1), "x");
    EXPECT_TRUE(d.Preview().isEmpty());
    EXPECT_TRUE(d.Notice().contains(QStringLiteral("起始编号")));
    d.Button(0)->click();   // refused, the dialog stays
    EXPECT_TRUE(d.isVisible());
    Retype(d.Field(1), "9");
    Retype(d.Field(2), "ab");
    EXPECT_EQ(d.Preview(), QStringList({"trip09.jpg", "trip10.JPG", "trip11.png"}));
    EXPECT_TRUE(d.Notice().isEmpty());

    d.Button(0)->click();
    ASSERT_TRUE(WaitClosed(d));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.Result().ok) << d.Result().message.toStdString();
    EXPECT_TRUE(d.AlbumChanged());
    EXPECT_EQ(Snapshot(album.path()).keys(),
              QStringList({".hidden.jpg", "notes.txt", "trip09.jpg", "trip10.JPG", "trip11.png"}));
    EXPECT_EQ(ReadAll(QDir(album.path()).filePath("trip10.JPG")), "b.JPG");

    // Browsing to a folder without photos empties the preview and moves the working folder.
    RenameDialog again(nullptr, album.path(), album.path());
    again.SetFileChooser([&](QWidget*, const QString& start) {
        EXPECT_EQ(start, album.path() + "/");
        return QDir(empty.path()).filePath("nothing.jpg");
    });
    again.Button(2)->click();
    EXPECT_EQ(again.WorkingFolder(), empty.path() + "/");
    EXPECT_TRUE(again.Preview().isEmpty());
    again.Button(0)->click();   // nothing to rename: it just closes
    EXPECT_FALSE(again.AlbumChanged());
}

TEST(BatchDialogs, OpeningTheRenameDialogSettlesAnUnfinishedRename)
{
    QTemporaryDir dir;
    MakeNamedFiles(dir.path(), {".tamsel-rename-t-0", "keep.jpg"});
    RenameJournal j;
    j.phase = 2;
    j.entries.push_back({"old.jpg", ".tamsel-rename-t-0", "new.jpg"});
    ASSERT_TRUE(WriteJournal(dir.path(), j));

    RenameDialog d(nullptr, dir.path(), dir.path());
    EXPECT_TRUE(d.Notice().contains(QStringLiteral("改完"))) << d.Notice().toStdString();
    EXPECT_TRUE(d.AlbumChanged());
    EXPECT_EQ(d.Sources(), QStringList({"keep.jpg", "new.jpg"}));
    EXPECT_FALSE(HasJournal(dir.path()));
}

TEST(BatchDialogs, ConvertThroughTheDialog)
{
    QTemporaryDir src, dest;
    const QDir s(src.path());
    WritePicture(s.filePath("p1.bmp"));
    WritePicture(s.filePath("p2.BMP"), 20, 20, 2);
    Touch(QDir(dest.path()), "p1.jpg", "keep me");

    ConvertDialog d(nullptr, src.path(), dest.path());
    d.show();
    EXPECT_EQ(d.Combo(0)->currentText(), "*.bmp");
    EXPECT_EQ(d.Combo(1)->currentIndex(), 0);
    EXPECT_EQ(d.Sources(), QStringList({"p1.bmp", "p2.BMP"}));
    EXPECT_EQ(d.Preview(), QStringList({"p1.bmp", "p2.bmp"}));
    EXPECT_FALSE(d.DestinationField()->isEnabled());
    EXPECT_EQ(d.DestinationField()->text(), src.path() + "/");

    d.Combo(1)->setCurrentIndex(kJpg);
    EXPECT_EQ(d.Preview(), QStringList({"p1.jpg", "p2.jpg"}));
    d.Option(2)->click();
    EXPECT_TRUE(d.DestinationField()->isEnabled());
    d.DestinationField()->setText("/typed/is/not/used");
    // The album's own folder chooser, on the working folder; cancelled.
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* chooser = qobject_cast<FolderChooser*>(QApplication::activeModalWidget())) {
            shown = chooser->windowTitle() + " " + chooser->CurrentFolder();
            chooser->ButtonClick(1);
        } else if (QWidget* other = QApplication::activeModalWidget()) {
            other->close();
        }
    });
    d.Button(3)->click();
    EXPECT_EQ(shown, QStringLiteral("选择文件夹 ") + QDir(src.path()).canonicalPath());
    EXPECT_EQ(d.DestinationField()->text(), src.path() + "/");
    d.SetFolderChooser([&](QWidget*, const QString& start) {
        EXPECT_EQ(start, src.path() + "/");
        return dest.path();
    });
    d.Button(3)->click();
    EXPECT_EQ(d.DestinationField()->text(), dest.path() + "/");

    QStringList asked;
    d.SetOverwriteQuestion([&](QWidget*, const QStringList& names) -> std::optional<bool> {
        asked += names;
        return false;   // skip them
    });
    d.Button(0)->click();
    ASSERT_TRUE(WaitClosed(d));
    EXPECT_EQ(asked, QStringList({"p1.jpg"}));
    EXPECT_EQ(d.Result().message, QStringLiteral("已转换 1 张，跳过 1 张: p1.bmp (已有同名文件)"));
    EXPECT_TRUE(d.AlbumChanged());   // the album folder received a photo
    EXPECT_EQ(d.FolderChoice(), dest.path() + "/");
    EXPECT_EQ(ReadAll(QDir(dest.path()).filePath("p1.jpg")), "keep me");
    EXPECT_TRUE(QFile::exists(QDir(dest.path()).filePath("p2.jpg")));
    EXPECT_EQ(Snapshot(src.path()).size(), 2);
}

TEST(BatchDialogs, CancellingAConversionStopsItAndSaysSo)
{
    QTemporaryDir dir;
    const int count = 40;
    for (int i = 0; i < count; ++i)
        WritePicture(QDir(dir.path()).filePath(QStringLiteral("p%1.bmp").arg(i, 2, 10, QChar('0'))), 300, 200, i);
    ConvertDialog d(nullptr, dir.path(), dir.path());
    d.show();
    d.Combo(1)->setCurrentIndex(kPng);
    d.Button(0)->click();
    EXPECT_TRUE(d.isVisible());
    d.Button(1)->click();   // "取消" while it runs: stop after the files in flight
    ASSERT_TRUE(WaitClosed(d));
    EXPECT_TRUE(d.Result().message.startsWith(QStringLiteral("已取消"))) << d.Result().message.toStdString();
    const int pngs = int(QDir(dir.path()).entryList({"*.png"}).size());
    EXPECT_LT(pngs, count);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), count + pngs);
}

// Both dialogs say how many photos of their folder they cannot list.
TEST(BatchDialogs, PhotosWithUndecodableNamesAreCountedInTheNotice)
{
    QTemporaryDir dir;
    WritePicture(QDir(dir.path()).filePath("ok.bmp"));
    for (const char* raw : {"\xb0\xa1.bmp", "\xff\xfe.bmp"}) {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + raw;
        std::FILE* f = std::fopen(path.constData(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    RenameDialog rename(nullptr, dir.path(), dir.path());
    EXPECT_EQ(rename.Sources(), QStringList({"ok.bmp"}));
    EXPECT_TRUE(rename.Notice().contains(PassedOverText(2))) << rename.Notice().toStdString();
    ConvertDialog convert(nullptr, dir.path(), dir.path());
    EXPECT_EQ(convert.Sources(), QStringList({"ok.bmp"}));
    EXPECT_TRUE(convert.Notice().contains(PassedOverText(2))) << convert.Notice().toStdString();
}
