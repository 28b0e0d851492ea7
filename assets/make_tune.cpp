// Composes the album's default tune, "开始曲": a short, quiet pentatonic air
// on a plucked zither voice over a soft pad and a low arpeggio, with a little
// room reverb. Writes a 44.1 kHz 16-bit stereo WAV file; the album installs it
// encoded as WMA (see README.md).
//
//   tamsel-make-tune OUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr double Bpm = 76;
constexpr double Beat = 60.0 / Bpm;
constexpr double Pi = 3.14159265358979323846;

double Hz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

struct Stereo {
    std::vector<double> l, r;
    explicit Stereo(size_t n) : l(n, 0.0), r(n, 0.0) {}
    size_t size() const { return l.size(); }
    void Add(size_t i, double v, double pan)
    {
        if (i >= l.size()) return;
        // Constant-power pan, pan in [-1, 1].
        const double a = (pan + 1) * Pi / 4;
        l[i] += v * std::cos(a);
        r[i] += v * std::sin(a);
    }
};

// A zither string: harmonics that fade faster the higher they are, and after
// a moment the player's left hand presses a gentle vibrato into the string.
void Pluck(Stereo& out, double start, double len, int midi, double amp, double pan, bool vibrato)
{
    const double f = Hz(midi);
    const double ring = len + 1.6;
    const size_t s0 = size_t(start * Rate);
    const size_t n = size_t(ring * Rate);
    std::vector<double> phase(9, 0.0);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / Rate;
        double bend = 1.0;
        if (vibrato && t > 0.28)
            bend += 0.0045 * std::sin(2 * Pi * 5.2 * t) * std::min(1.0, (t - 0.28) / 0.4);
        double v = 0;
        for (int k = 1; k <= 8; ++k) {
            const double fk = f * k * bend;
            if (fk > Rate / 2.2) break;
            phase[k] += 2 * Pi * fk / Rate;
            v += std::sin(phase[k]) * std::exp(-t * (1.1 + 0.85 * k)) / std::pow(k, 1.15);
        }
        const double attack = std::min(1.0, t / 0.004);
        // After the note's time the string is damped, not cut.
        const double damp = t < len ? 1.0 : std::exp(-(t - len) * 3.0);
        out.Add(s0 + i, v * amp * attack * damp, pan);
    }
}

// A soft pad: a few detuned sines swelling in and out.
void Pad(Stereo& out, double start, double len, const std::vector<int>& notes, double amp)
{
    const size_t s0 = size_t(start * Rate);
    const double tail = 1.2;
    const size_t n = size_t((len + tail) * Rate);
    for (size_t j = 0; j < notes.size(); ++j) {
        const double f = Hz(notes[j]);
        for (int side = 0; side < 2; ++side) {
            const double detune = side ? 1.0021 : 0.9979;
            double ph = side * 1.3 + j;
            for (size_t i = 0; i < n; ++i) {
                const double t = double(i) / Rate;
                ph += 2 * Pi * f * detune / Rate;
                const double env = std::min(1.0, t / 0.9) * (t < len ? 1.0 : std::exp(-(t - len) * 3.5));
                const double v = (std::sin(ph) + 0.22 * std::sin(2 * ph) + 0.06 * std::sin(3 * ph)) * env * amp;
                out.Add(s0 + i, v, side ? 0.45 : -0.45);
            }
        }
    }
}

// A small room: parallel combs then allpasses, a different set per side.
std::vector<double> Reverb(const std::vector<double>& in, int seed)
{
    const int combs[2][4] = {{1557, 1617, 1491, 1422}, {1580, 1640, 1514, 1445}};
    const int alls[2][2] = {{556, 441}, {579, 464}};
    std::vector<double> wet(in.size(), 0.0);
    for (int c = 0; c < 4; ++c) {
        const int d = combs[seed][c];
        std::vector<double> buf(d, 0.0);
        double lp = 0;
        for (size_t i = 0; i < in.size(); ++i) {
            const double y = buf[i % d];
            lp = y * 0.6 + lp * 0.4;                     // damping of the highs
            buf[i % d] = in[i] + lp * 0.80;
            wet[i] += y * 0.25;
        }
    }
    for (int a = 0; a < 2; ++a) {
        const int d = alls[seed][a];
        std::vector<double> buf(d, 0.0);
        for (size_t i = 0; i < wet.size(); ++i) {
            const double b = buf[i % d];
            const double y = -wet[i] + b;
            buf[i % d] = wet[i] + b * 0.5;
            wet[i] = y;
        }
    }
    return wet;
}

