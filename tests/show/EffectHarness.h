#pragma once
// Runs a transition effect the way the engine does, on pictures whose every
// pixel tells where it came from, so tests can ask what a frame shows.
#include "imaging/Blit.h"
#include "model/Surface.h"
#include "show/Effect.h"

#include <cstring>
#include <functional>

namespace tamsel::testing {

// Pixel colours that encode their position: the old picture has blue 10, the
// new picture blue 200, so any screen pixel says which picture it shows.
inline void PaintPattern(Surface& s, uint8_t tag)
{
    for (int y = 0; y < s.Height(); ++y) {
        uint8_t* p = s.RowPtr(y);
        for (int x = 0; x < s.Width(); ++x) {
            p[3 * x] = tag;
            p[3 * x + 1] = uint8_t(x * 251 / std::max(1, s.Width() - 1));
            p[3 * x + 2] = uint8_t(y * 251 / std::max(1, s.Height() - 1));
        }
    }
}

inline constexpr uint8_t kOldTag = 10;
inline constexpr uint8_t kNewTag = 200;

struct EffectRun {
    int W, H, S;
    Surface screen, newPic, oldPic;
    EffectState st;
    Rng rng{12345};
    int effect = 0;
    int frames = 0;   // frames drawn (a split frame counts once)

    EffectRun(int effectNo, int w, int h, int s = 16) : W(w), H(h), S(s), effect(effectNo)
    {
        screen.Create(W, H);
        newPic.Create(W, H);
        oldPic.Create(W, H);
        PaintPattern(screen, kOldTag);
        PaintPattern(newPic, kNewTag);
        st.S = S;
        const EffectStart start = EffectStartValues(effect, W, H, S);
        start.ApplyTo(st);
        if (start.saves)
            CopyWhole(oldPic, screen);
    }

    EffectContext Context()
    {
        return EffectContext{screen, newPic, oldPic, W, H, 4, double(W) / double(H), st, rng};
    }

    // One engine step; a split frame is completed within the same call.
    StepOutcome Step()
    {
        EffectStep f = EffectFor(effect);
        if (!f)
            return StepOutcome::Finished;
        EffectContext c = Context();
        StepOutcome o = f(c);
        while (o == StepOutcome::DrewPart) {
            st.phase = 1;
            o = f(c);
            st.phase = 0;
        }
        if (o == StepOutcome::Drew)
            ++frames;
        return o;
    }

    // Runs to the end, calling onFrame after each drawn frame; stops at limit
    // frames so a runaway effect fails a test instead of hanging it.
    int RunToEnd(const std::function<void(int)>& onFrame = {}, int limit = 100000)
    {
        while (frames < limit && Step() == StepOutcome::Drew)
            if (onFrame)
                onFrame(frames);
        return frames;
    }

    // Which picture pixel (x, y) of the screen shows: kOldTag, kNewTag or other.
    uint8_t TagAt(int x, int y) const { return screen.RowPtr(y)[3 * x]; }
    bool ScreenEquals(const Surface& s) const
    {
        return std::memcmp(screen.DataPtr(), s.DataPtr(), size_t(s.RGBSize())) == 0;
    }
};

}  // namespace tamsel::testing
