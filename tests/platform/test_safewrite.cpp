// The program's writers against a disk that refuses: the file already there
// stays byte for byte, the failure says why, no temporary file is left. (The
// rename journal's and the data file's cases are their own tests.)
#include "imaging/ImageFile.h"
#include "model/Surface.h"
#include "platform/SafeWrite.h"
#include "tools/BatchFolder.h"

#include <functional>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(SafeWrite, ARefusingDiskKeepsTheOldFileAndSaysWhy)
{
    QTemporaryDir sources;
    const QString photo = sources.filePath("photo.bmp");   // 90 KB: more than either tiny disk takes
    WritePicture(photo, 200, 150);
    const struct {
        QString name;
        std::function<Outcome(const QString& path)> write;
    } writers[] = {
        {"TempPic.bmp", [](const QString& path) {
             Surface pic;
             pic.Create(200, 150);
             return pic.SaveBMP(QFile::encodeName(path).toStdString());
         }},
        {"saved.bmp", [&](const QString& path) { return SaveImageFile(LoadImageFile(photo), path, kBmp); }},
        {"mytable.bmp", [&](const QString& path) { return CopyFileWhole(photo, path); }},
    };
    enum Disk { Full, SizeLimit, ReadOnly };
    for (const Disk disk : {Full, SizeLimit, ReadOnly}) {
        for (const auto& w : writers) {
            SCOPED_TRACE(w.name.toStdString() + " on disk kind " + std::to_string(disk));
            QTemporaryDir dir;
            const QString folder = dir.filePath("disk");
            QDir().mkpath(folder);
            std::unique_ptr<TinyDisk> tiny;
            std::unique_ptr<ReadOnlyFolder> ro;
            QString why = QStringLiteral("只读");
            if (disk == ReadOnly) {
                ro = std::make_unique<ReadOnlyFolder>(folder, QStringList{w.name});
                if (!ro->Effective())
                    continue;   // root without the right to mount
            } else {
                tiny = std::make_unique<TinyDisk>(folder, disk == SizeLimit);
                MakeNamedFiles(folder, {w.name});
                tiny->Fill();
                why = tiny->Mounted() ? QStringLiteral("磁盘空间不足") : QStringLiteral("文件超过系统允许的大小");
            }
            const auto before = Snapshot(folder);
            const Outcome written = w.write(QDir(folder).filePath(w.name));
            EXPECT_FALSE(written.ok);
            EXPECT_TRUE(written.message.contains(why)) << written.message.toStdString();
            EXPECT_EQ(Snapshot(folder), before);
        }
    }
}

// Removed while the file is written: the write fails and leaves nothing.
TEST(SafeWrite, AFolderRemovedMidwayFailsWithItsReason)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("album");
    QDir().mkpath(folder);
    SafeWrite out(QDir(folder).filePath("a.tms"));
    ASSERT_TRUE(out.Write(QByteArray("abc")));
    QDir(folder).removeRecursively();
    const Outcome done = out.Commit();
    EXPECT_FALSE(done.ok);
    EXPECT_TRUE(done.message.contains(QStringLiteral("不存在"))) << done.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder));
}
