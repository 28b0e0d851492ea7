#pragma once
// The steps of the rectangle transitions: slides, pushes, wipes, strips,
// blinds, centre boxes, split wipes, the pinwheel, squeezes and quadrants.
// Only EffectsRect.cpp hands them out, by effect number.
#include "imaging/Blit.h"
#include "platform/Rounding.h"
#include "show/Effect.h"

namespace tamsel::rect {

// Every coordinate an effect computes as a real is rounded half to even
// before it reaches a blit, so odd sizes land on the same pixels every time.
inline int Px(double v) { return RoundHalfEven(v); }

// A plain copy of the w x h rectangle at (sx, sy) of src to (x, y) of the screen.
inline void Copy(EffectContext& c, double x, double y, double w, double h, const CLSDIB& src,
                 double sx, double sy)
{
    BitBlt(c.screen, Px(x), Px(y), Px(w), Px(h), src, Px(sx), Px(sy));
}

// The whole of src squeezed or stretched into (x, y, w, h) of the screen.
inline void Squeeze(EffectContext& c, double x, double y, double w, double h, const CLSDIB& src)
{
    StretchBlt(c.screen, Px(x), Px(y), Px(w), Px(h), src, 0, 0, src.Width(), src.Height());
}

// Slides, pushes and wipes.
StepOutcome PushFromLeft(EffectContext& c);           // 11
StepOutcome SlideFromLeft(EffectContext& c);          // 12
StepOutcome SlideFromTop(EffectContext& c);           // 13
StepOutcome PushFromTop(EffectContext& c);            // 14
StepOutcome SlideFromTopLeft(EffectContext& c);       // 15
StepOutcome SlideFromTopRight(EffectContext& c);      // 16
StepOutcome SlideFromRight(EffectContext& c);         // 17
StepOutcome PushFromRight(EffectContext& c);          // 18
StepOutcome SlideFromBottom(EffectContext& c);        // 19
StepOutcome PushFromBottom(EffectContext& c);         // 20
StepOutcome SlideFromBottomLeft(EffectContext& c);    // 21
StepOutcome SlideFromBottomRight(EffectContext& c);   // 22
StepOutcome WipeDown(EffectContext& c);               // 26
StepOutcome WipeRight(EffectContext& c);              // 27
StepOutcome WipeUp(EffectContext& c);                 // 28
StepOutcome WipeLeft(EffectContext& c);               // 29

// Interleaved strips and blinds.
StepOutcome InterleavedRows(EffectContext& c);        // 7
StepOutcome InterleavedColumns(EffectContext& c);     // 8
StepOutcome BlindsDown(EffectContext& c);             // 9
StepOutcome BlindsRight(EffectContext& c);            // 10
StepOutcome LatticeBlinds(EffectContext& c);          // 30

// Boxes and bands from the centre, split wipes.
StepOutcome BoxFromCentreLine(EffectContext& c);      // 23
StepOutcome BandFromHorizontalLine(EffectContext& c); // 24
StepOutcome BandFromVerticalLine(EffectContext& c);   // 25
StepOutcome SplitDownUp(EffectContext& c);            // 42
StepOutcome SplitUpDown(EffectContext& c);            // 43
StepOutcome SplitRightLeft(EffectContext& c);         // 44
StepOutcome SplitLeftRight(EffectContext& c);         // 45

// The old picture cropped away, the pinwheel.
StepOutcome CropToCentre(EffectContext& c);           // 37
StepOutcome CropToHorizontalLine(EffectContext& c);   // 38
StepOutcome CropToVerticalLine(EffectContext& c);     // 39
StepOutcome PinwheelIn(EffectContext& c);             // 47
StepOutcome PinwheelOut(EffectContext& c);            // 48

// Squeezes and quadrants.
StepOutcome SqueezeFromLeft(EffectContext& c);        // 51
StepOutcome SqueezeFromTop(EffectContext& c);         // 52
StepOutcome SqueezeFromRight(EffectContext& c);       // 53
StepOutcome SqueezeFromBottom(EffectContext& c);      // 54
StepOutcome GrowFromVerticalLine(EffectContext& c);   // 55
StepOutcome GrowFromHorizontalLine(EffectContext& c); // 56
StepOutcome ShrinkToVerticalLine(EffectContext& c);   // 57
StepOutcome ShrinkToHorizontalLine(EffectContext& c); // 58
StepOutcome QuadrantsIn(EffectContext& c);            // 69
StepOutcome QuadrantsOut(EffectContext& c);           // 70

}  // namespace tamsel::rect
