// Slides, pushes and wipes: one or two rectangles per frame whose edge moves
// by WipeStep pixels. A slide moves the new picture itself, a wipe uncovers it
// in place, a push also shifts the saved old picture out of the way.
#include "show/EffectsRectSteps.h"

#include <cstdint>

namespace tamsel::rect {
namespace {

constexpr StepOutcome kDone = StepOutcome::Finished;
constexpr StepOutcome kDrew = StepOutcome::Drew;

// (a * b) \ d without overflow on large photo areas.
int MulDiv(int a, int b, int d) { return int(int64_t(a) * b / d); }

}  // namespace

StepOutcome PushFromLeft(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return kDone;
    const double P = c.st.P;
    Copy(c, P, 0, c.W - P, c.H, c.oldPic, 0, 0);
    Copy(c, 0, 0, P, c.H, c.newPic, 0, 0);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SlideFromLeft(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, 0, P, c.H, c.newPic, c.W - P, 0);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SlideFromTop(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, 0, c.W, P, c.newPic, 0, c.H - P);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome PushFromTop(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, P, c.W, c.H - P, c.oldPic, 0, 0);
    Copy(c, 0, 0, c.W, P, c.newPic, 0, 0);
    c.st.P += c.T;
    return kDrew;
}

// The diagonal slides keep the moving corner on the screen's diagonal: the
// width shown grows in proportion to the height shown.
StepOutcome SlideFromTopLeft(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const int P = Px(c.st.P);
    const int w = MulDiv(c.W, P, c.H);
    BitBlt(c.screen, 0, 0, w, P, c.newPic, c.W - w, c.H - P);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SlideFromTopRight(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    const int P = Px(c.st.P);
    const int w = MulDiv(c.W, P, c.H);
    BitBlt(c.screen, c.W - w, 0, w, P, c.newPic, 0, c.H - P);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome SlideFromRight(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Copy(c, P, 0, c.W - P, c.H, c.newPic, 0, 0);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome PushFromRight(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, 0, P, c.H, c.oldPic, c.W - P, 0);
    Copy(c, P, 0, c.W - P, c.H, c.newPic, P, 0);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome SlideFromBottom(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, P, c.W, c.H - P, c.newPic, 0, 0);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome PushFromBottom(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, 0, c.W, P, c.oldPic, 0, c.H - P);
    Copy(c, 0, P, c.W, c.H - P, c.newPic, 0, P);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome SlideFromBottomLeft(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const int P = Px(c.st.P);
    const int w = MulDiv(c.H - P, c.W, c.H);
    BitBlt(c.screen, 0, P, w, c.H - P, c.newPic, c.W - w, 0);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome SlideFromBottomRight(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const int P = Px(c.st.P);
    const int x = MulDiv(c.W, P, c.H);
    BitBlt(c.screen, x, P, c.W - x, c.H - P, c.newPic, 0, 0);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome WipeDown(EffectContext& c)
{
    if (!(c.st.P < c.H))
        return kDone;
    Copy(c, 0, 0, c.W, c.st.P, c.newPic, 0, 0);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome WipeRight(EffectContext& c)
{
    if (!(c.st.P < c.W))
        return kDone;
    Copy(c, 0, 0, c.st.P, c.H, c.newPic, 0, 0);
    c.st.P += c.T;
    return kDrew;
}

StepOutcome WipeUp(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Copy(c, 0, P, c.W, c.H - P, c.newPic, 0, P);
    c.st.P -= c.T;
    return kDrew;
}

StepOutcome WipeLeft(EffectContext& c)
{
    if (!(c.st.P > 0))
        return kDone;
    const double P = c.st.P;
    Copy(c, P, 0, c.W - P, c.H, c.newPic, P, 0);
    c.st.P -= c.T;
    return kDrew;
}

}  // namespace tamsel::rect
