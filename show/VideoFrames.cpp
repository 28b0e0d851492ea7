#include "show/VideoFrames.h"

#include "model/Surface.h"
#include "platform/VectorClones.h"

#include <cmath>
#include <vector>

namespace tamsel {
namespace {

// Above this many rows videoconvert takes a frame for HD and uses BT.709.
constexpr int kLargestSdHeight = 576;

// The weights of R, G and B in each of Y, U and V, in 256ths, rounded as
// videoconvert rounds them; each sum is floored, as its 8-bit path does.
struct Matrix {
    int y[3], u[3], v[3];
};

Matrix MatrixFor(int height)
{
    const bool hd = height > kLargestSdHeight;
    const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114, kg = 1.0 - kr - kb;
    // Studio range: 219 steps of luma from 16, 224 of chroma around 128.
    const double ys = 219.0 / 255.0, cs = 224.0 / 255.0;
    auto w = [](double f) { return int(std::lrint(f * 256.0)); };
    return {{w(ys * kr), w(ys * kg), w(ys * kb)},
            {w(-cs * kr / (2 * (1 - kb))), w(-cs * kg / (2 * (1 - kb))), w(cs * 0.5)},
            {w(cs * 0.5), w(-cs * kg / (2 * (1 - kr))), w(-cs * kb / (2 * (1 - kr)))}};
}

// One row: its luma, and its chroma at full width for the pair's average.
// The results stay within 16..240 for any pixel, so nothing is clamped. Each
// weighted sum fits 16 bits (luma below 65536, chroma within +-28560), so it
// is worked out in 16-bit lanes, twice as many to a vector: the wrap-around
// of a partial sum cancels out in the whole one.
TAMSEL_VECTOR_CLONES
void ConvertRow(const uint8_t* bgr, int width, const Matrix& m, uint8_t* y, int16_t* u, int16_t* v)
{
    const uint16_t yr = uint16_t(m.y[0]), yg = uint16_t(m.y[1]), yb = uint16_t(m.y[2]);
    const uint16_t ur = uint16_t(m.u[0]), ug = uint16_t(m.u[1]), ub = uint16_t(m.u[2]);
    const uint16_t vr = uint16_t(m.v[0]), vg = uint16_t(m.v[1]), vb = uint16_t(m.v[2]);
    for (int x = 0; x < width; ++x) {
        const uint16_t b = bgr[3 * x], g = bgr[3 * x + 1], r = bgr[3 * x + 2];
        const uint16_t ys = uint16_t(yr * r + yg * g + yb * b);
        const auto us = int16_t(uint16_t(ur * r + ug * g + ub * b));
        const auto vs = int16_t(uint16_t(vr * r + vg * g + vb * b));
        y[x] = uint8_t((ys >> 8) + 16);
        u[x] = int16_t((us >> 8) + 128);
        v[x] = int16_t((vs >> 8) + 128);
    }
}

// A chroma row of the frame from the full-width chroma of two rows: the two
// rows averaged, then each pair of columns, centred or weighted 1-2-1 around
// the even column (the first and last columns repeat their own value for the
// neighbour that is missing or, at the right edge, that videoconvert leaves out).
TAMSEL_VECTOR_CLONES
void ChromaRow(const int16_t* top, const int16_t* bottom, int width, bool cosited, int16_t* mid, uint8_t* out)
{
    for (int x = 0; x < width; ++x)
        mid[x] = int16_t((top[x] + bottom[x] + 1) >> 1);
    const int n = width / 2;
    if (!cosited) {
        for (int i = 0; i < n; ++i)
            out[i] = uint8_t((mid[2 * i] + mid[2 * i + 1] + 1) >> 1);
        return;
    }
    if (n == 1) {
        out[0] = uint8_t(mid[0]);
        return;
    }
    out[0] = uint8_t((3 * mid[0] + mid[1] + 2) >> 2);
    for (int i = 1; i < n - 1; ++i)
        out[i] = uint8_t((mid[2 * i - 1] + 2 * mid[2 * i] + mid[2 * i + 1] + 2) >> 2);
    out[n - 1] = uint8_t((mid[2 * n - 3] + 3 * mid[2 * n - 2] + 2) >> 2);
}

}  // namespace

bool ConvertsLikeVideoconvert(QSize size)
{
    return size.width() >= 2 && size.width() % 2 == 0 && size.height() >= 4 && size.height() % 4 == 0;
}

void ToI420(const Surface& screen, const I420Planes& out)
{
    const int w = screen.Width(), h = screen.Height();
    const Matrix m = MatrixFor(h);
    const bool cosited = h > kLargestSdHeight;
    std::vector<int16_t> rows(size_t(w) * 5);
    int16_t* u0 = rows.data();
    int16_t* v0 = u0 + w;
    int16_t* u1 = v0 + w;
    int16_t* v1 = u1 + w;
    int16_t* mid = v1 + w;
    for (int y = 0; y + 1 < h; y += 2) {
        ConvertRow(screen.RowPtr(y), w, m, out.plane[0] + size_t(y) * out.stride[0], u0, v0);
        ConvertRow(screen.RowPtr(y + 1), w, m, out.plane[0] + size_t(y + 1) * out.stride[0], u1, v1);
        ChromaRow(u0, u1, w, cosited, mid, out.plane[1] + size_t(y / 2) * out.stride[1]);
        ChromaRow(v0, v1, w, cosited, mid, out.plane[2] + size_t(y / 2) * out.stride[2]);
    }
}

}  // namespace tamsel
