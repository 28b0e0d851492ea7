#include "imaging/Blit.h"
#include "model/AlbumState.h"
#include "model/Composition.h"
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
    MainState m;
    Surface photo, arrived;
    Composition c;
    bool panDone = true;
    LensOverlay lens;
    void SetUp() override
    {
        arrived.Create(480, 336);
        photo.Create(1600, 1200);
        FillWithPlaces(photo);
        std::memset(arrived.DataPtr(), 7, size_t(arrived.RGBSize()));
        c.CanvasWidth = 540;
        c.CanvasHeight = 378;
        c.PhotoAspect = 1600.0 / 1200.0;
        c.CanvasAspect = 540.0 / 378.0;
        c.PlaceX = 18;
        c.PlaceY = 0;
        m.OrigView = true;
    }
    bool DrawLens(double x, double y) { return lens.Draw(photo, arrived, c, panDone, m, x, y, 1); }
    // What the photo area shows at (x, y): the lens over the photo as it came in.
    const uint8_t* Screen(int x, int y)
    {
        const QPoint in = QPoint(x, y) - lens.TopLeft();
        const Surface& p = lens.Picture();
        if (lens.Over(1) && in.x() >= 0 && in.y() >= 0 && in.x() < p.Width() && in.y() < p.Height())
            return p.RowPtr(in.y()) + 3 * in.x();
        return arrived.RowPtr(y) + 3 * x;
    }
};

}  // namespace

TEST_F(LensFixture, ShowsThePhotoPixelsUnderTheMouseOneToOne)
{
    const LensPoint p = LensSource(c, 1600, 1200, 258, 189);
    EXPECT_NEAR(p.x, 761.9, 0.05);
    EXPECT_NEAR(p.y, 600.0, 0.001);

    ASSERT_TRUE(DrawLens(258, 189));
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
    panDone = false;
    EXPECT_FALSE(DrawLens(100, 100));
    panDone = true;
    m.OrigView = false;
    EXPECT_FALSE(DrawLens(100, 100));
    m.OrigView = true;
    // Corners of the area and of the photo: the rows are clipped, never read
    // or written past either surface (the sanitizer run checks the memory).
    for (auto [x, y] : {std::pair{0.0, 0.0}, {479.0, 335.0}, {-30.0, 200.0}, {470.0, -50.0}})
        EXPECT_TRUE(DrawLens(x, y));
    c.ViewX = 60;
    EXPECT_TRUE(DrawLens(479, 335));
    // A second lens wipes the first, and a new frame of the engine hides it.
    DrawLens(400, 250);
    EXPECT_EQ(Screen(60, 60)[0], 7);
    EXPECT_TRUE(lens.Over(1));
    EXPECT_FALSE(lens.Over(2));
}
