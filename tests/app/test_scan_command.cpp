#include "TestAccess.h"
#include "TestUtil.h"
#include "app/PhotoOutput.h"
#include "app/ScanCommand.h"
#include "imaging/ComposeFixture.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "platform/Wallpaper.h"

#include "show/TransitionEngine.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(ScanCommand, TheScanIsShownAndStaysAtHandForSaveAs)
{
    QTemporaryDir dir;
    AlbumModel model(AppPaths::ForProgramDir(dir.path()), AlbumExtensions());
    RecordingSink sink;
    Composer composer{model, ReportTo(sink)};
    TransitionEngine engine{model, sink, [&](const QString& p) { return composer.DIBClonePicture(p); }};
    engine.MakeSurfaces(model.state.ShowWidth, model.state.ShowHeight);
    model.main.SetView(View::Cover);
    model.state.RotateAngle = 90;

    // Cancelled or failed: nothing changes.
    EXPECT_TRUE(ShowScannedPicture(model, composer, engine, QImage()).ok);
    EXPECT_TRUE(model.position.CoverShowing());
    EXPECT_FALSE(model.dibs.DibPhoto.HasPixels());

    const QImage scan = Quarters(60, 40).convertToFormat(QImage::Format_RGB888);
    const auto pans = TestAccess::PanTurns(composer);
    ASSERT_TRUE(ShowScannedPicture(model, composer, engine, scan).ok);
    EXPECT_EQ(model.main.ViewMode(), View::Still);
    EXPECT_EQ(model.main.LabelsDirty(), 1);
    // Turned like any photo.
    EXPECT_EQ(model.dibs.DibPhoto.Width(), 40);
    EXPECT_EQ(model.dibs.DibPhoto.Height(), 60);
    EXPECT_TRUE(sink.infos.isEmpty()) << qPrintable(sink.infos.join('\n'));
    // The info line names the scan as a BMP of it written now.
    EXPECT_EQ(model.shown.CurFileName(), QStringLiteral("TempPic.bmp"));
    const QString info = model.shown.CurFileInfo();
    EXPECT_TRUE(info.startsWith(QStringLiteral("  文件 7KB  修改 "))) << qPrintable(info);
    // Composed as the same picture read from a file, in the view it came in.
    {
        const Composed scanned = Composed::Of(model, engine);
        Surface picture;
        ASSERT_TRUE(picture.Clone(scan));
        model.main.SetView(View::Cover);
        EXPECT_TRUE(scanned == ComposedFromFile(model, composer, engine, picture, dir.filePath("scan.bmp"), 90, pans));
        model.main.SetView(View::Still);
        ASSERT_TRUE(ShowScannedPicture(model, composer, engine, scan).ok);
    }

    const QString target = dir.filePath("scan.png");
    ASSERT_TRUE(SaveAs(model, target).ok);
    const QImage saved = QImage(target).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(saved.size(), scan.size());
    for (int y = 0; y < scan.height(); ++y)
        ASSERT_EQ(memcmp(saved.constScanLine(y), scan.constScanLine(y), size_t(scan.width()) * 3), 0) << y;
    // The wallpaper copy is the scan's BMP, as it was scanned.
    model.paths.wallpaper = dir.filePath("mytable.bmp");
    SetWallpaper(model, DesktopInfo{DesktopKind::None, {}, {}});
    Surface scanned;
    ASSERT_TRUE(scanned.Clone(scan));
    EXPECT_TRUE(ReadAll(model.paths.wallpaper) == scanned.BmpBytes());
    // Shown and saved without a file of its own anywhere.
    EXPECT_TRUE(model.shown.InMemory());
    EXPECT_FALSE(QDir(model.paths.workDir).exists());
}
