#include "BatchFolder.h"
#include "imaging/ImageFile.h"
#include "tools/BatchConvert.h"

#include <Magick++.h>

#include <gtest/gtest.h>

#include <sys/file.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// The picture in a file, read the way the album reads it; null when unreadable.
QSize PictureSize(const QString& path)
{
    const ImageHandle h = LoadImageFile(path);
    return h.IsValid() ? QSize(h.Width(), h.Height()) : QSize();
}

QStringList Names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

ConvertReport Convert(const QString& folder, int from, int to, ConvertMode mode, const QString& dest = {},
                      ExistingTargets existing = ExistingTargets::Skip, const ConvertHooks& hooks = {})
{
    const ConvertPlan plan = PlanConversion(folder, ListConvertSources(folder, from).names, to, mode, dest);
    return RunConversion(plan, existing, hooks);
}

}  // namespace

TEST(BatchConvert, PlanPassesOverSelfTargetsAndTwinsAndNotesExistingFiles)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    for (const char* n : {"a.bmp", "A.BMP", "b.bmp", "c.Bmp"})
        Touch(d, n);
    Touch(d, "b.jpg", "already here");
    EXPECT_EQ(ConvertTargetName("IMG_1.BMP", kJpg), "IMG_1.jpg");
    EXPECT_EQ(ConvertTargetName("x.y.png", kTif), "x.y.tif");

    const QStringList sources = ListConvertSources(dir.path(), kBmp).names;
    ASSERT_EQ(sources, QStringList({"A.BMP", "a.bmp", "b.bmp", "c.Bmp"}));
    const ConvertPlan toJpg = PlanConversion(dir.path(), sources, kJpg, ConvertMode::DeleteOriginals, {});
    EXPECT_EQ(toJpg.targets, QStringList({"A.jpg", "a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_TRUE(toJpg.passOver[0].isEmpty());
    EXPECT_TRUE(toJpg.passOver[1].contains("A.BMP"));   // both would become a.jpg on a case-blind card
    EXPECT_EQ(toJpg.existing, QList<int>({2}));

    // Same format, same folder: every file would be its own target.
    const ConvertPlan same = PlanConversion(dir.path(), sources, kBmp, ConvertMode::DeleteOriginals, {});
    for (const QString& why : same.passOver)
        EXPECT_FALSE(why.isEmpty());
    // Into another folder the same format is a plain copy.
    QTemporaryDir other;
    const ConvertPlan copy = PlanConversion(dir.path(), sources, kBmp, ConvertMode::ToFolder, other.path());
    EXPECT_TRUE(copy.passOver[0].isEmpty());
    EXPECT_EQ(copy.destFolder, other.path() + "/");
}

TEST(BatchConvert, KeepsOrDeletesOriginalsOnlyBehindAVerifiedCopy)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    WritePicture(d.filePath("good.bmp"), 40, 30);
    WritePicture(d.filePath("locked.bmp"), 20, 10, 2);
    QFile::setPermissions(d.filePath("locked.bmp"), QFile::ReadOwner);
    Touch(d, "bad.bmp", "BM not really a picture");
    const QByteArray badBytes = ReadAll(d.filePath("bad.bmp"));

    // Option 0: originals stay, copies are added.
    ConvertReport r = Convert(dir.path(), kBmp, kPng, ConvertMode::KeepBeside);
    EXPECT_EQ(r.converted, 2);
    EXPECT_EQ(Names(dir.path()), QStringList({"bad.bmp", "good.bmp", "good.png", "locked.bmp", "locked.png"}));
    Outcome out = Summarise(r);
    EXPECT_FALSE(out.ok);   // a file was passed over: not reported as done
    EXPECT_EQ(out.message, QStringLiteral("已转换 2 张，跳过 1 张: bad.bmp (无法读取)"));

    // Option 1: an original goes only after its copy reads back; the broken
    // one and the write-protected one stay.
    r = Convert(dir.path(), kBmp, kJpg, ConvertMode::DeleteOriginals);
    EXPECT_EQ(r.converted, 2);
    EXPECT_EQ(r.deleted, 1);
    EXPECT_EQ(r.keptOriginals.size(), 1);
    EXPECT_EQ(Names(dir.path()),
              QStringList({"bad.bmp", "good.jpg", "good.png", "locked.bmp", "locked.jpg", "locked.png"}));
    EXPECT_EQ(PictureSize(d.filePath("good.jpg")), QSize(40, 30));
    EXPECT_EQ(ReadAll(d.filePath("bad.bmp")), badBytes);
    EXPECT_TRUE(Summarise(r).message.contains(QStringLiteral("locked.bmp (只读)")));
}

TEST(BatchConvert, NeverReplacesASourceOrAnUnaskedFile)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    WritePicture(d.filePath("a.jpg"));
    WritePicture(d.filePath("b.jpg"), 16, 16, 3);
    Touch(d, "b.png", "mine");
    const QByteArray aBytes = ReadAll(d.filePath("a.jpg"));
    // What a conversion that died left behind goes; a part being written now
    // (its writer holds its lock) stays.
    for (const char* part : {".tamsel-convert-old-0.part", ".tamsel-convert-new-0.part"})
        Touch(d, part);
    QFile inFlight(d.filePath(".tamsel-convert-new-0.part"));
    ASSERT_TRUE(inFlight.open(QIODevice::ReadWrite));
    ASSERT_EQ(::flock(inFlight.handle(), LOCK_EX), 0);

    // Same format, same folder, deleting: nothing written, nothing removed.
    ConvertReport r = Convert(dir.path(), kJpg, kJpg, ConvertMode::DeleteOriginals);
    EXPECT_EQ(r.converted, 0);
    EXPECT_EQ(r.skipped.size(), 2);
    EXPECT_EQ(ReadAll(d.filePath("a.jpg")), aBytes);

    // An existing target is kept when the answer is "skip", replaced on "overwrite".
    r = Convert(dir.path(), kJpg, kPng, ConvertMode::KeepBeside, {}, ExistingTargets::Skip);
    EXPECT_EQ(r.converted, 1);
    EXPECT_EQ(ReadAll(d.filePath("b.png")), "mine");
    EXPECT_TRUE(Summarise(r).message.contains(QStringLiteral("b.jpg (已有同名文件)")));
    r = Convert(dir.path(), kJpg, kPng, ConvertMode::KeepBeside, {}, ExistingTargets::Overwrite);
    EXPECT_EQ(r.converted, 2);
    EXPECT_EQ(PictureSize(d.filePath("b.png")), QSize(16, 16));
    EXPECT_EQ(Names(dir.path()), QStringList({".tamsel-convert-new-0.part", "a.jpg", "a.png", "b.jpg", "b.png"}));
}

