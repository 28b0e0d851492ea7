#include "imaging/PelOps.h"
#include "platform/Rounding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <cstring>
#include <vector>

using namespace tamsel;

namespace {

using Bgr = std::array<uint8_t, 3>;

Bgr At(const Surface& s, int x, int y)
{
    const uint8_t* p = s.RowPtr(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

void Put(Surface& s, int x, int y, Bgr c)
{
    std::memcpy(s.RowPtr(y) + 3 * x, c.data(), 3);
}

// A colour that tells every pixel apart (for pictures up to 256 x 256).
Bgr Tag(int x, int y) { return {uint8_t(x), uint8_t(y), uint8_t(x * 7 + y * 13 + 1)}; }

void FillTagged(Surface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            Put(s, x, y, Tag(x, y));
}

void Fill(Surface& s, Bgr c)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            Put(s, x, y, c);
}

// Row padding must stay zero whatever an operation does near the right edge.
void ExpectPaddingZero(const Surface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int b = s.Width() * 3; b < s.Stride(); ++b)
            ASSERT_EQ(s.RowPtr(y)[b], 0) << "row " << y;
}

}  // namespace

// ---- PelRotate --------------------------------------------------------------

// The composition's own call: a photo turned onto a surface of swapped size,
// centred at round(W / 2), round(H / 2). Odd sizes where the half rounds to the
// even neighbour upwards (7 / 2 = 3.5 -> 4) are the ones that go wrong first.
TEST(PelRotate, QuarterTurnsCoverASwappedSurfaceExactly)
{
    for (int sw : {5, 6, 7, 9}) {
        for (int sh : {3, 4, 11}) {
            Surface src;
            src.Create(sw, sh);
            FillTagged(src);
            for (double angle : {90.0, 270.0}) {
                Surface dst;
                dst.Create(sh, sw);
                Fill(dst, {1, 2, 3});
                PelRotate(dst, RoundHalfEven(dst.Width() / 2.0), RoundHalfEven(dst.Height() / 2.0),
                          sw, sh, src, 0, 0, angle);
                for (int v = 0; v < dst.Height(); ++v) {
                    for (int u = 0; u < dst.Width(); ++u) {
                        // A quarter turn clockwise brings the bottom-left corner
                        // to the top-left; counter-clockwise the top-right.
                        const Bgr want = angle == 90.0 ? Tag(v, sh - 1 - u) : Tag(sw - 1 - v, u);
                        ASSERT_EQ(At(dst, u, v), want)
                            << sw << "x" << sh << " angle " << angle << " at " << u << "," << v;
                    }
                }
                ExpectPaddingZero(dst);
            }
        }
    }
}

// Large enough for whole tiles, 4 x 4 blocks and their leftovers, placed so
// that the destination edge cuts through blocks.
TEST(PelRotate, LargePicturesMoveEveryPixelExactly)
{
    std::mt19937 rng(5);
    Surface src;
    src.Create(151, 70);
    for (int i = 0; i < src.RGBSize(); ++i)
        src.DataPtr()[i] = uint8_t(rng());
    for (double angle : {90.0, 270.0, 180.0}) {
        const bool quarter = angle != 180.0;
        const int tw = quarter ? 70 : 151, th = quarter ? 151 : 70;
        Surface dst;
        dst.Create(tw + 3, th - 5);
        // Turned rectangle placed with its top-left at (2, -2).
        PelRotate(dst, 2 + tw / 2, -2 + th / 2, 151, 70, src, 0, 0, angle);
        for (int v = 0; v < dst.Height(); ++v)
            for (int u = 0; u < dst.Width(); ++u) {
                const int tu = u - 2, tv = v + 2;
                if (tu < 0 || tu >= tw || tv >= th) {
                    ASSERT_EQ(At(dst, u, v), (Bgr{0, 0, 0})) << angle << " at " << u << "," << v;
                    continue;
                }
                int i, j;
                if (angle == 90.0) { i = tv; j = 69 - tu; }
                else if (angle == 270.0) { i = 150 - tv; j = tu; }
                else { i = 150 - tu; j = 69 - tv; }
                ASSERT_EQ(At(dst, u, v), At(src, i, j)) << angle << " at " << u << "," << v;
            }
        ExpectPaddingZero(dst);
    }
}

