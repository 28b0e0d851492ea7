#include "imaging/Blit.h"
#include "imaging/PelOps.h"
#include "show/Effect.h"
#include "show/EffectsShapeSpans.h"
#include "show/EffectsShapeSteps.h"

#include <cmath>

namespace tamsel {
namespace shapefx {
namespace {

// The circle of radius P about (W \ 2, H \ 2) as row pieces of src, two per
// row index i: the chord P - i above the centre and the one as far below.
void CircleRows(CLSDIB& screen, const CLSDIB& src, int W, int H, double P)
{
    const int c = W / 2, m = H / 2;
    for (int i = 0; i <= P; ++i) {
        const int h = IntFloor(std::sqrt(i * (2 * P - i)) + 0.5);
        const int x = c - h;
        const int y1 = Px(m - P + i), y2 = Px(m + P - i);
        BitBlt(screen, x, y1, 2 * h, 1, src, x, y1);
        BitBlt(screen, x, y2, 2 * h, 1, src, x, y2);
    }
}

}  // namespace

// The new picture inside a circle that grows until its radius reaches W.
StepOutcome CircleOpens(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return StepOutcome::Finished;
    CircleRows(c.screen, c.newPic, c.W, c.H, c.st.P);
    c.st.P += c.T;
    return StepOutcome::Drew;
}

// The old picture inside a circle that shrinks to the centre.
StepOutcome CircleCloses(EffectContext& c)
{
    if (!(c.st.P > 0))
        return StepOutcome::Finished;
    CopyWhole(c.screen, c.newPic);
    CircleRows(c.screen, c.oldPic, c.W, c.H, c.st.P);
    c.st.P -= c.T;
    return StepOutcome::Drew;
}

// The old picture breaks up into ever larger squares (edge 0, 4, ..., 96),
// then the new picture comes out of squares that shrink (100, 96, ..., 4).
StepOutcome Mosaic(EffectContext& c)
{
    if (!(c.st.P < 200))
        return StepOutcome::Finished;
    if (c.st.P < 100)
        PelMosaic(c.screen, 0, 0, c.W, c.H, c.oldPic, 0, 0, Px(c.st.P), 0, 0);
    else
        PelMosaic(c.screen, 0, 0, c.W, c.H, c.newPic, 0, 0, Px(200 - c.st.P), 0, 0);
    c.st.P += c.T;
    return StepOutcome::Drew;
}

}  // namespace shapefx

EffectStep ShapeEffect(int effect)
{
    using namespace shapefx;
    switch (effect) {
    case 31: case 32: return CircleOpens;
    case 33: return SweepBottomLeftUp;
    case 34: return SweepBottomLeftDown;
    case 35: case 59: return Windmill;
    case 36: return WaveHalvesIn;
    case 40: case 60: return CircleCloses;
    case 41: return Mosaic;
    case 46: return WaveHalvesOut;
    case 49: return WaveBandsIn;
    case 50: return WaveBandsOut;
    case 61: return TrianglesIn;
    case 62: return TrianglesCrossIn;
    case 63: return TrianglesOut;
    case 64: return TrianglesCrossOut;
    case 65: return SweepBottomRightUp;
    case 66: return SweepBottomRightDown;
    case 67: case 68: return Clock;
    default: return nullptr;
    }
}

}  // namespace tamsel
