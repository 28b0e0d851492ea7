#include "TestUtil.h"

#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

using namespace tamsel::testing;

// The preview tool runs an effect as the show does: its frame count is the
// effect's, and its last picture is the new photo in full.
TEST(RenderTool, WritesEveryFrameAndTheFinalPicture)
{
    const QString tool = QStringLiteral(TAMSEL_BUILD_DIR "/tamsel-render");
    if (!QFileInfo::exists(tool))
        GTEST_SKIP() << "tool not built";
    QTemporaryDir dir;
    QImage a(400, 300, QImage::Format_RGB32), b(400, 300, QImage::Format_RGB32);
    a.fill(qRgb(200, 30, 30));
    b.fill(qRgb(30, 30, 200));
    ASSERT_TRUE(a.save(dir.filePath("a.png")));
    ASSERT_TRUE(b.save(dir.filePath("b.png")));
    const QString out = dir.filePath("frames");
    const QByteArray text = RunTool(tool, {"--effect", "27", "--from", dir.filePath("a.png"), "--to",
                                           dir.filePath("b.png"), "--size", "480x336", "--out", out});
    ASSERT_FALSE(text.isNull());
    EXPECT_TRUE(text.trimmed().endsWith("frames: 120")) << text.constData();
    EXPECT_TRUE(QFileInfo::exists(out + "/0120.png"));
    EXPECT_FALSE(QFileInfo::exists(out + "/0121.png"));
    // Halfway through the wipe to the right: new picture left, old right.
    const QImage mid(out + "/0060.png");
    ASSERT_EQ(mid.size(), QSize(480, 336));
    EXPECT_GT(qBlue(mid.pixel(100, 168)), 150);
    EXPECT_GT(qRed(mid.pixel(400, 168)), 150);
    const QImage final(out + "/final.png");
    EXPECT_GT(qBlue(final.pixel(400, 168)), 150);

    EXPECT_TRUE(RunTool(tool, {"--effect", "71", "--from", "x", "--to", "y", "--out", out}).isNull());
}