namespace {

void FillRandom(Surface& s, std::mt19937& rng)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            Put(s, x, y, {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())});
}

// What a quarter turn must leave on `before` (a copy of dst as it was), one
// pixel at a time: inside the turned rectangle the source pixel it comes from,
// where that pixel exists; everywhere else what was there.
void ExpectQuarterTurn(const Surface& got, const Surface& before, int x, int y, int w, int h,
                       const Surface& src, int sx, int sy, int turns)
{
    const int tw = h, th = w;   // a quarter turn swaps the sides
    const int left = RoundHalfEven(x - tw / 2.0), top = RoundHalfEven(y - th / 2.0);
    for (int py = 0; py < got.Height(); ++py)
        for (int px = 0; px < got.Width(); ++px) {
            const int u = px - left, v = py - top;
            Bgr want = At(before, px, py);
            if (u >= 0 && u < tw && v >= 0 && v < th) {
                // 90 degrees: the left column is the source's bottom row.
                const int i = turns == 1 ? v : w - 1 - v;
                const int j = turns == 1 ? h - 1 - u : u;
                if (sx + i >= 0 && sx + i < src.Width() && sy + j >= 0 && sy + j < src.Height())
                    want = At(src, sx + i, sy + j);
            }
            ASSERT_EQ(At(got, px, py), want) << w << "x" << h << " turns " << turns << " at "
                                             << px << "," << py;
        }
    ExpectPaddingZero(got);
}

}  // namespace

// Sizes on both sides of every block and tile edge the turn may work in, odd
// and even, with the turned rectangle placed exactly, cut by each side of the
// destination, and read from a source rectangle that overhangs its surface.
TEST(PelRotate, QuarterTurnsMatchAPixelByPixelReference)
{
    std::mt19937 rng(17);
    const std::pair<int, int> sizes[] = {{1, 1},   {1, 9},   {9, 1},    {3, 5},    {13, 29},
                                         {16, 16}, {33, 17}, {67, 131}, {131, 67}, {259, 97},
                                         {97, 259}, {130, 130}};
    for (const auto& [w, h] : sizes) {
        Surface src;
        src.Create(w, h);
        FillRandom(src, rng);
        for (int turns : {1, 3}) {
            const double angle = turns == 1 ? 90.0 : -90.0;
            struct Placement {
                int dw, dh, x, y, sx, sy, rw, rh;
            };
            const int tw = h, th = w;   // turned size
            const Placement places[] = {
                {tw, th, RoundHalfEven(tw / 2.0), RoundHalfEven(th / 2.0), 0, 0, w, h},
                {tw + 5, th + 3, tw / 2 - 3, th / 2 + 2, 0, 0, w, h},      // cut left, right
                {tw + 2, th + 1, tw / 2 + 4, th / 2 - 5, 0, 0, w, h},      // cut top, bottom
                {tw + 4, th + 4, tw / 2 + 2, th / 2 + 2, -2, 1, w + 1, h}, // source overhangs
                {tw, th, tw / 2, th / 2, w / 3, h / 4, w - w / 3, h - h / 4},
            };
            for (const Placement& p : places) {
                Surface dst, before;
                dst.Create(p.dw, p.dh);
                FillRandom(dst, rng);
                before.Create(p.dw, p.dh);
                std::memcpy(before.DataPtr(), dst.DataPtr(), size_t(dst.RGBSize()));
                PelRotate(dst, p.x, p.y, p.rw, p.rh, src, p.sx, p.sy, angle);
                SCOPED_TRACE(testing::Message() << "placement " << (&p - places));
                ExpectQuarterTurn(dst, before, p.x, p.y, p.rw, p.rh, src, p.sx, p.sy, turns);
                if (HasFatalFailure())
                    return;
            }
        }
    }
}

