// Rectangle transitions whose frames are one or a few rectangles of the new
// picture: slides (the new picture itself moves), wipes (it is uncovered in
// place), pushes (the saved old picture also moves out of the way), split
// wipes, interleaved strips, blinds, and boxes or bands from the centre.
#include "show/EffectsTable.h"

namespace tamsel::fx {
namespace {

using C = EffectContext;

// (a * b) \ d without overflow on large photo areas.
int MulDiv(int a, int b, int d) { return int(int64_t(a) * b / d); }

// The centre effects' box starts as a line of width r (what the limit Q leaves
// over a whole number of double steps) and grows by one step on every side per
// frame: its margin m is the same on all four sides, so it reaches every edge
// in the same frame.
struct CentreBox {
    int k, r, m;
};

CentreBox CentreBoxOf(const C& c, int P)
{
    const int limit = Px(c.st.Q), twoT = 2 * c.T, k = limit / twoT;
    return CentreBox{k, limit % twoT, c.T * k - P};
}

constexpr EffectRecord kRecords[] = {
    // 11: wipes in from the left and pushes the old picture out to the right.
    {{11}, Rise(kW, kT), Saves, [](C& c, double P) {
         Copy(c, P, 0, c.W - P, c.H, c.oldPic, 0, 0);
         Copy(c, 0, 0, P, c.H, c.newPic, 0, 0);
     }},
    // 12, 13: slides in from the left, down from the top.
    {{12}, Rise(kW, kT), 0, [](C& c, double P) { Copy(c, 0, 0, P, c.H, c.newPic, c.W - P, 0); }},
    {{13}, Rise(kH, kT), 0, [](C& c, double P) { Copy(c, 0, 0, c.W, P, c.newPic, 0, c.H - P); }},
    // 14: wipes down and pushes the old picture out at the bottom.
    {{14}, Rise(kH, kT), Saves, [](C& c, double P) {
         Copy(c, 0, P, c.W, c.H - P, c.oldPic, 0, 0);
         Copy(c, 0, 0, c.W, P, c.newPic, 0, 0);
     }},
    // 15, 16, 21, 22: slides in diagonally from a corner (top-left, top-right,
    // bottom-left, bottom-right); the moving corner keeps to the screen's
    // diagonal, the width shown growing with the height shown.
    {{15}, Rise(kH, kT), 0, [](C& c, double p) {
         const int P = Px(p), w = MulDiv(c.W, P, c.H);
         BitBlt(c.screen, 0, 0, w, P, c.newPic, c.W - w, c.H - P);
     }},
    {{16}, Rise(kH, kT), 0, [](C& c, double p) {
         const int P = Px(p), w = MulDiv(c.W, P, c.H);
         BitBlt(c.screen, c.W - w, 0, w, P, c.newPic, 0, c.H - P);
     }},
    {{21}, Fall(kH, kT), 0, [](C& c, double p) {
         const int P = Px(p), w = MulDiv(c.H - P, c.W, c.H);
         BitBlt(c.screen, 0, P, w, c.H - P, c.newPic, c.W - w, 0);
     }},
    {{22}, Fall(kH, kT), 0, [](C& c, double p) {
         const int P = Px(p), x = MulDiv(c.W, P, c.H);
         BitBlt(c.screen, x, P, c.W - x, c.H - P, c.newPic, 0, 0);
     }},
    // 17, 19: slides in from the right, up from the bottom.
    {{17}, Fall(kW, kT), 0, [](C& c, double P) { Copy(c, P, 0, c.W - P, c.H, c.newPic, 0, 0); }},
    {{19}, Fall(kH, kT), 0, [](C& c, double P) { Copy(c, 0, P, c.W, c.H - P, c.newPic, 0, 0); }},
    // 18, 20: wipes in from the right, up from the bottom, pushing the old picture out.
    {{18}, Fall(kW, kT), Saves, [](C& c, double P) {
         Copy(c, 0, 0, P, c.H, c.oldPic, c.W - P, 0);
         Copy(c, P, 0, c.W - P, c.H, c.newPic, P, 0);
     }},
    {{20}, Fall(kH, kT), Saves, [](C& c, double P) {
         Copy(c, 0, 0, c.W, P, c.oldPic, 0, c.H - P);
         Copy(c, 0, P, c.W, c.H - P, c.newPic, 0, P);
     }},
    // 26-29: wipes down, right, up and left.
    {{26}, Rise(kH, kT), 0, [](C& c, double P) { Copy(c, 0, 0, c.W, P, c.newPic, 0, 0); }},
    {{27}, Rise(kW, kT), 0, [](C& c, double P) { Copy(c, 0, 0, P, c.H, c.newPic, 0, 0); }},
    {{28}, Fall(kH, kT), 0, [](C& c, double P) { Copy(c, 0, P, c.W, c.H - P, c.newPic, 0, P); }},
    {{29}, Fall(kW, kT), 0, [](C& c, double P) { Copy(c, P, 0, c.W - P, c.H, c.newPic, P, 0); }},
    // 42-45, split wipes: the halves go opposite ways (left down and right up,
    // left up and right down, top right and bottom left, top left and bottom
    // right). They are cut at real halves, each rounded on its own: at an odd
    // size they may miss the middle line, which the first pan step fills.
    {{42}, Rise(kH, kT), 0, [](C& c, double P) {
         const double half = c.W / 2.0, rest = c.W - c.W / 2.0;
         Copy(c, 0, 0, half, P, c.newPic, 0, 0);
         Copy(c, half, c.H - P, rest, P, c.newPic, half, c.H - P);
     }},
    {{43}, Rise(kH, kT), 0, [](C& c, double P) {
         const double half = c.W / 2.0, rest = c.W - c.W / 2.0;
         Copy(c, 0, c.H - P, half, P, c.newPic, 0, c.H - P);
         Copy(c, half, 0, rest, P, c.newPic, half, 0);
     }},
    {{44}, Rise(kW, kT), 0, [](C& c, double P) {
         const double half = c.H / 2.0, top = c.H - c.H / 2.0;
         Copy(c, 0, 0, P, half, c.newPic, 0, 0);
         Copy(c, c.W - P, top, P, half, c.newPic, c.W - P, top);
     }},
    {{45}, Rise(kW, kT), 0, [](C& c, double P) {
         const double half = c.H / 2.0, top = c.H - c.H / 2.0;
         Copy(c, c.W - P, 0, P, half, c.newPic, c.W - P, 0);
         Copy(c, 0, top, P, half, c.newPic, 0, top);
     }},
    // 7: horizontal strips of height S, the even ones sliding in from the left
    // and the odd ones from the right.
    {{7}, RiseTo(kW, kT), 0, [](C& c, double p) {
         const int S = StripSize(c), P = Px(p);
         for (int i = 0; i <= c.H / S / 2; ++i) {
             const int even = 2 * i * S, odd = (2 * i + 1) * S;
             BitBlt(c.screen, 0, even, P, S, c.newPic, c.W - P, even);
             BitBlt(c.screen, c.W - P, odd, P, S, c.newPic, 0, odd);
         }
     }},
    // 8: vertical strips of width S, the even ones sliding down from the top
    // and the odd ones up from the bottom.
    {{8}, Rise(kH, kT), 0, [](C& c, double p) {
         // The even and the odd strips never meet, so each set is drawn as one.
         const int S = StripSize(c), P = Px(p), strips = c.W / S / 2 + 1;
         BitBltRepeated(c.screen, 0, 0, S, P, c.newPic, 0, c.H - P, 2 * S, strips);
         BitBltRepeated(c.screen, S, c.H - P, S, P, c.newPic, S, 0, 2 * S, strips);
     }},
    // 9, 10: blinds opening downward and to the right, one line a frame.
    {{9}, Rise(kS, K(1)), 0, [](C& c, double p) {
         const int S = StripSize(c), P = Px(p);
         for (int i = 0; i <= c.H / S + 1; ++i)
             BitBlt(c.screen, 0, i * S, c.W, P, c.newPic, 0, i * S);
     }},
    {{10}, Rise(kS, K(1)), 0, [](C& c, double p) {
         const int S = StripSize(c), P = Px(p);
         BitBltRepeated(c.screen, 0, 0, P, c.H, c.newPic, 0, 0, S, c.W / S + 2);
     }},
    // 30: both blinds at once, a lattice filling in two beats: the even strips,
    // then 10 ms after the step began the odd ones.
    {{30}, Rise(kS, K(1)), Split, [](C& c, double p) {
         const int S = StripSize(c), P = Px(p), first = c.st.phase != 0 ? S : 0;
         for (int y = first; y < c.H; y += 2 * S)
             BitBlt(c.screen, 0, y, c.W, P, c.newPic, 0, y);
         if (first < c.W)
             BitBltRepeated(c.screen, first, 0, P, c.H, c.newPic, first, 0, 2 * S,
                            (c.W - first + 2 * S - 1) / (2 * S));
     }},
    // 23: a box grows from a horizontal line at the centre; 24, 25: a band
    // opens from the horizontal or the vertical centre line.
    {{23}, Rise(kHalfH, kT, kH), 0, [](C& c, double p) {
         const int P = Px(p);
         const CentreBox b = CentreBoxOf(c, P);
         BitBlt(c.screen, b.m, b.m, c.W - 2 * c.T * b.k + 2 * P, b.r + 2 * P, c.newPic, b.m, b.m);
     }},
    {{24}, Rise(kHalfH, kT, kH), 0, [](C& c, double p) {
         const int P = Px(p);
         const CentreBox b = CentreBoxOf(c, P);
         BitBlt(c.screen, 0, b.m, c.W, b.r + 2 * P, c.newPic, 0, b.m);
     }},
    {{25}, Rise(kHalfW, kT, kW), 0, [](C& c, double p) {
         const int P = Px(p);
         const CentreBox b = CentreBoxOf(c, P);
         BitBlt(c.screen, b.m, 0, b.r + 2 * P, c.H, c.newPic, b.m, 0);
     }},
};

}  // namespace

std::span<const EffectRecord> RectRecords() { return kRecords; }

}  // namespace tamsel::fx
