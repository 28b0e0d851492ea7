#pragma once
// The steps of the shape, sweep, wave, triangle and mosaic transitions; the
// effect numbers that share a step are listed in EffectsShape.cpp.
#include "show/Effect.h"

namespace tamsel::shapefx {

// Circles from the centre.
StepOutcome CircleOpens(EffectContext& c);    // 31, 32
StepOutcome CircleCloses(EffectContext& c);   // 40, 60

// Wedges turning about a corner, the windmill and the clock.
StepOutcome SweepBottomLeftUp(EffectContext& c);     // 33
StepOutcome SweepBottomLeftDown(EffectContext& c);   // 34
StepOutcome SweepBottomRightUp(EffectContext& c);    // 65
StepOutcome SweepBottomRightDown(EffectContext& c);  // 66
StepOutcome Windmill(EffectContext& c);              // 35, 59
StepOutcome Clock(EffectContext& c);                 // 67, 68

// Halves meeting along a wavy seam.
StepOutcome WaveHalvesIn(EffectContext& c);   // 36
StepOutcome WaveHalvesOut(EffectContext& c);  // 46
StepOutcome WaveBandsIn(EffectContext& c);    // 49
StepOutcome WaveBandsOut(EffectContext& c);   // 50

// Triangles cut along a diagonal.
StepOutcome TrianglesIn(EffectContext& c);        // 61
StepOutcome TrianglesCrossIn(EffectContext& c);   // 62
StepOutcome TrianglesOut(EffectContext& c);       // 63
StepOutcome TrianglesCrossOut(EffectContext& c);  // 64

StepOutcome Mosaic(EffectContext& c);  // 41

}  // namespace tamsel::shapefx
