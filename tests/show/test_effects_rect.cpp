#include "show/EffectHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

const std::vector<int> kRectEffects = {7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                       22, 23, 24, 25, 26, 27, 28, 29, 30, 37, 38, 39, 42, 43, 44,
                                       45, 47, 48, 51, 52, 53, 54, 55, 56, 57, 58, 69, 70};

// How P runs for an effect: from p0 by step while it stays below (or up to,
// or above) end. Written from the effects' rules, not from the code.
struct Rule {
    double p0, step, end;
    enum { Below, UpTo, Above } cmp;

    bool Continues(double P) const
    {
        return cmp == Below ? P < end : cmp == UpTo ? P <= end : P > end;
    }
    int Frames() const
    {
        int n = 0;
        for (double P = p0; Continues(P); P += step)
            ++n;
        return n;
    }
    double PAtFrame(int k) const { return p0 + step * (k - 1); }
};

Rule RuleOf(int e, int W, int H, int S)
{
    const double T = 4, a = 0.4 * W;
    switch (e) {
    case 7: return {0, T, double(W), Rule::UpTo};
    case 9: case 10: case 30: return {0, 1, double(S), Rule::Below};
    case 11: case 12: case 27: case 44: case 45: return {0, T, double(W), Rule::Below};
    case 17: case 18: case 29: return {double(W), -T, 0, Rule::Above};
    case 19: case 20: case 21: case 22: case 28: return {double(H), -T, 0, Rule::Above};
    case 23: case 24: case 37: case 38: return {0, T, double(H / 2), Rule::Below};
    case 25: case 39: return {0, T, double(W / 2), Rule::Below};
    case 47: return {0, 2, a, Rule::Below};
    case 48: return {a, -2, 0, Rule::Above};
    case 51: return {0, 2 * T, double(W), Rule::Below};
    case 52: return {0, 2 * T, double(H), Rule::Below};
    case 53: return {double(W), -2 * T, 0, Rule::Above};
    case 54: return {double(H), -2 * T, 0, Rule::Above};
    case 55: return {double(W / 2), -2 * T, 0, Rule::Above};
    case 56: return {double(H / 2), -2 * T, 0, Rule::Above};
    case 57: return {0, 2 * T, double(W / 2), Rule::Below};
    case 58: return {0, 2 * T, double(H / 2), Rule::Below};
    case 69: return {0, 1, double(H / 2), Rule::Below};
    case 70: return {double(H / 2), -1, 0, Rule::Above};
    default: return {0, T, double(H), Rule::Below};  // 8, 13-16, 26, 42, 43
    }
}

// The old picture as the screen held it before the effect began.
struct OldPicture {
    Surface pic;
    OldPicture(int W, int H)
    {
        pic.Create(W, H);
        PaintPattern(pic, kOldTag);
    }
};

// Screen pixel (x, y) must show pixel (px, py) of pic.
struct Probe {
    int x, y;
    const Surface* pic;
    int px, py;
};

std::string Describe(int effect, const Probe& p, const char* picName)
{
    return "effect " + std::to_string(effect) + ": screen (" + std::to_string(p.x) + ", " +
           std::to_string(p.y) + ") should show " + picName + " (" + std::to_string(p.px) + ", " +
           std::to_string(p.py) + ")";
}

void RunFrames(EffectRun& run, int k)
{
    while (run.frames < k)
        ASSERT_EQ(run.Step(), StepOutcome::Drew) << "effect " << run.effect << " ended early";
}

// Padding bytes at the end of every row stay zero: nothing wrote past a row.
bool PaddingIsClean(const Surface& s)
{
    const int used = 3 * s.Width();
    for (int y = 0; y < s.Height(); ++y)
        for (int i = used; i < s.Stride(); ++i)
            if (s.RowPtr(y)[i] != 0)
                return false;
    return true;
}

}  // namespace

TEST(RectEffects, EveryNumberOfTheFamilyHasAStepAndNoOther)
{
    for (int e = -1; e <= 256; ++e) {
        const bool mine = std::find(kRectEffects.begin(), kRectEffects.end(), e) != kRectEffects.end();
        EXPECT_EQ(RectEffect(e) != nullptr, mine) << "effect " << e;
    }
}

