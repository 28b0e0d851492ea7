// Every transition effect, run over fixed noise pictures, must draw exactly
// the frames recorded in tests/data/effect_frames.txt: the same bytes in every
// frame (half frames included), the same P and quadrant after each, the same
// number of frames, and nothing drawn by the step that reports the end. Any
// change to an effect's drawing, numbers or stepping shows up here.
//
// To record the table anew after a deliberate change of an effect, run this
// test with TAMSEL_WRITE_EFFECT_FRAMES set to the file to write.
#include "imaging/Blit.h"
#include "show/Effect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

namespace tamsel {
namespace {

// FNV-style over 8-byte words: each step is a bijection of the running value,
// so a single changed word always changes the result.
struct Hash {
    uint64_t h = 0xcbf29ce484222325ull;
    void Add(const void* data, size_t n)
    {
        const auto* p = static_cast<const uint8_t*>(data);
        for (; n >= 8; n -= 8, p += 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            h = (h ^ w) * 0x100000001b3ull;
        }
        for (; n; --n, ++p)
            h = (h ^ *p) * 0x100000001b3ull;
    }
};

void FillNoise(Surface& s, uint32_t seed)
{
    uint32_t x = seed;
    for (int i = 0; i < s.RGBSize(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s.DataPtr()[i] = uint8_t(x >> 7);
    }
    // Row padding stays zero, as on a real surface.
    for (int y = 0; y < s.Height(); ++y)
        std::memset(s.RowPtr(y) + 3 * s.Width(), 0, size_t(s.Stride() - 3 * s.Width()));
}

struct Area {
    int W, H, S;
};
// An odd landscape area and a small one where strips, blocks and circles
// overrun the edges.
constexpr Area kAreas[] = {{481, 337, 13}, {64, 40, 9}};

struct Result {
    int frames = 0;
    uint64_t hash = 0;
};

// Runs one effect as the engine does, hashing the screen and the progress
// after every drawn frame or half frame, and after the step that ends it.
Result RunAndHash(int effect, const Area& a)
{
    Surface screen, newPic, oldPic;
    screen.Create(a.W, a.H);
    newPic.Create(a.W, a.H);
    oldPic.Create(a.W, a.H);
    FillNoise(screen, 0x1234567u + uint32_t(a.W));
    FillNoise(newPic, 0x89abcdeu + uint32_t(a.H));
    FillNoise(oldPic, 0x2468aceu);
    EffectState st;
    st.S = a.S;
    st.P = -7;  // what a previous effect left; kept by the ones that set nothing
    st.Q = -9;
    st.TransQuadrant = 3;
    const EffectStart start = EffectStartValues(effect, a.W, a.H, a.S);
    start.ApplyTo(st);
    if (start.saves)
        CopyWhole(oldPic, screen);
    Rng rng(12345);
    EffectContext c{screen, newPic, oldPic, a.W, a.H, 4, double(a.W) / a.H, st, rng};
    const EffectStep step = EffectFor(effect);
    Hash h;
    auto record = [&](StepOutcome o) {
        h.Add(&o, sizeof o);
        h.Add(&st.P, sizeof st.P);
        h.Add(&st.Q, sizeof st.Q);
        h.Add(&st.TransQuadrant, sizeof st.TransQuadrant);
        h.Add(screen.DataPtr(), size_t(screen.RGBSize()));
    };
    Result r;
    for (StepOutcome o = StepOutcome::Drew; o != StepOutcome::Finished && r.frames < 20000;) {
        o = step(c);
        if (o == StepOutcome::DrewPart) {
            record(o);
            st.phase = 1;
            o = step(c);
            st.phase = 0;
        }
        record(o);
        r.frames += o == StepOutcome::Drew;
    }
    r.hash = h.h;
    return r;
}

std::string Key(int effect, const Area& a)
{
    return std::to_string(effect) + " " + std::to_string(a.W) + "x" + std::to_string(a.H) + "/" +
           std::to_string(a.S);
}

std::string TablePath()
{
    const char* data = std::getenv("TAMSEL_TEST_DATA");
    return std::string(data ? data : TAMSEL_SOURCE_DIR "/tests/data") + "/effect_frames.txt";
}

TEST(EffectFrames, EveryEffectDrawsTheRecordedFrames)
{
    std::map<std::string, Result> got;
    for (const Area& a : kAreas) {
        for (int e = 1; e <= 70; ++e)
            got[Key(e, a)] = RunAndHash(e, a);
        got[Key(255, a)] = RunAndHash(255, a);
    }

    if (const char* out = std::getenv("TAMSEL_WRITE_EFFECT_FRAMES")) {
        std::ofstream f(out);
        for (const auto& [key, r] : got)
            f << key << " " << r.frames << " " << std::hex << r.hash << std::dec << "\n";
        GTEST_SKIP() << "recorded " << got.size() << " runs in " << out;
    }

    std::ifstream f(TablePath());
    ASSERT_TRUE(f) << TablePath();
    std::map<std::string, Result> want;
    std::string effect, area;
    Result r;
    while (f >> effect >> area >> r.frames >> std::hex >> r.hash >> std::dec)
        want[effect + " " + area] = r;
    ASSERT_EQ(want.size(), got.size());
    for (const auto& [key, w] : want) {
        ASSERT_TRUE(got.count(key)) << key;
        EXPECT_EQ(got[key].frames, w.frames) << "effect " << key;
        EXPECT_EQ(got[key].hash, w.hash) << "effect " << key << ": the frames differ";
    }
}

}  // namespace
}  // namespace tamsel
