#include "TestUtil.h"
#include "imaging/ImageFormats.h"
#include "platform/Fifo.h"
#include "album/ShowScript.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Gbk.h"
#include "platform/Paths.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <random>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// A folder with n photos named p0.jpg, p1.jpg, ...
QString PhotoFolder(const QTemporaryDir& dir, const QString& sub, int n)
{
    QDir d(dir.path());
    d.mkdir(sub);
    d.cd(sub);
    for (int i = 0; i < n; ++i)
        Touch(d, QStringLiteral("p%1.jpg").arg(i));
    return d.absolutePath() + "/";
}

QByteArray Gbk(const char* utf8) { return ToGbk(QString::fromUtf8(utf8)); }

// The photo list of a folder, as the album holds it.
PhotoList ListOf(const QString& folder)
{
    PhotoList list{AlbumExtensions()};
    list.Point(folder);
    return list;
}

// Reads a script over r, which takes what the reader found, as the album does.
Outcome Read(const QString& file, AlbumState& r, PhotoList& list, bool* damaged = nullptr)
{
    const ScriptRead read = ReadScript(file, r, list);
    r = read.state;
    if (damaged)
        *damaged = read.damaged;
    return read.outcome;
}

}  // namespace

TEST(ShowScript, FirstRunFileIsTheNineteenLineExample)
{
    QTemporaryDir dir;
    const AppPaths paths = AppPaths::ForProgramDir(dir.path());
    const AlbumState s = AlbumState::FirstRun(paths);
    const QString file = dir.filePath("tamsel.tmf");
    ASSERT_TRUE(SaveScript(file, s, PhotoList(AlbumExtensions())).ok);

    QByteArray expected = "480\r\n336\r\n0\r\n0\r\n0\r\n0\r\n\"" + Gbk("楷体_GB2312") +
                          "\"\r\n22\r\n16777215\r\n7\r\n\"\"\r\n0\r\n3\r\n3\r\n0\r\n1\r\n1\r\n\"" +
                          ToGbk(dir.path()) + "/" + Gbk("开始曲.wma") + "\"\r\n\"" +
                          ToGbk(dir.path()) + "/face.jpg\"\r\n";
    const QByteArray written = ReadAll(file);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.count('\n'), 19);
    // The font name is in code page 936: four bytes for the two characters.
    EXPECT_TRUE(written.contains(QByteArray("\xBF\xAC\xCC\xE5_GB2312")));
}

TEST(ShowScript, RoundTripRestoresCaptionsMusicAndSettings)
{
    QTemporaryDir dir;
    PhotoList list{AlbumExtensions()};
    AlbumState s;
    s.ShowWidth = 600;
    s.ShowHeight = 400;
    s.ShowBackColor = 0x123456;
    s.LoopShow = 1;
    s.RotateAngle = 270;
    s.FrameType = 2;
    s.CapFontName = "宋体";
    s.CapFontSize = 18;
    s.CapFontColor = 255;
    s.CapPos = 2;
    const QString folder = PhotoFolder(dir, "album", 2);
    s.PhotoCaption = {"", "春天, 西湖 \"断桥\"", ""};
    s.PauseSecs = 5;
    s.FrameDelayMs = -1;
    s.TransMode = 255;
    s.MusicOn = 0;
    s.MusicList[0] = "/music/一.mp3";
    s.MusicList[1] = "/music/two.wma";
    s.CoverFile = "/covers/封面 😀.jpg";   // the emoji is not in GBK
    const QString file = dir.filePath("show.tms");
    ASSERT_TRUE(SaveScript(file, s, ListOf(folder)).ok);
    EXPECT_EQ(ReadAll(file).count('\n'), 2 + 2 + 18);

    AlbumState r;
    const Outcome res = Read(file, r, list);
    ASSERT_TRUE(res.ok) << res.message.toStdString();
    EXPECT_EQ(r.ShowWidth, 600);
    EXPECT_EQ(r.ShowHeight, 400);
    EXPECT_EQ(r.ShowBackColor, 0);   // never taken from a script
    EXPECT_EQ(r.LoopShow, 1);
    EXPECT_EQ(r.RotateAngle, 270);
    EXPECT_EQ(r.FrameType, 2);
    EXPECT_EQ(r.CapFontName, "宋体");
    EXPECT_EQ(r.CapFontSize, 18);
    EXPECT_EQ(r.CapFontColor, 255);
    EXPECT_EQ(r.CapPos, 2);
    EXPECT_EQ(list.Folder(), folder);
    EXPECT_EQ(r.PhotoCaption.value(0), "");
    EXPECT_EQ(r.PhotoCaption.value(1), "春天, 西湖 \"断桥\"");
    EXPECT_EQ(r.PauseSecs, 5);
    EXPECT_EQ(r.FrameDelayMs, -1);
    EXPECT_EQ(r.TransMode, 255);
    EXPECT_EQ(r.MusicOn, 0);
    EXPECT_EQ(r.MusicCount(), 2);
    EXPECT_EQ(r.MusicList[0], "/music/一.mp3");
    EXPECT_EQ(r.CoverFile, "/covers/封面 😀.jpg");
    EXPECT_EQ(list.Count(), 2);
}