TEST(RectEffects, FrameCountsAtTheDefaultSize)
{
    const std::map<int, int> known = {{11, 120}, {13, 84}, {9, 16}, {23, 42}, {51, 60}, {69, 168},
                                      {7, 121},  {47, 96}, {48, 96}, {55, 30}, {30, 16}};
    for (int e : kRectEffects) {
        const int frames = EffectRun(e, 480, 336, 16).RunToEnd();
        EXPECT_EQ(frames, RuleOf(e, 480, 336, 16).Frames()) << "effect " << e;
        if (known.count(e))
            EXPECT_EQ(frames, known.at(e)) << "effect " << e;
    }
    // Blinds run one frame per line of a strip, whatever its size.
    EXPECT_EQ(EffectRun(9, 480, 336, 27).RunToEnd(), 27);
}

TEST(RectEffects, AFinishedEffectDrawsNothingMore)
{
    for (int e : kRectEffects) {
        EffectRun run(e, 120, 90, 8);
        run.RunToEnd();
        Surface before;
        before.Create(120, 90);
        CopyWhole(before, run.screen);
        const double P = run.st.P;
        EXPECT_EQ(run.Step(), StepOutcome::Finished) << "effect " << e;
        EXPECT_TRUE(run.ScreenEquals(before)) << "effect " << e;
        EXPECT_EQ(run.st.P, P) << "effect " << e;
    }
}