// A square part of a surface turned onto another place of the same surface
// reads the picture as it was before the turn began.
TEST(PelRotate, QuarterTurnWithinOneSurfaceReadsTheOriginal)
{
    std::mt19937 rng(23);
    for (int turns : {1, 3}) {
        Surface s, before;
        s.Create(90, 77);
        FillRandom(s, rng);
        before.Create(90, 77);
        std::memcpy(before.DataPtr(), s.DataPtr(), size_t(s.RGBSize()));
        PelRotate(s, 40, 37, 70, 70, s, 11, 3, turns * 90.0);
        ExpectQuarterTurn(s, before, 40, 37, 70, 70, before, 11, 3, turns);
    }
}

TEST(PelRotate, HalfTurnAndFullTurnAreExactAndClippedToTheDestination)
{
    Surface src;
    src.Create(4, 3);
    FillTagged(src);
    Surface dst;
    dst.Create(4, 3);
    PelRotate(dst, 2, 2, 4, 3, src, 0, 0, 180.0);   // top-left lands at (0, 0)
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(dst, x, y), Tag(3 - x, 2 - y));
    PelRotate(dst, 2, 2, 4, 3, src, 0, 0, -360.0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(dst, x, y), Tag(x, y));

    // Centred off the corner: only the part that falls on the surface is drawn,
    // and nothing outside the surface is touched.
    Surface small;
    small.Create(3, 3);
    PelRotate(small, 0, 0, 4, 3, src, 0, 0, 90.0);
    // Turned size 3 x 4 centred on (0, 0): top-left at (-2, -2) (half-even of -1.5).
    for (int v = 0; v < 3; ++v)
        for (int u = 0; u < 3; ++u) {
            const int tu = u + 2, tv = v + 2;
            const Bgr want = (tu < 3 && tv < 4) ? Tag(tv, 2 - tu) : Bgr{0, 0, 0};
            EXPECT_EQ(At(small, u, v), want) << u << "," << v;
        }
    ExpectPaddingZero(small);
}

TEST(PelRotate, SourceRectangleBeyondItsSurfaceDrawsOnlyWhatExists)
{
    Surface src;
    src.Create(3, 3);
    FillTagged(src);
    Surface dst;
    dst.Create(6, 6);
    Fill(dst, {9, 9, 9});
    // A 6 x 6 rectangle of a 3 x 3 surface: the missing part leaves dst alone.
    PelRotate(dst, 3, 3, 6, 6, src, 0, 0, 90.0);
    for (int v = 0; v < 6; ++v)
        for (int u = 0; u < 6; ++u) {
            const int i = v, j = 5 - u;
            const Bgr want = (i < 3 && j < 3) ? Tag(i, j) : Bgr{9, 9, 9};
            EXPECT_EQ(At(dst, u, v), want) << u << "," << v;
        }
}

TEST(PelRotate, SameSurfaceAndOtherAnglesStayInside)
{
    Surface s;
    s.Create(6, 6);
    FillTagged(s);
    PelRotate(s, 3, 3, 6, 6, s, 0, 0, 90.0);
    for (int v = 0; v < 6; ++v)
        for (int u = 0; u < 6; ++u)
            ASSERT_EQ(At(s, u, v), Tag(v, 5 - u));

    // A free angle must draw the middle and keep within both surfaces.
    Surface dst;
    dst.Create(21, 21);
    Surface one;
    one.Create(9, 9);
    Fill(one, {200, 100, 50});
    PelRotate(dst, 10, 10, 9, 9, one, 0, 0, 45.0);
    EXPECT_EQ(At(dst, 10, 10), (Bgr{200, 100, 50}));
    EXPECT_EQ(At(dst, 0, 0), (Bgr{0, 0, 0}));
    ExpectPaddingZero(dst);
    PelRotate(dst, -100, 5000, 9, 9, one, 0, 0, 33.0);   // far off: nothing, no crash
}

