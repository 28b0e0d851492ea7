#include "imaging/Blit.h"
#include "model/AlbumState.h"
#include "model/SurfacePool.h"
#include "tools/Lens.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tamsel;

namespace {

// Every photo pixel names its own place: blue and green the column, red the row
// (modulo 256 is enough to tell neighbours and mistakes of a few pixels apart).
void FillWithPlaces(Surface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            uint8_t* p = s.RowPtr(y) + 3 * x;
            p[0] = uint8_t(x);
            p[1] = uint8_t(x >> 8);
            p[2] = uint8_t(y);
        }
}

// A 1600 x 1200 photo shown in a 480 x 336 area: canvas 540 x 378, the photo
// placed 504 x 378 at x 18, so 0.315 canvas pixels per photo pixel.
struct LensFixture : ::testing::Test {
    AlbumState s;
    MainState m;
    SurfacePool d;
    void SetUp() override
    {
        d.MakeDisplaySurfaces(480, 336);
        d.DibPhoto.Create(1600, 1200);
        FillWithPlaces(d.DibPhoto);
        std::memset(d.DibNew.DataPtr(), 7, size_t(d.DibNew.RGBSize()));
        m.CanvasWidth = 540;
        m.CanvasHeight = 378;
        m.PhotoAspect = 1600.0 / 1200.0;
        m.CanvasAspect = 540.0 / 378.0;
        m.PlaceX = 18;
        m.PlaceY = 0;
        m.PanDone = true;
        m.OrigView = true;
    }
    const uint8_t* Screen(int x, int y) { return d.DibScreen.RowPtr(y) + 3 * x; }
};

}  // namespace

TEST_F(LensFixture, ShowsThePhotoPixelsUnderTheMouseOneToOne)
{
    const LensPoint p = LensSource(m, 1600, 1200, 258, 189);
    EXPECT_NEAR(p.x, 761.9, 0.05);
    EXPECT_NEAR(p.y, 600.0, 0.001);

    ASSERT_TRUE(DrawLens(d, m, 258, 189));
    // The middle of the lens is photo pixel (762, 600), and its neighbours follow one to one.
    for (int dx : {-40, 0, 25})
        for (int dy : {-30, 0, 12}) {
            const uint8_t* px = Screen(258 + dx, 189 + dy);
            EXPECT_EQ(px[0] | px[1] << 8, 762 + dx) << dx << "," << dy;
            EXPECT_EQ(px[2], uint8_t(600 + dy)) << dx << "," << dy;
        }
    // The rows make a circle of radius 60: 2 x 59 pixels ten rows out, none 60 out.
    EXPECT_EQ(LensHalfWidth(0), 60);
    EXPECT_EQ(LensHalfWidth(10), 59);
    EXPECT_EQ(LensHalfWidth(60), 0);
    EXPECT_NE(Screen(258 + 58, 189 + 10)[0], 7);
    EXPECT_EQ(Screen(258 + 60, 189 + 10)[0], 7);
    EXPECT_EQ(Screen(258, 189 + 61)[0], 7);
}

TEST_F(LensFixture, NoLensUntilThePhotoHasArrivedAndNothingOutsideTheSurfaces)
{
    m.PanDone = false;
    EXPECT_FALSE(DrawLens(d, m, 100, 100));
    m.PanDone = true;
    m.OrigView = false;
    EXPECT_FALSE(DrawLens(d, m, 100, 100));
    m.OrigView = true;
    // Corners of the area and of the photo: the rows are clipped, never read
    // or written past either surface (the sanitizer run checks the memory).
    for (auto [x, y] : {std::pair{0.0, 0.0}, {479.0, 335.0}, {-30.0, 200.0}, {470.0, -50.0}})
        EXPECT_TRUE(DrawLens(d, m, x, y));
    m.ViewX = 60;
    EXPECT_TRUE(DrawLens(d, m, 479, 335));
    // A second lens wipes the first.
    DrawLens(d, m, 400, 250);
    EXPECT_EQ(Screen(60, 60)[0], 7);
}