TEST(RectEffects, MiddleFrameShowsThePicturesWhereTheyBelong)
{
    const int W = 480, H = 336, S = 16, x0 = W / 3, y0 = H / 3, c = W / 2, m = H / 2;
    OldPicture oldRef(W, H);
    EffectRun ref(7, W, H, S);  // only for its new picture
    const Surface* N = &ref.newPic;
    const Surface* O = &oldRef.pic;
    const double a = 0.4 * W, b = W - a;
    const int v = 134, u = H - v;  // 0.4 x 336 rounded
    using Probes = std::vector<Probe>;
    const std::map<int, std::function<Probes(int)>> seen = {
        // Slides show the far edge of the new picture at the near edge of the screen.
        {12, [&](int P) { return Probes{{0, y0, N, W - P, y0}, {P - 1, y0, N, W - 1, y0}, {P, y0, O, P, y0}}; }},
        {13, [&](int P) { return Probes{{x0, 0, N, x0, H - P}, {x0, P - 1, N, x0, H - 1}, {x0, P, O, x0, P}}; }},
        {17, [&](int P) { return Probes{{P, y0, N, 0, y0}, {W - 1, y0, N, W - 1 - P, y0}, {P - 1, y0, O, P - 1, y0}}; }},
        {19, [&](int P) { return Probes{{x0, P, N, x0, 0}, {x0, H - 1, N, x0, H - 1 - P}, {x0, P - 1, O, x0, P - 1}}; }},
        {15, [&](int P) { const int w = W * P / H;
             return Probes{{0, 0, N, W - w, H - P}, {w - 1, P - 1, N, W - 1, H - 1}, {w, 0, O, w, 0}, {0, P, O, 0, P}}; }},
        {16, [&](int P) { const int w = W * P / H;
             return Probes{{W - 1, 0, N, w - 1, H - P}, {W - w, P - 1, N, 0, H - 1}, {W - w - 1, 0, O, W - w - 1, 0}}; }},
        {21, [&](int P) { const int w = (H - P) * W / H;
             return Probes{{0, P, N, W - w, 0}, {w - 1, H - 1, N, W - 1, H - 1 - P}, {w, H - 1, O, w, H - 1}, {0, P - 1, O, 0, P - 1}}; }},
        {22, [&](int P) { const int x = W * P / H;
             return Probes{{x, P, N, 0, 0}, {W - 1, H - 1, N, W - 1 - x, H - 1 - P}, {x - 1, H - 1, O, x - 1, H - 1}}; }},
        // Pushes show the old picture shifted on by as much as the new one came in.
        {11, [&](int P) { return Probes{{P - 1, y0, N, P - 1, y0}, {P, y0, O, 0, y0}, {W - 1, y0, O, W - 1 - P, y0}}; }},
        {14, [&](int P) { return Probes{{x0, P - 1, N, x0, P - 1}, {x0, P, O, x0, 0}, {x0, H - 1, O, x0, H - 1 - P}}; }},
        {18, [&](int P) { return Probes{{0, y0, O, W - P, y0}, {P - 1, y0, O, W - 1, y0}, {P, y0, N, P, y0}}; }},
        {20, [&](int P) { return Probes{{x0, 0, O, x0, H - P}, {x0, P - 1, O, x0, H - 1}, {x0, P, N, x0, P}}; }},
        // Wipes uncover the new picture in place.
        {26, [&](int P) { return Probes{{x0, P - 1, N, x0, P - 1}, {x0, P, O, x0, P}}; }},
        {27, [&](int P) { return Probes{{P - 1, y0, N, P - 1, y0}, {P, y0, O, P, y0}}; }},
        {28, [&](int P) { return Probes{{x0, P, N, x0, P}, {x0, P - 1, O, x0, P - 1}}; }},
        {29, [&](int P) { return Probes{{P, y0, N, P, y0}, {P - 1, y0, O, P - 1, y0}}; }},
        // Strips: even ones come from the left or top, odd ones from the right or bottom.
        {7, [&](int P) { return Probes{{0, 8, N, W - P, 8}, {P, 8, O, P, 8}, {W - P, 24, N, 0, 24},
                                       {W - 1, 24, N, P - 1, 24}, {W - P - 1, 24, O, W - P - 1, 24}}; }},
        {8, [&](int P) { return Probes{{8, 0, N, 8, H - P}, {8, P, O, 8, P}, {24, H - P, N, 24, 0},
                                       {24, H - 1, N, 24, P - 1}, {24, H - P - 1, O, 24, H - P - 1}}; }},
        // Blinds: the first P lines of every strip (P + 1 frames drawn, the first empty).
        {9, [&](int P) { return Probes{{x0, P - 1, N, x0, P - 1}, {x0, P, O, x0, P}, {x0, 320 + P - 1, N, x0, 320 + P - 1}, {x0, 320 + P, O, x0, 320 + P}}; }},
        {10, [&](int P) { return Probes{{P - 1, y0, N, P - 1, y0}, {P, y0, O, P, y0}, {464 + P - 1, y0, N, 464 + P - 1, y0}, {464 + P, y0, O, 464 + P, y0}}; }},
        {30, [&](int P) { return Probes{{15, P - 1, N, 15, P - 1}, {31, S + P - 1, N, 31, S + P - 1}, {15, P, O, 15, P},
                                        {P - 1, 31, N, P - 1, 31}, {S + P - 1, 15, N, S + P - 1, 15}, {S + P, 15, O, S + P, 15}}; }},
        // Centre boxes: the same margin on every side that has one.
        {23, [&](int P) { const int g = m - P;
             return Probes{{g, g, N, g, g}, {g - 1, g, O, g - 1, g}, {g, g - 1, O, g, g - 1},
                           {W - g - 1, H - g - 1, N, W - g - 1, H - g - 1}, {W - g, H - g - 1, O, W - g, H - g - 1}, {W - g - 1, H - g, O, W - g - 1, H - g}}; }},
        {24, [&](int P) { const int g = m - P;
             return Probes{{0, g, N, 0, g}, {0, g - 1, O, 0, g - 1}, {W - 1, H - g - 1, N, W - 1, H - g - 1}, {W - 1, H - g, O, W - 1, H - g}}; }},
        {25, [&](int P) { const int g = c - P;
             return Probes{{g, 0, N, g, 0}, {g - 1, 0, O, g - 1, 0}, {W - g - 1, H - 1, N, W - g - 1, H - 1}, {W - g, H - 1, O, W - g, H - 1}}; }},
        // The old picture cropped in place from the sides, the new one around it.
        {37, [&](int P) { return Probes{{P, P, O, P, P}, {P - 1, P, N, P - 1, P}, {P, P - 1, N, P, P - 1},
                                        {W - P - 1, H - P - 1, O, W - P - 1, H - P - 1}, {W - P, H - P - 1, N, W - P, H - P - 1}}; }},
        {38, [&](int P) { return Probes{{x0, P, O, x0, P}, {x0, P - 1, N, x0, P - 1}, {x0, H - P - 1, O, x0, H - P - 1}, {x0, H - P, N, x0, H - P}}; }},
        {39, [&](int P) { return Probes{{P, y0, O, P, y0}, {P - 1, y0, N, P - 1, y0}, {W - P - 1, y0, O, W - P - 1, y0}, {W - P, y0, N, W - P, y0}}; }},
        // Split wipes: the halves go opposite ways.
        {42, [&](int P) { return Probes{{c - 1, P - 1, N, c - 1, P - 1}, {c - 1, P, O, c - 1, P}, {c, H - P, N, c, H - P}, {c, H - P - 1, O, c, H - P - 1}}; }},
        {43, [&](int P) { return Probes{{c - 1, H - P, N, c - 1, H - P}, {c - 1, H - P - 1, O, c - 1, H - P - 1}, {c, P - 1, N, c, P - 1}, {c, P, O, c, P}}; }},
        {44, [&](int P) { return Probes{{P - 1, m - 1, N, P - 1, m - 1}, {P, m - 1, O, P, m - 1}, {W - P, m, N, W - P, m}, {W - P - 1, m, O, W - P - 1, m}}; }},
        {45, [&](int P) { return Probes{{W - P, m - 1, N, W - P, m - 1}, {W - P - 1, m - 1, O, W - P - 1, m - 1}, {P - 1, m, N, P - 1, m}, {P, m, O, P, m}}; }},
        // Pinwheel: each block slides in from its own side.
        {47, [&](int P) { return Probes{{0, 0, N, 0, v - P}, {0, P, O, 0, P},
                                        {int(a), H - P, N, int(a), u}, {int(a), H - P - 1, O, int(a), H - P - 1},
                                        {0, v, N, int(a) - P, v}, {P - 1, H - 1, N, int(a) - 1, H - 1}, {P, H - 1, O, P, H - 1},
                                        {W - P, 0, N, int(b), 0}, {W - 1, u - 1, N, int(b) + P - 1, u - 1}, {W - P - 1, 0, O, W - P - 1, 0}}; }},
        {48, [&](int P) { const int t = int(a) - P;
             return Probes{{0, 0, O, 0, t}, {0, v - t, N, 0, v - t},
                           {int(a), t + u, O, int(a), u}, {int(a), t + u - 1, N, int(a), t + u - 1},
                           {0, v, O, t, v}, {P, H - 1, N, P, H - 1}, {W - P, 0, O, int(b), 0}, {W - P - 1, 0, N, W - P - 1, 0}}; }},
        // Quadrants: each one shifted diagonally by P, toward or away from the centre.
        {69, [&](int P) { return Probes{{P, P, O, 0, 0}, {P - 1, P, N, P - 1, P}, {c, P, O, c + P, 0}, {W - 1, P, N, W - 1, P},
                                        {P, m, O, 0, m + P}, {P, H - P, N, P, H - P}, {c, m, O, c + P, m + P}, {W - P - 1, H - P - 1, O, W - 1, H - 1}}; }},
        {70, [&](int P) { return Probes{{P, P, N, 0, 0}, {P - 1, P, O, P - 1, P}, {c, P, N, c + P, 0}, {W - P, P, O, W - P, P},
                                        {P, m, N, 0, m + P}, {c, m, N, c + P, m + P}, {W - P - 1, H - P - 1, N, W - 1, H - 1}}; }},
    };
    for (const auto& [e, probes] : seen) {
        EffectRun run(e, W, H, S);
        const Rule rule = RuleOf(e, W, H, S);
        const int k = std::max(2, rule.Frames() / 2);
        RunFrames(run, k);
        for (const Probe& p : probes(int(rule.PAtFrame(k)))) {
            const uint8_t* got = run.screen.RowPtr(p.y) + 3 * p.x;
            const uint8_t* want = p.pic->RowPtr(p.py) + 3 * p.px;
            EXPECT_EQ(std::memcmp(got, want, 3), 0) << Describe(e, p, p.pic == N ? "new" : "old");
        }
    }
}

