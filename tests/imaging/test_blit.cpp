#include "imaging/Blit.h"
#include "imaging/PelOps.h"
#include "platform/RowSplit.h"
#include "platform/VectorClones.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace tamsel;

namespace {

void Noise(Surface& s, uint32_t seed)
{
    std::mt19937 g(seed);
    for (int i = 0; i < s.RGBSize(); ++i)
        s.DataPtr()[i] = uint8_t(g());
}

void Fill(Surface& s, uint8_t b, uint8_t g, uint8_t r)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            uint8_t* p = s.RowPtr(y) + 3 * x;
            p[0] = b; p[1] = g; p[2] = r;
        }
}

const uint8_t* Px(const Surface& s, int x, int y) { return s.RowPtr(y) + 3 * x; }

bool SamePixel(const Surface& a, int ax, int ay, const Surface& b, int bx, int by)
{
    return std::memcmp(Px(a, ax, ay), Px(b, bx, by), 3) == 0;
}

}  // namespace

TEST(BitBlt, CopiesAndClipsToBothSurfaces)
{
    Surface src, dst;
    src.Create(10, 8);
    dst.Create(12, 6);
    Noise(src, 1);

    BitBlt(dst, -2, -1, 10, 8, src, 0, 0);
    // dst(x, y) shows src(x + 2, y + 1) where both exist.
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) {
            if (x + 2 < 10 && y + 1 < 8)
                EXPECT_TRUE(SamePixel(dst, x, y, src, x + 2, y + 1)) << x << "," << y;
            else
                EXPECT_EQ(Px(dst, x, y)[0] | Px(dst, x, y)[1] | Px(dst, x, y)[2], 0);
        }

    // A source rectangle reaching outside the source is cut, not wrapped.
    Surface d2;
    d2.Create(10, 8);
    BitBlt(d2, 0, 0, 10, 8, src, 6, -3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool copied = x < 4 && y >= 3;
            if (copied)
                EXPECT_TRUE(SamePixel(d2, x, y, src, x + 6, y - 3));
            else
                EXPECT_EQ(Px(d2, x, y)[0], 0);
        }

    // Zero and negative sizes draw nothing.
    Surface d3;
    d3.Create(10, 8);
    BitBlt(d3, 0, 0, 0, 8, src, 0, 0);
    BitBlt(d3, 0, 0, 5, -1, src, 0, 0);
    BitBlt(d3, 0, 0, -5, -5, src, 0, 0);
    for (int i = 0; i < d3.RGBSize(); ++i)
        ASSERT_EQ(d3.DataPtr()[i], 0);
}

TEST(BitBlt, OverlappingCopyWithinOneSurfaceReadsTheOldPixels)
{
    Surface s, ref;
    s.Create(16, 16);
    ref.Create(16, 16);
    Noise(s, 7);
    CopyWhole(ref, s);
    BitBlt(s, 2, 3, 10, 10, s, 0, 0);     // down and right
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_TRUE(SamePixel(s, x + 2, y + 3, ref, x, y));
    CopyWhole(s, ref);
    BitBlt(s, 0, 0, 10, 10, s, 3, 4);     // up and left
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_TRUE(SamePixel(s, x, y, ref, x + 3, y + 4));
}

TEST(StretchBlt, SameSizeIsAnExactCopy)
{
    Surface src, dst;
    src.Create(33, 21);
    dst.Create(33, 21);
    Noise(src, 3);
    StretchBlt(dst, 0, 0, 33, 21, src, 0, 0, 33, 21);
    for (int y = 0; y < 21; ++y)
        ASSERT_EQ(std::memcmp(dst.RowPtr(y), src.RowPtr(y), 33 * 3), 0) << y;
}