TEST(BatchConvert, AFullOrReadOnlyDiskLeavesNoPartAndEverySource)
{
    QTemporaryDir src;
    for (int i = 0; i < 3; ++i)
        WritePicture(QDir(src.path()).filePath(QStringLiteral("p%1.png").arg(i)), 200, 150, i);
    const auto before = Snapshot(src.path());
    for (const bool full : {true, false}) {
        QTemporaryDir dest;
        const QString folder = dest.filePath("card");
        QDir().mkpath(folder);
        std::unique_ptr<TinyDisk> tiny;
        std::unique_ptr<ReadOnlyFolder> ro;
        if (full)
            tiny = std::make_unique<TinyDisk>(folder);
        else
            ro = std::make_unique<ReadOnlyFolder>(folder, QStringList());
        if (ro && !ro->Effective())
            continue;
        // A BMP of 200 x 150 is larger than what either disk takes.
        const ConvertReport r = Convert(src.path(), kPng, kBmp, ConvertMode::ToFolder, folder);
        tiny.reset();
        ro.reset();
        EXPECT_EQ(r.converted, 0) << full;
        EXPECT_EQ(r.skipped.size(), 3) << full;
        EXPECT_TRUE(r.skipped[0].contains(QStringLiteral("无法写入"))) << full;
        EXPECT_TRUE(Names(folder).isEmpty()) << full;
        EXPECT_EQ(Snapshot(src.path()), before);
    }
}

TEST(BatchConvert, CancelFinishesTheFilesInFlightAndStartsNoOther)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const int count = 16;
    for (int i = 0; i < count; ++i)
        WritePicture(d.filePath(QStringLiteral("p%1.bmp").arg(i, 2, 10, QChar('0'))), 160, 120, i);
    std::atomic<bool> cancel{false};
    ConvertHooks hooks;
    hooks.workers = 2;
    hooks.cancel = &cancel;
    int calls = 0;
    hooks.progress = [&](int done, int total, const QString& current) {
        EXPECT_EQ(total, count);
        EXPECT_FALSE(current.isEmpty());
        if (++calls == 1)
            EXPECT_EQ(done, 0);
        if (done >= 3)
            cancel = true;
    };
    InitImageLibrary();
    const auto threads = MagickCore::GetMagickResourceLimit(MagickCore::ThreadResource);
    const ConvertReport r = Convert(dir.path(), kBmp, kJpg, ConvertMode::DeleteOriginals, {},
                                    ExistingTargets::Skip, hooks);
    // The library's own threads are back for the rest of the program.
    EXPECT_EQ(MagickCore::GetMagickResourceLimit(MagickCore::ThreadResource), threads);
    EXPECT_TRUE(r.cancelled);
    EXPECT_GE(r.converted, 3);
    EXPECT_LT(r.converted, count);
    EXPECT_EQ(r.converted + r.notStarted, count);
    EXPECT_TRUE(Summarise(r).message.startsWith(QStringLiteral("已取消")));
    // Each photo is whole in exactly one of its two forms; no part file is left.
    for (int i = 0; i < count; ++i) {
        const QString base = d.filePath(QStringLiteral("p%1").arg(i, 2, 10, QChar('0')));
        const bool hasJpg = QFile::exists(base + ".jpg");
        EXPECT_NE(hasJpg, QFile::exists(base + ".bmp")) << i;
        EXPECT_EQ(PictureSize(base + (hasJpg ? ".jpg" : ".bmp")), QSize(160, 120)) << i;
    }
    EXPECT_EQ(Names(dir.path()).size(), count);
}