TEST(ShowScript, CaptionsFollowPositionsWhenTheFolderChanged)
{
    QTemporaryDir dir;
    AlbumState s;
    // Written when the folder held three photos; it holds five now.
    const QString five = PhotoFolder(dir, "five", 3);
    s.PhotoCaption = {"a", "b", "c"};
    s.MusicList[0] = "x.wma";
    s.CoverFile = "cover.jpg";
    const QString file = dir.filePath("more.tms");
    ASSERT_TRUE(SaveScript(file, s, ListOf(five)).ok);
    Touch(QDir(five), "p3.jpg");
    Touch(QDir(five), "p4.jpg");
    AlbumState r;
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(list.Count(), 5);
    ASSERT_EQ(r.PhotoCaption.size(), 6);   // indices 0 to max(c, n)
    EXPECT_EQ(r.PhotoCaption.mid(0, 5), QStringList({"a", "b", "c", "", ""}));
    EXPECT_EQ(r.CoverFile, "cover.jpg");

    // Fewer photos than captions: all captions read, later records intact.
    const QString two = PhotoFolder(dir, "two", 4);
    s.PhotoCaption = {"a", "b", "c", "d"};
    s.PauseSecs = 9;
    ASSERT_TRUE(SaveScript(file, s, ListOf(two)).ok);
    QFile::remove(two + "p2.jpg");
    QFile::remove(two + "p3.jpg");
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(r.PhotoCaption.size(), 5);
    EXPECT_EQ(r.PhotoCaption.value(3), "d");
    EXPECT_EQ(r.PauseSecs, 9);
    EXPECT_EQ(r.MusicList[0], "x.wma");
    EXPECT_EQ(r.CoverFile, "cover.jpg");
}

TEST(ShowScript, EmptyFolderAndEmptyMusicList)
{
    QTemporaryDir dir;
    AlbumState s;
    s.CoverFile = "c.jpg";
    const QString file = dir.filePath("empty.tms");
    ASSERT_TRUE(SaveScript(file, s, PhotoList(AlbumExtensions())).ok);
    const QByteArray bytes = ReadAll(file);
    EXPECT_EQ(bytes.count('\n'), 18);
    EXPECT_TRUE(bytes.endsWith("1\r\n0\r\n\"c.jpg\"\r\n"));   // MusicOn 1, m = 0, no tunes

    AlbumState r;
    r.MusicList[0] = "old.wma";
    r.MusicList[1] = "older.wma";
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(r.MusicList[0].isEmpty());
    EXPECT_EQ(r.MusicCount(), 0);
}

