#include "TestUtil.h"
#include "album/ShowScript.h"
#include "app/AlbumApp.h"
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
        AlbumApp core(AppPaths::ForProgramDir(home.path()));
        const StartupReport r = core.Startup();
        EXPECT_TRUE(r.firstRun);
        EXPECT_TRUE(r.message.isEmpty());
        EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf")), FirstRunBytes(home.path()));
        EXPECT_TRUE(core.model.state.CoverShowing);
        EXPECT_EQ(core.model.main.WipeStep, 4);

        core.model.state.PhotoFolder = photos.path() + "/";
        core.model.photos.Point(core.model.state.PhotoFolder);
        core.model.state.PhotoCount = 2;
        core.model.state.PhotoCaption = {"甲", "乙", ""};
        core.model.state.CurPhoto = 1;
        core.model.state.CoverShowing = false;
        core.model.state.ShowBackColor = 99;
        core.model.state.FrameType = 3;
        core.model.paths.EnsureWorkDir();
        Touch(QDir(core.model.paths.workDir), "TempDib.bmp", "x");
        Touch(QDir(core.model.paths.workDir), "TempPic.bmp", "x");
        EXPECT_TRUE(core.Shutdown().ok);
        EXPECT_FALSE(QFileInfo::exists(core.model.paths.tempDib));
        EXPECT_FALSE(QFileInfo::exists(core.model.paths.tempPic));
        // A second shutdown (the window closing after a signal) changes nothing.
        core.model.state.FrameType = 0;
        EXPECT_TRUE(core.Shutdown().ok);
    }
    AlbumApp again(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = again.Startup();
    EXPECT_FALSE(r.firstRun);
    EXPECT_EQ(again.model.state.PhotoCount, 2);
    EXPECT_EQ(again.model.state.PhotoCaption.value(1), "乙");
    EXPECT_EQ(again.model.state.FrameType, 3);
    EXPECT_EQ(again.model.state.ShowBackColor, 0);
    EXPECT_EQ(again.model.state.CurPhoto, 0);        // every run opens on the cover
    EXPECT_TRUE(again.model.state.CoverShowing);
    EXPECT_EQ(again.model.photos.Count(), 2);
}

TEST(Lifecycle, DamagedDataFileIsKeptAsideAndDefaultsUsed)
{
    QTemporaryDir home;
    WriteAll(home.filePath("tamsel.tmf"), "480\r\n");
    AlbumApp core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(ReadAll(home.filePath("tamsel.tmf.bak")), QByteArray("480\r\n"));
    EXPECT_EQ(core.model.state.ShowWidth, 480);
    EXPECT_EQ(core.model.state.CapFontSize, 22);
}

TEST(Lifecycle, MissingAlbumFolderIsReportedAndItsCaptionsKept)
{
    QTemporaryDir home;
    {
        AlbumApp core(AppPaths::ForProgramDir(home.path()));
        core.Startup();
        core.model.state.PhotoFolder = home.path() + "/usb-stick/";
        core.model.state.PhotoCount = 1;
        core.model.state.PhotoCaption = {"海边"};
        core.Shutdown();
    }
    AlbumApp core(AppPaths::ForProgramDir(home.path()));
    const StartupReport r = core.Startup();
    EXPECT_TRUE(r.message.contains("usb-stick"));
    EXPECT_EQ(core.model.state.PhotoCount, 0);
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
    AlbumApp core(p);
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
