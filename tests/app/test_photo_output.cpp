#include "TestAccess.h"
#include "TestUtil.h"
#include "app/PhotoOutput.h"
#include "app/Retouch.h"
#include "imaging/ComposeFixture.h"
#include "imaging/Decode.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "platform/Wallpaper.h"

#include <QColorSpace>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

class OutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(model.paths.EnsureWorkDir());
        QDir(dir.path()).mkpath("album/sub");
        QDir(dir.path()).mkdir("out");
        model.state.PhotoFolder = dir.path() + "/album/";
        model.dibs.MakeDisplaySurfaces(model.state.ShowWidth, model.state.ShowHeight);
        model.main.SetView(View::Still);
        Quarters(64, 48).save(model.state.PhotoFolder + "a.jpg", "JPEG", 95);
        Quarters(64, 48).save(model.state.PhotoFolder + "b.png", "PNG");
        model.photos.Point(model.state.PhotoFolder);
        model.state.PhotoCount = model.photos.Count();
        model.state.PhotoCaption = {"甲", "乙", ""};
        model.paths.wallpaper = dir.path() + "/share/tamsel/mytable.bmp";
    }
    void TearDown() override { model.paths.RemoveWorkFiles(); }

    void Show(const QString& name) { ASSERT_TRUE(composer.DIBClonePicture(model.state.PhotoFolder + name)); }

    QTemporaryDir dir;
    AlbumModel model{AppPaths::ForProgramDir(dir.path()), AlbumExtensions()};
    RecordingSink sink;
    Composer composer{model, ReportTo(sink)};
};

}  // namespace

TEST_F(OutputTest, SaveAsWritesTheRetouchedPictureInTheFormatOfItsEnding)
{
    Show("b.png");
    ASSERT_TRUE(RunRetouch(model, composer, kCmdNegative, {}).ok);
    const struct {
        const char* ending;
        const char* magick;   // what ImageMagick says the file is
    } cases[] = {{"bmp", "BMP3"}, {"jpg", "JPEG"}, {"pcx", "PCX"}, {"tga", "TGA"},
                 {"ico", "ICO"}, {"tif", "TIFF"}, {"png", "PNG"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ending);
        const QString target = dir.path() + "/out/x." + c.ending;
        EXPECT_TRUE(SaveAs(model, target).ok);
        EXPECT_EQ(RunTool("identify", {"-format", "%m %w %h", target}), QByteArray(c.magick) + " 64 48");
    }
    // The negative of the red quarter, not the red of the photo file.
    const QImage back(dir.path() + "/out/x.png");
    EXPECT_EQ(back.pixelColor(20, 10), QColor(255 - 220, 255 - 30, 255 - 30));
    EXPECT_EQ(model.state.PhotoCount, 2);
}

TEST_F(OutputTest, SaveAsWritesNothingAndSaysWhyForUnknownNamesAndUnreadableSources)
{
    Show("a.jpg");
    for (const char* name : {"x", "x.BMP", "x.jpeg", "x.gif"}) {
        SCOPED_TRACE(name);
        const QString target = dir.path() + "/out/" + name;
        const Outcome r = SaveAs(model, target);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, QStringLiteral("  照片未保存:文件名须以 bmp、jpg、pcx、tga、ico、tif 或 png 结尾"));
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    // A target in a folder that does not exist: nothing half-written anywhere.
    EXPECT_FALSE(SaveAs(model, dir.path() + "/nowhere/x.png").ok);
    EXPECT_TRUE(QDir(dir.path() + "/out").isEmpty());
    // A current file that is gone, and one that is no picture.
    Touch(QDir(dir.path()), "junk.bmp", "not a picture");
    for (const QString& source : {dir.path() + "/gone.jpg", dir.path() + "/junk.bmp"}) {
        TestAccess::SetCurFile(model.shown, source);
        EXPECT_FALSE(SaveAs(model, dir.path() + "/out/y.png").ok);
        EXPECT_FALSE(QFileInfo::exists(dir.path() + "/out/y.png"));
    }
    // Cancelled dialog.
    EXPECT_TRUE(SaveAs(model, QString()).ok);
}

TEST_F(OutputTest, WallpaperCopiesTheFileByteForByteAndSaysWhenNoDesktopIsKnown)
{
    Show("a.jpg");
    const Outcome r = SetWallpaper(model, DesktopInfo{DesktopKind::None, {}, {}});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(model.paths.wallpaper)) << qPrintable(r.message);
    EXPECT_EQ(ReadAll(model.paths.wallpaper), ReadAll(model.state.PhotoFolder + "a.jpg"));

    TestAccess::SetCurFile(model.shown, dir.path() + "/gone.jpg");
    EXPECT_FALSE(SetWallpaper(model, DesktopInfo{DesktopKind::None, {}, {}}).ok);
    EXPECT_EQ(ReadAll(model.paths.wallpaper), ReadAll(model.state.PhotoFolder + "a.jpg"));
}

// A photo the image file library reads is shown from memory and is itself
// the current file: save as writes its pixels, and the desktop gets them as a
// BMP, as it got the working BMP they were once shown from.
TEST_F(OutputTest, APhotoOfAnotherFormatGoesOutAsItIsShown)
{
    const QString png = model.state.PhotoFolder + "b.png", pcx = model.state.PhotoFolder + "c.pcx";
    if (QProcess::execute("convert", {png, pcx}) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    Show("c.pcx");
    EXPECT_EQ(model.shown.CurFile(), pcx);
    EXPECT_EQ(QDir(model.paths.workDir).entryList(QDir::Files), QStringList());

    ASSERT_TRUE(SaveAs(model, dir.path() + "/out/x.png").ok);
    auto pixels = [](const QString& file) {
        QImage img = QImage(file).convertToFormat(QImage::Format_RGB32);
        img.setColorSpace({});   // the pixels only, not what the file says of them
        return img;
    };
    EXPECT_EQ(pixels(dir.path() + "/out/x.png"), pixels(png));

    SetWallpaper(model, DesktopInfo{DesktopKind::None, {}, {}});
    const QByteArray copy = ReadAll(model.paths.wallpaper);
    EXPECT_TRUE(copy.startsWith("BM"));
    const Decoded desktop = DecodePicture(model.paths.wallpaper);
    ASSERT_TRUE(desktop.IsPicture());
    EXPECT_EQ(Bytes(desktop.picture), Bytes(model.dibs.DibPhoto));
}