// ---- per-pixel operations ---------------------------------------------------

TEST(PelGreyScale, UsesLumaWeightsAndKeepsGreys)
{
    Surface s;
    s.Create(5, 1);
    Put(s, 0, 0, {0, 0, 255});     // red
    Put(s, 1, 0, {0, 255, 0});     // green
    Put(s, 2, 0, {255, 0, 0});     // blue
    Put(s, 3, 0, {255, 255, 255});
    Put(s, 4, 0, {77, 77, 77});
    PelGreyScale(s, 0, 0, 5, 1, s, 0, 0);
    EXPECT_EQ(At(s, 0, 0), (Bgr{76, 76, 76}));     // 0.299 x 255
    EXPECT_EQ(At(s, 1, 0), (Bgr{150, 150, 150}));  // 0.587 x 255
    EXPECT_EQ(At(s, 2, 0), (Bgr{29, 29, 29}));     // 0.114 x 255
    EXPECT_EQ(At(s, 3, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(s, 4, 0), (Bgr{77, 77, 77}));
}

TEST(PelGreyScale, OnlyTheClippedRectangleChanges)
{
    Surface s;
    s.Create(7, 5);
    FillTagged(s);
    PelGreyScale(s, 5, 3, 10, 10, s, 5, 3);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const Bgr p = At(s, x, y);
            if (x >= 5 && y >= 3)
                EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
            else
                EXPECT_EQ(p, Tag(x, y)) << x << "," << y;
        }
    ExpectPaddingZero(s);
}

TEST(PelAlphaBlend, BlackIsTransparentEverythingElseReplaces)
{
    Surface canvas;
    canvas.Create(6, 4);
    FillTagged(canvas);
    Surface strip;
    strip.Create(4, 2);
    Put(strip, 0, 0, {0, 0, 1});       // nearly black still counts
    Put(strip, 1, 0, {255, 255, 255});
    Put(strip, 3, 1, {10, 20, 30});
    // Laid at (3, 1): column 3 of the strip falls off the right edge.
    PelAlphaBlend(canvas, 3, 1, 4, 2, strip, 0, 0, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            Bgr want = Tag(x, y);
            if (x == 3 && y == 1)
                want = {0, 0, 1};
            if (x == 4 && y == 1)
                want = {255, 255, 255};
            EXPECT_EQ(At(canvas, x, y), want) << x << "," << y;
        }
    ExpectPaddingZero(canvas);

    // Negative placement clips on the left and top as well.
    Put(strip, 1, 1, {5, 6, 7});
    PelAlphaBlend(canvas, -1, -1, 4, 2, strip, 0, 0);
    EXPECT_EQ(At(canvas, 0, 0), (Bgr{5, 6, 7}));
    EXPECT_EQ(At(canvas, 2, 0), (Bgr{10, 20, 30}));
    EXPECT_EQ(At(canvas, 1, 0), Tag(1, 0));   // strip (2, 1) is black
}

TEST(PelInvert, NegativeTwiceIsTheOriginal)
{
    Surface s;
    s.Create(5, 3);
    FillTagged(s);
    PelInvert(s, 0, 0, 5, 3, s, 0, 0);
    EXPECT_EQ(At(s, 2, 1), (Bgr{uint8_t(255 - 2), uint8_t(255 - 1), uint8_t(255 - 28)}));
    ExpectPaddingZero(s);
    PelInvert(s, 0, 0, 5, 3, s, 0, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(s, x, y), Tag(x, y));
}

