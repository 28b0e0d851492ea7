// Rectangle transitions that move or resize whole pictures: the old picture
// cropped toward the centre, the pinwheel of four blocks, the squeezes
// (halftone stretches of a whole picture into a growing or shrinking band)
// and the quadrants. Where the old picture goes away, each frame restarts from
// the full new picture and lays what is left of the old one on top.
#include "show/EffectsTable.h"

namespace tamsel::fx {
namespace {

using C = EffectContext;

// The pinwheel's four blocks around an uncovered centre: top-left b x v at
// (0, 0), top-right a x u at (b, 0), bottom-right b x v at (a, u), bottom-left
// a x u at (0, v). The centre from (a, v) to (b, u) is left to the first pan step.
struct Pinwheel {
    double a, b;
    int v, u;
};

Pinwheel PinwheelOf(const C& c)
{
    const double a = 0.4 * c.W;
    const int v = Px(0.4 * c.H);
    return Pinwheel{a, c.W - a, v, c.H - v};
}

// The four quadrants of src, w x h each with w = W / 2 - P (integer halves), shifted P pixels
// diagonally from their corners toward the centre, cut off at the centre lines.
void Quadrants(C& c, const Surface& src, int P, int h)
{
    const int cx = c.W / 2, m = c.H / 2, w = cx - P;
    BitBlt(c.screen, P, P, w, h, src, 0, 0);
    BitBlt(c.screen, cx, P, w, h, src, cx + P, 0);
    BitBlt(c.screen, P, m, w, h, src, 0, m + P);
    BitBlt(c.screen, cx, m, w, h, src, cx + P, m + P);
}

constexpr EffectRecord kRecords[] = {
    // 37-39: the old picture cropped from all four sides, from top and bottom,
    // from left and right, toward the centre.
    {{37}, Rise(kHalfH, kT, kH), Saves | Restarts, [](C& c, double P) {
         Copy(c, P, P, c.W - 2 * P, c.H - 2 * P, c.oldPic, P, P);
     }},
    {{38}, Rise(kHalfH, kT, kH), Saves | Restarts, [](C& c, double P) {
         Copy(c, 0, P, c.W, c.H - 2 * P, c.oldPic, 0, P);
     }},
    {{39}, Rise(kHalfW, kT, kW), Saves | Restarts, [](C& c, double P) {
         Copy(c, P, 0, c.W - 2 * P, c.H, c.oldPic, P, 0);
     }},
    // 47: the pinwheel's blocks slide in. The top-left and bottom-right ones
    // come vertically and stop once in place, never drawn further than v: P
    // steps by 2, and with an odd v one more step would lift the source above
    // the picture and leave both blocks a row out of place.
    {{47}, Rise(0.4 * kW, K(2)), 0, [](C& c, double P) {
         const Pinwheel pw = PinwheelOf(c);
         if (P - 2 < pw.v) {
             const double d = std::min(P, double(pw.v));
             Copy(c, 0, 0, pw.b, d, c.newPic, 0, pw.v - d);
             Copy(c, pw.a, c.H - d, pw.b, d, c.newPic, pw.a, pw.u);
         }
         Copy(c, 0, pw.v, P, pw.u, c.newPic, pw.a - P, pw.v);
         Copy(c, c.W - P, 0, P, pw.u, c.newPic, pw.b, 0);
     }},
    // 48: the old picture's blocks leave the way the new ones came in with 47.
    {{48}, Fall(0.4 * kW, K(2)), Saves | Restarts, [](C& c, double P) {
         const Pinwheel pw = PinwheelOf(c);
         const double t = pw.a - P;
         Copy(c, 0, 0, pw.b, pw.v - t, c.oldPic, 0, t);
         Copy(c, pw.a, t + pw.u, pw.b, pw.v - t, c.oldPic, pw.a, pw.u);
         Copy(c, 0, pw.v, P, pw.u, c.oldPic, t, pw.v);
         Copy(c, c.W - P, 0, P, pw.u, c.oldPic, pw.b, 0);
     }},
    // 51-54: the new picture grows from the left, top, right or bottom edge,
    // squeezing the old one toward the other side.
    {{51}, Rise(kW, 2 * kT), Saves, [](C& c, double P) {
         Squeeze(c, 0, 0, P, c.screen.Height(), c.newPic);
         Squeeze(c, P, 0, c.W - P, c.screen.Height(), c.oldPic);
     }},
    {{52}, Rise(kH, 2 * kT), Saves, [](C& c, double P) {
         Squeeze(c, 0, 0, c.screen.Width(), P, c.newPic);
         Squeeze(c, 0, P, c.screen.Width(), c.H - P, c.oldPic);
     }},
    {{53}, Fall(kW, 2 * kT), Saves, [](C& c, double P) {
         Squeeze(c, P, 0, c.W - P, c.screen.Height(), c.newPic);
         Squeeze(c, 0, 0, P, c.screen.Height(), c.oldPic);
     }},
    {{54}, Fall(kH, 2 * kT), Saves, [](C& c, double P) {
         Squeeze(c, 0, P, c.screen.Width(), c.H - P, c.newPic);
         Squeeze(c, 0, 0, c.screen.Width(), P, c.oldPic);
     }},
    // 55, 56: the whole new picture grows out of the vertical or horizontal
    // centre line (they save the old picture without using it).
    {{55}, Fall(kHalfW, 2 * kT), Saves, [](C& c, double P) {
         Squeeze(c, P, 0, c.W - 2 * P, c.screen.Height(), c.newPic);
     }},
    {{56}, Fall(kHalfH, 2 * kT), Saves, [](C& c, double P) {
         Squeeze(c, 0, P, c.screen.Width(), c.H - 2 * P, c.newPic);
     }},
    // 57, 58: the whole old picture shrinks into the vertical or horizontal centre line.
    {{57}, Rise(kHalfW, 2 * kT), Saves | Restarts, [](C& c, double P) {
         Squeeze(c, P, 0, c.W - 2 * P, c.screen.Height(), c.oldPic);
     }},
    {{58}, Rise(kHalfH, 2 * kT), Saves | Restarts, [](C& c, double P) {
         Squeeze(c, 0, P, c.screen.Width(), c.H - 2 * P, c.oldPic);
     }},
    // 69: the old picture's quadrants slide one pixel a frame into the centre
    // and vanish there; the run ends at the Q taken at load.
    {{69}, Rise(kQ, K(1), kHalfH), Saves | Restarts, [](C& c, double p) {
         const int P = Px(p);
         Quadrants(c, c.oldPic, P, Px(c.st.Q) - P);
     }},
    // 70: the new picture's quadrants come out of the centre and move to their
    // corners (it saves the old picture without using it).
    {{70}, Fall(kHalfH, K(1)), Saves, [](C& c, double p) {
         const int P = Px(p);
         Quadrants(c, c.newPic, P, c.H / 2 - P);
     }},
};

}  // namespace

std::span<const EffectRecord> RectShrinkRecords() { return kRecords; }

}  // namespace tamsel::fx
