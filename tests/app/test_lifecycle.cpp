#include "TestUtil.h"
#include "album/ShowScript.h"
#include "app/AlbumCore.h"
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
    SaveScript(f, AlbumState::FirstRun(AppPaths::ForProgramDir(programDir)));
    return ReadAll(f);
}

}  // namespace

TEST(Lifecycle, FirstStartWritesDefaultsAndTheNextStartRestoresTheAlbum)
{
    QTemporaryDir home, photos;
    Touch(QDir(photos.path()), "a.jpg");
    Touch(QDir(photos.path()), "b.jpg");
    {
        AlbumCore core(AppPaths::ForProgramDir(home.path()));
        const StartupReport r = core.Startup();
        EXPECT_TRUE(r.firstRun);
        EXPECT_TRUE(r.message.isEmpty());
        EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf")), FirstRunBytes(home.path()));
        EXPECT_EQ(core.state.CoverShowing, -1);
        EXPECT_EQ(core.main.WipeStep, 4);

        core.state.PhotoFolder = photos.path() + "/";
        core.photos.Point(core.state.PhotoFolder);
        core.state.PhotoCount = 2;
        core.state.PhotoCaption = {"甲", "乙", ""};
        core.state.CurPhoto = 1;
        core.state.CoverShowing = 0;
        core.state.ShowBackColor = 99;
        core.state.FrameType = 3;
        core.paths.EnsureWorkDir();
        Touch(QDir(core.paths.workDir), "TempDib.bmp", "x");
        Touch(QDir(core.paths.workDir), "TempPic.bmp", "x");
        EXPECT_TRUE(core.Shutdown());
        EXPECT_FALSE(QFileInfo::exists(core.paths.tempDib));
        EXPECT_FALSE(QFileInfo::exists(core.paths.tempPic));
        // A second shutdown (the window closing after a signal) changes nothing.
        core.state.FrameType = 0;
        EXPECT_TRUE(core.Shutdown());
    }
    AlbumCore again(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = again.Startup();
    EXPECT_FALSE(r.firstRun);
    EXPECT_EQ(again.state.PhotoCount, 2);
    EXPECT_EQ(again.state.PhotoCaption.value(1), "乙");
    EXPECT_EQ(again.state.FrameType, 3);
    EXPECT_EQ(again.state.ShowBackColor, 0);
    EXPECT_EQ(again.state.CurPhoto, 0);        // every run opens on the cover
    EXPECT_EQ(again.state.CoverShowing, -1);
    EXPECT_EQ(again.photos.Count(), 2);
}

TEST(Lifecycle, DamagedDataFileIsKeptAsideAndDefaultsUsed)
{
    QTemporaryDir home;
    WriteAll(home.filePath("tamsel.tmf"), "480\r\n");
    AlbumCore core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf.bak")), QByteArray("480\r\n"));
    EXPECT_EQ(core.state.ShowWidth, 480);
    EXPECT_EQ(core.state.CapFontSize, 22);
}

TEST(Lifecycle, MissingAlbumFolderIsReportedAndItsCaptionsKept)
{
    QTemporaryDir home;
    {
        AlbumCore core(AppPaths::ForProgramDir(home.path()));
        core.Startup();
        core.state.PhotoFolder = home.path() + "/usb-stick/";
        core.state.PhotoCount = 1;
        core.state.PhotoCaption = {"海边"};
        core.Shutdown();
    }
    AlbumCore core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_TRUE(r.message.contains("usb-stick"));
    EXPECT_EQ(core.state.PhotoCount, 0);
    core.Shutdown();
    EXPECT_TRUE(ReadAll(home.filePath("tamsel.tmf")).contains(ToGbk("海边")));
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
    AlbumCore core(p);
    EXPECT_TRUE(core.Startup().message.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(p.dataFile));
    ::chmod(QFile::encodeName(home.path()).constData(), 0755);
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
