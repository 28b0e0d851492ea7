#include "TestUtil.h"
#include "app/Retouch.h"
#include "app/PhotoOutput.h"
#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/ComposeFixture.h"
#include "imaging/ImageFormats.h"
#include "imaging/PelOps.h"
#include "model/AlbumModel.h"

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
        ASSERT_TRUE(model.paths.EnsureWorkDir());
        QDir(dir.path()).mkdir("album");
        model.state.PhotoFolder = dir.path() + "/album/";
        model.dibs.MakeDisplaySurfaces(model.state.ShowWidth, model.state.ShowHeight);
        model.main.SetView(View::Still);
        Quarters(64, 48).save(model.state.PhotoFolder + "a.bmp", "BMP");
        Quarters(40, 40).save(model.state.PhotoFolder + "b.png", "PNG");
        model.photos.Point(model.state.PhotoFolder);
    }
    void TearDown() override { model.paths.RemoveWorkFiles(); }

    void Show(const QString& name) { ASSERT_TRUE(composer.DIBClonePicture(model.state.PhotoFolder + name)); }

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
    AlbumModel model{AppPaths::ForProgramDir(dir.path()), AlbumExtensions()};
    RecordingSink sink;
    Composer composer{model, ReportTo(sink)};
};

}  // namespace

TEST_F(RetouchTest, EachCommandRetouchesThePhotoAsShownThroughTheWorkingFile)
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
            EXPECT_TRUE(RunRetouch(model, composer, c.code, balance).ok);
            EXPECT_EQ(Bytes(model.dibs.DibPhoto), want);
            EXPECT_EQ(model.shown.CurFile(), model.paths.tempPic);
            EXPECT_EQ(model.shown.CurFileName(), "a.bmp");   // the info line still names the photo
            EXPECT_FALSE(model.main.Retouched);
            EXPECT_EQ(model.main.LabelsDirty(), 1);
        }
    }
    EXPECT_TRUE(sink.infos.isEmpty()) << qPrintable(sink.infos.join('\n'));
}

TEST_F(RetouchTest, AnotherPhotoAndBackShowsTheOriginalAgain)
{
    Show("a.bmp");
    const auto original = Bytes(model.dibs.DibPhoto);
    RunRetouch(model, composer, kCmdSharpen, {});
    RunRetouch(model, composer, kCmdSharpen, {});
    ASSERT_NE(Bytes(model.dibs.DibPhoto), original);
    ASSERT_TRUE(QFileInfo::exists(model.paths.tempPic));
    Show("b.png");
    // The retouched (or scanned) picture lives until another photo comes.
    EXPECT_FALSE(QFileInfo::exists(model.paths.tempPic));
    Show("a.bmp");
    EXPECT_EQ(Bytes(model.dibs.DibPhoto), original);
    EXPECT_EQ(model.shown.CurFile(), model.state.PhotoFolder + "a.bmp");
}

TEST_F(RetouchTest, ATurnedPhotoStaysTurnedOnceAndANeutralBalanceStillReloads)
{
    model.state.RotateAngle = 90;
    Show("a.bmp");
    ASSERT_EQ(model.dibs.DibPhoto.Width(), 48);
    const auto turned = Bytes(model.dibs.DibPhoto);
    EXPECT_TRUE(RunRetouch(model, composer, kCmdBalance, {}).ok);
    EXPECT_EQ(model.dibs.DibPhoto.Width(), 48);
    EXPECT_EQ(model.dibs.DibPhoto.Height(), 64);
    EXPECT_EQ(Bytes(model.dibs.DibPhoto), turned);
    EXPECT_EQ(model.shown.CurFile(), model.paths.tempPic);
    EXPECT_TRUE(QFileInfo(model.paths.tempPic).isFile());
    // The next retouch starts from the turned picture and keeps it turned.
    RunRetouch(model, composer, kCmdNegative, {});
    EXPECT_EQ(model.dibs.DibPhoto.Width(), 48);
}

TEST_F(RetouchTest, AWorkingFileThatCannotBeWrittenKeepsTheRetouchesSoFar)
{
    model.state.RotateAngle = 90;
    Show("a.bmp");
    RunRetouch(model, composer, kCmdNegative, {});
    const auto once = Bytes(model.dibs.DibPhoto);
    const QByteArray file = ReadAll(model.paths.tempPic);

    // A folder of that name in its place: the file can be neither replaced nor opened.
    QFile::remove(model.paths.tempPic);
    ASSERT_TRUE(QDir().mkdir(model.paths.tempPic));
    RetouchResult r = ApplyRetouch(model, kCmdSharpen, {});
    EXPECT_FALSE(r.outcome.ok);
    EXPECT_FALSE(r.outcome.message.isEmpty());
    QDir().rmdir(model.paths.tempPic);
    WriteAll(model.paths.tempPic, file);
    ASSERT_EQ(r.compose, model.paths.tempPic);
    composer.DIBClonePicture(r.compose);
    EXPECT_EQ(Bytes(model.dibs.DibPhoto), once);

    // From the photo file itself the restore turns it again.
    Show("a.bmp");
    const auto shown = Bytes(model.dibs.DibPhoto);
    QFile::remove(model.paths.tempPic);
    ASSERT_TRUE(QDir().mkdir(model.paths.tempPic));
    r = ApplyRetouch(model, kCmdSharpen, {});
    EXPECT_FALSE(r.outcome.ok);
    composer.DIBClonePicture(r.compose);
    EXPECT_EQ(Bytes(model.dibs.DibPhoto), shown);
    QDir().rmdir(model.paths.tempPic);
}

TEST_F(RetouchTest, NothingLoadedIsSaidAndNothingComposed)
{
    const RetouchResult r = ApplyRetouch(model, kCmdSharpen, {});
    EXPECT_FALSE(r.outcome.ok);
    EXPECT_TRUE(r.compose.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(model.paths.tempPic));
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
    ASSERT_TRUE(composer.DIBClonePicture(photos["adobe.jpg"]));
    RunRetouch(model, composer, kCmdNegative, {});
    RunRetouch(model, composer, kCmdNegative, {});
    ASSERT_EQ(model.shown.CurFile(), model.paths.tempPic);
    for (const char* name : {"kept.png", "kept.bmp"})
        ASSERT_TRUE(SaveAs(model, d.filePath(name)).ok) << name;
    display.reset();
    for (const char* name : {"kept.png", "kept.bmp"})
        EXPECT_LE(WorstDeltaE(Shown(d.filePath(name), d), original), 2.0) << name;
}
