#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tamsel;

namespace {

// The temporary folder moved into a folder of the test's own while it lives.
struct OwnTempFolder {
    QTemporaryDir dir;
    QByteArray old = qgetenv("TMPDIR");
    OwnTempFolder() { qputenv("TMPDIR", dir.path().toLocal8Bit()); }
    ~OwnTempFolder() { old.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", old); }
    QString Make(const QString& name, int daysOld) const
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(path);
        QFile(path + "/TempDib.bmp").open(QIODevice::WriteOnly);
        std::filesystem::last_write_time(path.toStdString(), std::filesystem::file_time_type::clock::now() -
                                                                 std::chrono::hours(24 * daysOld));
        return path;
    }
};

mode_t Mode(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

}  // namespace

// The working files hold the user's photos: their folder is the user's
// alone, and a folder or link of its name that is not is never written into.
TEST(WorkFolder, IsTheUsersAloneAndNeverAnotherOnesFolderOrALink)
{
    OwnTempFolder temp;
    const AppPaths fresh = AppPaths::ForProgramDir(temp.dir.path());
    ASSERT_TRUE(fresh.EnsureWorkDir());
    EXPECT_EQ(Mode(fresh.workDir), 0700u);
    // Left open by an earlier run of the same number: closed again.
    ::chmod(QFile::encodeName(fresh.workDir).constData(), 0755);
    ASSERT_TRUE(fresh.EnsureWorkDir());
    EXPECT_EQ(Mode(fresh.workDir), 0700u);
    ASSERT_TRUE(QDir(fresh.workDir).removeRecursively());

    // A link at the name (to a folder anyone could have made) is passed by,
    // both when the name is chosen and when the folder is made.
    const QString elsewhere = temp.dir.filePath("elsewhere");
    QDir().mkpath(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, fresh.workDir));
    const AppPaths other = AppPaths::ForProgramDir(temp.dir.path());
    EXPECT_NE(other.workDir, fresh.workDir);
    EXPECT_TRUE(other.EnsureWorkDir());
    EXPECT_FALSE(fresh.EnsureWorkDir());
}

// A run that crashed leaves its folder; the next start removes it once its
// process is gone and a day has passed, and nothing else.
TEST(WorkFolder, FoldersOfRunsLongGoneAreRemovedAtStart)
{
    OwnTempFolder temp;
    QProcess gone;
    gone.start("true", {});
    ASSERT_TRUE(gone.waitForFinished());
    const qint64 dead = gone.processId() ? gone.processId() : 999999;
    const QString prefix = QStringLiteral("tamsel-%1-").arg(::getuid());
    const struct {
        QString name;
        int daysOld;
        bool stays;
    } cases[] = {
        {prefix + QString::number(dead), 2, false},
        {prefix + QString::number(dead) + "-x1y2", 2, false},   // a name chosen beside another's
        {prefix + QString::number(dead + 1), 0, true},           // not a day old yet
        {prefix + QString::number(::getppid()), 2, true},       // its run is alive
        {QStringLiteral("tamsel-%1-%2").arg(::getuid() + 1).arg(dead + 2), 2, true},   // another user's
        {prefix + "notes", 2, true},
    };
    for (const auto& c : cases)
        temp.Make(c.name, c.daysOld);
    const AppPaths paths = AppPaths::ForProgramDir(temp.dir.path());
    EXPECT_EQ(paths.RemoveStaleWorkDirs(), 2);
    for (const auto& c : cases)
        EXPECT_EQ(QFileInfo::exists(temp.dir.filePath(c.name)), c.stays) << c.name.toStdString();
}
