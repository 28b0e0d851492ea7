#pragma once
// One record per transition effect: the numbers of its course (start values,
// continue condition, step of P), what it does at load time, and the drawing
// of one frame at a given P. A single driver (EffectCatalogue.cpp) runs every
// record the same way: test the condition, draw, advance P, report.
#include "imaging/Blit.h"
#include "platform/Rounding.h"
#include "show/Effect.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace tamsel::fx {

// A number of an effect's course: scale x one measure of the photo area or of
// the effect's state, plus a constant. Kept symbolic so the limit follows the
// area as it is at each frame, while start values are taken once at load.
struct Amount {
    enum Of : uint8_t { One, W, H, HalfW, HalfH, S, Q, T } of = One;
    double scale = 0;
    double add = 0;
};
constexpr Amount K(double v) { return {Amount::One, v, 0}; }
inline constexpr Amount kW{Amount::W, 1}, kH{Amount::H, 1}, kHalfW{Amount::HalfW, 1},
    kHalfH{Amount::HalfH, 1}, kS{Amount::S, 1}, kQ{Amount::Q, 1}, kT{Amount::T, 1};
constexpr Amount operator*(double k, Amount a) { return {a.of, k * a.scale, k * a.add}; }
constexpr Amount operator+(Amount a, double k) { return {a.of, a.scale, a.add + k}; }

// HalfW and HalfH are truncating integer halves of W and H.
inline double ValueOf(Amount a, int W, int H, int S, int T, double Q)
{
    double base = 1;
    switch (a.of) {
    case Amount::One: break;
    case Amount::W: base = W; break;
    case Amount::H: base = H; break;
    case Amount::HalfW: base = W / 2; break;
    case Amount::HalfH: base = H / 2; break;
    case Amount::S: base = S; break;
    case Amount::Q: base = Q; break;
    case Amount::T: base = T; break;
    }
    return a.scale * base + a.add;
}

enum class Until : uint8_t { Below, UpTo, Above };  // go on while P <, <= or > the limit

struct Course {
    Amount p0, q0;  // TransPos and TransLimit at load
    Until until = Until::Below;
    Amount limit;   // read before every frame
    Amount step;    // added to P after every whole frame
};
// P from 0 while below `to` (Q = `to`, or q0 where the effect keeps another Q).
constexpr Course Rise(Amount to, Amount by, Amount q0) { return {K(0), q0, Until::Below, to, by}; }
constexpr Course Rise(Amount to, Amount by) { return Rise(to, by, to); }
// P from 0 up to and including `to`.
constexpr Course RiseTo(Amount to, Amount by) { return {K(0), to, Until::UpTo, to, by}; }
// P from `from` down while above 0; Q = 0.
constexpr Course Fall(Amount from, Amount by) { return {from, K(0), Until::Above, K(0), -1 * by}; }

enum Flags : uint8_t {
    Saves = 1,           // at load DibScreen is copied into DibMask as the outgoing picture
    Restarts = 2,        // every frame starts from a raw copy of the new picture
    Split = 4,           // the frame is drawn in two halves around a 10 ms pause (phase 0, 1)
    ResetsQuadrant = 8,  // TransQuadrant = 0 at load
    KeepsStart = 16,     // P and Q stay as the previous effect left them
};

using DrawFn = void (*)(EffectContext& c, double P);
using OwnStepFn = StepOutcome (*)(EffectContext& c);

struct EffectRecord {
    uint8_t numbers[4];  // the effect numbers that run this record; 0 = unused
    Course course;
    uint8_t flags = 0;
    DrawFn draw = nullptr;
    OwnStepFn own = nullptr;  // an effect whose stepping fits no course; it runs itself
};

// The records of each family; every effect number appears in exactly one.
std::span<const EffectRecord> RectRecords();        // EffectsRect.cpp
std::span<const EffectRecord> RectShrinkRecords();  // EffectsRectShrinks.cpp
std::span<const EffectRecord> ShapeRecords();       // EffectsShape.cpp
std::span<const EffectRecord> SweepRecords();       // EffectsShapeSweeps.cpp

// A real coordinate or size as a blit receives it: nearest integer, halves to
// even. Near a quarter turn the sweeps multiply by tangents in the thousands;
// the value is pinned far outside any surface first so the conversion to int
// can never overflow (clipping throws such pieces away anyway).
inline int Px(double v)
{
    constexpr double kFar = 1 << 28;
    return RoundHalfEven(std::clamp(v, -kFar, kFar));
}

// A plain copy of the w x h rectangle at (sx, sy) of src to (x, y) of the screen.
inline void Copy(EffectContext& c, double x, double y, double w, double h, const Surface& src,
                 double sx, double sy)
{
    BitBlt(c.screen, Px(x), Px(y), Px(w), Px(h), src, Px(sx), Px(sy));
}

// The whole of src squeezed or stretched into (x, y, w, h) of the screen.
inline void Squeeze(EffectContext& c, double x, double y, double w, double h, const Surface& src)
{
    StretchBlt(c.screen, Px(x), Px(y), Px(w), Px(h), src, 0, 0, src.Width(), src.Height());
}

// TransBlock is drawn from 8..32 for every photo; never let a bad value turn
// the strip loops into endless ones or a division by zero.
inline int StripSize(const EffectContext& c) { return std::max(1, c.st.S); }

}  // namespace tamsel::fx
