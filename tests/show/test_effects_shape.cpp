// The shape, sweep, wave, triangle and mosaic transitions, run as the engine
// runs them on pictures whose pixels tell where they came from.
#include "show/EffectHarness.h"
#include "show/EffectsShapeSpans.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace tamsel::testing {
namespace {

const std::vector<int> kShapeEffects = {31, 32, 33, 34, 35, 36, 40, 41, 46, 49, 50,
                                        59, 60, 61, 62, 63, 64, 65, 66, 67, 68};

// The picture the screen showed before the effect began (the harness saves it
// into oldPic only for the effects that need it).
Surface OldPicture(int W, int H)
{
    Surface s;
    s.Create(W, H);
    PaintPattern(s, kOldTag);
    return s;
}

bool SamePixel(const Surface& a, int ax, int ay, const Surface& b, int bx, int by)
{
    return std::memcmp(a.RowPtr(ay) + 3 * ax, b.RowPtr(by) + 3 * bx, 3) == 0;
}

std::string Describe(const Surface& s, int x, int y)
{
    const uint8_t* p = s.RowPtr(y) + 3 * x;
    return "(" + std::to_string(x) + "," + std::to_string(y) + ") shows tag " +
           std::to_string(p[0]) + " green " + std::to_string(p[1]) + " red " +
           std::to_string(p[2]);
}

// Runs steps until the next one would draw with P (and, for the clock, the
// quadrant) as asked, then draws that frame. Returns the P it drew with.
double DrawFrameAt(EffectRun& r, const std::function<bool(const EffectState&)>& isFrame)
{
    while (!isFrame(r.st)) {
        if (r.Step() != StepOutcome::Drew || r.frames > 10000) {
            ADD_FAILURE() << "effect " << r.effect << " ended before the wanted frame";
            return r.st.P;
        }
    }
    const double p = r.st.P;
    EXPECT_EQ(r.Step(), StepOutcome::Drew);
    return p;
}

double DrawFrameAtP(EffectRun& r, double p)
{
    return DrawFrameAt(r, [p](const EffectState& s) { return std::abs(s.P - p) < 1e-6; });
}

double DrawAngleFrame(EffectRun& r, int frame)
{
    const int before = r.frames;
    while (r.frames < before + frame - 1)
        if (r.Step() != StepOutcome::Drew)
            break;
    const double p = r.st.P;
    EXPECT_EQ(r.Step(), StepOutcome::Drew);
    return p;
}

// What a pixel of a frame must show: the new or the old picture at its own
// place, or either (on or next to the edge of the shape).
enum class Want { New, Old, Either };

// Checks every third pixel of the screen in both directions against want(x, y),
// which must ask for some of each picture.
void ExpectShape(const EffectRun& r, const Surface& old, const std::function<Want(int, int)>& want)
{
    int wrong = 0, checked[2] = {0, 0};
    for (int y = 0; y < r.H; y += 3) {
        for (int x = 0; x < r.W; x += 3) {
            const Want w = want(x, y);
            if (w == Want::Either)
                continue;
            ++checked[w == Want::New];
            const Surface& expected = w == Want::New ? r.newPic : old;
            if (!SamePixel(r.screen, x, y, expected, x, y) && ++wrong <= 5)
                ADD_FAILURE() << "effect " << r.effect << ": " << Describe(r.screen, x, y)
                              << ", wanted the " << (w == Want::New ? "new" : "old")
                              << " picture";
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(checked[0], 50) << "effect " << r.effect << ": too few pixels should be old";
    EXPECT_GT(checked[1], 50) << "effect " << r.effect << ": too few pixels should be new";
}

// New on the positive side of a line, old on the negative side, either within
// 1.5 pixels of it.
Want BySide(double s, bool newInside = true)
{
    if (std::abs(s) <= 1.5)
        return Want::Either;
    return (s > 0) == newInside ? Want::New : Want::Old;
}

// Expects dest row y, columns [x0, x1), to show row sy of src from column sx0 on.
void ExpectRow(const EffectRun& r, int y, int x0, int x1, const Surface& src, int sx0, int sy)
{
    int wrong = 0;
    for (int x = std::max(0, x0); x < std::min(r.W, x1); ++x)
        if (!SamePixel(r.screen, x, y, src, sx0 + (x - x0), sy) && ++wrong <= 3)
            ADD_FAILURE() << "effect " << r.effect << ": " << Describe(r.screen, x, y)
                          << ", wanted " << Describe(src, sx0 + (x - x0), sy);
}

void ExpectColumn(const EffectRun& r, int x, int y0, int y1, const Surface& src, int sx, int sy0)
{
    int wrong = 0;
    for (int y = std::max(0, y0); y < std::min(r.H, y1); ++y)
        if (!SamePixel(r.screen, x, y, src, sx, sy0 + (y - y0)) && ++wrong <= 3)
            ADD_FAILURE() << "effect " << r.effect << ": " << Describe(r.screen, x, y)
                          << ", wanted " << Describe(src, sx, sy0 + (y - y0));
}

// ---------------------------------------------------------------------------

TEST(ShapeEffects, OwnTheirNumbersAndShareTheIdenticalOnes)
{
    for (int e = 0; e <= 300; ++e) {
        const bool mine = std::find(kShapeEffects.begin(), kShapeEffects.end(), e) !=
                          kShapeEffects.end();
        EXPECT_EQ(ShapeEffect(e) != nullptr, mine) << "effect " << e;
    }
    EXPECT_EQ(ShapeEffect(31), ShapeEffect(32));
    EXPECT_EQ(ShapeEffect(35), ShapeEffect(59));
    EXPECT_EQ(ShapeEffect(40), ShapeEffect(60));
    EXPECT_EQ(ShapeEffect(67), ShapeEffect(68));
    EXPECT_NE(ShapeEffect(33), ShapeEffect(34));
    EXPECT_NE(ShapeEffect(61), ShapeEffect(63));
}

// How many frames a loop "from p while cont(p), p += step" draws.
int LoopFrames(double p, double step, const std::function<bool(double)>& cont)
{
    int n = 0;
    for (; cont(p) && n < 100000; p += step)
        ++n;
    return n;
}

TEST(ShapeEffects, FrameCountsAt480x336)
{
    const int W = 480, H = 336;
    const int circles = LoopFrames(0, 4, [&](double p) { return p < W; });
    const int halves = LoopFrames(0, 4, [&](double p) { return p < W / 2; });
    const int bands = LoopFrames(0, 4, [&](double p) { return p < H / 2; });
    const int triangles = LoopFrames(0, 4, [&](double p) { return p < H; });
    EXPECT_EQ(circles, 120);
    EXPECT_EQ(halves, 60);
    EXPECT_EQ(bands, 42);
    EXPECT_EQ(triangles, 84);

    const std::vector<std::pair<int, int>> exact = {
        {31, circles}, {32, circles}, {40, circles}, {60, circles}, {36, halves},
        {46, halves},  {49, bands},   {50, bands},   {61, triangles}, {62, triangles},
        {63, triangles}, {64, triangles}, {41, 50}};
    for (auto [effect, frames] : exact) {
        EffectRun run(effect, W, H);
        EXPECT_EQ(run.RunToEnd(), frames) << "effect " << effect;
    }
    for (int effect : {33, 34, 35, 59, 65, 66}) {
        EffectRun run(effect, W, H);
        EXPECT_NEAR(run.RunToEnd(), 50, 1) << "effect " << effect;
    }
}

// Each clock quadrant sweeps through about 53 angles, then spends one frame
// completing itself; the fourth completion frame copies nothing.
TEST(ShapeEffects, ClockSweepsEachQuadrantThenCompletesIt)
{
    for (int effect : {67, 68}) {
        EffectRun run(effect, 480, 336);
        int sweep[4] = {0, 0, 0, 0}, completions[4] = {0, 0, 0, 0};
        for (;;) {
            const int q = run.st.TransQuadrant;
            const bool sweeping = run.st.P < run.st.Q;
            if (run.Step() != StepOutcome::Drew)
                break;
            ASSERT_LT(q, 4);
            (sweeping ? sweep : completions)[q]++;
            if (!sweeping) {
                EXPECT_EQ(run.st.TransQuadrant, q + 1);
                // The completion frame leaves the whole quadrant new.
                const int c = 240, m = 168;
                const int x0 = q == 2 ? 0 : c, y0 = q == 0 ? 0 : m;
                if (q < 3)
                    for (int y = y0; y < y0 + m; ++y)
                        ExpectRow(run, y, x0, x0 + c, run.newPic, x0, y);
            }
        }
        for (int q = 0; q < 4; ++q) {
            EXPECT_NEAR(sweep[q], 53, 1) << "quadrant " << q;
            EXPECT_EQ(completions[q], 1) << "quadrant " << q;
        }
        EXPECT_EQ(run.st.TransQuadrant, 4);
        EXPECT_EQ(run.Step(), StepOutcome::Finished);
    }
}

// A step whose condition fails draws nothing.
TEST(ShapeEffects, FinishedStepsDrawNothing)
{
    for (int effect : kShapeEffects) {
        EffectRun run(effect, 96, 64);
        run.RunToEnd();
        Surface before;
        before.Create(96, 64);
        CopyWhole(before, run.screen);
        const EffectState st = run.st;
        EXPECT_EQ(run.Step(), StepOutcome::Finished) << "effect " << effect;
        EXPECT_TRUE(run.ScreenEquals(before)) << "effect " << effect;
        EXPECT_EQ(run.st.P, st.P) << "effect " << effect;
    }
}

// ---------------------------------------------------------------------------
// Middle frames at 480 x 336.

TEST(ShapeEffects, CirclesAreRoundAndCentred)
{
    const int W = 480, H = 336;
    const Surface old = OldPicture(W, H);
    // Rows m - k and m + k carry the same chord, spanning [c - h, c + h).
    auto distance = [&](int x, int y) { return std::hypot(x + 0.5 - W / 2, double(y - H / 2)); };
    for (int effect : {31, 60}) {
        EffectRun run(effect, W, H);
        const double r = DrawFrameAtP(run, 140);
        const bool newInside = effect == 31;
        ExpectShape(run, old, [&](int x, int y) { return BySide(r - distance(x, y), newInside); });
        // The circle is not yet the whole picture.
        EXPECT_TRUE(SamePixel(run.screen, 0, 0, newInside ? old : run.newPic, 0, 0));
        // Its centre to the pixel: the middle row's chord is [c - r, c + r), the
        // middle column's [m - r + 1, m + r).
        const uint8_t inside = newInside ? kNewTag : kOldTag;
        const int rr = int(r);
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(run.TagAt(x, H / 2) == inside, x >= W / 2 - rr && x < W / 2 + rr) << x;
        for (int y = 0; y < H; ++y)
            ASSERT_EQ(run.TagAt(W / 2, y) == inside, y > H / 2 - rr && y < H / 2 + rr) << y;
    }
}

// Sweeps about a bottom corner: with u along the edge the wedge starts from
// and v along the other edge (both measured from the pivot), the new picture
// lies where the angle from u is below P.
TEST(ShapeEffects, CornerSweepsOpenFromTheirEdge)
{
    const int W = 480, H = 336;
    const Surface old = OldPicture(W, H);
    struct Case {
        int effect;
        std::function<std::pair<double, double>(double, double)> uv;  // from pixel centre
    };
    const std::vector<Case> cases = {
        {33, [&](double x, double y) { return std::pair{x, H - y}; }},      // bottom edge, turning up
        {34, [&](double x, double y) { return std::pair{H - y, x}; }},      // left edge, turning down
        {65, [&](double x, double y) { return std::pair{W - x, H - y}; }},  // bottom edge, turning up
        {66, [&](double x, double y) { return std::pair{H - y, W - x}; }},  // right edge, turning down
    };
    for (const Case& k : cases) {
        for (int frame : {10, 25, 40}) {
            EffectRun run(k.effect, W, H);
            const double a = DrawAngleFrame(run, frame);
            ExpectShape(run, old, [&](int x, int y) {
                const auto [u, v] = k.uv(x + 0.5, y + 0.5);
                return BySide(u * std::sin(a) - v * std::cos(a));
            });
        }
    }
}

// Local axes of a quadrant about the centre (dx right, dy up): u is the
// half-axis a blade or hand starts from, v the one it turns toward.
std::pair<int, int> QuadrantAxes(int q, int dx, int dy, bool clockwise)
{
    if (!clockwise) {  // right, up, left, down
        switch (q) {
        case 0: return {dx, dy};
        case 1: return {dy, -dx};
        case 2: return {-dx, -dy};
        default: return {-dy, dx};
        }
    }
    switch (q) {  // up, right, down, left
    case 0: return {dy, dx};
    case 1: return {dx, -dy};
    case 2: return {-dy, -dx};
    default: return {-dx, dy};
    }
}

TEST(ShapeEffects, WindmillBladesTurnCounterClockwise)
{
    const int W = 480, H = 336, cx = W / 2, m = H / 2;
    const Surface old = OldPicture(W, H);
    for (int frame : {12, 30, 45}) {
        EffectRun run(35, W, H);
        const double a = DrawAngleFrame(run, frame);
        ExpectShape(run, old, [&](int x, int y) {
            const int dx = x - cx, dy = m - y;
            for (int q = 0; q < 4; ++q) {
                const auto [u, v] = QuadrantAxes(q, dx, dy, false);
                if (u >= 2 && v >= 2)
                    return BySide(u * std::sin(a) - v * std::cos(a));
            }
            return Want::Either;
        });
    }
}

TEST(ShapeEffects, ClockHandSweepsClockwiseFromTwelve)
{
    const int W = 480, H = 336, cx = W / 2, m = H / 2;
    const Surface old = OldPicture(W, H);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        for (double angle : {0.45, 1.2}) {
            EffectRun run(67, W, H);
            const double a = DrawFrameAt(run, [&](const EffectState& s) {
                return s.TransQuadrant == quadrant && s.P >= angle;
            });
            ExpectShape(run, old, [&](int x, int y) {
                const int dx = x - cx, dy = m - y;
                for (int q = 0; q < 4; ++q) {
                    const auto [u, v] = QuadrantAxes(q, dx, dy, true);
                    if (u < 2 || v < 2)
                        continue;
                    if (q != quadrant)
                        return q < quadrant ? Want::New : Want::Old;
                    return BySide(u * std::sin(a) - v * std::cos(a));
                }
                return Want::Either;
            });
        }
    }
}

// The halves meet along a seam that swings 16 pixels either way with a period
// of 32 pi rows (or columns).
double Swing(int i) { return 16 * std::sin(i / 16.0); }

TEST(ShapeEffects, WavyHalvesSlideInFromTheSidesAndOutAgain)
{
    const int W = 480, H = 336, c = W / 2;
    const Surface old = OldPicture(W, H);
    for (int effect : {36, 46}) {
        EffectRun run(effect, W, H);
        const double P = DrawFrameAtP(run, 120);
        const bool in = effect == 36;
        const Surface& moving = in ? run.newPic : old;
        const Surface& still = in ? old : run.newPic;
        for (int y : {0, 25, 50, 75, 101, 180, 335}) {
            const int seamL = int(std::lround(P + Swing(y)));
            const int seamR = int(std::lround(W - P + Swing(y)));
            ExpectRow(run, y, 0, seamL - 1, moving, c - int(P), y);
            ExpectRow(run, y, seamL + 1, seamR - 1, still, seamL + 1, y);
            ExpectRow(run, y, seamR + 1, W, moving, seamR + 1 - (W - int(P)) + c, y);
        }
    }
}

TEST(ShapeEffects, WavyBandsSlideInFromTopAndBottomAndOutAgain)
{
    const int W = 480, H = 336, m = H / 2;
    const Surface old = OldPicture(W, H);
    for (int effect : {49, 50}) {
        EffectRun run(effect, W, H);
        const double P = DrawFrameAtP(run, 80);
        const bool in = effect == 49;
        const Surface& moving = in ? run.newPic : old;
        const Surface& still = in ? old : run.newPic;
        for (int x : {0, 25, 50, 75, 101, 300, 479}) {
            const int seamT = int(std::lround(P + Swing(x)));
            const int seamB = int(std::lround(H - P + Swing(x)));
            ExpectColumn(run, x, 0, seamT - 1, moving, x, m - int(P));
            ExpectColumn(run, x, seamT + 1, seamB - 1, still, x, seamT + 1);
            ExpectColumn(run, x, seamB + 1, H, moving, x, seamB + 1 - (H - int(P)) + m);
        }
    }
}

// Row i of a triangle (counted from its point) is i x W / H wide.
TEST(ShapeEffects, TrianglesSlideAlongTheirDiagonal)
{
    const int W = 480, H = 336;
    const double R = double(W) / H;
    const Surface old = OldPicture(W, H);
    for (int effect : {61, 62, 63, 64}) {
        EffectRun run(effect, W, H);
        const int P = int(DrawFrameAtP(run, 120));
        const bool in = effect <= 62, cross = effect == 62 || effect == 64;
        const Surface& moving = in ? run.newPic : old;
        const Surface& still = in ? old : run.newPic;
        for (int i : {10, 60, 110}) {
            const int w = int(std::lround(i * R));
            // Row i of the triangle whose point is at the top of the picture
            // lies P rows up from the bottom edge, that of the other P rows
            // down from the top edge.
            const int yTop = H - P + i;
            const int yBottom = P - i;
            if (!cross) {
                // lower-left, point at top-left; upper-right, point at bottom-right
                ExpectRow(run, yTop, 0, w - 1, moving, 0, i);
                ExpectRow(run, yTop, w + 1, W, still, w + 1, yTop);
                ExpectRow(run, yBottom, W - w + 1, W, moving, W - w + 1, H - i);
                ExpectRow(run, yBottom, 0, W - w - 1, still, 0, yBottom);
            } else {
                // upper-left, point at bottom-left; lower-right, point at top-right
                ExpectRow(run, yBottom, 0, w - 1, moving, 0, H - i);
                ExpectRow(run, yBottom, w + 1, W, still, w + 1, yBottom);
                ExpectRow(run, yTop, W - w + 1, W, moving, W - w + 1, i);
                ExpectRow(run, yTop, 0, W - w - 1, still, 0, yTop);
            }
        }
    }
}

// Squares of one colour, laid from the top-left corner, with the edge the
// frame's P asks for.
void ExpectMosaic(const EffectRun& r, int edge, uint8_t tag)
{
    for (int y0 = 0; y0 + edge <= r.H; y0 += edge) {
        for (int x0 = 0; x0 + edge <= r.W; x0 += edge) {
            const uint8_t* first = r.screen.RowPtr(y0) + 3 * x0;
            EXPECT_EQ(first[0], tag);
            for (int y : {y0, y0 + edge / 2, y0 + edge - 1})
                for (int x : {x0, x0 + edge / 2, x0 + edge - 1})
                    EXPECT_EQ(std::memcmp(r.screen.RowPtr(y) + 3 * x, first, 3), 0)
                        << "edge " << edge << " at " << x << "," << y;
        }
    }
    // Neighbouring squares differ: the squares really are edge pixels wide.
    if (2 * edge <= r.W)
        EXPECT_NE(std::memcmp(r.screen.RowPtr(0), r.screen.RowPtr(0) + 3 * edge, 3), 0);
}

TEST(ShapeEffects, MosaicCoarsensTheOldPictureThenRefinesTheNew)
{
    const int W = 480, H = 336;
    EffectRun run(41, W, H);
    DrawFrameAtP(run, 0);
    EXPECT_TRUE(run.ScreenEquals(OldPicture(W, H)));
    DrawFrameAtP(run, 48);
    ExpectMosaic(run, 48, kOldTag);
    DrawFrameAtP(run, 96);
    ExpectMosaic(run, 96, kOldTag);
    EXPECT_EQ(run.Step(), StepOutcome::Drew);  // P = 100: the new picture, edge 100
    ExpectMosaic(run, 100, kNewTag);
    DrawFrameAtP(run, 196);
    ExpectMosaic(run, 4, kNewTag);
}

// ---------------------------------------------------------------------------

// A surface's row padding, which no blit may touch.
bool PaddingIsClear(const Surface& s)
{
    const int used = s.Width() * 3;
    for (int y = 0; y < s.Height(); ++y)
        for (int b = used; b < s.Stride(); ++b)
            if (s.RowPtr(y)[b] != 0)
                return false;
    return true;
}

// Odd, small and portrait photo areas: every effect runs to its end, keeps to
// the surfaces (AddressSanitizer watches the rest), never writes into its
// source pictures, and every pixel it puts on the screen comes from the old or
// the new picture.
TEST(ShapeEffects, RunToTheirEndOnOddAndPortraitAreas)
{
    const std::vector<std::pair<int, int>> sizes = {
        {401, 289}, {782, 478}, {300, 500}, {33, 31}, {2, 3}, {1, 1}};
    for (auto [W, H] : sizes) {
        for (int effect : kShapeEffects) {
            EffectRun run(effect, W, H);
            Surface newBefore, oldBefore;
            newBefore.Create(W, H);
            oldBefore.Create(W, H);
            CopyWhole(newBefore, run.newPic);
            CopyWhole(oldBefore, run.oldPic);
            int foreign = 0;
            const int frames = run.RunToEnd([&](int) {
                for (int y = 0; y < H; y += 7)
                    for (int x = 0; x < W; x += 5) {
                        const uint8_t tag = run.TagAt(x, y);
                        foreign += tag != kOldTag && tag != kNewTag;
                    }
            }, 2000);
            const std::string what =
                "effect " + std::to_string(effect) + " at " + std::to_string(W) + "x" + std::to_string(H);
            if (W > 2)
                EXPECT_GT(frames, 0) << what;
            EXPECT_LT(frames, 2000) << what;
            EXPECT_EQ(run.Step(), StepOutcome::Finished) << what;
            EXPECT_EQ(std::memcmp(run.newPic.DataPtr(), newBefore.DataPtr(), size_t(newBefore.RGBSize())), 0) << what;
            EXPECT_EQ(std::memcmp(run.oldPic.DataPtr(), oldBefore.DataPtr(), size_t(oldBefore.RGBSize())), 0) << what;
            EXPECT_TRUE(PaddingIsClear(run.screen)) << what;
            EXPECT_EQ(foreign, 0) << what;
        }
    }
}

// Effects that copy every piece onto its own place show, in every frame,
// each pixel of either the old or the new picture at that very place.
TEST(ShapeEffects, InPlaceEffectsNeverMovePixels)
{
    for (auto [W, H] : std::vector<std::pair<int, int>>{{480, 336}, {301, 457}}) {
        const Surface old = OldPicture(W, H);
        for (int effect : {31, 33, 34, 35, 40, 65, 66, 67}) {
            EffectRun run(effect, W, H);
            int wrong = 0;
            run.RunToEnd([&](int frame) {
                if (frame % 4)
                    return;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x)
                        if (!SamePixel(run.screen, x, y, old, x, y) &&
                            !SamePixel(run.screen, x, y, run.newPic, x, y) && ++wrong <= 3)
                            ADD_FAILURE() << "effect " << effect << " frame " << frame << ": "
                                          << Describe(run.screen, x, y);
            });
            EXPECT_EQ(wrong, 0) << "effect " << effect;
        }
    }
}

// The last circle covers the whole picture; the clock's hand stops short of
// 12 o'clock and leaves a sliver of the old picture for the first pan step.
TEST(ShapeEffects, WhatTheLastFrameLeaves)
{
    const int W = 480, H = 336;
    for (auto [w, h] : std::vector<std::pair<int, int>>{{W, H}, {401, 289}, {300, 500}}) {
        EffectRun circle(31, w, h);
        circle.RunToEnd();
        EXPECT_TRUE(circle.ScreenEquals(circle.newPic)) << w << "x" << h;
    }
    EffectRun clock(67, W, H);
    clock.RunToEnd();
    EXPECT_EQ(clock.TagAt(W / 2 - 1, 0), kOldTag);
    EXPECT_EQ(clock.TagAt(W / 2 - 40, 0), kNewTag);
}

// ---------------------------------------------------------------------------

// Column pieces drawn as row spans must give exactly the pixels of one blit
// per column, in the order the pieces were given, including clipped and
// empty pieces, several pieces in one column and changing source offsets.
TEST(ShapeEffectColumnPieces, DrawLikeOneBlitPerColumn)
{
    std::mt19937 gen(7);
    for (int round = 0; round < 60; ++round) {
        const int W = 1 + int(gen() % 90), H = 1 + int(gen() % 70);
        Surface src, viaSpans, viaColumns;
        src.Create(W + int(gen() % 5), H + int(gen() % 5));
        PaintPattern(src, kNewTag);
        viaSpans.Create(W, H);
        viaColumns.Create(W, H);
        PaintPattern(viaSpans, kOldTag);
        PaintPattern(viaColumns, kOldTag);
        const int offsets = 1 + int(gen() % 3);
        {
            fx::ColumnPieces cols(viaSpans, src);
            const int n = int(gen() % 200);
            for (int k = 0; k < n; ++k) {
                auto pick = [&](int lo, int hi) { return lo + int(gen() % unsigned(hi - lo + 1)); };
                const int x = pick(-3, W + 2), y = pick(-H, H + 2), h = pick(-2, 2 * H);
                const int o = int(gen() % unsigned(offsets));
                const int sx = x + o, sy = y - 2 * o + (round % 3);
                cols.Add(x, y, h, sx, sy);
                BitBlt(viaColumns, x, y, 1, h, src, sx, sy);
            }
        }
        ASSERT_EQ(std::memcmp(viaSpans.DataPtr(), viaColumns.DataPtr(), size_t(viaSpans.RGBSize())), 0)
            << "round " << round << " " << W << "x" << H;
    }
}

}  // namespace
}  // namespace tamsel::testing
