#include "TestUtil.h"
#include "imaging/ImageFormats.h"
#include "album/ui/FontDialog.h"
#include "album/ui/SettingsDialog.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Paths.h"
#include "shell/WidgetApp.h"
#include "shell/ui/SkinWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <optional>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// The user's hand: real mouse and key events sent to the dialog's controls.
void Click(QWidget* w, std::optional<QPoint> at = {})
{
    ASSERT_NE(w, nullptr);
    const QPoint c = at.value_or(w->rect().center());
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, c, w->mapToGlobal(c), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

void Key(QWidget* w, int key, const QString& text = {})
{
    for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(t, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &e);
    }
}

void Type(QLineEdit* box, const QString& text)
{
    ASSERT_NE(box, nullptr);
    box->setFocus();
    box->selectAll();
    Key(box, Qt::Key_Backspace);
    for (QChar c : text)
        Key(box, c.unicode() < 128 ? c.toUpper().unicode() : int(Qt::Key_unknown), QString(c));
}

template <class W>
W* Find(QWidget* d, const char* name)
{
    return d->findChild<W*>(QString::fromLatin1(name));
}

}  // namespace

TEST(SettingsDialog, DrivenByTheUserStoresImmediateChoicesAndOkValues)
{
    QTemporaryDir photos;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        Touch(QDir(photos.path()), QString::fromLatin1(name));
    const AppPaths paths = AppPaths::ForProgramDir(QStringLiteral(TAMSEL_BUILD_DIR));
    AlbumState s = AlbumState::FirstRun(paths);
    PhotoList album{AlbumExtensions()};
    album.Point(photos.path() + '/');

    QPointer<SettingsDialog> d = new SettingsDialog(s, album, paths, nullptr);
    d->applySettings = [&s](const AlbumState& next) { s = next; };
    QSize applied;
    int style = -1;
    QList<bool> music;
    d->applySize = [&](int w, int h) { applied = QSize(w, h); };
    d->styleApplied = [&](int f) { style = f; };
    d->musicSwitched = [&](bool on) { music << on; };
    d->askTunes = [] { return QStringList{"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}; };
    d->askFont = [](const FontChoice&) { return FontChoice{QStringLiteral("宋体"), 36, 0x0000FF}; };
    d->Activate();
    d->show();
    ASSERT_FALSE(d->CloseImage()->Picture().isNull()) << "the skin's close picture is missing";
    EXPECT_EQ(Find<QListWidget>(d, "photoList")->count(), 3);
    EXPECT_EQ(Find<QLineEdit>(d, "captionEdit")->text(), QString::fromUtf8(kSampleCaption));

    // Immediate: caption position, tunes (last chosen first), font, delete.
    Click(Find<QWidget>(d, "captionCell2"));
    EXPECT_EQ(s.CapPos, 2);
    EXPECT_EQ(Find<QLabel>(d, "captionMarker")->pos(), Find<QWidget>(d, "captionCell2")->pos());
    Click(Find<QPushButton>(d, "tunesButton"));
    auto* list = Find<QListWidget>(d, "tuneList");
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral(" c"));
    list->setCurrentRow(0);
    Key(list, Qt::Key_Delete);
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(s.MusicList[0], QStringLiteral("/m/c.mp3"));
    Click(Find<QPushButton>(d, "fontButton"));
    EXPECT_EQ(s.CapFontSize, 26);
    EXPECT_EQ(s.CapFontName, QStringLiteral("宋体"));

    // A caption locked to the second photo.
    Find<QListWidget>(d, "photoList")->setCurrentRow(1);
    Type(Find<QLineEdit>(d, "captionEdit"), QStringLiteral("九寨"));
    Click(Find<QPushButton>(d, "linkCaptionButton"));
    EXPECT_EQ(s.CaptionOf(1), QStringLiteral("九寨"));

    // An empty box is answered, and the dialog stays.
    Type(Find<QLineEdit>(d, "pauseEdit"), QString());
    Click(Find<QPushButton>(d, "okButton"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(Find<QLabel>(d, "messageLabel")->text().isEmpty());

    // Letters cannot be typed into a number box.
    Type(Find<QLineEdit>(d, "pauseEdit"), QStringLiteral("5s"));
    EXPECT_EQ(Find<QLineEdit>(d, "pauseEdit")->text(), QStringLiteral("5"));
    Type(Find<QLineEdit>(d, "widthEdit"), QStringLiteral("1000"));
    Type(Find<QLineEdit>(d, "heightEdit"), QStringLiteral("100"));
    Click(Find<QRadioButton>(d, "styleRadio2"));
    Click(Find<QPushButton>(d, "okButton"));
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(applied, QSize(782, 288));
    EXPECT_EQ(style, 2);
    EXPECT_EQ(s.FrameType, 2);
    EXPECT_EQ(s.PauseSecs, 5);
    EXPECT_EQ(s.CaptionOf(0), QString());        // one photo at a time: only the linked one

    // Opened again it keeps its contents; the close picture unloads it.
    d->Activate();
    EXPECT_EQ(Find<QLineEdit>(d, "widthEdit")->text(), QStringLiteral("782"));
    EXPECT_EQ(Find<QComboBox>(d, "captionFontCombo")->count(), 2);
    Click(d->CloseImage());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(d.isNull());
    // Only the first opening's tick of "同步播放" reached the player.
    EXPECT_EQ(music, QList<bool>{true});
}

TEST(SettingsDialog, FontDialogOffersTheInstalledChineseFaces)
{
    const QStringList faces = FontDialog::Faces();
    EXPECT_EQ(faces.mid(0, 2), (QStringList{QStringLiteral("楷体_GB2312"), QStringLiteral("宋体")}));
    EXPECT_TRUE(faces.contains(QStringLiteral("AR PL UKai CN")));
    EXPECT_TRUE(faces.contains(QStringLiteral("AR PL UMing CN")));

    FontDialog d({QStringLiteral("黑体"), 22, 0x123456});
    const FontChoice c = d.Choice();            // faces and colours a script brought stay
    EXPECT_EQ(c.face, QStringLiteral("黑体"));
    EXPECT_EQ(c.size, 22);
    EXPECT_EQ(c.colour, 0x123456);
    d.SizeBox()->setEditText(QStringLiteral("36"));
    EXPECT_EQ(d.Choice().size, 36);              // passed on; the form keeps it to 26
}

// A click on the photo already chosen brings its stored caption back over
// what was typed; Esc ends the dialog as "取消" does, so a tune list emptied
// with "同步播放" ticked leaves the music off.
TEST(SettingsDialog, AClickOnTheChosenPhotoAndEscActAsTheUserExpects)
{
    QTemporaryDir photos;
    for (const char* name : {"a.jpg", "b.jpg"})
        Touch(QDir(photos.path()), QString::fromLatin1(name));
    const AppPaths paths = AppPaths::ForProgramDir(QStringLiteral(TAMSEL_BUILD_DIR));
    AlbumState s = AlbumState::FirstRun(paths);
    PhotoList album{AlbumExtensions()};
    album.Point(photos.path() + '/');
    s.MusicOn = 0;
    QPointer<SettingsDialog> d = new SettingsDialog(s, album, paths, nullptr);
    d->applySettings = [&s](const AlbumState& next) { s = next; };
    d->Activate();
    d->show();

    auto* photoList = Find<QListWidget>(d, "photoList");
    auto* caption = Find<QLineEdit>(d, "captionEdit");
    photoList->setCurrentRow(1);
    Type(caption, QStringLiteral("九寨"));
    Click(Find<QPushButton>(d, "linkCaptionButton"));
    Type(caption, QStringLiteral("typed over"));
    Click(photoList->viewport(), photoList->visualItemRect(photoList->item(1)).center());
    EXPECT_EQ(caption->text(), QStringLiteral("九寨"));

    auto* tunes = Find<QListWidget>(d, "tuneList");
    ASSERT_EQ(tunes->count(), 1);
    tunes->setCurrentRow(0);
    Key(tunes, Qt::Key_Delete);
    Click(Find<QCheckBox>(d, "musicOnCheck"));
    ASSERT_EQ(s.MusicOn, 1);
    Key(d, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(s.MusicOn, 0);
    delete d;
}