TEST(StretchBlt, ShrinkingAveragesTheCoveredArea)
{
    Surface src, dst;
    src.Create(4, 2);
    dst.Create(2, 1);
    // Left 2 x 2 block: values 0, 100, 40, 60 -> mean 50; right: all 200.
    const uint8_t v[2][4] = {{0, 100, 200, 200}, {40, 60, 200, 200}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            std::memset(src.RowPtr(y) + 3 * x, v[y][x], 3);
    StretchBlt(dst, 0, 0, 2, 1, src, 0, 0, 4, 2);
    EXPECT_EQ(Px(dst, 0, 0)[0], 50);
    EXPECT_EQ(Px(dst, 0, 0)[2], 50);
    EXPECT_EQ(Px(dst, 1, 0)[1], 200);

    // A uniform picture stays uniform at any ratio, both ways.
    Surface big, small;
    big.Create(6000 / 10, 4000 / 10);
    small.Create(54, 38);
    Fill(big, 17, 128, 250);
    StretchBlt(small, 0, 0, 54, 38, big, 0, 0, 600, 400);
    for (int y = 0; y < 38; ++y)
        for (int x = 0; x < 54; ++x) {
            ASSERT_EQ(Px(small, x, y)[0], 17);
            ASSERT_EQ(Px(small, x, y)[1], 128);
            ASSERT_EQ(Px(small, x, y)[2], 250);
        }
    Surface grown;
    grown.Create(190, 95);
    StretchBlt(grown, 0, 0, 190, 95, small, 0, 0, 54, 38);
    for (int y = 0; y < 95; ++y)
        for (int x = 0; x < 190; ++x)
            ASSERT_EQ(Px(grown, x, y)[1], 128);
}

TEST(StretchBlt, GrowingInterpolatesBetweenNeighbours)
{
    Surface src, dst;
    src.Create(2, 1);
    dst.Create(4, 1);
    std::memset(src.RowPtr(0), 0, 3);
    std::memset(src.RowPtr(0) + 3, 200, 3);
    StretchBlt(dst, 0, 0, 4, 1, src, 0, 0, 2, 1);
    // Centres at source 0, 0.25, 0.75, 1 (clamped ends).
    EXPECT_EQ(Px(dst, 0, 0)[0], 0);
    EXPECT_EQ(Px(dst, 1, 0)[0], 50);
    EXPECT_EQ(Px(dst, 2, 0)[0], 150);
    EXPECT_EQ(Px(dst, 3, 0)[0], 200);
}

TEST(StretchBlt, ClippingKeepsTheMapping)
{
    Surface src, whole, part;
    src.Create(50, 40);
    Noise(src, 9);
    whole.Create(70, 60);
    part.Create(70, 60);
    StretchBlt(whole, 0, 0, 70, 60, src, 0, 0, 50, 40);
    // The same stretch drawn shifted off the top-left edge shows the same pixels.
    StretchBlt(part, -13, -7, 70, 60, src, 0, 0, 50, 40);
    for (int y = 0; y < 53; ++y)
        for (int x = 0; x < 57; ++x)
            ASSERT_TRUE(SamePixel(part, x, y, whole, x + 13, y + 7)) << x << "," << y;

    // Zero or negative sizes draw nothing.
    Surface none;
    none.Create(10, 10);
    StretchBlt(none, 0, 0, -10, 10, src, 0, 0, 50, 40);
    StretchBlt(none, 0, 0, 10, 10, src, 0, 0, 0, 40);
    for (int i = 0; i < none.RGBSize(); ++i)
        ASSERT_EQ(none.DataPtr()[i], 0);
}

TEST(StretchBlt, WithinOneSurfaceAStretchReadsTheRowAsItWas)
{
    // Only the height changes and the row lies one pixel to the right of its
    // own source: the whole row moves, nothing is smeared along it.
    Surface s, ref;
    s.Create(40, 1);
    ref.Create(40, 1);
    Noise(s, 5);
    CopyWhole(ref, s);
    StretchBlt(s, 1, 0, 39, 2, s, 0, 0, 39, 1);
    for (int x = 1; x < 40; ++x)
        ASSERT_TRUE(SamePixel(s, x, 0, ref, x - 1, 0)) << x;
}

// Random stretches of every kind, each group's destination bytes hashed
// together and held against the hashes the halftone stretch has always given:
// any change in a single output byte, or a byte drawn outside the destination
// rectangle, shows. The groups aim at the different paths: same width (the
// vertical pass alone), one source row (the horizontal pass on the source
// bytes), both axes mixed (the horizontal pass on 16-bit rows), rectangles
// reaching outside either surface, and shrinks wide enough that one output
// pixel reads hundreds of source pixels.
TEST(StretchBlt, RandomStretchesKeepTheirBytes)
{
    enum Kind { Shrink, Grow, Mixed, SameWidth, SameHeight, Clipped, Wide };
    struct Group {
        const char* name;
        Kind kind;
        uint64_t hash;
    };
    const Group groups[] = {
        {"shrink", Shrink, 8291646650289806346ull},
        {"grow", Grow, 3009465468846488563ull},
        {"mixed", Mixed, 5478872432467325308ull},
        {"same width", SameWidth, 8368588364938335349ull},
        {"same height", SameHeight, 8747829011180186277ull},
        {"clipped", Clipped, 8767527620272378236ull},
        {"wide", Wide, 10558609877549210721ull},
    };
    std::mt19937 g(20240611);
    // The generator's raw output is the same in every library; its
    // distributions are not, so ranges are taken by remainder.
    const auto pick = [&g](int lo, int hi) { return lo + int(g() % uint32_t(hi - lo + 1)); };
    for (const Group& grp : groups) {
        uint64_t h = 0xcbf29ce484222325ull;
        for (int run = 0; run < 60; ++run) {
            const bool wide = grp.kind == Wide;
            Surface src, dst;
            src.Create(pick(1, wide ? 900 : 70), pick(1, wide ? 40 : 50));
            dst.Create(pick(1, 80), pick(1, 60));
            Noise(src, g());
            Noise(dst, g());
            int sx = 0, sy = 0, sw = src.Width(), sh = src.Height();
            if (!wide && pick(0, 1)) {
                sx = pick(0, sw - 1);
                sy = pick(0, sh - 1);
                sw = pick(1, sw - sx);
                sh = pick(1, sh - sy);
            }
            const auto shrink = [&](int s) { return pick(1, s); };
            const auto grow = [&](int s) { return pick(s, 3 * s + 2); };
            int dx = 0, dy = 0, dw = 0, dh = 0;
            switch (grp.kind) {
            case Shrink: dw = shrink(sw); dh = shrink(sh); break;
            case Grow: dw = grow(sw); dh = grow(sh); break;
            case Mixed:
                dw = pick(0, 1) ? shrink(sw) : grow(sw);
                dh = dw <= sw ? grow(sh) : shrink(sh);
                break;
            case SameWidth: dw = sw; dh = pick(0, 1) ? shrink(sh) : grow(sh); break;
            case SameHeight: dh = sh; dw = pick(0, 1) ? shrink(sw) : grow(sw); break;
            case Clipped:
                sx = pick(-sw, sw);
                sy = pick(-sh, sh);
                dw = pick(1, 2 * sw + 2);
                dh = pick(1, 2 * sh + 2);
                dx = pick(-dw, dst.Width());
                dy = pick(-dh, dst.Height());
                break;
            case Wide: dw = pick(1, 6); dh = pick(1, 3 * sh); break;
            }
            StretchBlt(dst, dx, dy, dw, dh, src, sx, sy, sw, sh);
            for (int y = 0; y < dst.Height(); ++y)
                for (int i = 0; i < 3 * dst.Width(); ++i)
                    h = (h ^ dst.RowPtr(y)[i]) * 0x100000001b3ull;
        }
        EXPECT_EQ(h, grp.hash) << grp.name;
    }
}

// The AVX2 kernels against the portable loops, on rows wide enough for many
// blocks of the horizontal pass: the zoom's mild shrink (a few pixels reading
// three source pixels), growths, stronger shrinks, rows read straight from
// the source (same height), columns mixed without a horizontal pass (same
// width), and rectangles reaching the source's right and
// bottom edges, where the vector loads must stop short.
TEST(StretchBlt, VectorKernelsDrawWhatThePortableLoopsDraw)
{
#if TAMSEL_AVX2_KERNELS
    if (!HasAvx2())
        GTEST_SKIP() << "no AVX2 here";
    enum Kind { Zoom, Grow, Shrink, SameHeight, SameWidth, AtEdge };
    std::mt19937 g(77);
    const auto pick = [&g](int lo, int hi) { return lo + int(g() % uint32_t(hi - lo + 1)); };
    for (const Kind kind : {Zoom, Grow, Shrink, SameHeight, SameWidth, AtEdge}) {
        for (int run = 0; run < 12; ++run) {
            Surface src, fast, slow;
            src.Create(pick(20, 700), pick(4, 40));
            Noise(src, g());
            const int sw = src.Width(), sh = src.Height();
            int sx = 0, sy = 0, dw = 0, dh = 0;
            switch (kind) {
            case Zoom: dw = sw - pick(1, sw / 12 + 1); dh = sh - pick(0, sh / 12 + 1); break;
            case Grow: dw = pick(sw + 1, 3 * sw); dh = pick(sh, 2 * sh); break;
            case Shrink: dw = pick(1, sw - 1); dh = pick(1, sh); break;
            case SameHeight: dw = pick(sw / 2 + 1, 2 * sw); dh = sh; break;
            case SameWidth: dw = sw; dh = pick(1, 3 * sh); break;
            case AtEdge:
                sx = pick(0, sw / 2);
                sy = pick(0, sh / 2);
                dw = pick(1, 2 * (sw - sx));
                dh = pick(1, 2 * (sh - sy));
                break;
            }
            fast.Create(dw, dh);
            slow.Create(dw, dh);
            StretchBlt(fast, 0, 0, dw, dh, src, sx, sy, sw - sx, sh - sy);
            Avx2KernelsOff() = true;
            StretchBlt(slow, 0, 0, dw, dh, src, sx, sy, sw - sx, sh - sy);
            Avx2KernelsOff() = false;
            ASSERT_EQ(std::memcmp(fast.DataPtr(), slow.DataPtr(), size_t(fast.RGBSize())), 0)
                << "kind " << kind << ", " << sw << "x" << sh << " from " << sx << "," << sy
                << " to " << dw << "x" << dh;
        }
    }
#else
    GTEST_SKIP() << "no AVX2 kernels in this build";
#endif
}

TEST(AlphaBlendConst, MixesByTheConstantAlpha)
{
    Surface dst, src;
    dst.Create(3, 1);
    src.Create(3, 1);
    Fill(dst, 0, 100, 255);
    Fill(src, 255, 200, 0);
    AlphaBlendConst(dst, 0, 0, 1, 1, src, 0, 0, 0);
    EXPECT_EQ(Px(dst, 0, 0)[1], 100);
    AlphaBlendConst(dst, 1, 0, 1, 1, src, 1, 0, 255);
    EXPECT_EQ(Px(dst, 1, 0)[0], 255);
    EXPECT_EQ(Px(dst, 1, 0)[1], 200);
    EXPECT_EQ(Px(dst, 1, 0)[2], 0);
    AlphaBlendConst(dst, 2, 0, 5, 5, src, 2, 0, 128);
    EXPECT_EQ(Px(dst, 2, 0)[0], 128);   // 255 * 128 / 255
    EXPECT_EQ(Px(dst, 2, 0)[1], 150);   // (200 * 128 + 100 * 127) / 255 = 150.2
    EXPECT_EQ(Px(dst, 2, 0)[2], 127);   // 255 * 127 / 255
}

// Large pictures are drawn in bands of rows on two threads; every operation
// must give the bytes it gives on one thread, including the squeezes that keep
// one side and the pan's mild shrink.
TEST(StretchBlt, BandsOnTwoThreadsDrawWhatOneThreadDraws)
{
    Surface src, old;
    src.Create(1300, 900);
    old.Create(1280, 880);
    Noise(src, 5);
    Noise(old, 6);
    const auto draw = [&](Surface& out) {
        out.Create(1280, 880);
        CopyWhole(out, old);
        StretchBlt(out, 0, 0, 1280, 880, src, 7, 3, 1293, 897);    // the pan's zoom
        StretchBlt(out, 0, 0, 300, 900, src, 0, 0, 1300, 900);     // squeeze, same height
        StretchBlt(out, 400, 10, 1300, 700, src, 0, 0, 1300, 900); // squeeze, same width
        StretchBlt(out, -20, 0, 1500, 1000, src, 0, 0, 1300, 900); // growth
        AlphaBlendConst(out, 0, 0, 1280, 880, src, 3, 1, 77);
        BitBlt(out, 5, 9, 1200, 860, src, 0, 2);
        PelMosaic(out, 300, 0, 980, 880, src, 11, 5, 7);
    };
    Surface banded, single;
    draw(banded);
    RowBandsOff() = true;
    draw(single);
    RowBandsOff() = false;
    EXPECT_EQ(std::memcmp(banded.DataPtr(), single.DataPtr(), size_t(single.RGBSize())), 0);
}

// The pan's stretch copies each finished row into the screen as it goes: both
// surfaces must end as a stretch and then a whole copy leave them, whether the
// stretch covers the destination or not.
TEST(StretchBlt, MirroredStretchLeavesWhatAStretchAndACopyLeave)
{
    Surface src;
    src.Create(1000, 700);
    Noise(src, 8);
    for (const int w : {960, 400}) {
        Surface a, aMirror, b, bMirror;
        for (Surface* s : {&a, &aMirror, &b, &bMirror}) {
            s->Create(960, 680);
            Noise(*s, 9);
        }
        StretchBltMirrored(a, aMirror, 0, 0, w, 680, src, 13, 7, 980, 690);
        StretchBlt(b, 0, 0, w, 680, src, 13, 7, 980, 690);
        CopyWhole(bMirror, b);
        EXPECT_EQ(std::memcmp(a.DataPtr(), b.DataPtr(), size_t(b.RGBSize())), 0) << w;
        EXPECT_EQ(std::memcmp(aMirror.DataPtr(), bMirror.DataPtr(), size_t(b.RGBSize())), 0) << w;
    }
}
