// Effects that move or resize whole pictures: the old picture cropped toward
// the centre, the pinwheel of four blocks, the squeezes (halftone stretches of
// a whole picture into a shrinking or growing rectangle) and the quadrants.
// Where the old picture goes away, each frame starts again from the full new
// picture and lays what is left of the old one on top.
#include "show/EffectsRectSteps.h"

#include <algorithm>

namespace tamsel::rect {
namespace {

constexpr StepOutcome kDone = StepOutcome::Finished;
constexpr StepOutcome kDrew = StepOutcome::Drew;

void RestartFromNew(EffectContext& c) { CopyWhole(c.screen, c.newPic); }

// The pinwheel's four blocks around an uncovered centre: top-left b x v at
// (0, 0), top-right a x u at (b, 0), bottom-right b x v at (a, u), bottom-left
// a x u at (0, v). The centre from (a, v) to (b, u) is left to the first pan step.
struct Pinwheel {
    double a, b;
    int v, u;
};

Pinwheel PinwheelOf(const EffectContext& c)
{
    const double a = 0.4 * c.W;
    const int v = Px(0.4 * c.H);
    return Pinwheel{a, c.W - a, v, c.H - v};
}

int ScreenWidth(const EffectContext& c) { return c.screen.Width(); }
int ScreenHeight(const EffectContext& c) { return c.screen.Height(); }

}  // namespace

StepOutcome CropToCentre(EffectContext& c)
{
    if (!(c.st.P < c.H / 2))
        return kDone;
    const double P = c.st.P;
    RestartFromNew(c);
    Copy(c, P, P, c.W - 2 * P, c.H - 2 * P, c.oldPic, P, P);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome CropToHorizontalLine(EffectContext& c)
{
    if (!(c.st.P < c.H / 2))
        return kDone;
    const double P = c.st.P;
    RestartFromNew(c);
    Copy(c, 0, P, c.W, c.H - 2 * P, c.oldPic, 0, P);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome CropToVerticalLine(EffectContext& c)
{
    if (!(c.st.P < c.W / 2))
        return kDone;
    const double P = c.st.P;
    RestartFromNew(c);
    Copy(c, P, 0, c.W - 2 * P, c.H, c.oldPic, P, 0);
    c.st.P += c.T;
    return kDrew;
}

// The top-left and bottom-right blocks slide in vertically and stop once in
// place; the other two slide in sideways until the effect ends. The vertical
// pair is never drawn further than v: P steps by 2, and with an odd v one more
// step would lift the source above the picture and leave both blocks a row
// out of place for the rest of the effect.
StepOutcome PinwheelIn(EffectContext& c)
{
    const Pinwheel pw = PinwheelOf(c);
    if (!(c.st.P < pw.a))
        return kDone;
    const double P = c.st.P;
    if (P - 2 < pw.v) {
        const double d = std::min(P, double(pw.v));
        Copy(c, 0, 0, pw.b, d, c.newPic, 0, pw.v - d);
        Copy(c, pw.a, c.H - d, pw.b, d, c.newPic, pw.a, pw.u);
    }
    Copy(c, 0, pw.v, P, pw.u, c.newPic, pw.a - P, pw.v);
    Copy(c, c.W - P, 0, P, pw.u, c.newPic, pw.b, 0);
    c.st.P += 2;
    return kDrew;
}

// The old picture's blocks leave the way the new ones came in with PinwheelIn.
StepOutcome PinwheelOut(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const Pinwheel pw = PinwheelOf(c);
    const double P = c.st.P, t = pw.a - P;
    RestartFromNew(c);
    Copy(c, 0, 0, pw.b, pw.v - t, c.oldPic, 0, t);
    Copy(c, pw.a, t + pw.u, pw.b, pw.v - t, c.oldPic, pw.a, pw.u);
    Copy(c, 0, pw.v, P, pw.u, c.oldPic, t, pw.v);
    Copy(c, c.W - P, 0, P, pw.u, c.oldPic, pw.b, 0);
    c.st.P -= 2;
    return kDrew;
}

StepOutcome SqueezeFromLeft(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return kDone;
    const double P = c.st.P;
    Squeeze(c, 0, 0, P, ScreenHeight(c), c.newPic);
    Squeeze(c, P, 0, c.W - P, ScreenHeight(c), c.oldPic);
    c.st.P += 2 * c.T;
    return kDrew;
}

StepOutcome SqueezeFromTop(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const double P = c.st.P;
    Squeeze(c, 0, 0, ScreenWidth(c), P, c.newPic);
    Squeeze(c, 0, P, ScreenWidth(c), c.H - P, c.oldPic);
    c.st.P += 2 * c.T;
    return kDrew;
}

StepOutcome SqueezeFromRight(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Squeeze(c, P, 0, c.W - P, ScreenHeight(c), c.newPic);
    Squeeze(c, 0, 0, P, ScreenHeight(c), c.oldPic);
    c.st.P -= 2 * c.T;
    return kDrew;
}

StepOutcome SqueezeFromBottom(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Squeeze(c, 0, P, ScreenWidth(c), c.H - P, c.newPic);
    Squeeze(c, 0, 0, ScreenWidth(c), P, c.oldPic);
    c.st.P -= 2 * c.T;
    return kDrew;
}

StepOutcome GrowFromVerticalLine(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Squeeze(c, P, 0, c.W - 2 * P, ScreenHeight(c), c.newPic);
    c.st.P -= 2 * c.T;
    return kDrew;
}

StepOutcome GrowFromHorizontalLine(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Squeeze(c, 0, P, ScreenWidth(c), c.H - 2 * P, c.newPic);
    c.st.P -= 2 * c.T;
    return kDrew;
}

StepOutcome ShrinkToVerticalLine(EffectContext& c)
{
    if (!(c.st.P < c.W / 2))
        return kDone;
    const double P = c.st.P;
    RestartFromNew(c);
    Squeeze(c, P, 0, c.W - 2 * P, ScreenHeight(c), c.oldPic);
    c.st.P += 2 * c.T;
    return kDrew;
}

StepOutcome ShrinkToHorizontalLine(EffectContext& c)
{
    if (!(c.st.P < c.H / 2))
        return kDone;
    const double P = c.st.P;
    RestartFromNew(c);
    Squeeze(c, 0, P, ScreenWidth(c), c.H - 2 * P, c.oldPic);
    c.st.P += 2 * c.T;
    return kDrew;
}

// The old picture's quadrants each move one pixel diagonally toward the
// centre per frame, cut off where they cross the centre lines.
StepOutcome QuadrantsIn(EffectContext& c)
{
    if (!(c.st.P < c.st.Q))
        return kDone;
    const int P = Px(c.st.P), Q = Px(c.st.Q);
    const int cx = c.W / 2, m = c.H / 2;
    const int w = cx - P, h = Q - P;
    RestartFromNew(c);
    BitBlt(c.screen, P, P, w, h, c.oldPic, 0, 0);
    BitBlt(c.screen, cx, P, w, h, c.oldPic, cx + P, 0);
    BitBlt(c.screen, P, m, w, h, c.oldPic, 0, m + P);
    BitBlt(c.screen, cx, m, w, h, c.oldPic, cx + P, m + P);
    c.st.P += 1;
    return kDrew;
}

// The new picture's quadrants come out of the centre and move to their corners.
StepOutcome QuadrantsOut(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const int P = Px(c.st.P);
    const int cx = c.W / 2, m = c.H / 2;
    const int w = cx - P, h = m - P;
    BitBlt(c.screen, P, P, w, h, c.newPic, 0, 0);
    BitBlt(c.screen, cx, P, w, h, c.newPic, cx + P, 0);
    BitBlt(c.screen, P, m, w, h, c.newPic, 0, m + P);
    BitBlt(c.screen, cx, m, w, h, c.newPic, cx + P, m + P);
    c.st.P -= 1;
    return kDrew;
}

}  // namespace tamsel::rect
