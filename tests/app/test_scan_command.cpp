#include "TestAccess.h"
#include "TestUtil.h"
#include "app/PhotoOutput.h"
#include "app/ScanCommand.h"
#include "imaging/ComposeFixture.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"

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
    model.dibs.MakeDisplaySurfaces(model.state.ShowWidth, model.state.ShowHeight);
    model.main.SetView(View::Cover);
    model.state.RotateAngle = 90;

    // Cancelled or failed: nothing changes.
    EXPECT_TRUE(ShowScannedPicture(model, composer, QImage()).ok);
    EXPECT_TRUE(model.position.CoverShowing());
    EXPECT_FALSE(model.dibs.DibPhoto.HasPixels());

    const QImage scan = Quarters(60, 40).convertToFormat(QImage::Format_RGB888);
    ASSERT_TRUE(ShowScannedPicture(model, composer, scan).ok);
    EXPECT_EQ(model.main.ViewMode(), View::Still);
    EXPECT_EQ(model.main.LabelsDirty(), 1);
    // Turned like any photo.
    EXPECT_EQ(model.dibs.DibPhoto.Width(), 40);
    EXPECT_EQ(model.dibs.DibPhoto.Height(), 60);
    EXPECT_TRUE(sink.infos.isEmpty()) << qPrintable(sink.infos.join('\n'));

    const QString target = dir.filePath("scan.png");
    ASSERT_TRUE(SaveAs(model, target).ok);
    const QImage saved = QImage(target).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(saved.size(), scan.size());
    for (int y = 0; y < scan.height(); ++y)
        ASSERT_EQ(memcmp(saved.constScanLine(y), scan.constScanLine(y), size_t(scan.width()) * 3), 0) << y;
    model.paths.RemoveWorkFiles();
    EXPECT_FALSE(QFileInfo::exists(model.paths.tempPic));
}
