// The effect catalogue: number -> record, the start values taken at load, and
// the driver that runs every record one frame per call.
#include "show/EffectsTable.h"

#include <array>

namespace tamsel {
namespace fx {
namespace {

constexpr EffectRecord kEngineRecords[] = {
    // 1-4, the cross-fade: the new picture blended onto the screen with a
    // constant alpha of P; each frame blends onto the last (0, 2, ..., 254).
    {{1, 2, 3, 4}, RiseTo(K(255), K(2)), 0, [](EffectContext& c, double P) {
         AlphaBlendConst(c.screen, 0, 0, c.W, c.H, c.newPic, 0, 0, int(P));
     }},
    // 5, 6: random S x S blocks of the new picture, about 5000 pixels a frame;
    // the run goes on while P - 2 < W.
    {{5, 6}, Rise(kW + 2, K(2), kW), 0, [](EffectContext& c, double) {
         const int S = StripSize(c);
         for (int k = 0; k < 5000 / (S * S) + 1; ++k) {
             const int col = int(c.rng.Rnd() * float(c.W / S + 1));
             const int row = int(c.rng.Rnd() * float(c.H / S + 1));
             BitBlt(c.screen, S * col, S * row, S, S, c.newPic, S * col, S * row);
         }
     }},
    // 255, no transition: finishes at once and the first pan step brings the photo in.
    {{255}, {}, KeepsStart, nullptr, [](EffectContext&) { return StepOutcome::Finished; }},
};

const EffectRecord* Find(int effect, std::span<const std::span<const EffectRecord>> families)
{
    if (effect <= 0 || effect > 255)
        return nullptr;
    for (std::span<const EffectRecord> family : families)
        for (const EffectRecord& r : family)
            for (uint8_t n : r.numbers)
                if (n == effect)
                    return &r;
    return nullptr;
}

// Number -> record, built once.
const EffectRecord* Lookup(int effect)
{
    static const std::array<const EffectRecord*, 256> index = [] {
        const std::span<const EffectRecord> all[] = {kEngineRecords, RectRecords(), RectShrinkRecords(),
                                                     ShapeRecords(), SweepRecords()};
        std::array<const EffectRecord*, 256> a{};
        for (int e = 1; e < 256; ++e)
            a[size_t(e)] = Find(e, all);
        return a;
    }();
    return effect > 0 && effect < 256 ? index[size_t(effect)] : nullptr;
}

double Read(Amount a, const EffectContext& c) { return ValueOf(a, c.W, c.H, c.st.S, c.T, c.st.Q); }

// One frame of any effect. The condition is read against the area as it is
// now; a finished effect draws nothing and leaves P alone. P moves only when
// a whole frame is drawn, so a split frame's first half reports DrewPart.
StepOutcome Drive(const EffectRecord& e, EffectContext& c)
{
    if (e.own)
        return e.own(c);
    const double P = c.st.P, limit = Read(e.course.limit, c);
    const bool goesOn = e.course.until == Until::Below  ? P < limit
                        : e.course.until == Until::UpTo ? P <= limit
                                                        : P > limit;
    if (!goesOn)
        return StepOutcome::Finished;
    if (e.flags & Restarts)
        CopyWhole(c.screen, c.newPic);
    e.draw(c, P);
    if ((e.flags & Split) && c.st.phase == 0)
        return StepOutcome::DrewPart;
    c.st.P += Read(e.course.step, c);
    return StepOutcome::Drew;
}

}  // namespace
}  // namespace fx

StepOutcome EffectStep::operator()(EffectContext& c) const { return fx::Drive(*record_, c); }

EffectStart EffectStartValues(int effect, int W, int H, int S)
{
    EffectStart s;
    const fx::EffectRecord* e = fx::Lookup(effect);
    if (!e || (e->flags & fx::KeepsStart))
        return s;
    // Start values are made of the area, the strip size and constants only.
    s.P = fx::ValueOf(e->course.p0, W, H, S, 0, 0);
    s.Q = fx::ValueOf(e->course.q0, W, H, S, 0, 0);
    s.saves = e->flags & fx::Saves;
    s.resetsQuadrant = e->flags & fx::ResetsQuadrant;
    s.known = true;
    return s;
}

EffectStep EffectFor(int effect) { return EffectStep(fx::Lookup(effect)); }

int EffectCount()
{
    static const int count = [] {
        int n = 0;
        while (fx::Lookup(n + 1))
            ++n;
        return n;
    }();
    return count;
}

EffectStep RectEffect(int effect)
{
    const std::span<const fx::EffectRecord> rect[] = {fx::RectRecords(), fx::RectShrinkRecords()};
    return EffectStep(fx::Find(effect, rect));
}

EffectStep ShapeEffect(int effect)
{
    const std::span<const fx::EffectRecord> shape[] = {fx::ShapeRecords(), fx::SweepRecords()};
    return EffectStep(fx::Find(effect, shape));
}

}  // namespace tamsel
