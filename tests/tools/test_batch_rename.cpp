#include "BatchFolder.h"
#include "tools/BatchRename.h"
#include "tools/RenameJournal.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(BatchRename, NewNamesPadOrCutTheNumberAndKeepTheExtension)
{
    struct Case {
        const char* stem;
        int number, width;
        const char* name;
        const char* want;
    };
    const Case cases[] = {
        {"trip", 3, 3, "b.JPG", "trip003.JPG"},
        {"p", 98, 5, "x.png", "p00098.png"},
        {"p", 100, 2, "x.png", "p00.png"},           // only the last two digits remain
        {"", 1, 3, "a.tif", "001.tif"},
        {"p", -5, 3, "a.bmp", "p0-5.bmp"},
        {"p", 7, 12, "a.b.jpg", "p00000000007.jpg"},   // never more than ten zeros
        {"p", 7, 0, "a.jpg", "p.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NewPhotoName(c.stem, c.number, c.width, c.name), c.want) << c.name << " " << c.number;

    for (const char* bad : {"", "x", "1.5", "32768", "-32769", "1e3"})
        EXPECT_FALSE(ParseStartNumber(bad).has_value()) << bad;
    EXPECT_EQ(ParseStartNumber(" -32768 "), -32768);
    EXPECT_EQ(ParseStartNumber("32767"), 32767);
}

TEST(BatchRename, PlanFindsEveryNameThatCannotBeUsed)
{
    QStringList eleven;
    for (int i = 0; i < 11; ++i)
        eleven.push_back(QStringLiteral("f%1.jpg").arg(i, 2, 10, QChar('0')));
    struct Case {
        const char* what;
        QStringList files;
        const char* outsideFolder;
        RenameFields fields;
        QList<bool> clash;
        const char* problem;   // part of the message, "" for none
    };
    const QList<bool> none3(3, false);
    QList<bool> ends(11, false);
    ends[0] = ends[10] = true;
    const Case cases[] = {
        {"names equal but for case", {"a.jpg", "b.JPG"}, nullptr, {"trip", "1", ""}, {true, true}, "新名重复"},
        {"numbers equal after cutting", eleven, nullptr, {"n", "0", "#"}, ends, "新名重复"},
        {"held by a folder not renamed", {"a.jpg", "b.jpg"}, "TRIP002.jpg", {"trip", "1", "###"},
         {false, true}, "占用"},
        {"a hidden name", {"a.jpg"}, nullptr, {"", "1", ""}, {true}, "开头"},
        {"a folder in the stem", {"a.jpg"}, nullptr, {"x/", "1", "#"}, {true}, "/"},
        {"own and neighbours' names are free", {"trip1.jpg", "trip2.jpg", "trip3.jpg"}, nullptr,
         {"trip", "2", "#"}, none3, ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        MakeNamedFiles(dir.path(), c.files);
        if (c.outsideFolder)
            QDir(dir.path()).mkdir(c.outsideFolder);
        const QStringList sources = ListRenameSources(dir.path()).names;
        ASSERT_EQ(sources, c.files) << c.what;
        const RenamePlan plan = PlanRename(dir.path(), sources, c.fields);
        EXPECT_EQ(plan.clash, c.clash) << c.what;
        EXPECT_TRUE(plan.problem.contains(QString::fromUtf8(c.problem))) << c.what << ": " << plan.problem.toStdString();
        EXPECT_EQ(plan.Runnable(), *c.problem == 0) << c.what;
        if (!plan.Runnable()) {
            EXPECT_FALSE(RunRename(plan).ok) << c.what;
            EXPECT_EQ(Snapshot(dir.path()).size(), c.files.size() + (c.outsideFolder ? 1 : 0)) << c.what;
        }
    }

    // A start number that gives no preview says why instead.
    for (const char* bad : {"", "abc", "40000"}) {
        const RenamePlan plan = PlanRename("/nowhere", {"a.jpg"}, {"s", bad, "#"});
        EXPECT_FALSE(plan.HasPreview()) << bad;
        EXPECT_TRUE(plan.problem.contains(QStringLiteral("起始编号"))) << bad;
    }
}

TEST(BatchRename, ChainsSwapsAndCaseChangesMoveEveryPhotoUnharmed)
{
    struct Case {
        const char* what;
        QStringList files;
        RenameFields fields;
        QStringList want;   // new name per file in list order
    };
    const Case cases[] = {
        {"each takes the next one's name", {"p1.jpg", "p2.jpg", "p3.jpg"}, {"p", "2", "#"},
         {"p2.jpg", "p3.jpg", "p4.jpg"}},
        {"two swap names", {"p0.jpg", "p9.jpg"}, {"p", "9", "#"}, {"p9.jpg", "p0.jpg"}},
        {"only the case changes", {"IMG1.JPG", "IMG2.png"}, {"img", "1", "#"}, {"img1.JPG", "img2.png"}},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        MakeNamedFiles(dir.path(), c.files);
        // A write-protected photo is renamed like any other.
        QFile::setPermissions(dir.filePath(c.files.first()), QFile::ReadOwner);
        int lastStep = 0;
        const Outcome out = RunRename(PlanRename(dir.path(), c.files, c.fields),
                                      [&](int done, int total) {
                                          EXPECT_EQ(done, lastStep + 1);
                                          EXPECT_EQ(total, 2 * c.files.size());
                                          lastStep = done;
                                      });
        EXPECT_TRUE(out.ok) << c.what << ": " << out.message.toStdString();
        QMap<QString, QByteArray> want;
        for (int i = 0; i < c.files.size(); ++i)
            want.insert(c.want[i], c.files[i].toUtf8());
        EXPECT_EQ(Snapshot(dir.path()), want) << c.what;   // no temporary name, no journal left
    }
}

// The program dies after a chosen number of moves; the next recovery must
// leave every photo under its old name (cut in the first phase) or its new
// one (cut in the second), never lost or hidden.
TEST(BatchRename, RecoveryAfterACrashAtAnyStepRestoresOrFinishes)
{
    const QStringList files = {"p1.jpg", "p2.jpg", "p3.jpg"};
    const RenameFields fields{"p", "2", "#"};
    QMap<QString, QByteArray> before, after;
    for (int i = 0; i < files.size(); ++i) {
        before.insert(files[i], files[i].toUtf8());
        after.insert(QStringLiteral("p%1.jpg").arg(i + 2), files[i].toUtf8());
    }
    for (int killAt : {1, 3, 4, 5}) {
        QTemporaryDir dir;
        MakeNamedFiles(dir.path(), files);
        const RenamePlan plan = PlanRename(dir.path(), files, fields);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(20);
            RunRename(plan, [&](int done, int) {
                if (done == killAt)
                    ::_exit(0);
            });
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << killAt;
        ASSERT_TRUE(HasJournal(dir.path())) << killAt;

        // A second rename must not start over an unsettled one.
        EXPECT_FALSE(RunRename(PlanRename(dir.path(), ListRenameSources(dir.path()).names, fields)).ok);

        const Outcome out = RecoverRenames(dir.path());
        EXPECT_TRUE(out.ok) << killAt;
        const bool finished = killAt > files.size();
        EXPECT_TRUE(out.message.contains(finished ? QStringLiteral("改完") : QStringLiteral("改回原名")))
            << out.message.toStdString();
        EXPECT_EQ(Snapshot(dir.path()), finished ? after : before) << "killed after move " << killAt;
        EXPECT_FALSE(RecoverRenames(dir.path()).HasMessage());
    }
}

TEST(BatchRename, AFailureOnTheWayPutsEveryPhotoBack)
{
    const QStringList files = {"a.jpg", "b.jpg", "c.jpg"};
    QMap<QString, QByteArray> before;
    for (const QString& f : files)
        before.insert(f, f.toUtf8());

    // Another program takes a new name between the check and the move.
    {
        QTemporaryDir dir;
        MakeNamedFiles(dir.path(), files);
        const RenamePlan plan = PlanRename(dir.path(), files, {"n", "1", "#"});
        const Outcome out = RunRename(plan, [&](int done, int total) {
            if (done == total / 2)
                Touch(QDir(dir.path()), "n2.jpg", "intruder");
        });
        EXPECT_FALSE(out.ok);
        EXPECT_TRUE(out.message.contains("n2.jpg")) << out.message.toStdString();
        QMap<QString, QByteArray> want = before;
        want.insert("n2.jpg", "intruder");
        EXPECT_EQ(Snapshot(dir.path()), want);
    }
    // A disk with room for the photos but not for the journal: nothing moves.
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("full");
        QDir().mkpath(folder);
        TinyDisk tiny(folder);
        QStringList many;   // their journal is larger than a 4 KiB size limit
        for (int i = 0; i < 40; ++i)
            many.push_back(QStringLiteral("%1.jpg").arg(i, 60, 10, QChar('0')));
        MakeNamedFiles(folder, many);
        tiny.Fill();
        const auto full = Snapshot(folder);
        const Outcome out = RunRename(PlanRename(folder, many, {"n", "1", "##"}));
        EXPECT_FALSE(out.ok);
        EXPECT_TRUE(out.message.contains(QStringLiteral("照片都没有改名"))) << out.message.toStdString();
        EXPECT_EQ(Snapshot(folder), full);
    }
    // A folder that takes no change.
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("ro");
        QDir().mkpath(folder);
        ReadOnlyFolder ro(folder, files);
        if (!ro.Effective())
            GTEST_SKIP() << "cannot make a read-only folder here";
        const Outcome out = RunRename(PlanRename(folder, files, {"n", "1", "#"}));
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(Snapshot(folder), before);
    }
}
