#include "TestAccess.h"
#include "TestUtil.h"
#include "app/PhotoOutput.h"
#include "app/Retouch.h"
#include "imaging/ComposeFixture.h"
#include "model/AlbumModel.h"
#include "platform/Wallpaper.h"

#include "show/TransitionEngine.h"

#include <QFileInfo>
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
        engine.MakeSurfaces(model.state.ShowWidth, model.state.ShowHeight);
        model.main.SetView(View::Still);
        Quarters(64, 48).save(model.state.PhotoFolder + "a.jpg", "JPEG", 95);
        Quarters(64, 48).save(model.state.PhotoFolder + "b.png", "PNG");
        model.photos.Point(model.state.PhotoFolder);
        model.state.PhotoCount = model.photos.Count();
        model.state.PhotoCaption = {"甲", "乙", ""};
        model.paths.wallpaper = dir.path() + "/share/tamsel/mytable.bmp";
    }
    void TearDown() override { model.paths.RemoveWorkFiles(); }

    void Show(const QString& name) { ASSERT_TRUE(Compose(model.state.PhotoFolder + name)); }
    // Composes a file and hands it to the engine, as the album does.
    bool Compose(const QString& path)
    {
        if (const std::optional<Composition> made = composer.DIBClonePicture(path))
            engine.Take(*made);
        return !model.shown.LoadFailed();
    }

    QTemporaryDir dir;
    AlbumModel model{AppPaths::ForProgramDir(dir.path())};
    RecordingSink sink;
    Composer composer{model, ReportTo(sink)};
    TransitionEngine engine{model, sink, [this](const QString& p) { return composer.DIBClonePicture(p); }};
};

}  // namespace

TEST_F(OutputTest, SaveAsWritesTheRetouchedPictureInTheFormatOfItsEnding)
{
    Show("b.png");
    ASSERT_TRUE(RunRetouch(model, composer, engine, kCmdNegative, {}).ok);
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
