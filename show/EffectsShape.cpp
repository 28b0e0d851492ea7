// Shape transitions built row by row (or column by column): circles about the
// centre, halves meeting along a wavy seam, triangles cut along a diagonal,
// and the mosaic handed to the pixel library. The "out" forms restart every
// frame from the new picture and lay the old one's shape on top.
#include "imaging/PelOps.h"
#include "show/EffectsShapeSpans.h"
#include "show/EffectsTable.h"

#include <cmath>

namespace tamsel::fx {
namespace {

using C = EffectContext;

// The circle of radius P about (W / 2, H / 2), integer halves, as row pieces of src, two per
// row index i: the chord P - i above the centre and the one as far below.
void CircleRows(C& c, const Surface& src, double P)
{
    const int cx = c.W / 2, m = c.H / 2;
    for (int i = 0; i <= P; ++i) {
        const int h = IntFloor(std::sqrt(i * (2 * P - i)) + 0.5);
        const int x = cx - h;
        const int y1 = Px(m - P + i), y2 = Px(m + P - i);
        BitBlt(c.screen, x, y1, 2 * h, 1, src, x, y1);
        BitBlt(c.screen, x, y2, 2 * h, 1, src, x, y2);
    }
}

// How far the wavy seam swings at row or column i.
double Wave(int i) { return 16.0 * std::sin(i / 16.0); }

// Left and right halves of src, P pixels of each in from its side, meeting
// along a vertical seam that swings with the row.
void WaveRows(C& c, const Surface& src, double P)
{
    const int cx = c.W / 2;
    for (int i = 0; i < c.H; ++i) {
        const double d = Wave(i);
        BitBlt(c.screen, 0, i, Px(P + d), 1, src, Px(cx - P), i);
        BitBlt(c.screen, Px(c.W - P + d), i, Px(P - d), 1, src, Px(cx + d), i);
    }
}

// Top and bottom halves of src, P pixels of each in from its edge, meeting
// along a horizontal seam that swings with the column. All top pieces come
// from the same offset, and so do all bottom pieces, so each set is drawn as
// row spans; the top set first, as each column draws its top piece first.
void WaveColumns(C& c, const Surface& src, double P)
{
    const int m = c.H / 2;
    {
        ColumnPieces top(c.screen, src);
        for (int i = 0; i < c.W; ++i)
            top.Add(i, 0, Px(P + Wave(i)), i, Px(m - P));
    }
    ColumnPieces bottom(c.screen, src);
    for (int i = 0; i < c.W; ++i) {
        const double d = Wave(i);
        bottom.Add(i, Px(c.H - P + d), Px(P - d), i, Px(m + d));
    }
}

// The two triangles of src on either side of a diagonal, each P rows in from
// its edge; w is the triangle's width at row i. Plain: the cut runs from the
// top-left to the bottom-right corner, the lower-left triangle comes from the
// bottom and the upper-right one from the top. Cross: the cut runs along the
// other diagonal, the upper-left triangle comes from the top and the
// lower-right one from the bottom.
void TriangleRows(C& c, const Surface& src, double P, bool cross)
{
    const int W = c.W, H = c.H;
    for (int i = 0; i <= P; ++i) {
        const double w = i * c.ShowAspect;
        const int right = Px(W - w), width = Px(w);
        if (!cross) {
            BitBlt(c.screen, 0, Px(H - P + i), width, 1, src, 0, i);
            BitBlt(c.screen, right, Px(P - i), width, 1, src, right, H - i);
        } else {
            BitBlt(c.screen, 0, Px(P - i), width, 1, src, 0, H - i);
            BitBlt(c.screen, right, Px(H - P + i), width, 1, src, right, i);
        }
    }
}

constexpr EffectRecord kRecords[] = {
    // 31, 32: a circle of the new picture opens from the centre until its
    // radius reaches W, beyond the half-diagonal of any photo area.
    {{31, 32}, Rise(kW, kT), 0, [](C& c, double P) { CircleRows(c, c.newPic, P); }},
    // 40, 60: the old picture remains inside a circle that shrinks to the centre.
    {{40, 60}, Fall(kW, kT), Saves | Restarts, [](C& c, double P) { CircleRows(c, c.oldPic, P); }},
    // 36, 46: the left and right halves of the new picture slide in and meet
    // along a wavy vertical seam; those of the old picture slide out.
    {{36}, Rise(kHalfW, kT), 0, [](C& c, double P) { WaveRows(c, c.newPic, P); }},
    {{46}, Fall(kHalfW, kT), Saves | Restarts, [](C& c, double P) { WaveRows(c, c.oldPic, P); }},
    // 49, 50: the same with the top and bottom halves and a horizontal seam.
    {{49}, Rise(kHalfH, kT), 0, [](C& c, double P) { WaveColumns(c, c.newPic, P); }},
    {{50}, Fall(kHalfH, kT), Saves | Restarts, [](C& c, double P) { WaveColumns(c, c.oldPic, P); }},
    // 61-64: the new picture's two triangles slide in along their diagonal,
    // or the old picture's slide out.
    {{61}, Rise(kH, kT), 0, [](C& c, double P) { TriangleRows(c, c.newPic, P, false); }},
    {{62}, Rise(kH, kT), 0, [](C& c, double P) { TriangleRows(c, c.newPic, P, true); }},
    {{63}, Fall(kH, kT), Saves | Restarts, [](C& c, double P) { TriangleRows(c, c.oldPic, P, false); }},
    {{64}, Fall(kH, kT), Saves | Restarts, [](C& c, double P) { TriangleRows(c, c.oldPic, P, true); }},
    // 41: the old picture breaks up into ever larger squares (edge 0, 4, ..., 96),
    // then the new one comes out of squares that shrink (100, 96, ..., 4).
    {{41}, Rise(K(200), kT), Saves, [](C& c, double P) {
         if (P < 100)
             PelMosaic(c.screen, 0, 0, c.W, c.H, c.oldPic, 0, 0, Px(P));
         else
             PelMosaic(c.screen, 0, 0, c.W, c.H, c.newPic, 0, 0, Px(200 - P));
     }},
};

}  // namespace

std::span<const EffectRecord> ShapeRecords() { return kRecords; }

}  // namespace tamsel::fx
