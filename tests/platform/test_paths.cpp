#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace tamsel;

// The working files hold the user's photos: their folder is the user's alone,
// a link at its name is never written through, and the folders that crashed
// runs left go at the next start once their process is gone and a day has passed.
TEST(WorkFolder, IsTheUsersAloneAndWhatCrashedRunsLeftGoes)
{
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0u;
    };
    const AppPaths fresh = AppPaths::ForProgramDir(temp.path());
    ASSERT_TRUE(fresh.EnsureWorkDir());
    EXPECT_EQ(mode(fresh.workDir), 0700u);
    ::chmod(QFile::encodeName(fresh.workDir).constData(), 0755);   // as an older run left it
    ASSERT_TRUE(fresh.EnsureWorkDir());
    EXPECT_EQ(mode(fresh.workDir), 0700u);
    ASSERT_TRUE(QDir(fresh.workDir).removeRecursively());
    ASSERT_TRUE(QFile::link(temp.filePath("elsewhere"), fresh.workDir));
    QDir().mkpath(temp.filePath("elsewhere"));
    EXPECT_FALSE(fresh.EnsureWorkDir());
    const AppPaths beside = AppPaths::ForProgramDir(temp.path());
    EXPECT_NE(beside.workDir, fresh.workDir);
    EXPECT_TRUE(beside.EnsureWorkDir());

    const QString prefix = QStringLiteral("tamsel-%1-").arg(::getuid());
    const struct {
        QString name;
        int daysOld;
        bool stays;
    } left[] = {
        {prefix + "2147483000", 2, false},
        {prefix + "2147483001-x1y2", 2, false},             // a name chosen beside another's
        {prefix + "2147483002", 0, true},                   // not a day old
        {prefix + QString::number(::getppid()), 2, true},   // its run is alive
        {prefix + "notes", 2, true},
    };
    for (const auto& c : left) {
        QDir().mkpath(temp.filePath(c.name));
        std::filesystem::last_write_time(temp.filePath(c.name).toStdString(),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::hours(24 * c.daysOld));
    }
    EXPECT_EQ(beside.RemoveStaleWorkDirs(), 2);
    for (const auto& c : left)
        EXPECT_EQ(QFileInfo::exists(temp.filePath(c.name)), c.stays) << c.name.toStdString();
    oldTemp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTemp);
}
