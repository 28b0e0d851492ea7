// Two parts of a picture sliding in from opposite sides, or out again: halves
// that meet along a wavy seam, and triangles cut along a diagonal.
#include "imaging/Blit.h"
#include "show/EffectsShapeSpans.h"
#include "show/EffectsShapeSteps.h"

#include <cmath>

namespace tamsel::shapefx {
namespace {

// How far the seam swings at row or column i.
double Wave(int i) { return 16.0 * std::sin(i / 16.0); }

// Left and right halves of src, P pixels of each in from its side, meeting
// along a vertical seam that swings with the row.
void WaveRows(CLSDIB& screen, const CLSDIB& src, int W, int H, double P)
{
    const int c = W / 2;
    for (int i = 0; i < H; ++i) {
        const double d = Wave(i);
        BitBlt(screen, 0, i, Px(P + d), 1, src, Px(c - P), i);
        BitBlt(screen, Px(W - P + d), i, Px(P - d), 1, src, Px(c + d), i);
    }
}

// Top and bottom halves of src, P pixels of each in from its edge, meeting
// along a horizontal seam that swings with the column. All top pieces come
// from the same offset, and so do all bottom pieces, so each set is drawn as
// row spans; the top set first, as each column draws its top piece first.
void WaveColumns(CLSDIB& screen, const CLSDIB& src, int W, int H, double P)
{
    const int m = H / 2;
    {
        ColumnPieces top(screen, src);
        for (int i = 0; i < W; ++i)
            top.Add(i, 0, Px(P + Wave(i)), i, Px(m - P));
    }
    ColumnPieces bottom(screen, src);
    for (int i = 0; i < W; ++i) {
        const double d = Wave(i);
        bottom.Add(i, Px(H - P + d), Px(P - d), i, Px(m + d));
    }
}

// The two triangles of src on either side of a diagonal, each P rows in from
// its edge; w is the triangle's width at row i. Plain: the cut runs from the
// top-left to the bottom-right corner, the lower-left triangle comes from the
// bottom and the upper-right one from the top. Cross: the cut runs along the
// other diagonal, the upper-left triangle comes from the top and the
// lower-right one from the bottom.
void TriangleRows(CLSDIB& screen, const CLSDIB& src, int W, int H, double R, double P, bool cross)
{
    for (int i = 0; i <= P; ++i) {
        const double w = i * R;
        const int right = Px(W - w), width = Px(w);
        if (!cross) {
            BitBlt(screen, 0, Px(H - P + i), width, 1, src, 0, i);
            BitBlt(screen, right, Px(P - i), width, 1, src, right, H - i);
        } else {
            BitBlt(screen, 0, Px(P - i), width, 1, src, 0, H - i);
            BitBlt(screen, right, Px(H - P + i), width, 1, src, right, i);
        }
    }
}

}  // namespace

StepOutcome WaveHalvesIn(EffectContext& c)
{
    if (!(c.st.P < c.W / 2))
        return StepOutcome::Finished;
    WaveRows(c.screen, c.newPic, c.W, c.H, c.st.P);
    c.st.P += c.T;
    return StepOutcome::Drew;
}

StepOutcome WaveHalvesOut(EffectContext& c)
{
    if (!(c.st.P > 0))
        return StepOutcome::Finished;
    CopyWhole(c.screen, c.newPic);
    WaveRows(c.screen, c.oldPic, c.W, c.H, c.st.P);
    c.st.P -= c.T;
    return StepOutcome::Drew;
}

StepOutcome WaveBandsIn(EffectContext& c)
{
    if (!(c.st.P < c.H / 2))
        return StepOutcome::Finished;
    WaveColumns(c.screen, c.newPic, c.W, c.H, c.st.P);
    c.st.P += c.T;
    return StepOutcome::Drew;
}

StepOutcome WaveBandsOut(EffectContext& c)
{
    if (!(c.st.P > 0))
        return StepOutcome::Finished;
    CopyWhole(c.screen, c.newPic);
    WaveColumns(c.screen, c.oldPic, c.W, c.H, c.st.P);
    c.st.P -= c.T;
    return StepOutcome::Drew;
}

StepOutcome TrianglesIn(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return StepOutcome::Finished;
    TriangleRows(c.screen, c.newPic, c.W, c.H, c.ShowAspect, c.st.P, false);
    c.st.P += c.T;
    return StepOutcome::Drew;
}

StepOutcome TrianglesCrossIn(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return StepOutcome::Finished;
    TriangleRows(c.screen, c.newPic, c.W, c.H, c.ShowAspect, c.st.P, true);
    c.st.P += c.T;
    return StepOutcome::Drew;
}

StepOutcome TrianglesOut(EffectContext& c)
{
    if (!(c.st.P > 0))
        return StepOutcome::Finished;
    CopyWhole(c.screen, c.newPic);
    TriangleRows(c.screen, c.oldPic, c.W, c.H, c.ShowAspect, c.st.P, false);
    c.st.P -= c.T;
    return StepOutcome::Drew;
}

StepOutcome TrianglesCrossOut(EffectContext& c)
{
    if (!(c.st.P > 0))
        return StepOutcome::Finished;
    CopyWhole(c.screen, c.newPic);
    TriangleRows(c.screen, c.oldPic, c.W, c.H, c.ShowAspect, c.st.P, true);
    c.st.P -= c.T;
    return StepOutcome::Drew;
}

}  // namespace tamsel::shapefx
