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

// The working folders that crashed runs of earlier versions left go at the
// next start once their process is gone and a day has passed.
TEST(WorkFolder, WhatCrashedRunsLeftGoes)
{
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    const AppPaths beside = AppPaths::ForProgramDir(temp.path());

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
