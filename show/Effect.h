#pragma once
#include "model/Surface.h"

#include <cstddef>
#include <cstdint>
#include <random>

namespace tamsel {

// Uniform reals in [0, 1), single precision like the album's Rnd.
class Rng {
public:
    explicit Rng(uint32_t seed = 1) : gen_(seed) {}
    void Seed(uint32_t seed) { gen_.seed(seed); }
    float Rnd() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(gen_); }

private:
    std::mt19937 gen_;
};

// What one step of an effect did.
enum class StepOutcome {
    Drew,       // drew one frame; P was updated
    Finished,   // the continue condition failed: nothing drawn
    DrewPart,   // drew the first part of a frame; call again (phase 1) 10 ms after the step began
};

// Progress of the current photo's effect, kept by the engine between steps.
struct EffectState {
    double P = 0;        // TransPos
    double Q = 0;        // TransLimit
    int S = 8;           // TransBlock, 8..32
    int TransQuadrant = 0;
    int phase = 0;       // sub-step of an effect whose frame is split by a pause
};

// Everything an effect step may read and write.
struct EffectContext {
    Surface& screen;        // DibScreen
    const Surface& newPic;  // DibNew
    const Surface& oldPic;  // DibMask: the outgoing picture for the effects that save it
    int W;                 // ShowWidth
    int H;                 // ShowHeight
    int T;                 // WipeStep (4)
    double ShowAspect;     // W / H as kept by the layout
    EffectState& st;
    Rng& rng;
};

namespace fx {
struct EffectRecord;
}

// The step of one effect: called once per frame as step(context). It holds the
// effect's record and runs it through the one driver all effects share. Empty
// (false, equal to nullptr) for a number no effect answers to; two numbers
// that run the same effect give equal steps.
class EffectStep {
public:
    EffectStep(std::nullptr_t = nullptr) {}
    explicit EffectStep(const fx::EffectRecord* record) : record_(record) {}
    StepOutcome operator()(EffectContext& c) const;
    explicit operator bool() const { return record_ != nullptr; }
    bool operator==(const EffectStep&) const = default;

private:
    const fx::EffectRecord* record_ = nullptr;
};

// Start values of an effect, set when its photo is loaded.
struct EffectStart {
    double P = 0;
    double Q = 0;
    bool saves = false;          // copy DibScreen into DibMask as the outgoing picture
    bool resetsQuadrant = false; // TransQuadrant = 0
    bool known = false;          // false: P and Q stay as they were (255, unknown numbers)

    // Sets the effect's progress for a new photo; saving the outgoing
    // picture is the caller's, who knows where it goes.
    void ApplyTo(EffectState& st) const
    {
        if (known) {
            st.P = P;
            st.Q = Q;
        }
        if (resetsQuadrant)
            st.TransQuadrant = 0;
    }
};

EffectStart EffectStartValues(int effect, int W, int H, int S);

// The step of effect 1..EffectCount() or kNoTransition; nullptr for any
// other number (such an effect draws nothing and never finishes).
EffectStep EffectFor(int effect);

// How many effects the catalogue numbers from 1 without a gap: the range a
// random choice draws from.
int EffectCount();

// The effects of each family report their own numbers; nullptr when not theirs.
EffectStep RectEffect(int effect);    // slides, wipes, blinds, boxes, squeezes, quadrants
EffectStep ShapeEffect(int effect);   // shapes, sweeps, waves, mosaic, triangles

}  // namespace tamsel