TEST(PelOps, OverlappingRectanglesOfOneSurfaceReadTheOriginal)
{
    // Shifting a rectangle one pixel within its own surface must not read
    // pixels the operation has already written.
    Surface s;
    s.Create(6, 1);
    for (int x = 0; x < 6; ++x)
        Put(s, x, 0, {uint8_t(10 * x + 10), 0, 0});
    PelInvert(s, 1, 0, 5, 1, s, 0, 0);
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(At(s, x, 0)[0], 255 - (10 * (x - 1) + 10)) << x;
}

TEST(PelHSL, NeutralValuesChangeNothing)
{
    Surface s;
    s.Create(7, 5);
    FillTagged(s);
    Surface copy;
    copy.Create(7, 5);
    FillTagged(copy);
    PelHSL(s, 0, 0, 7, 5, s, 0, 0, 0.0f, 1.0f);
    EXPECT_EQ(std::memcmp(s.DataPtr(), copy.DataPtr(), size_t(s.RGBSize())), 0);
    PelHSL(s, 0, 0, 7, 5, s, 0, 0, 360.0f, 1.0f);
    EXPECT_EQ(std::memcmp(s.DataPtr(), copy.DataPtr(), size_t(s.RGBSize())), 0);
}

TEST(PelHSL, HueTurnsAndSaturationScales)
{
    Surface s;
    s.Create(4, 1);
    Put(s, 0, 0, {0, 0, 255});     // pure red
    Put(s, 1, 0, {64, 64, 192});   // a pinkish red
    Put(s, 2, 0, {128, 128, 128}); // grey: no hue
    Put(s, 3, 0, {0, 0, 255});
    PelHSL(s, 0, 0, 3, 1, s, 0, 0, 120.0f, 1.0f);
    EXPECT_EQ(At(s, 0, 0), (Bgr{0, 255, 0}));      // red turned a third is green
    EXPECT_EQ(At(s, 1, 0), (Bgr{64, 192, 64}));
    EXPECT_EQ(At(s, 2, 0), (Bgr{128, 128, 128}));
    EXPECT_EQ(At(s, 3, 0), (Bgr{0, 0, 255}));      // outside the rectangle

    PelHSL(s, 0, 0, 4, 1, s, 0, 0, -120.0f, 0.0f);
    // Saturation 0 leaves the lightness: (max + min) / 2.
    EXPECT_EQ(At(s, 0, 0), (Bgr{128, 128, 128}));
    EXPECT_EQ(At(s, 1, 0), (Bgr{128, 128, 128}));

    Put(s, 0, 0, {64, 64, 192});
    PelHSL(s, 0, 0, 1, 1, s, 0, 0, 0.0f, 0.5f);
    EXPECT_EQ(At(s, 0, 0), (Bgr{96, 96, 160}));
    // Saturation cannot go beyond full: red stays red when doubled.
    Put(s, 0, 0, {0, 0, 255});
    PelHSL(s, 0, 0, 1, 1, s, 0, 0, 0.0f, 2.0f);
    EXPECT_EQ(At(s, 0, 0), (Bgr{0, 0, 255}));
}

