#include "TestUtil.h"
#include "app/Retouch.h"
#include "app/PhotoOutput.h"
#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/ComposeFixture.h"
#include "imaging/ImageFormats.h"
#include "imaging/PelOps.h"
#include "model/AlbumModel.h"

#include "show/TransitionEngine.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

class RetouchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir("album");
        albumFolder = dir.path() + "/album/";
        engine.MakeSurfaces(model.state.ShowWidth, model.state.ShowHeight);
        model.main.SetView(View::Still);
        Quarters(64, 48).save(albumFolder + "a.bmp", "BMP");
        Quarters(40, 40).save(albumFolder + "b.png", "PNG");
        model.photos.Point(albumFolder);
    }

    void Show(const QString& name) { ASSERT_TRUE(Compose(albumFolder + name)); }
    // Composes a file and hands it to the engine, as the album does.
    bool Compose(const QString& path)
    {
        if (const std::optional<Composition> made = composer.DIBClonePicture(path))
            engine.Take(*made);
        return !model.shown.LoadFailed();
    }

    // A copy of DibPhoto with op applied: what the screen should show next.
    std::vector<uint8_t> Expected(const std::function<void(Surface&)>& op)
    {
        const Surface& p = model.dibs.DibPhoto;
        Surface copy;
        copy.Create(p.Width(), p.Height());
        std::memcpy(copy.DataPtr(), p.DataPtr(), size_t(p.RGBSize()));
        op(copy);
        return Bytes(copy);
    }

    QTemporaryDir dir;
    QString albumFolder;
    AlbumModel model{AppPaths::ForProgramDir(dir.path()), AlbumExtensions()};
    RecordingSink sink;
    Composer composer{model, ReportTo(sink)};
    TransitionEngine engine{model, sink, [this](const QString& p) { return composer.DIBClonePicture(p); }};
};

}  // namespace

TEST_F(RetouchTest, EachCommandRetouchesThePhotoAsShownAndKeepsItInMemory)
{
    struct Case {
        int code;
        std::function<void(Surface&)> op;
    };
    const Case cases[] = {
        {kCmdSharpen, [](Surface& s) { s.Sharpen(); }},
        {kCmdSoften, [](Surface& s) { s.FastBlur(); }},
        {kCmdNegative,
         [](Surface& s) { PelInvert(s, 0, 0, s.Width(), s.Height(), s, 0, 0); }},
        {kCmdBalance, [](Surface& s) {
             s.ShiftColors(-30, -30, -30);
             PelHSL(s, 0, 0, s.Width(), s.Height(), s, 0, 0, 45.0f, 0.5f);
         }},
    };
    const ColourBalance balance{-30, 450, 50};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        Show("a.bmp");
        // Twice: the second starts from what the first reloaded.
        for (int round = 0; round < 2; ++round) {
            const auto want = Expected(c.op);
            EXPECT_TRUE(RunRetouch(model, composer, engine, c.code, balance).ok);
            EXPECT_EQ(Bytes(model.dibs.DibPhoto), want);
            EXPECT_TRUE(model.shown.InMemory());
            EXPECT_TRUE(model.shown.CurFile().isEmpty());
            EXPECT_EQ(model.shown.CurFileName(), "a.bmp");   // the info line still names the photo
            EXPECT_EQ(model.main.LabelsDirty(), 1);
        }
    }
    EXPECT_TRUE(sink.infos.isEmpty()) << qPrintable(sink.infos.join('\n'));
}

// What a retouch puts on the screen is what the same picture read from a
// file gives: for wide, tall and zoomed photos, turned or not, in colour,
// grey or behind a frame, with the caption on.
TEST_F(RetouchTest, ARetouchIsComposedAsThePictureReadFromAFileWouldBe)
{
    Solid(120, 84, kMaskColour).save(dir.filePath("mask1.jpg"), "JPEG", 95);
    Solid(120, 84, kMaskColour).save(dir.filePath("mask2.jpg"), "JPEG", 95);
    Quarters(400, 90).save(albumFolder + "wide.jpg", "JPEG", 95);
    Quarters(90, 400).save(albumFolder + "tall.png", "PNG");
    model.state.PhotoCaption = {"甲乙丙"};
    const struct {
        const char* photo;
        int angle, frame, code;
    } cases[] = {
        {"a.bmp", 0, 0, kCmdSharpen},  {"a.bmp", 90, 1, kCmdBalance}, {"wide.jpg", 0, 2, kCmdNegative},
        {"wide.jpg", 270, 0, kCmdSoften}, {"tall.png", 0, 3, kCmdSharpen}, {"tall.png", 90, 1, kCmdNegative},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.photo << " " << c.angle << " " << c.frame << " " << c.code);
        model.state.RotateAngle = c.angle;
        model.state.FrameType = c.frame;
        Show(c.photo);
        for (int round = 0; round < 2; ++round) {
            const auto pans = TestAccess::PanTurns(composer);
            const QSize turned(model.dibs.DibPhoto.Width(), model.dibs.DibPhoto.Height());
            ASSERT_TRUE(RunRetouch(model, composer, engine, c.code, {-20, 300, 130}).ok);
            EXPECT_EQ(QSize(model.dibs.DibPhoto.Width(), model.dibs.DibPhoto.Height()), turned);   // not again
            const Composed retouched = Composed::Of(model, engine);
            EXPECT_TRUE(retouched == ComposedFromFile(model, composer, engine, model.dibs.DibPhoto,
                                                      dir.filePath("picture.bmp"), 0, pans));
            // The next round goes on from the retouch, as the window would.
            ASSERT_TRUE(RunRetouch(model, composer, engine, c.code, {}).ok);
        }
    }
    EXPECT_TRUE(sink.infos.isEmpty()) << qPrintable(sink.infos.join('\n'));
}