bool WriteWav(const std::string& path, const Stereo& s)
{
    std::ofstream f(path, std::ios::binary);
    if (!f) return false;
    auto u32 = [&](uint32_t v) { f.put(char(v)); f.put(char(v >> 8)); f.put(char(v >> 16)); f.put(char(v >> 24)); };
    auto u16 = [&](uint16_t v) { f.put(char(v)); f.put(char(v >> 8)); };
    const uint32_t frames = uint32_t(s.size());
    const uint32_t bytes = frames * 4;
    f.write("RIFF", 4); u32(36 + bytes); f.write("WAVE", 4);
    f.write("fmt ", 4); u32(16); u16(1); u16(2); u32(Rate); u32(Rate * 4); u16(4); u16(16);
    f.write("data", 4); u32(bytes);
    for (size_t i = 0; i < s.size(); ++i) {
        u16(uint16_t(int16_t(std::lround(std::clamp(s.l[i], -1.0, 1.0) * 32767))));
        u16(uint16_t(int16_t(std::lround(std::clamp(s.r[i], -1.0, 1.0) * 32767))));
    }
    return bool(f);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.wav\n", argv[0]);
        return 2;
    }
    // D major pentatonic: D E F# A B.
    enum { D3 = 50, E3 = 52, Fs3 = 54, A3 = 57, B3 = 59, D4 = 62, E4 = 64, Fs4 = 66, A4 = 69, B4 = 71,
           D5 = 74, E5 = 76, A2 = 45, B2 = 47, D2 = 38, E2 = 40, Rest = 0 };
    struct Note { int midi; double beats; };
    const std::vector<std::vector<Note>> melody = {
        {{A4, 1}, {B4, .5}, {A4, .5}, {Fs4, 1}, {E4, 1}},
        {{D4, 1.5}, {E4, .5}, {Fs4, 1}, {A4, 1}},
        {{B4, 1}, {D5, .5}, {B4, .5}, {A4, 1}, {Fs4, .5}, {A4, .5}},
        {{E4, 3}, {Rest, 1}},
        {{A4, 1}, {B4, .5}, {D5, .5}, {E5, 1}, {D5, 1}},
        {{B4, 1.5}, {A4, .5}, {Fs4, 1}, {E4, 1}},
        {{Fs4, 1}, {A4, .5}, {B4, .5}, {D5, 1}, {B4, .5}, {A4, .5}},
        {{Fs4, 1}, {E4, .5}, {Fs4, .5}, {A4, 2}},
        {{B4, .5}, {A4, .5}, {Fs4, 1}, {E4, 1}, {Fs4, .5}, {E4, .5}},
        {{D4, 4}},
    };
    // One root per bar; the arpeggio walks root, fifth, octave and a colour tone.
    const int roots[] = {D2, B2 - 12, E2, A2 - 12, D2, B2 - 12, E2, A2 - 12, E2, D2};
    const double intro = Beat * 2;   // the pad alone for two beats
    const double total = intro + melody.size() * 4 * Beat + 3.5;
    Stereo dry(size_t(total * Rate));

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> humanise(-0.012, 0.012);
    for (size_t bar = 0; bar < melody.size(); ++bar) {
        const double t0 = intro + bar * 4 * Beat;
        const int r = roots[bar] + 12;
        // Pad: root, fifth and the ninth for a little air.
        Pad(dry, bar == 0 ? 0 : t0, bar == 0 ? t0 + 4 * Beat : 4 * Beat, {r + 12, r + 19, r + 26}, 0.030);
        // The colour tone above the octave stays inside the scale: F# over D,
        // D over B, and the ninth over E and A (their thirds are not in it).
        const int colour = r % 12 == 2 ? 16 : r % 12 == 11 ? 15 : 14;
        const int arp[] = {r, r + 7, r + 12, r + colour, r + 12, r + 7, r + 12, r + 19};
        for (int k = 0; k < 8; ++k) {
            if (bar + 1 == melody.size() && k > 0) break;  // the last bar rings on one note
            Pluck(dry, t0 + k * Beat / 2 + humanise(rng), Beat / 2 * 1.6, arp[k], k == 0 ? 0.085 : 0.055,
                  -0.35 + 0.1 * (k % 3), false);
        }
        double t = t0;
        for (const Note& n : melody[bar]) {
            if (n.midi != Rest)
                Pluck(dry, t + humanise(rng), n.beats * Beat, n.midi, 0.20, 0.15, n.beats >= 1);
            t += n.beats * Beat;
        }
    }
    // A last high harmonic, as a zither player ends.
    Pluck(dry, intro + melody.size() * 4 * Beat - Beat * 0.02, 2.5, D5 + 12, 0.07, 0.3, false);

    const std::vector<double> wl = Reverb(dry.l, 0), wr = Reverb(dry.r, 1);
    Stereo mix(dry.size());
    for (size_t i = 0; i < dry.size(); ++i) {
        mix.l[i] = dry.l[i] * 0.85 + wl[i] * 0.30;
        mix.r[i] = dry.r[i] * 0.85 + wr[i] * 0.30;
    }
    // Fade in and out, then bring the peak to about -1 dB.
    double peak = 1e-9;
    for (size_t i = 0; i < mix.size(); ++i) {
        const double t = double(i) / Rate;
        const double g = std::min(1.0, t / 0.8) * std::min(1.0, (total - t) / 2.5);
        mix.l[i] *= g;
        mix.r[i] *= g;
        peak = std::max({peak, std::abs(mix.l[i]), std::abs(mix.r[i])});
    }
    const double gain = 0.89 / peak;
    for (size_t i = 0; i < mix.size(); ++i) {
        mix.l[i] *= gain;
        mix.r[i] *= gain;
    }
    if (!WriteWav(argv[1], mix)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %.1f s\n", argv[1], total);
    return 0;
}