// The textbook HSL conversion in double precision, one pixel at a time.
Bgr ReferenceHsl(Bgr in, double turnDegrees, double sat)
{
    const double r = in[2] / 255.0, g = in[1] / 255.0, b = in[0] / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    double h = 0, s = 0;
    if (mx > mn) {
        const double d = mx - mn;
        s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
        if (mx == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (mx == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
    }
    h = std::fmod(h + turnDegrees / 360.0 + 1.0, 1.0);
    s = std::min(1.0, s * sat);
    auto hue2rgb = [](double p, double q, double t) {
        t = std::fmod(t + 1.0, 1.0);
        if (t < 1.0 / 6) return p + (q - p) * 6 * t;
        if (t < 1.0 / 2) return q;
        if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    auto byte = [](double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return {byte(hue2rgb(p, q, h - 1.0 / 3)), byte(hue2rgb(p, q, h)), byte(hue2rgb(p, q, h + 1.0 / 3))};
}

TEST(PelHSL, AgreesWithTheTextbookModelOnEveryKindOfColour)
{
    // 37 pixels a row: whole blocks of eight and a tail, so both the vector
    // and the single-pixel paths are checked.
    std::mt19937 rng(11);
    Surface s;
    s.Create(37, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 37; ++x)
            Put(s, x, y, {uint8_t(rng()), uint8_t(rng()), uint8_t(rng())});
    const Surface& src = s;
    for (const auto& [turn, sat] : {std::pair{37.5f, 1.0f}, std::pair{-200.0f, 0.4f},
                                    std::pair{0.0f, 1.7f}, std::pair{719.0f, 0.0f}}) {
        Surface dst;
        dst.Create(37, 9);
        PelHSL(dst, 0, 0, 37, 9, src, 0, 0, turn, sat);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 37; ++x) {
                const Bgr want = ReferenceHsl(At(src, x, y), turn, sat);
                const Bgr got = At(dst, x, y);
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(std::abs(int(got[c]) - int(want[c])), 1)
                        << "turn " << turn << " sat " << sat << " at " << x << "," << y;
            }
    }
}

// The album's float arithmetic, one pixel at a time, written
// plainly. The results are not the textbook's to the last byte (float rounding,
// + 0.5 and truncation), and pictures saved before must not change: any faster
// way of working must give these bytes exactly.
Bgr AlbumHsl(Bgr in, float hueDegrees, float sat)
{
    sat = std::max(sat, 0.0f);
    float turn = std::fmod(hueDegrees, 360.0f) / 60.0f;
    if (turn < 0)
        turn += 6.0f;
    const float b = in[0], g = in[1], r = in[2];
    const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const float chroma = mx - mn;
    const float inv = 1.0f / (chroma + 1e-6f);
    float hue = mx == r ? (g - b) * inv : mx == g ? (b - r) * inv + 2.0f : (r - g) * inv + 4.0f;
    hue += turn;
    if (hue < 0.0f)
        hue += 6.0f;
    if (hue >= 6.0f)
        hue -= 6.0f;
    if (hue >= 6.0f)
        hue -= 6.0f;
    const float sum = mx + mn;
    const float limit = 255.0f - std::abs(sum - 255.0f);
    const float half = std::min(chroma * sat, limit) * 0.5f;
    const float light = sum * 0.5f + 0.5f;
    const float twice = hue * 2.0f;
    auto channel = [&](float u) {
        if (u >= 6.0f)
            u -= 12.0f;
        const float t = std::clamp(3.0f - std::abs(u), -1.0f, 1.0f);
        const float product = half * t;   // two steps: no fused multiply-add
        return uint8_t(std::min(light - product, 255.0f));
    };
    return {channel(twice - 2.0f), channel(twice + 2.0f), channel(twice - 6.0f)};
}

// Random pictures of odd widths (whole vector blocks and tails) plus a sweep
// through the colours where hue and lightness change case: ties between
// channels, greys, the ends of the range. In place and into another surface.
TEST(PelHSL, GivesTheAlbumsOwnBytesExactly)
{
    std::mt19937 rng(29);
    std::vector<Surface> pictures;
    for (int w : {1, 7, 31, 33, 97, 203}) {
        Surface& s = pictures.emplace_back();
        s.Create(w, 5);
        FillRandom(s, rng);
    }
    const uint8_t levels[] = {0, 1, 2, 3, 63, 64, 85, 126, 127, 128, 129, 170, 191, 252, 253, 254, 255};
    constexpr int kLevels = int(std::size(levels));
    Surface& sweep = pictures.emplace_back();
    sweep.Create(kLevels * kLevels + 3, kLevels);
    for (int y = 0; y < kLevels; ++y)
        for (int x = 0; x < kLevels * kLevels; ++x)
            Put(sweep, x, y, {levels[x % kLevels], levels[x / kLevels], levels[y]});

    const std::pair<float, float> settings[] = {{30.0f, 1.1f},   {37.5f, 1.0f},  {-200.0f, 0.4f},
                                                {0.0f, 1.7f},    {719.0f, 0.0f}, {-0.0001f, 1.0f},
                                                {359.9999f, 3.0f}, {180.0f, 0.5f}, {-360.0f, 0.9f},
                                                {90.0f, -1.0f}};
    for (const Surface& src : pictures)
        for (const auto& [hue, sat] : settings) {
            Surface dst, inPlace;
            dst.Create(src.Width(), src.Height());
            inPlace.Create(src.Width(), src.Height());
            std::memcpy(inPlace.DataPtr(), src.DataPtr(), size_t(src.RGBSize()));
            PelHSL(dst, 0, 0, src.Width(), src.Height(), src, 0, 0, hue, sat);
            PelHSL(inPlace, 0, 0, src.Width(), src.Height(), inPlace, 0, 0, hue, sat);
            for (int y = 0; y < src.Height(); ++y)
                for (int x = 0; x < src.Width(); ++x) {
                    const Bgr want = AlbumHsl(At(src, x, y), hue, sat);
                    ASSERT_EQ(At(dst, x, y), want) << "hue " << hue << " sat " << sat << " colour "
                                                   << int(At(src, x, y)[0]) << ","
                                                   << int(At(src, x, y)[1]) << ","
                                                   << int(At(src, x, y)[2]);
                    ASSERT_EQ(At(inPlace, x, y), want) << "in place, hue " << hue << " at " << x;
                }
            ExpectPaddingZero(dst);
        }
}

TEST(PelMosaic, SquaresOfOneColourAndEdgeZeroIsACopy)
{
    Surface src;
    src.Create(7, 5);
    FillTagged(src);
    Surface dst;
    dst.Create(7, 5);

    PelMosaic(dst, 0, 0, 7, 5, src, 0, 0, 0);
    EXPECT_EQ(std::memcmp(dst.DataPtr(), src.DataPtr(), size_t(src.RGBSize())), 0);

    PelMosaic(dst, 0, 0, 7, 5, src, 0, 0, 3);
    // Squares start at the top-left; each holds the mean of the pixels it covers.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const int x0 = x / 3 * 3, y0 = y / 3 * 3;
            const int x1 = std::min(x0 + 3, 7), y1 = std::min(y0 + 3, 5);
            int sum[3] = {0, 0, 0};
            for (int yy = y0; yy < y1; ++yy)
                for (int xx = x0; xx < x1; ++xx)
                    for (int k = 0; k < 3; ++k)
                        sum[k] += Tag(xx, yy)[k];
            const int n = (x1 - x0) * (y1 - y0);
            const Bgr want = {uint8_t((sum[0] + n / 2) / n), uint8_t((sum[1] + n / 2) / n),
                              uint8_t((sum[2] + n / 2) / n)};
            EXPECT_EQ(At(dst, x, y), want) << x << "," << y;
        }
    ExpectPaddingZero(dst);

    // An edge larger than the picture makes one square of its mean colour.
    PelMosaic(dst, 0, 0, 7, 5, src, 0, 0, 100);
    EXPECT_EQ(At(dst, 0, 0), At(dst, 6, 4));
}

TEST(PelOps, EmptySurfacesAndEmptyRectanglesAreHarmless)
{
    Surface empty;
    Surface s;
    s.Create(4, 4);
    FillTagged(s);
    PelGreyScale(empty, 0, 0, 4, 4, s, 0, 0);
    PelInvert(s, 0, 0, 4, 4, empty, 0, 0);
    PelMosaic(s, 0, 0, 0, 4, s, 0, 0, 2);
    PelAlphaBlend(s, 10, 10, 4, 4, s, 0, 0);
    PelHSL(s, 0, 0, -3, 4, s, 0, 0, 90.0f, 1.0f);
    PelRotate(s, 2, 2, 4, 4, empty, 0, 0, 90.0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(s, x, y), Tag(x, y));
}