TEST(ShowScript, DamagedFirstRecordsAreRefusedWhole)
{
    QTemporaryDir dir;
    AlbumState good;
    const QString folder = PhotoFolder(dir, "album", 3);
    good.PhotoCaption = {"x", "y", "z"};
    const QString file = dir.filePath("good.tms");
    ASSERT_TRUE(SaveScript(file, good, ListOf(folder)).ok);
    const QList<QByteArray> lines = ReadAll(file).split('\n');

    const QString bad = dir.filePath("bad.tms");
    // Every cut within the first twelve records, the empty file included.
    for (int keep = 0; keep < 12; ++keep) {
        QByteArray cut;
        for (int i = 0; i < keep; ++i)
            cut += lines[i] + '\n';
        ASSERT_TRUE(WriteAll(bad, cut));
        AlbumState r = good;
        r.ShowWidth = 777;
        PhotoList list = ListOf(folder);
        const Outcome res = Read(bad, r, list);
        EXPECT_FALSE(res.ok) << "kept " << keep;
        EXPECT_FALSE(res.message.isEmpty());
        EXPECT_EQ(r.ShowWidth, 777);
        EXPECT_EQ(r.PhotoCaption, good.PhotoCaption);
        EXPECT_EQ(list.Count(), 3);
    }
    // A text where a number belongs, a number out of its range, a string
    // without quotes.
    for (auto [line, text] : {std::pair{0, "abc"}, {3, "70000"}, {6, "Kai"}, {11, "-1"},
                               {1, "0"}}) {
        QList<QByteArray> l = lines;
        l[line] = text;
        ASSERT_TRUE(WriteAll(bad, l.join('\n')));
        AlbumState r = good;
        PhotoList list = ListOf(folder);
        EXPECT_FALSE(Read(bad, r, list).ok) << line;
        EXPECT_EQ(list.Folder(), folder);
        EXPECT_EQ(r.PhotoCaption, good.PhotoCaption);
    }
    AlbumState r;
    PhotoList list{AlbumExtensions()};
    EXPECT_FALSE(Read(dir.filePath("missing.tms"), r, list).ok);
}

TEST(ShowScript, LaterRecordsAreReadTolerantly)
{
    QTemporaryDir dir;
    AlbumState s;
    const PhotoList album = ListOf(PhotoFolder(dir, "album", 1));
    s.PhotoCaption = {"cap"};
    s.PauseSecs = 7;
    s.FrameDelayMs = 5;
    s.MusicList[0] = "m.wma";
    s.CoverFile = "c.jpg";
    const QString file = dir.filePath("s.tms");
    ASSERT_TRUE(SaveScript(file, s, album).ok);
    QList<QByteArray> l = ReadAll(file).split('\n');
    l[13] = "seven\r";   // PauseSecs unreadable: keeps the value it had
    ASSERT_TRUE(WriteAll(file, l.join('\n')));
    AlbumState r;
    r.PauseSecs = 42;
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(r.PauseSecs, 42);
    EXPECT_EQ(r.FrameDelayMs, 5);
    EXPECT_EQ(r.MusicList[0], "m.wma");
    EXPECT_EQ(r.CoverFile, "c.jpg");

    // Cut off after the captions: what is there is read, the rest kept.
    ASSERT_TRUE(WriteAll(file, l.mid(0, 14).join('\n')));
    r = AlbumState();
    r.CoverFile = "keep.jpg";
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(r.PhotoCaption.value(0), "cap");
    EXPECT_EQ(r.CoverFile, "keep.jpg");

    // LF-only line ends, as an editor on this system may leave them.
    QByteArray lf = ReadAll(file);
    ASSERT_TRUE(SaveScript(file, s, album).ok);
    lf = ReadAll(file);
    lf.replace("\r\n", "\n");
    ASSERT_TRUE(WriteAll(file, lf));
    r = AlbumState();
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(r.CoverFile, "c.jpg");
}

TEST(ShowScript, MoreThanSixtyFourTunesKeepsTheListEndedAndTheCover)
{
    QTemporaryDir dir;
    AlbumState s;
    s.CoverFile = "cover.jpg";
    const QString file = dir.filePath("tunes.tms");
    ASSERT_TRUE(SaveScript(file, s, PhotoList(AlbumExtensions())).ok);
    QList<QByteArray> l = ReadAll(file).split('\n');
    // Replace "m" and its records with 70 tunes.
    l.removeLast();                       // empty piece after the last CRLF
    const QByteArray cover = l.takeLast();
    const int mAt = int(l.size()) - 1;
    l[mAt] = "70\r";
    for (int i = 0; i < 70; ++i)
        l.push_back("\"t" + QByteArray::number(i) + ".wma\"\r");
    l.push_back(cover);
    ASSERT_TRUE(WriteAll(file, l.join('\n') + '\n'));
    AlbumState r;
    PhotoList list{AlbumExtensions()};
    bool damaged = true;
    Outcome res = Read(file, r, list, &damaged);
    ASSERT_TRUE(res.ok);
    EXPECT_FALSE(damaged);
    EXPECT_TRUE(res.message.contains("6 首")) << res.message.toStdString();   // the six passed over
    EXPECT_EQ(r.MusicCount(), 64);
    EXPECT_EQ(r.MusicList[63], "t63.wma");
    EXPECT_TRUE(r.MusicList[64].isEmpty());
    EXPECT_EQ(r.CoverFile, "cover.jpg");

    // A count beyond the lines there, up to the largest: only the tune lines
    // are tunes, the last line stays the cover.
    for (const QByteArray count : {"71", "2147483647", "many"}) {
        l[mAt] = count + '\r';
        ASSERT_TRUE(WriteAll(file, l.join('\n') + '\n'));
        r = AlbumState();
        res = Read(file, r, list, &damaged);
        ASSERT_TRUE(res.ok);
        EXPECT_TRUE(damaged);
        EXPECT_EQ(r.MusicCount(), 64);
        EXPECT_EQ(r.CoverFile, "cover.jpg") << count.toStdString();
    }
}