TEST_F(RetouchTest, AnotherPhotoAndBackShowsTheOriginalAgain)
{
    Show("a.bmp");
    const auto original = Bytes(model.dibs.DibPhoto);
    RunRetouch(model, composer, engine, kCmdSharpen, {});
    RunRetouch(model, composer, engine, kCmdSharpen, {});
    ASSERT_NE(Bytes(model.dibs.DibPhoto), original);
    ASSERT_TRUE(model.shown.InMemory());
    Show("b.png");
    // The retouched (or scanned) picture lives until another photo comes.
    EXPECT_FALSE(model.shown.InMemory());
    Show("a.bmp");
    EXPECT_EQ(Bytes(model.dibs.DibPhoto), original);
    EXPECT_EQ(model.shown.CurFile(), albumFolder + "a.bmp");
}

TEST_F(RetouchTest, ATurnedPhotoStaysTurnedOnceAndANeutralBalanceStillReloads)
{
    model.state.RotateAngle = 90;
    Show("a.bmp");
    ASSERT_EQ(model.dibs.DibPhoto.Width(), 48);
    const auto turned = Bytes(model.dibs.DibPhoto);
    EXPECT_TRUE(RunRetouch(model, composer, engine, kCmdBalance, {}).ok);
    EXPECT_EQ(model.dibs.DibPhoto.Width(), 48);
    EXPECT_EQ(model.dibs.DibPhoto.Height(), 64);
    EXPECT_EQ(Bytes(model.dibs.DibPhoto), turned);
    EXPECT_TRUE(model.shown.InMemory());
    // The next retouch starts from the turned picture and keeps it turned.
    RunRetouch(model, composer, engine, kCmdNegative, {});
    EXPECT_EQ(model.dibs.DibPhoto.Width(), 48);
}

TEST_F(RetouchTest, NothingLoadedIsSaidAndNothingComposed)
{
    const Outcome r = RunRetouch(model, composer, engine, kCmdSharpen, {});
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_FALSE(model.dibs.DibPhoto.HasPixels());
    EXPECT_FALSE(model.shown.InMemory());
    // Nothing written anywhere: the working folder holds no file.
    EXPECT_TRUE(QDir(model.paths.workDir).isEmpty());
}

// A retouch of a photo shown in a wide-gamut display's colours keeps the
// photo's colours when saved, in a format that carries the profile and in
// one that is converted to sRGB.
TEST_F(RetouchTest, ARetouchedPhotoInTheDisplaysColoursIsSavedInItsOwn)
{
    const QDir d(dir.path());
    const QMap<QString, QString> photos = MakeColourPhotos(d, PatchPicture(400, 230));
    if (photos.isEmpty())
        GTEST_SKIP() << "lcms2's tools or the ICC profile packages are not installed";
    const QImage original = Shown(photos["src.jpg"], d);
    std::optional<WideGamutDisplay> display(std::in_place);
    ASSERT_TRUE(Compose(photos["adobe.jpg"]));
    RunRetouch(model, composer, engine, kCmdNegative, {});
    RunRetouch(model, composer, engine, kCmdNegative, {});
    ASSERT_TRUE(model.shown.InMemory());
    for (const char* name : {"kept.png", "kept.bmp"})
        ASSERT_TRUE(SaveAs(model, d.filePath(name)).ok) << name;
    display.reset();
    for (const char* name : {"kept.png", "kept.bmp"})
        EXPECT_LE(WorstDeltaE(Shown(d.filePath(name), d), original), 2.0) << name;
}
