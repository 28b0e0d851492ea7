#include "imaging/Blit.h"
#include "show/Effect.h"

#include <algorithm>
#include <initializer_list>

namespace tamsel {
namespace {

bool In(int e, std::initializer_list<int> set) { return std::find(set.begin(), set.end(), e) != set.end(); }

// Effects 1-4: the new picture blended onto the screen with a rising constant alpha.
StepOutcome CrossFade(EffectContext& c)
{
    if (!(c.st.P <= 255))
        return StepOutcome::Finished;
    AlphaBlendConst(c.screen, 0, 0, c.W, c.H, c.newPic, 0, 0, int(c.st.P));
    c.st.P += 2;
    return StepOutcome::Drew;
}

// Effects 5-6: random S x S blocks of the new picture.
StepOutcome RandomBlocks(EffectContext& c)
{
    if (!(c.st.P - 2 < c.W))
        return StepOutcome::Finished;
    const int S = c.st.S;
    const int count = 5000 / (S * S) + 1;
    for (int k = 0; k < count; ++k) {
        const int col = int(c.rng.Rnd() * float(c.W / S + 1));
        const int row = int(c.rng.Rnd() * float(c.H / S + 1));
        BitBlt(c.screen, S * col, S * row, S, S, c.newPic, S * col, S * row);
    }
    c.st.P += 2;
    return StepOutcome::Drew;
}

StepOutcome NoEffect(EffectContext&) { return StepOutcome::Finished; }

}  // namespace

EffectStart EffectStartValues(int e, int W, int H, int S)
{
    EffectStart s;
    s.known = true;
    auto set = [&](double p, double q, bool saves) {
        s.P = p;
        s.Q = q;
        s.saves = saves;
    };
    if (In(e, {1, 2, 3, 4})) set(0, 255, false);
    else if (In(e, {5, 6, 7, 12, 25, 27, 31, 32, 44, 45})) set(0, W, false);
    else if (In(e, {8, 13, 15, 16, 23, 24, 26, 42, 43, 61, 62})) set(0, H, false);
    else if (In(e, {9, 10, 30})) set(0, S, false);
    else if (In(e, {11, 39, 51})) set(0, W, true);
    else if (In(e, {14, 37, 38, 52})) set(0, H, true);
    else if (In(e, {17, 29})) set(W, 0, false);
    else if (In(e, {18, 40, 53, 60})) set(W, 0, true);
    else if (In(e, {19, 21, 22, 28})) set(H, 0, false);
    else if (In(e, {20, 54, 63, 64})) set(H, 0, true);
    else if (In(e, {33, 34, 35, 59, 65, 66})) set(0.1, 1.6, false);
    else if (e == 36) set(0, W / 2, false);
    else if (e == 41) set(0, 200, true);
    else if (In(e, {46, 55})) set(W / 2, 0, true);
    else if (e == 47) set(0, 0.4 * W, false);
    else if (e == 48) set(0.4 * W, 0, true);
    else if (e == 49) set(0, H / 2, false);
    else if (In(e, {50, 56, 70})) set(H / 2, 0, true);
    else if (e == 57) set(0, W / 2, true);
    else if (In(e, {58, 69})) set(0, H / 2, true);
    else if (In(e, {67, 68})) {
        set(0, 1.5708, false);
        s.resetsQuadrant = true;
    } else
        s.known = false;
    return s;
}

EffectStep EffectFor(int e)
{
    if (e >= 1 && e <= 4)
        return CrossFade;
    if (e == 5 || e == 6)
        return RandomBlocks;
    if (e == 255)
        return NoEffect;
    if (e < 7 || e > 70)
        return nullptr;
    if (EffectStep f = RectEffect(e))
        return f;
    return ShapeEffect(e);
}

}  // namespace tamsel