TEST(ShowScript, SurplusCaptionsAreKeptOnlyWhileTheFolderIsMissing)
{
    QTemporaryDir dir;
    AlbumState s;
    const QString two = PhotoFolder(dir, "two", 4);   // written when the folder held four photos
    s.PhotoCaption = {"a", "b", "c", "d"};
    s.MusicList[0] = "x.wma";
    const QString file = dir.filePath("four.tms");
    ASSERT_TRUE(SaveScript(file, s, ListOf(two)).ok);
    ASSERT_EQ(ReadAll(file).count('\n'), 4 + 18 + 1);
    QFile::remove(two + "p2.jpg");
    QFile::remove(two + "p3.jpg");

    // The folder is there with two photos: two captions go back.
    AlbumState r;
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(Read(file, r, list).ok);
    ASSERT_TRUE(SaveScript(file, r, list).ok);
    QList<QByteArray> lines = ReadAll(file).split('\n');
    EXPECT_EQ(lines.size() - 1, 2 + 18 + 1);
    EXPECT_EQ(lines[11], "2\r");
    EXPECT_EQ(lines[13], "\"b\"\r");

    // The folder is away: all four are kept for its return.
    ASSERT_TRUE(SaveScript(file, s, ListOf(dir.path() + "/unplugged/")).ok);
    r = AlbumState();
    ASSERT_TRUE(Read(file, r, list).ok);
    ASSERT_TRUE(SaveScript(file, r, list).ok);
    lines = ReadAll(file).split('\n');
    EXPECT_EQ(lines.size() - 1, 4 + 18 + 1);
    EXPECT_EQ(lines[11], "4\r");
    EXPECT_EQ(lines[15], "\"d\"\r");
}

TEST(ShowScript, APipeNamedLikeAScriptIsRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("show.tms");
    ASSERT_TRUE(MakeFifo(fifo));
    AlbumState r;
    PhotoList list{AlbumExtensions()};
    Outcome res;
    ASSERT_TRUE(ReturnsDespiteFifo(fifo, [&] { res = Read(fifo, r, list); }));
    EXPECT_FALSE(res.ok);
    EXPECT_FALSE(res.message.isEmpty());
}

// A script naming a folder that is not there (an unplugged card): the list
// keeps the folder's name, and the script written back is the same bytes,
// folder and captions, until the folder returns.
TEST(ShowScript, MissingFolderKeepsCaptionsAndNamesNoForeignPhotos)
{
    QTemporaryDir dir;
    AlbumState s;
    const QString gone = dir.path() + "/gone/";
    s.PhotoCaption = {"one", "two"};
    const QString file = dir.filePath("gone.tms");
    ASSERT_TRUE(SaveScript(file, s, ListOf(gone)).ok);
    const QByteArray written = ReadAll(file);
    EXPECT_TRUE(written.contains("\"" + QFile::encodeName(gone) + "\"\r\n2\r\n\"one\"\r\n\"two\"\r\n"));

    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(list.Point(PhotoFolder(dir, "other", 4)));
    AlbumState r;
    const Outcome res = Read(file, r, list);
    ASSERT_TRUE(res.ok);
    EXPECT_TRUE(res.HasMessage());
    EXPECT_FALSE(res.message.isEmpty());
    EXPECT_EQ(list.Count(), 0);   // not the other folder's photos
    EXPECT_EQ(list.Folder(), gone);
    EXPECT_EQ(list.Path(0), gone);

    // Written back, the captions survive until the folder returns.
    ASSERT_TRUE(SaveScript(file, r, list).ok);
    EXPECT_EQ(ReadAll(file), written);
    QDir(dir.path()).mkdir("gone");
    Touch(QDir(gone), "a.png");
    Touch(QDir(gone), "b.png");
    AlbumState back;
    ASSERT_TRUE(Read(file, back, list).ok);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(back.PhotoCaption.value(1), "two");
}

