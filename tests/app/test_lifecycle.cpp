#include "TestAccess.h"
#include "TestUtil.h"
#include "imaging/ImageFormats.h"
#include "tools/BatchFolder.h"
#include "platform/Fifo.h"
#include "album/ShowScript.h"
#include "app/AlbumApp.h"
#include "app/DataFile.h"
#include "platform/Gbk.h"

#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

QByteArray FirstRunBytes(const QString& programDir)
{
    QTemporaryDir scratch;
    const QString f = scratch.filePath("x.tmf");
    SaveScript(f, AlbumState::FirstRun(AppPaths::ForProgramDir(programDir)), PhotoList(AlbumExtensions()));
    return ReadAll(f);
}

}  // namespace

TEST(Lifecycle, FirstStartWritesDefaultsAndTheNextStartRestoresTheAlbum)
{
    QTemporaryDir home, photos;
    Touch(QDir(photos.path()), "a.jpg");
    Touch(QDir(photos.path()), "b.jpg");
    {
        AlbumApp core(AppPaths::ForProgramDir(home.path()));
        const StartupReport r = core.Startup();
        EXPECT_TRUE(r.firstRun);
        EXPECT_TRUE(r.message.isEmpty());
        EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf")), FirstRunBytes(home.path()));
        EXPECT_TRUE(TestAccess::Model(core).position.CoverShowing());
        EXPECT_EQ(TestAccess::Model(core).main.WipeStep, 4);

        TestAccess::Model(core).photos.Point(photos.path() + "/");
        TestAccess::Model(core).state.PhotoCaption = {"甲", "乙", ""};
        TestAccess::SetCurPhoto(TestAccess::Model(core).position, 1);
        TestAccess::SetCover(TestAccess::Model(core).position, false);
        TestAccess::Model(core).state.ShowBackColor = 99;
        TestAccess::Model(core).state.FrameType = 3;
        // The album keeps nothing in files of its own while it runs: no working folder.
        EXPECT_FALSE(QFileInfo::exists(TestAccess::Model(core).paths.workDir));
        EXPECT_TRUE(core.Shutdown().ok);
        // A second shutdown (the window closing after a signal) changes nothing.
        TestAccess::Model(core).state.FrameType = 0;
        EXPECT_TRUE(core.Shutdown().ok);
    }
    AlbumApp again(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = again.Startup();
    EXPECT_FALSE(r.firstRun);
    EXPECT_EQ(TestAccess::Model(again).photos.Folder(), photos.path() + "/");
    EXPECT_EQ(TestAccess::Model(again).state.PhotoCaption.value(1), "乙");
    EXPECT_EQ(TestAccess::Model(again).state.FrameType, 3);
    EXPECT_EQ(TestAccess::Model(again).state.ShowBackColor, 0);
    EXPECT_EQ(TestAccess::Model(again).position.CurPhoto(), 0);        // every run opens on the cover
    EXPECT_TRUE(TestAccess::Model(again).position.CoverShowing());
    EXPECT_EQ(TestAccess::Model(again).photos.Count(), 2);
}

TEST(Lifecycle, DamagedDataFileIsKeptAsideAndDefaultsUsed)
{
    QTemporaryDir home;
    WriteAll(home.filePath("tamsel.tmf"), "480\r\n");
    AlbumApp core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf.bak")), QByteArray("480\r\n"));
    EXPECT_EQ(TestAccess::Model(core).state.ShowWidth, 480);
    EXPECT_EQ(TestAccess::Model(core).state.CapFontSize, 22);
}

// The album's folder on a card that is not plugged in: a run without it
// writes back the data file it found, folder and captions, and when the card
// returns, choosing a photo on it lists the folder with its captions.
TEST(Lifecycle, MissingAlbumFolderIsReportedAndItsCaptionsKept)
{
    QTemporaryDir home;
    const QString card = home.path() + "/usb-stick/";
    {
        AlbumApp core(AppPaths::ForProgramDir(home.path()));
        core.Startup();
        TestAccess::Model(core).photos.Point(card);
        TestAccess::Model(core).state.PhotoCaption = {"海边"};
        core.Shutdown();
    }
    const QByteArray written = ReadAll(home.filePath("tamsel.tmf"));
    EXPECT_TRUE(written.contains("\"" + QFile::encodeName(card) + "\"\r\n1\r\n\"" + ToGbk("海边") + "\"\r\n"));
    AlbumApp core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_TRUE(r.message.contains("usb-stick"));
    EXPECT_EQ(TestAccess::Model(core).photos.Count(), 0);
    ASSERT_TRUE(core.Shutdown().ok);
    EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf")), written);

    AlbumApp back(AppPaths::ForProgramDir(home.path()));
    back.Startup();
    QDir().mkpath(card);
    Touch(QDir(card), "a.jpg");
    back.OpenPath(card + "a.jpg");
    EXPECT_EQ(TestAccess::Model(back).photos.Count(), 1);
    EXPECT_EQ(TestAccess::Model(back).CurCaption(), QStringLiteral("海边"));
}

TEST(Lifecycle, WriteProtectedProgramDirKeepsTheDataFileWithTheUser)
{
    QTemporaryDir home, config;
    // Root may write into any folder it owns, but never into /proc.
    QString programDir = home.path();
    if (::geteuid() == 0)
        programDir = QStringLiteral("/proc/1");
    else
        ::chmod(QFile::encodeName(programDir).constData(), 0555);
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const AppPaths p = AppPaths::ForProgramDir(programDir);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(p.dataFile, config.path() + "/tamsel/tamsel.tmf");
    AlbumApp core(p);
    EXPECT_TRUE(core.Startup().message.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(p.dataFile));
    ::chmod(QFile::encodeName(home.path()).constData(), 0755);
}

// A full disk at exit: the old data file survives whole, the failure is
// said, and the next start opens the album it holds.
TEST(Lifecycle, AFullDiskAtExitKeepsTheOldDataFile)
{
    QTemporaryDir home;
    TinyDisk tiny(home.path());
    const AppPaths paths = AppPaths::ForProgramDir(home.path());
    {
        AlbumApp core(paths);
        ASSERT_TRUE(core.Startup().firstRun);
        TestAccess::Model(core).state.CoverFile = QString(100'000, u'c');   // beyond a 4 KiB size limit
        tiny.Fill();
        const Outcome out = core.Shutdown();
        EXPECT_FALSE(out.ok);
        EXPECT_TRUE(out.message.contains(QStringLiteral("相册数据未能保存"))) << out.message.toStdString();
    }
    EXPECT_EQ(ReadAll(paths.dataFile), FirstRunBytes(home.path()));
    AlbumApp next(paths);
    const StartupReport r = next.Startup();
    EXPECT_FALSE(r.firstRun);
    EXPECT_TRUE(r.message.isEmpty()) << r.message.toStdString();
}

// The real program, ended by SIGTERM as a desktop session ends it, writes the
// album data file exactly as a close does.
TEST(Lifecycle, ProgramEndedBySignalWritesTheAlbumDataFile)
{
    const QString exe = QStringLiteral(TAMSEL_BUILD_DIR "/tamsel");
    if (!QFileInfo::exists(exe))
        GTEST_SKIP() << "program not built";
    QTemporaryDir home;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAMSEL_HOME", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(exe, {});
    ASSERT_TRUE(p.waitForStarted(10000));
    const QString data = home.filePath("tamsel.tmf");
    for (int i = 0; i < 200 && !QFileInfo::exists(data); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(data));
    QFile::remove(data);   // the file must come back from the shutdown
    QThread::msleep(300);
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ReadAll(data), FirstRunBytes(home.path()));
}

namespace {

// The first-run data file with some lines replaced (by index) and cut after keep lines.
QByteArray EditedDataFile(const QString& programDir, std::initializer_list<std::pair<int, QByteArray>> edits,
                          int keep = -1)
{
    QList<QByteArray> lines = FirstRunBytes(programDir).split('\n');
    lines.removeLast();
    for (const auto& [at, text] : edits)
        lines[at] = text + '\r';
    if (keep >= 0)
        lines = lines.mid(0, keep);
    return lines.join('\n') + '\n';
}

}  // namespace

TEST(Lifecycle, DataFileCutAfterTheFirstRecordsIsKeptAsideAndSaid)
{
    QTemporaryDir home;
    const QByteArray cut = EditedDataFile(home.path(), {{0, "600"}, {7, "18"}}, 12);
    WriteAll(home.filePath("tamsel.tmf"), cut);
    AlbumApp core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_TRUE(r.message.contains("tamsel.tmf.bak")) << r.message.toStdString();
    EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf.bak")), cut);
    EXPECT_EQ(TestAccess::Model(core).state.ShowWidth, 600);   // what was there is kept
    EXPECT_EQ(TestAccess::Model(core).state.CapFontSize, 18);
    EXPECT_EQ(TestAccess::Model(core).state.CoverFile, home.path() + "/face.jpg");   // the rest from defaults
}

TEST(Lifecycle, UnusableDataFileIsLeftAloneAndTheUsersOwnFileTaken)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString perUser = config.path() + "/tamsel/tamsel.tmf";
    // A folder, a pipe (which once kept the program from ever showing its
    // window), and a damaged file whose copy cannot be made.
    for (const char* kind : {"folder", "fifo", "damaged, no room for the copy"}) {
        QTemporaryDir home;
        const QString data = home.filePath("tamsel.tmf");
        if (kind == std::string("folder")) {
            QDir(home.path()).mkdir("tamsel.tmf");
        } else if (kind == std::string("fifo")) {
            ASSERT_TRUE(MakeFifo(data));
        } else {
            WriteAll(data, "480\r\n");
            QDir(home.path()).mkpath("tamsel.tmf.bak/full");
        }
        QFile::remove(perUser);
        AlbumApp core(AppPaths::ForProgramDir(home.path()));
        StartupReport r;
        ASSERT_TRUE(ReturnsDespiteFifo(data, [&] { r = core.Startup(); })) << kind;
        EXPECT_FALSE(r.message.contains(".bak")) << kind << r.message.toStdString();
        EXPECT_TRUE(r.message.contains(perUser)) << kind << r.message.toStdString();
        EXPECT_EQ(TestAccess::Model(core).paths.dataFile, perUser);
        TestAccess::Model(core).state.FrameType = 2;
        EXPECT_TRUE(core.Shutdown().ok) << kind;
        EXPECT_EQ(TestAccess::Model(core).state.FrameType, 2);
        EXPECT_TRUE(ReadAll(perUser).contains("\r\n2\r\n\"")) << kind;   // record 6, before the font
        if (kind == std::string("damaged, no room for the copy"))
            EXPECT_EQ(ReadAll(data), QByteArray("480\r\n"));
        else
            EXPECT_FALSE(QFileInfo(data).isFile()) << kind;
    }

    // The per-user file itself damaged with no room for its copy: the run
    // goes on with the defaults and leaves the file as it was.
    QDir().mkpath(perUser + ".bak/full");
    WriteAll(perUser, "480\r\n");
    AlbumApp core(AppPaths::ForProgramDir(QStringLiteral("/proc/1")));   // never writable
    ASSERT_EQ(TestAccess::Model(core).paths.dataFile, perUser);
    EXPECT_FALSE(core.Startup().message.contains(".bak"));
    EXPECT_FALSE(core.Shutdown().ok);
    EXPECT_EQ(ReadAll(perUser), QByteArray("480\r\n"));
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(Lifecycle, SizesAndCountsFromTheDataFileAreBounded)
{
    QTemporaryDir home;
    // A window no screen can show, and a tune count of two thousand million
    // over a single tune line.
    WriteAll(home.filePath("tamsel.tmf"),
             EditedDataFile(home.path(), {{0, "32767"}, {1, "2147483647"}, {16, "2147483647"}}));
    AlbumModel m(AppPaths::ForProgramDir(home.path()), AlbumExtensions());
    const AlbumData d = LoadAlbumData(m.paths, m.photos, QSize(1280, 1024));
    EXPECT_EQ(d.state.ShowWidth, 1280 - 18);
    EXPECT_EQ(d.state.ShowHeight, 1024 - 122);
    EXPECT_EQ(d.state.CoverFile, home.path() + "/face.jpg");
    EXPECT_EQ(d.state.MusicCount(), 1);
    EXPECT_FALSE(d.report.message.isEmpty());

    const struct {
        QSize wanted, screen, expected;
    } cases[] = {
        {{32767, 2147483647}, {1920, 1080}, {1902, 958}},
        {{1, 1}, {1920, 1080}, {400, 288}},
        {{600, 400}, {1920, 1080}, {600, 400}},
        {{1000, 900}, {}, {782, 478}},          // no screen: the settings dialog's range
        {{1000, 900}, {640, 480}, {622, 358}},
        {{1000, 900}, {300, 200}, {400, 288}},   // never below the smallest photo area
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampShowSize(c.wanted, c.screen), c.expected) << c.wanted.width() << "x" << c.screen.width();
}
