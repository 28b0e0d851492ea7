#pragma once
#include "show/TransitionEngine.h"

namespace tamsel {

// When the photo area runs its next step. Times are seconds on a steady clock.
struct NextStep {
    enum Kind { Step, FinishSplit, Rest } kind = Step;
    double delay = 0;   // from now
};

// Rest tick while nothing moves: flags set from outside (a label refresh, a
// stop request) are still seen, at next to no cost.
inline constexpr double kRestTick = 0.25;
// The pause inside a split frame, from the start of its step.
inline constexpr double kSplitPause = 0.010;

// A step lasts the larger of its drawing time and its wait, both counted from
// t0, the moment it began: the wait is never added on top of the drawing.
inline NextStep PlanNextStep(double t0, double now, const TransitionEngine::StepResult& r,
                             bool moving)
{
    auto until = [&](double t) { return t > now ? t - now : 0.0; };
    if (r.splitFrame)
        return {NextStep::FinishSplit, until(t0 + kSplitPause)};
    if (moving)
        return {NextStep::Step, until(t0 + r.wait)};
    const double d = until(t0 + r.wait);
    return {NextStep::Rest, d > kRestTick ? d : kRestTick};
}

}  // namespace tamsel
