#include "TestAccess.h"
#include "TestUtil.h"
#include "app/PhotoOutput.h"
#include "app/Retouch.h"
#include "app/ui/PrintPhoto.h"
#include "imaging/ColourPhotos.h"
#include "imaging/ComposeFixture.h"
#include "imaging/Decode.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "platform/Wallpaper.h"
#include "show/TransitionEngine.h"

#include <QColorSpace>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <optional>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

class OutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("album/sub");
        QDir(dir.path()).mkdir("out");
        albumFolder = dir.path() + "/album/";
        engine.MakeSurfaces(model.state.ShowWidth, model.state.ShowHeight);
        model.main.SetView(View::Still);
        Quarters(64, 48).save(albumFolder + "a.jpg", "JPEG", 95);
        Quarters(64, 48).save(albumFolder + "b.png", "PNG");
        model.photos.Point(albumFolder);
        model.state.PhotoCaption = {"甲", "乙", ""};
        model.paths.wallpaper = dir.path() + "/share/tamsel/mytable.bmp";
    }

    void Show(const QString& name) { ASSERT_TRUE(Compose(albumFolder + name)); }
    // Composes a file and hands it to the engine, as the album does.
    bool Compose(const QString& path)
    {
        if (const std::optional<Composition> made = composer.DIBClonePicture(path))
            engine.Take(*made);
        return !model.shown.LoadFailed();
    }

    QTemporaryDir dir;
    QString albumFolder;
    AlbumModel model{AppPaths::ForProgramDir(dir.path()), AlbumExtensions()};
    RecordingSink sink;
    Composer composer{model, ReportTo(sink)};
    TransitionEngine engine{model, sink, [this](const QString& p) { return composer.DIBClonePicture(p); }};
};

// The library's TIFF writer leaves the byte that aligns its directory as it
// found it in memory: two writes of one picture may differ there alone.
QByteArray Comparable(QByteArray file)
{
    if (file.startsWith("II*\0") && file.size() >= 8) {
        const auto* d = reinterpret_cast<const uint8_t*>(file.constData());
        const qsizetype directory = d[4] | d[5] << 8 | d[6] << 16 | qsizetype(d[7]) << 24;
        if (directory > 8 && directory <= file.size())
            file[directory - 1] = 0;
    }
    return file;
}

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
    EXPECT_EQ(model.photos.Count(), 2);
}


// A retouched picture goes out as the BMP file of it would: saved in every
// format, in sRGB and in a wide-gamut display's colours, as the wallpaper
// copy, and to the printer at the resolution such a file states (none).
TEST_F(OutputTest, ARetouchGoesOutAsItsBmpFileWould)
{
    QImage img = Quarters(64, 48);
    img.setDotsPerMeterX(11811);   // 300 dpi, which the retouch does not keep
    img.setDotsPerMeterY(11811);
    ASSERT_TRUE(img.save(albumFolder + "c.jpg", "JPEG", 95));
    const QDir out(dir.path() + "/out");
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide gamut" : "sRGB");
        if (wide && !QFile::exists(kColordIcc + "ProPhotoRGB.icc"))
            continue;   // no wide-gamut profile installed
        std::optional<WideGamutDisplay> display;
        if (wide)
            display.emplace();
        Show("c.jpg");
        // As a photo with a profile of its own is shown on such a display.
        model.dibs.DibPhoto.SetInDisplayColours(wide);
        ASSERT_TRUE(RunRetouch(model, composer, engine, kCmdNegative, {}).ok);
        const Surface& picture = model.dibs.DibPhoto;
        const QByteArray icc = PixelProfile(picture);
        ASSERT_EQ(icc.isEmpty(), !wide);
        const QString bmp = out.filePath("picture.bmp");
        ASSERT_TRUE(picture.SaveBMP(bmp.toStdString(), std::string_view(icc.constData(), size_t(icc.size()))));
        for (const ImageFormat* f : OutputFormats()) {
            SCOPED_TRACE(f->endings[0]);
            const QString mine = out.filePath(QStringLiteral("mine.") + f->Ending());
            const QString theirs = out.filePath(QStringLiteral("theirs.") + f->Ending());
            // The library stamps a PNG with the second it was read in, which
            // may turn between two saves: one of the file's saves around it matches.
            ASSERT_TRUE(SaveImageFile(LoadImageFile(bmp), theirs, f->code).ok);
            const QByteArray before = Comparable(ReadAll(theirs));
            ASSERT_TRUE(SaveAs(model, mine).ok);
            ASSERT_TRUE(SaveImageFile(LoadImageFile(bmp), theirs, f->code).ok);
            const QByteArray saved = Comparable(ReadAll(mine));
            EXPECT_TRUE(saved == before || saved == Comparable(ReadAll(theirs)));
        }
        SetWallpaper(model, DesktopInfo{DesktopKind::None, {}, {}});
        EXPECT_TRUE(ReadAll(model.paths.wallpaper) == ReadAll(bmp));
        const PrintJob job = MakePrintJob(picture, model.shown.CurFile(), 90);
        const PrintJob fromFile = MakePrintJob(picture, bmp, 90);
        EXPECT_EQ(job.picture, fromFile.picture);
        EXPECT_EQ(job.dpiX, 96);
        EXPECT_EQ(job.dpiY, 96);
    }
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
    EXPECT_EQ(ReadAll(model.paths.wallpaper), ReadAll(albumFolder + "a.jpg"));

    TestAccess::SetCurFile(model.shown, dir.path() + "/gone.jpg");
    EXPECT_FALSE(SetWallpaper(model, DesktopInfo{DesktopKind::None, {}, {}}).ok);
    EXPECT_EQ(ReadAll(model.paths.wallpaper), ReadAll(albumFolder + "a.jpg"));
}

// A photo the image file library reads is shown from memory and is itself
// the current file: save as writes its pixels, and the desktop gets them as a
// BMP, as it got the working BMP they were once shown from.
TEST_F(OutputTest, APhotoOfAnotherFormatGoesOutAsItIsShown)
{
    const QString png = albumFolder + "b.png", pcx = albumFolder + "c.pcx";
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