// A squeeze shows a whole picture in a narrower band: its first and last
// columns (or rows) at the band's edges, its middle in the band's middle.
TEST(RectEffects, SqueezesShowWholePicturesInTheirBands)
{
    const int W = 480, H = 336, y0 = H / 3, x0 = W / 3;
    struct Band {
        bool horizontal;  // the band runs along x
        int from, to;     // [from, to) on that axis
        uint8_t tag;
    };
    const std::map<int, std::function<std::vector<Band>(int)>> bands = {
        {51, [&](int P) { return std::vector<Band>{{true, 0, P, kNewTag}, {true, P, W, kOldTag}}; }},
        {53, [&](int P) { return std::vector<Band>{{true, P, W, kNewTag}, {true, 0, P, kOldTag}}; }},
        {52, [&](int P) { return std::vector<Band>{{false, 0, P, kNewTag}, {false, P, H, kOldTag}}; }},
        {54, [&](int P) { return std::vector<Band>{{false, P, H, kNewTag}, {false, 0, P, kOldTag}}; }},
        {55, [&](int P) { return std::vector<Band>{{true, P, W - P, kNewTag}}; }},
        {56, [&](int P) { return std::vector<Band>{{false, P, H - P, kNewTag}}; }},
        {57, [&](int P) { return std::vector<Band>{{true, P, W - P, kOldTag}}; }},
        {58, [&](int P) { return std::vector<Band>{{false, P, H - P, kOldTag}}; }},
    };
    auto along = [](const uint8_t* px, bool horizontal) { return int(horizontal ? px[1] : px[2]); };
    for (const auto& [e, bandsAt] : bands) {
        EffectRun run(e, W, H, 16);
        const Rule rule = RuleOf(e, W, H, 16);
        const int k = rule.Frames() / 2;
        RunFrames(run, k);
        for (const Band& bd : bandsAt(int(rule.PAtFrame(k)))) {
            auto at = [&](int pos) {
                return bd.horizontal ? run.screen.RowPtr(y0) + 3 * pos : run.screen.RowPtr(pos) + 3 * x0;
            };
            const int mid = (bd.from + bd.to) / 2;
            for (int pos : {bd.from, mid, bd.to - 1})
                EXPECT_EQ(at(pos)[0], bd.tag) << "effect " << e << " at " << pos;
            EXPECT_LE(along(at(bd.from), bd.horizontal), 3) << "effect " << e;
            EXPECT_NEAR(along(at(mid), bd.horizontal), 125, 4) << "effect " << e;
            EXPECT_GE(along(at(bd.to - 1), bd.horizontal), 248) << "effect " << e;
            // Across the band the picture keeps its scale.
            const uint8_t* crossPx = at(mid);
            const int cross = bd.horizontal ? crossPx[2] : crossPx[1];
            EXPECT_NEAR(cross, bd.horizontal ? y0 * 251 / (H - 1) : x0 * 251 / (W - 1), 1) << "effect " << e;
        }
        // Outside the band of a growing or shrinking picture the other one stays untouched.
        if (e >= 55) {
            const uint8_t outside = (e <= 56) ? kOldTag : kNewTag;
            EXPECT_EQ(run.TagAt(0, 0), outside) << "effect " << e;
            EXPECT_EQ(run.TagAt(W - 1, H - 1), outside) << "effect " << e;
        }
    }
}

