#include "TestUtil.h"
#include "imaging/ImageFormats.h"
#include "album/Settings.h"
#include "imaging/ImageFile.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

const QSize kBox(120, 84);

// A loaded and activated form over an album state of the first run; the
// test adopts what the form hands back, as the album does.
struct Form {
    AlbumState s;
    PhotoList photos{AlbumExtensions()};
    SettingsForm f{s, photos, [this](const AlbumState& next) { s = next; }};
    bool paintHold = false;
    Form()
    {
        f.holdPaint = [this](bool hold) { paintHold = hold; };
        s.MusicList[0] = QStringLiteral("/music/开始曲.wma");
        f.Load(kBox);
        f.Activate();
    }
};

QString Picture(const QTemporaryDir& dir, const QString& name)
{
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    const QString path = dir.filePath(name);
    img.save(path);
    return path;
}

}  // namespace

TEST(SettingsForm, OkClampsTheSizeAndSaysWhetherTheWindowMustFollow)
{
    struct Case {
        const char *w, *h;
        int wantW, wantH;
        bool changed;
    } cases[] = {
        {"1000", "100", 782, 288, true},
        {"480", "336", 480, 336, false},          // as it was: nothing to redo
        {" 500 ", "300", 500, 300, true},
        {"99999999999999999999999", "0", 782, 288, true},
    };
    for (const Case& c : cases) {
        Form t;
        t.f.widthText = QString::fromUtf8(c.w);
        t.f.heightText = QString::fromUtf8(c.h);
        const auto a = t.f.Ok();
        EXPECT_TRUE(a.outcome.ok) << c.w;
        EXPECT_EQ(t.s.ShowWidth, c.wantW) << c.w;
        EXPECT_EQ(t.s.ShowHeight, c.wantH) << c.w;
        EXPECT_EQ(a.sizeChanged, c.changed) << c.w;
    }
    // A maximised window, beyond the boxes' limits, stays as it is when
    // nobody typed a size.
    Form t;
    t.s.ShowWidth = 1902;
    t.s.ShowHeight = 958;
    t.f.Activate();
    EXPECT_FALSE(t.f.Ok().sizeChanged);
    EXPECT_EQ(t.s.ShowWidth, 1902);
}

TEST(SettingsForm, OkRefusesTextThatIsNoNumberAndStoresNothing)
{
    using F = SettingsForm::Field;
    struct Case {
        QString SettingsForm::*box;
        const char* text;
        F field;
    } cases[] = {
        {&SettingsForm::widthText, "", F::Width},
        {&SettingsForm::widthText, "-500", F::Width},
        {&SettingsForm::heightText, "3x0", F::Height},
        {&SettingsForm::pauseText, "", F::Pause},
        {&SettingsForm::pauseText, "32768", F::Pause},
        {&SettingsForm::frameDelayText, "-1", F::FrameDelay},
        {&SettingsForm::frameDelayText, "1e3", F::FrameDelay},
    };
    for (const Case& c : cases) {
        Form t;
        t.f.frameChoice = 2;
        t.f.widthText = QStringLiteral("700");
        t.f.*c.box = QString::fromUtf8(c.text);
        const auto a = t.f.Ok();
        EXPECT_FALSE(a.outcome.ok) << c.text;
        EXPECT_FALSE(a.outcome.message.isEmpty());
        EXPECT_EQ(a.badField, c.field) << c.text;
        EXPECT_EQ(t.s.ShowWidth, 480);
        EXPECT_EQ(t.s.FrameType, 0);
    }
    Form t;
    t.f.pauseText = QStringLiteral("32767");
    t.f.frameDelayText = QStringLiteral("0");
    ASSERT_TRUE(t.f.Ok().outcome.ok);
    EXPECT_EQ(t.s.PauseSecs, 32767);
    EXPECT_EQ(t.s.FrameDelayMs, 0);
}

TEST(SettingsForm, FontSizeIsRoundedAndKeptBetween14And26)
{
    const std::pair<double, int> cases[] = {{36, 26}, {12, 14}, {13.5, 14}, {20.5, 20}, {21.5, 22}};
    for (const auto& [size, want] : cases) {
        Form t;
        t.f.BeginFontChoice();
        EXPECT_TRUE(t.paintHold);
        t.f.ApplyFont({QStringLiteral("宋体"), size, 0x0000FF});
        EXPECT_EQ(t.s.CapFontSize, want) << size;
        EXPECT_EQ(t.s.CapFontName, QStringLiteral("宋体"));
        EXPECT_EQ(t.s.CapFontColor, 0x0000FF);
        EXPECT_FALSE(t.paintHold);
        EXPECT_EQ(t.f.faces, (QStringList{QStringLiteral("楷体_GB2312"), QStringLiteral("宋体")}));
        EXPECT_EQ(t.f.faceIndex, 1);
    }
}

