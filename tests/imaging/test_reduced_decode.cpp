// Big photos are decoded no larger than the screen needs; what the album
// computes from their size, and what must see every pixel, still gets the
// photo's own.
#include "TestAccess.h"
#include "app/AlbumApp.h"
#include "imaging/JpegReader.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace tamsel;

namespace {

// A smooth picture with some detail, saved as a JPEG and, decoded whole, as a
// BMP: the BMP is what a full decode of the JPEG gives.
QString BigPhoto(const QTemporaryDir& dir, int w, int h, QString* asBmp = nullptr)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(200, 40, 30));
    g.setColorAt(1, QColor(20, 90, 220));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(Qt::white, w / 200));
    for (int i = 0; i < 12; ++i)
        p.drawEllipse(QPoint(w * i / 12, h / 2), w / 10, h / 8);
    p.end();
    const QString jpg = dir.filePath(QStringLiteral("big%1.jpg").arg(w));
    img.save(jpg, "JPG", 92);
    if (asBmp) {
        *asBmp = dir.filePath(QStringLiteral("big%1.bmp").arg(w));
        const Decoded whole = DecodePicture(jpg);
        EXPECT_TRUE(whole.IsPicture());
        whole.picture.ToQImage().save(*asBmp, "BMP");
    }
    return jpg;
}

}  // namespace

TEST(ReducedDecode, TheSmallestScaleThatStillFillsTheFitAndTheTrueSizeKept)
{
    QTemporaryDir dir;
    const QString jpg = BigPhoto(dir, 1600, 1200);
    struct Case {
        int minW, minH, w, h;
    } cases[] = {
        {500, 400, 600, 450},     // 3/8: 2/8 would give 400 x 300
        {600, 450, 600, 450},     // exactly 3/8
        {601, 450, 600, 450},     // 3/8 still reaches the height: its fit loses nothing
        {601, 451, 800, 600},     // just above 3/8 both ways
        {1601, 300, 400, 300},    // a box far wider than the photo: its height decides
        {1600, 1200, 1600, 1200}, // the photo itself
        {2000, 2000, 1600, 1200}, // a photo smaller than the screen is never scaled
        {0, 0, 1600, 1200},       // no size: the whole photo
    };
    for (const Case& c : cases) {
        const Decoded d = ReadJpeg(jpg, QSize(c.minW, c.minH));
        ASSERT_TRUE(d.IsPicture());
        const Surface& s = d.picture;
        EXPECT_EQ(s.Width(), c.w) << c.minW << "x" << c.minH;
        EXPECT_EQ(s.Height(), c.h) << c.minW << "x" << c.minH;
        EXPECT_EQ(s.FullWidth(), 1600);
        EXPECT_EQ(s.FullHeight(), 1200);
        EXPECT_EQ(s.Reduced(), c.w != 1600);
    }
}

struct ReducedApp : ::testing::Test {
    QTemporaryDir home, photos;
    std::unique_ptr<AlbumApp> app;
    void SetUp() override
    {
        app = std::make_unique<AlbumApp>(AppPaths::ForProgramDir(home.path()));
        app->Startup();
        TestAccess::Engine(*app).MakeSurfaces(480, 336);
        TestAccess::Model(*app).photos.Point(photos.path() + "/");
        TestAccess::Model(*app).main.SetView(View::Still);
    }
};

TEST_F(ReducedApp, TheScreenLooksAsFromTheWholePhotoAndTheWholePhotoComesWhenNeeded)
{
    QString bmp;
    const QString jpg = BigPhoto(photos, 2400, 1800, &bmp);
    AlbumModel& m = TestAccess::Model(*app);
    for (int angle : {0, 90}) {
        m.state.RotateAngle = angle;
        // Successive tall photos pan the other way in turn: start both alike.
        TestAccess::RestartPans(TestAccess::ComposerOf(*app));
        ASSERT_TRUE(TestAccess::Compose(*app, bmp));
        const std::vector<uint8_t> whole(TestAccess::Engine(*app).DibNew().DataPtr(),
                                         TestAccess::Engine(*app).DibNew().DataPtr() + TestAccess::Engine(*app).DibNew().RGBSize());
        const double placeW = TestAccess::Engine(*app).Shown().PlaceW;
        TestAccess::RestartPans(TestAccess::ComposerOf(*app));
        ASSERT_TRUE(TestAccess::Compose(*app, jpg));
        ASSERT_TRUE(m.dibs.DibPhoto.Reduced()) << angle;
        const int fullW = angle ? 1800 : 2400;
        EXPECT_EQ(m.dibs.DibPhoto.FullWidth(), fullW);
        EXPECT_EQ(TestAccess::Engine(*app).Shown().PlaceW, placeW);     // the geometry of the whole photo
        // Two good shrinks of one picture: close everywhere, equal on average.
        long sum = 0;
        int worst = 0;
        for (int i = 0; i < TestAccess::Engine(*app).DibNew().RGBSize(); ++i) {
            const int d = std::abs(int(TestAccess::Engine(*app).DibNew().DataPtr()[i]) - int(whole[size_t(i)]));
            sum += d;
            worst = std::max(worst, d);
        }
        EXPECT_LT(double(sum) / TestAccess::Engine(*app).DibNew().RGBSize(), 2.0) << angle;
        EXPECT_LT(worst, 48) << angle;

        // The lens, retouching and printing read every pixel.
        TestAccess::SetPanDone(TestAccess::Engine(*app), true);
        m.main.OrigView = true;
        app->PhotoAreaMouseMove(240, 168);
        EXPECT_FALSE(m.dibs.DibPhoto.Reduced());
        EXPECT_EQ(m.dibs.DibPhoto.Width(), fullW);
        m.main.OrigView = false;
    }
    // A retouch works on, and keeps, the whole photo.
    m.state.RotateAngle = 0;
    ASSERT_TRUE(TestAccess::Compose(*app, jpg));
    ASSERT_TRUE(m.dibs.DibPhoto.Reduced());
    app->DoCommand(Command::Sharpen);
    ASSERT_TRUE(m.shown.InMemory());
    EXPECT_EQ(m.dibs.DibPhoto.Width(), 2400);
    EXPECT_EQ(m.dibs.DibPhoto.Height(), 1800);
    EXPECT_FALSE(m.dibs.DibPhoto.Reduced());
}