TEST(RectEffects, LatticeDrawsEvenStripsBeforeThePauseAndOddOnesAfter)
{
    EffectRun run(30, 480, 336, 16);
    for (int i = 0; i < 5; ++i)
        run.Step();
    ASSERT_EQ(run.st.P, 5);
    EffectContext c = run.Context();
    ASSERT_EQ(EffectFor(30)(c), StepOutcome::DrewPart);
    EXPECT_EQ(run.st.P, 5) << "P moves only when the whole frame is drawn";
    // Probes sit at line 15 of a strip across, which no blind has reached yet.
    EXPECT_EQ(run.TagAt(111, 4), kNewTag);        // even row strip, line 4
    EXPECT_EQ(run.TagAt(111, 16 + 4), kOldTag);   // odd row strip waits for the pause
    EXPECT_EQ(run.TagAt(4, 111), kNewTag);        // even column strip
    EXPECT_EQ(run.TagAt(16 + 4, 111), kOldTag);
    run.st.phase = 1;
    ASSERT_EQ(EffectFor(30)(c), StepOutcome::Drew);
    EXPECT_EQ(run.st.P, 6);
    EXPECT_EQ(run.TagAt(111, 16 + 4), kNewTag);
    EXPECT_EQ(run.TagAt(16 + 4, 111), kNewTag);
    EXPECT_EQ(run.TagAt(111, 16 + 5), kOldTag);
}