TEST(SettingsForm, CancelKeepsTheImmediateChoicesOnly)
{
    QTemporaryDir dir;
    Form t;
        const QString cover = Picture(dir, QStringLiteral("cover.png"));
    ASSERT_TRUE(t.f.ChooseCover(cover, kBox).ok);
    EXPECT_FALSE(t.f.coverPreview.isNull());
    t.f.SetCaptionPosition(2);
    t.f.AddTunes({QStringLiteral("/m/x.mp3")});
    t.f.SetMusicLoop(true);
    t.f.BeginFontChoice();                       // and the font dialog cancelled
    t.f.widthText = QStringLiteral("700");
    t.f.frameChoice = 3;
    t.f.pauseText = QStringLiteral("9");

    const auto a = t.f.Cancel();
    EXPECT_FALSE(a.sizeChanged);
    EXPECT_EQ(t.s.CoverFile, cover);
    EXPECT_EQ(t.s.CapPos, 2);
    EXPECT_EQ(t.s.MusicList[1], QStringLiteral("/m/x.mp3"));
    EXPECT_EQ(t.s.MusicLoop, 1);
    EXPECT_EQ(t.s.MusicTrack, 0);
    EXPECT_TRUE(t.paintHold);                  // a cancelled font choice leaves it set
    EXPECT_EQ(t.s.ShowWidth, 480);
    EXPECT_EQ(t.s.FrameType, 0);
    EXPECT_EQ(t.s.PauseSecs, 3);
}

TEST(SettingsForm, CoverIsTakenOnlyWhenItCanBeShown)
{
    QTemporaryDir dir;
    Form t;
    t.s.CoverFile = Picture(dir, QStringLiteral("good.jpg"));
    const QString bad = Touch(QDir(dir.path()), QStringLiteral("bad.jpg"), "not a picture");
    for (const QString& path : {bad, dir.filePath(QStringLiteral("missing.png")), dir.path()}) {
        const Outcome o = t.f.ChooseCover(path, kBox);
        EXPECT_FALSE(o.ok) << path.toStdString();
        EXPECT_TRUE(o.message.contains(QFileInfo(path).fileName()));
    }
    EXPECT_EQ(t.s.CoverFile, dir.filePath(QStringLiteral("good.jpg")));

    // A format only the image file library reads is shown all the same.
    const QString pcx = dir.filePath(QStringLiteral("old.pcx"));
    ASSERT_TRUE(SaveImageFile(LoadImageFile(Picture(dir, QStringLiteral("src.png"))), pcx, kPcx));
    ASSERT_TRUE(t.f.ChooseCover(pcx, kBox).ok);
    EXPECT_EQ(t.f.coverPreview.size(), QSize(112, 84));

    // Loaded with a cover that cannot be read: an empty preview and a message.
    t.s.CoverFile = bad;
    SettingsForm fresh(t.s, t.photos, {});
    const Outcome o = fresh.Load(kBox);
    EXPECT_TRUE(fresh.coverPreview.isNull());
    EXPECT_TRUE(o.message.contains(QStringLiteral("bad.jpg")));
}

TEST(SettingsForm, TunesJoinLastChosenFirstUpTo64AndDeleteShiftsTheList)
{
    Form t;
    EXPECT_EQ(t.f.AddTunes({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3"),
                            QStringLiteral("/m/c.mp3")}),
              0);
    EXPECT_EQ(t.s.MusicList[1], QStringLiteral("/m/c.mp3"));
    EXPECT_EQ(t.s.MusicList[2], QStringLiteral("/m/b.mp3"));
    EXPECT_EQ(t.s.MusicList[3], QStringLiteral("/m/a.mp3"));
    EXPECT_TRUE(t.s.MusicList[4].isEmpty());
    EXPECT_EQ(t.f.tuneLines, (QStringList{QStringLiteral(" 开始曲"), QStringLiteral(" c"),
                                          QStringLiteral(" b"), QStringLiteral(" a")}));

    // Removing the second line closes the gap.
    EXPECT_FALSE(t.f.DeleteTune(1));
    EXPECT_EQ(t.s.MusicList[1], QStringLiteral("/m/b.mp3"));
    EXPECT_EQ(t.s.MusicList[2], QStringLiteral("/m/a.mp3"));
    EXPECT_TRUE(t.s.MusicList[3].isEmpty());

    // 3 + 70 chosen: 61 more fit, the last slot stays the end marker.
    QStringList many;
    for (int i = 0; i < 70; ++i)
        many << QStringLiteral("/m/t%1.mp3").arg(i);
    EXPECT_EQ(t.f.AddTunes(many), 9);
    EXPECT_EQ(t.s.MusicCount(), kMaxTunes);
    EXPECT_EQ(t.s.MusicList[3], QStringLiteral("/m/t69.mp3"));
    EXPECT_TRUE(t.s.MusicList[kMaxTunes].isEmpty());
}

