// Wedges of the new picture that open about a corner or the centre as the
// angle P (radians) grows: the corner sweeps, the windmill and the clock.
#include "show/EffectsShapeSpans.h"
#include "show/EffectsTable.h"

#include <cmath>

namespace tamsel::fx {
namespace {

using C = EffectContext;

// The corner sweeps and the windmill turn from 0.1 to just short of 1.6 in
// steps of 0.03: fifty frames, the last at 1.57, still below a quarter turn,
// so the tangent stays positive.
constexpr Course kTurn{K(0.1), K(1.6), Until::Below, K(1.6), K(0.03)};
constexpr double kAngleStep = 0.03;

// Pivot at the bottom-left corner; the wedge grows from the bottom edge up to
// the left edge. Rows above the point where the edge line leaves the picture
// through its right side are not part of the wedge.
void SweepBottomLeftUp(C& c, double P)
{
    const double t = std::tan(P);
    const double n = t > double(c.H) / double(c.W) ? double(c.H) : t * c.W;
    for (int i = 0; i <= n; ++i) {
        const double x = i / t;
        const int y = c.H - i;
        BitBlt(c.screen, Px(x), y, Px(c.W - x), 1, c.newPic, Px(x), y);
    }
}

// Pivot at the bottom-left corner; the wedge grows from the left edge down to
// the bottom edge.
void SweepBottomLeftDown(C& c, double P)
{
    const double t = std::tan(P);
    for (int i = 0; i <= c.H; ++i)
        BitBlt(c.screen, 0, i, Px((c.H - i) * t), 1, c.newPic, 0, i);
}

// Pivot at the bottom-right corner; the wedge grows from the bottom edge up to
// the right edge, one column piece per column.
void SweepBottomRightUp(C& c, double P)
{
    const double t = std::tan(P);
    ColumnPieces cols(c.screen, c.newPic);
    for (int i = 0; i <= c.W; ++i) {
        const double h = t * (c.W - i);
        const int y = Px(c.H - h);
        cols.Add(i, y, Px(h), i, y);
    }
}

// Pivot at the bottom-right corner; the wedge grows from the right edge down
// to the bottom edge. Its rows are cut to the picture's width explicitly.
void SweepBottomRightDown(C& c, double P)
{
    const double t = std::tan(P);
    for (int i = 0; i <= c.H; ++i) {
        const double w = std::min(t * (c.H - i), double(c.W));
        const double x = c.W - w;
        BitBlt(c.screen, Px(x), i, Px(w), 1, c.newPic, Px(x), i);
    }
}

// Four blades about the centre, each opening by the angle P from a half-axis,
// all turning counter-clockwise: right half-axis upward, upper one to the
// left, left one downward, lower one to the right.
void Windmill(C& c, double P)
{
    const int cx = c.W / 2, m = c.H / 2;
    const double t = std::tan(P);
    // Every piece copies the new picture onto its own place, so the column
    // pieces may be drawn after all the row pieces.
    ColumnPieces cols(c.screen, c.newPic);
    for (int i = 0; i <= cx; ++i) {
        const double d = i / t;
        const int right = Px(cx + d), width = Px(cx - d);
        BitBlt(c.screen, right, m - i, width, 1, c.newPic, right, m - i);
        BitBlt(c.screen, 0, m + i, width, 1, c.newPic, 0, m + i);
        const int height = Px(m - d), lower = Px(m + d);
        cols.Add(cx - i, 0, height, cx - i, 0);
        cols.Add(cx + i, lower, height, cx + i, lower);
    }
}

// A hand sweeping clockwise from 12 o'clock, one quadrant after the other.
// Within quadrant J the angle runs from 0 while below Q (a quarter turn); the
// frame after that fills the quadrant in one copy and moves on to the next,
// so the effect steps by quadrant as well as by angle and runs itself.
// The last quadrant gets no such copy: the first pan step completes it.
StepOutcome Clock(C& c)
{
    int& J = c.st.TransQuadrant;
    if (!(J < 4))
        return StepOutcome::Finished;
    const int W = c.W, H = c.H, cx = W / 2, m = H / 2;
    if (c.st.P < c.st.Q) {
        const double t = std::tan(c.st.P);
        switch (J) {
        case 0:  // upper right, from 12 toward 3
            for (int i = 0; i <= m; ++i)
                BitBlt(c.screen, cx, i, Px((m - i) * t), 1, c.newPic, cx, i);
            break;
        case 1: {  // lower right, from 3 toward 6
            ColumnPieces cols(c.screen, c.newPic);
            for (int i = 0; i <= cx; ++i)
                cols.Add(W - i, m, Px((cx - i) * t), W - i, m);
            break;
        }
        case 2:  // lower left, from 6 toward 9
            for (int i = 0; i <= H - m; ++i) {
                const double w = i * t;
                const int x = Px((W - cx) - w);
                BitBlt(c.screen, x, m + i, Px(w), 1, c.newPic, x, m + i);
            }
            break;
        default: {  // upper left, from 9 toward 12
            ColumnPieces cols(c.screen, c.newPic);
            for (int i = 0; i <= W - cx; ++i) {
                const double h = i * t;
                const int x = (W - cx) - i, y = Px(m - h);
                cols.Add(x, y, Px(h), x, y);
            }
            break;
        }
        }
        c.st.P += kAngleStep;
    } else {
        switch (J) {
        case 0: BitBlt(c.screen, cx, 0, cx, m, c.newPic, cx, 0); break;
        case 1: BitBlt(c.screen, cx, m, cx, m, c.newPic, cx, m); break;
        case 2: BitBlt(c.screen, 0, m, cx, m, c.newPic, 0, m); break;
        default: break;
        }
        J += 1;
        c.st.P = 0;
    }
    return StepOutcome::Drew;
}

constexpr EffectRecord kRecords[] = {
    {{33}, kTurn, 0, SweepBottomLeftUp},
    {{34}, kTurn, 0, SweepBottomLeftDown},
    {{65}, kTurn, 0, SweepBottomRightUp},
    {{66}, kTurn, 0, SweepBottomRightDown},
    {{35, 59}, kTurn, 0, Windmill},
    {{67, 68}, {K(0), K(1.5708), Until::Below, {}, {}}, ResetsQuadrant, nullptr, Clock},
};

}  // namespace

std::span<const EffectRecord> SweepRecords() { return kRecords; }

}  // namespace tamsel::fx