// At 782 x 478 the pinwheel's top-left and bottom-right blocks are 191 lines
// high, an odd number that P, stepping by 2, never meets: they must still end
// exactly in place and not a line beyond it.
TEST(RectEffects, PinwheelBlocksEndInPlaceAtAnOddBlockHeight)
{
    EffectRun run(47, 782, 478, 16);
    run.RunToEnd();
    const int v = 191, u = 478 - v;
    const int a = 313;  // 0.4 x 782 = 312.8
    for (auto [x, y] : {std::pair{0, 0}, {100, v - 1}, {a, u}, {a + 100, 477}}) {
        EXPECT_EQ(std::memcmp(run.screen.RowPtr(y) + 3 * x, run.newPic.RowPtr(y) + 3 * x, 3), 0)
            << "at (" << x << ", " << y << ")";
    }
}

// Odd and narrow areas, strip sizes that do not divide them: every effect
// runs its full course, draws only the two pictures, and neither writes past
// a row nor touches its sources.
TEST(RectEffects, OddAndTallAreasRunCleanlyToTheEnd)
{
    struct Area {
        int W, H, S;
    };
    for (const Area& ar : {Area{401, 289, 11}, Area{782, 478, 32}, Area{300, 500, 8}, Area{33, 7, 9}}) {
        OldPicture oldRef(ar.W, ar.H);
        for (int e : kRectEffects) {
            SCOPED_TRACE("effect " + std::to_string(e) + " at " + std::to_string(ar.W) + "x" +
                         std::to_string(ar.H));
            EffectRun run(e, ar.W, ar.H, ar.S);
            Surface newBefore;
            newBefore.Create(ar.W, ar.H);
            CopyWhole(newBefore, run.newPic);
            EXPECT_EQ(run.RunToEnd(), RuleOf(e, ar.W, ar.H, ar.S).Frames());
            int fresh = 0, foreign = 0;
            for (int y = 0; y < ar.H; ++y)
                for (int x = 0; x < ar.W; ++x) {
                    const uint8_t t = run.TagAt(x, y);
                    fresh += t == kNewTag;
                    foreign += t != kNewTag && t != kOldTag;
                }
            EXPECT_EQ(foreign, 0);
            // The pinwheel runs by the width, so in a tall area its vertical
            // blocks stop well short; the first pan step completes them.
            const bool shortPinwheel = (e == 47 || e == 48) && ar.H > ar.W;
            if (ar.H > 7)
                EXPECT_GE(fresh, ar.W * ar.H * (shortPinwheel ? 70 : 85) / 100)
                    << "the new picture should be nearly in";
            EXPECT_TRUE(PaddingIsClean(run.screen));
            EXPECT_EQ(std::memcmp(run.newPic.DataPtr(), newBefore.DataPtr(), size_t(newBefore.RGBSize())), 0);
            if (run.oldPic.HasPixels() && EffectStartValues(e, ar.W, ar.H, ar.S).saves)
                EXPECT_EQ(std::memcmp(run.oldPic.DataPtr(), oldRef.pic.DataPtr(), size_t(oldRef.pic.RGBSize())), 0);
        }
    }
}

// The last frames of a squeeze press a whole picture into a few columns or
// lines; a flat colour must come out as that colour, not darker or wrapped.
TEST(RectEffects, SqueezingIntoAFewLinesKeepsAFlatColour)
{
    Surface src, dst;
    src.Create(782, 478);
    dst.Create(782, 478);
    std::memset(src.DataPtr(), 200, size_t(src.RGBSize()));
    for (auto [w, h] : {std::pair{1, 478}, {782, 1}, {3, 5}, {782, 6}}) {
        StretchBlt(dst, 0, 0, w, h, src, 0, 0, 782, 478);
        for (int x : {0, w - 1})
            EXPECT_EQ(dst.RowPtr(h - 1)[3 * x], 200) << w << " x " << h;
    }
}