TEST(SettingsForm, RemovingTheOnlyTuneTurnsMusicOff)
{
    Form t;
    ASSERT_TRUE(t.f.musicBox);
    EXPECT_TRUE(t.f.DeleteTune(0));
    EXPECT_FALSE(t.f.musicBox);
    EXPECT_EQ(t.s.MusicOn, 0);
    EXPECT_TRUE(t.s.MusicList[0].isEmpty());
    EXPECT_TRUE(t.f.tuneLines.isEmpty());

    // With the box ticked again over an empty list, closing turns it off.
    t.f.SetMusicOn(true);
    EXPECT_TRUE(t.f.Cancel().musicOff);
    EXPECT_EQ(t.s.MusicOn, 0);
}

TEST(SettingsForm, OpeningFollowsTheMusicAndLoopBoxes)
{
    AlbumState s;
    s.MusicList[0] = QStringLiteral("/m/a.wma");
    s.MusicTrack = 255;
    const PhotoList photos{AlbumExtensions()};
    SettingsForm f(s, photos, [&s](const AlbumState& next) { s = next; });
    f.Load(kBox);
    EXPECT_TRUE(f.Activate());       // the box ticks itself: the list starts over
    EXPECT_EQ(s.MusicTrack, 0);
    EXPECT_FALSE(f.Activate());
    f.SetMusicLoop(false);
    EXPECT_EQ(s.MusicTrack, 255);
    f.SetMusicOn(false);
    EXPECT_EQ(s.MusicOn, 0);
}

TEST(SettingsForm, CaptionsGoToOnePhotoByTheLinkOrToAllByOk)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    for (const char* name : {"b.JPG", "a.png", "c.wmf", "notes.txt", "C.bmp"})
        Touch(d, QString::fromUtf8(name));
    QDir(dir.path()).mkdir(QStringLiteral("sub.jpg"));

    Form t;
    t.photos.Point(dir.path() + '/');
    t.s.PhotoCaption = {QStringLiteral("甲"), QStringLiteral("乙")};
    t.f.Activate();
    EXPECT_EQ(t.f.Photos().Names(), (QStringList{QStringLiteral("a.png"), QStringLiteral("b.JPG"),
                                                 QStringLiteral("C.bmp"), QStringLiteral("c.wmf")}));
    EXPECT_EQ(t.f.captionText, QStringLiteral("甲"));

    EXPECT_FALSE(t.f.LinkCaption());             // no photo chosen yet
    t.f.SelectPhoto(1);
    EXPECT_EQ(t.f.captionText, QStringLiteral("乙"));
    t.f.SelectPhoto(3);
    t.f.captionText = QStringLiteral("丁");
    EXPECT_TRUE(t.f.LinkCaption());
    EXPECT_EQ(t.s.PhotoCaption, (QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QString(),
                                             QStringLiteral("丁")}));
    ASSERT_TRUE(t.f.Ok().outcome.ok);            // one photo at a time: Ok leaves them
    EXPECT_EQ(t.s.PhotoCaption.size(), 4);
    EXPECT_EQ(t.s.PhotoCaption[0], QStringLiteral("甲"));

    t.f.allPhotos = true;
    t.f.captionText = QString::fromUtf8(kSampleCaption);
    ASSERT_TRUE(t.f.Ok().outcome.ok);
    EXPECT_EQ(t.s.PhotoCaption, QStringList(4, QString::fromUtf8(kSampleCaption)));

    // A folder that has gone lists nothing and links nothing.
    t.photos.Point(dir.path() + QStringLiteral("/gone/"));
    t.f.Activate();
    EXPECT_EQ(t.f.Photos().Count(), 0);
    t.f.SelectPhoto(0);
    t.f.allPhotos = false;
    EXPECT_FALSE(t.f.LinkCaption());
}
