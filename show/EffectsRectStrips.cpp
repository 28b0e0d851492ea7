// Effects that reveal the new picture in many strips at once (interleaved
// strips, blinds, the lattice), from the centre outwards (boxes and bands), or
// in two halves going opposite ways (split wipes).
#include "show/EffectsRectSteps.h"

#include <algorithm>

namespace tamsel::rect {
namespace {

constexpr StepOutcome kDone = StepOutcome::Finished;
constexpr StepOutcome kDrew = StepOutcome::Drew;

// TransBlock is drawn from 8..32 for every photo; never let a bad value turn
// the strip loops into endless ones or a division by zero.
int StripSize(const EffectContext& c) { return std::max(1, c.st.S); }

// Box geometry shared by the centre effects. The box starts as a line of
// width r (what the limit leaves over a whole number of double steps) and
// grows by one step on every side per frame, so its margin m is the same on
// all four sides and it reaches every edge in the same frame.
struct CentreBox {
    int k, r, m;
};

CentreBox CentreBoxOf(const EffectContext& c)
{
    const int limit = Px(c.st.Q);
    const int twoT = 2 * c.T;
    const int k = limit / twoT;
    return CentreBox{k, limit % twoT, c.T * k - Px(c.st.P)};
}

}  // namespace

StepOutcome InterleavedRows(EffectContext& c)
{
    if (!(c.st.P <= c.W))
        return kDone;
    const int S = StripSize(c), P = Px(c.st.P);
    const int N = c.H / S;
    for (int i = 0; i <= N / 2; ++i) {
        const int even = 2 * i * S, odd = (2 * i + 1) * S;
        BitBlt(c.screen, 0, even, P, S, c.newPic, c.W - P, even);
        BitBlt(c.screen, c.W - P, odd, P, S, c.newPic, 0, odd);
    }
    c.st.P += c.T;
    return kDrew;
}

StepOutcome InterleavedColumns(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const int S = StripSize(c), P = Px(c.st.P);
    const int N = c.W / S;
    for (int i = 0; i <= N / 2; ++i) {
        const int even = 2 * i * S, odd = (2 * i + 1) * S;
        BitBlt(c.screen, even, 0, S, P, c.newPic, even, c.H - P);
        BitBlt(c.screen, odd, c.H - P, S, P, c.newPic, odd, 0);
    }
    c.st.P += c.T;
    return kDrew;
}

StepOutcome BlindsDown(EffectContext& c)
{
    if (!(c.st.P < c.st.S))
        return kDone;
    const int S = StripSize(c), P = Px(c.st.P);
    const int N = c.H / S;
    for (int i = 0; i <= N + 1; ++i)
        BitBlt(c.screen, 0, i * S, c.W, P, c.newPic, 0, i * S);
    c.st.P += 1;
    return kDrew;
}

StepOutcome BlindsRight(EffectContext& c)
{
    if (!(c.st.P < c.st.S))
        return kDone;
    const int S = StripSize(c), P = Px(c.st.P);
    const int N = c.W / S;
    for (int i = 0; i <= N + 1; ++i)
        BitBlt(c.screen, i * S, 0, P, c.H, c.newPic, i * S, 0);
    c.st.P += 1;
    return kDrew;
}

// Horizontal and vertical blinds together. The frame is drawn in two halves
// 10 ms apart, even strips first, so the lattice visibly fills in two beats;
// the engine keeps the pause and calls again with phase 1 for the odd strips.
StepOutcome LatticeBlinds(EffectContext& c)
{
    if (!(c.st.P < c.st.S))
        return kDone;
    const int S = StripSize(c), P = Px(c.st.P);
    const bool oddHalf = c.st.phase != 0;
    for (int y = oddHalf ? S : 0; y < c.H; y += 2 * S)
        BitBlt(c.screen, 0, y, c.W, P, c.newPic, 0, y);
    for (int x = oddHalf ? S : 0; x < c.W; x += 2 * S)
        BitBlt(c.screen, x, 0, P, c.H, c.newPic, x, 0);
    if (!oddHalf)
        return StepOutcome::DrewPart;
    c.st.P += 1;
    return kDrew;
}

StepOutcome BoxFromCentreLine(EffectContext& c)
{
    if (!(c.st.P < c.H / 2))
        return kDone;
    const int P = Px(c.st.P);
    const CentreBox b = CentreBoxOf(c);
    BitBlt(c.screen, b.m, b.m, c.W - 2 * c.T * b.k + 2 * P, b.r + 2 * P, c.newPic, b.m, b.m);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome BandFromHorizontalLine(EffectContext& c)
{
    if (!(c.st.P < c.H / 2))
        return kDone;
    const int P = Px(c.st.P);
    const CentreBox b = CentreBoxOf(c);
    BitBlt(c.screen, 0, b.m, c.W, b.r + 2 * P, c.newPic, 0, b.m);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome BandFromVerticalLine(EffectContext& c)
{
    if (!(c.st.P < c.W / 2))
        return kDone;
    const int P = Px(c.st.P);
    const CentreBox b = CentreBoxOf(c);
    BitBlt(c.screen, b.m, 0, b.r + 2 * P, c.H, c.newPic, b.m, 0);
    c.st.P += c.T;
    return kDrew;
}

// The split wipes cut the area at real halves, each rounded on its own: at an
// odd size the two halves may miss the middle line, which the first pan step
// fills.
StepOutcome SplitDownUp(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const double P = c.st.P, half = c.W / 2.0, rest = c.W - c.W / 2.0;
    Copy(c, 0, 0, half, P, c.newPic, 0, 0);
    Copy(c, half, c.H - P, rest, P, c.newPic, half, c.H - P);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SplitUpDown(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const double P = c.st.P, half = c.W / 2.0, rest = c.W - c.W / 2.0;
    Copy(c, 0, c.H - P, half, P, c.newPic, 0, c.H - P);
    Copy(c, half, 0, rest, P, c.newPic, half, 0);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SplitRightLeft(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return kDone;
    const double P = c.st.P, half = c.H / 2.0, top = c.H - c.H / 2.0;
    Copy(c, 0, 0, P, half, c.newPic, 0, 0);
    Copy(c, c.W - P, top, P, half, c.newPic, c.W - P, top);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SplitLeftRight(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return kDone;
    const double P = c.st.P, half = c.H / 2.0, top = c.H - c.H / 2.0;
    Copy(c, c.W - P, 0, P, half, c.newPic, c.W - P, 0);
    Copy(c, 0, top, P, half, c.newPic, 0, top);
    c.st.P += c.T;
    return kDrew;
}

}  // namespace tamsel::rect
