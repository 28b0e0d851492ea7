#include "Fifo.h"
#include "TestUtil.h"
#include "platform/SafeOpen.h"

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(SafeOpen, OnlyRegularFilesAreOpenedAndNothingWaits)
{
    QTemporaryDir dir;
    const QString file = Touch(QDir(dir.path()), "a.jpg", "data");
    const QString fifo = dir.filePath("y.jpg");
    ASSERT_TRUE(MakeFifo(fifo));
    QDir(dir.path()).mkdir("folder.jpg");
    const struct {
        QString path;
        OpenResult expected;
    } cases[] = {
        {file, OpenResult::Opened},
        {dir.filePath("missing.jpg"), OpenResult::Missing},
        {dir.filePath("a.jpg/below"), OpenResult::Missing},
        {dir.filePath("folder.jpg"), OpenResult::NotAFile},
        {fifo, OpenResult::NotAFile},
        {"/dev/zero", OpenResult::NotAFile},
        {"", OpenResult::Missing},
    };
    for (const auto& c : cases) {
        QFile f;
        OpenResult got = OpenResult::Missing;
        ASSERT_TRUE(ReturnsDespiteFifo(fifo, [&] { got = OpenRegularFile(c.path, f); })) << c.path.toStdString();
        EXPECT_EQ(got, c.expected) << c.path.toStdString();
        EXPECT_EQ(f.isOpen(), c.expected == OpenResult::Opened);
        EXPECT_EQ(IsRegularFile(c.path), c.expected == OpenResult::Opened);
    }
    QFile f;
    ASSERT_EQ(OpenRegularFile(file, f), OpenResult::Opened);
    EXPECT_EQ(f.readAll(), "data");
}