TEST(ShowScript, FailedWriteLeavesThePreviousFileWhole)
{
    QTemporaryDir dir;
    AlbumState s;
    const PhotoList none{AlbumExtensions()};
    const QString file = dir.filePath("keep.tms");
    ASSERT_TRUE(SaveScript(file, s, none).ok);
    const QByteArray before = ReadAll(file);
    // A folder of that name cannot be replaced by a file.
    const QString blocked = dir.filePath("folder.tms");
    QDir(dir.path()).mkdir("folder.tms");
    const Outcome r = SaveScript(blocked, s, none);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_FALSE(SaveScript("/nonexistent-dir/x.tms", s, none).ok);
    EXPECT_EQ(ReadAll(file), before);
    // Nothing half-written is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"keep.tms"}));
}

TEST(ShowScript, LineBreaksInCaptionsDoNotSplitRecords)
{
    QTemporaryDir dir;
    AlbumState s;
    s.PhotoCaption = {"第一行\r\n第二行"};
    s.CoverFile = "c.jpg";
    const QString file = dir.filePath("lb.tms");
    ASSERT_TRUE(SaveScript(file, s, ListOf(PhotoFolder(dir, "a", 1))).ok);
    AlbumState r;
    PhotoList list{AlbumExtensions()};
    ASSERT_TRUE(Read(file, r, list).ok);
    EXPECT_EQ(r.PhotoCaption.value(0), "第一行 第二行");
    EXPECT_EQ(r.CoverFile, "c.jpg");
}

TEST(Gbk, ChineseTakesTwoBytesAndForeignCharactersSurvive)
{
    EXPECT_EQ(GbkLength("ab"), 2);
    EXPECT_EQ(GbkLength("春天"), 4);
    EXPECT_EQ(GbkLength("abcdef春天"), 10);
    for (const char* t : {"楷体_GB2312", "ÄÖÜ ß", "😀 smile", "한국어", "mixed 春 😀 end"}) {
        const QString s = QString::fromUtf8(t);
        EXPECT_EQ(FromGbk(ToGbk(s)), s) << t;
    }
}

// The reader takes back whatever the writer wrote, whatever the photo count:
// an album past 32767 photos once came back as a damaged file.
TEST(ShowScript, WhatIsWrittenIsReadBackForAlbumsOfAnySize)
{
    QTemporaryDir dir;
    const QString big = dir.filePath("big/");
    QDir().mkpath(big);
    for (int i = 0; i < 40000; ++i)
        QFile(big + QStringLiteral("%1.jpg").arg(i, 5, 10, QChar('0'))).open(QIODevice::WriteOnly);
    std::mt19937 rng(7);
    const struct {
        QString folder;   // a missing folder keeps every caption held
        int count;
    } albums[] = {{big, 40000}, {"/gone/", 32768}, {"/gone/", 0}, {"/gone/", 1 + int(rng() % 5000)}};
    for (const auto& a : albums) {
        SCOPED_TRACE(a.count);
        AlbumState s;
        const PhotoList album = ListOf(a.folder);
        ASSERT_EQ(album.Count(), a.folder == big ? a.count : 0);
        s.PhotoCaption.resize(a.count + 1);
        for (int i = 0; i < a.count; i += 1 + int(rng() % 97))
            s.PhotoCaption[i] = QStringLiteral("照片 %1").arg(rng());
        s.PauseSecs = int(rng() % 100);
        const QString file = dir.filePath("album.tmf");
        ASSERT_TRUE(SaveScript(file, s, album).ok);

        AlbumState r;
        PhotoList list{AlbumExtensions()};
        bool damaged = true;
        ASSERT_TRUE(Read(file, r, list, &damaged).ok);
        EXPECT_FALSE(damaged);
        EXPECT_EQ(list.Count(), album.Count());
        int differing = 0;
        for (int i = 0; i < a.count; ++i)
            differing += r.CaptionOf(i) != s.CaptionOf(i);
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(r.PauseSecs, s.PauseSecs);
    }
}
