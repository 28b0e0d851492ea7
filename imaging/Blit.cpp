#include "imaging/Blit.h"

#include "platform/VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

namespace tamsel {

bool ClipCopy(int& x, int& y, int& w, int& h, int& sx, int& sy, int dstW, int dstH, int srcW,
              int srcH)
{
    if (w <= 0 || h <= 0)
        return false;
    // Shift the left/top edges in until both rectangles start inside their surfaces.
    int d = std::max({0, -x, -sx});
    x += d; sx += d; w -= d;
    d = std::max({0, -y, -sy});
    y += d; sy += d; h -= d;
    w = std::min({w, dstW - x, srcW - sx});
    h = std::min({h, dstH - y, srcH - sy});
    return w > 0 && h > 0;
}

void BitBlt(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    if (!ClipCopy(x, y, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height()))
        return;
    const size_t bytes = size_t(w) * 3;
    // Copying within one surface downwards must start at the bottom row so no
    // source row is overwritten before it is read.
    const bool backwards = (&dst == &src) && y > sy;
    for (int i = 0; i < h; ++i) {
        const int r = backwards ? h - 1 - i : i;
        std::memmove(dst.RowPtr(y + r) + size_t(x) * 3, src.RowPtr(sy + r) + size_t(sx) * 3, bytes);
    }
}

void CopyWhole(CLSDIB& dst, const CLSDIB& src)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    if (dst.Width() != src.Width() || dst.Height() != src.Height()) {
        // Only while the window is being resized do the two differ for a moment.
        BitBlt(dst, 0, 0, src.Width(), src.Height(), src, 0, 0);
        return;
    }
    std::memcpy(dst.DataPtr(), src.DataPtr(), size_t(src.RGBSize()));
}

namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;

// For every destination index along one axis: the first source index and K
// fixed-point weights (summing to kWeightOne) of the source pixels from there
// on. K is the same for the whole axis, padded with zero weights, so the
// inner loops have a fixed length.
struct AxisMap {
    int K = 1;
    std::vector<int> first;
    std::vector<int32_t> weights;   // K per destination index
};

// Maps destination indices [from, to) of a dn-long destination run onto a
// sn-long source run that starts at s0, in a source of srcLen pixels.
void BuildAxis(AxisMap& m, int dn, int sn, int s0, int srcLen, int from, int to)
{
    const int n = to - from;
    const double scale = double(sn) / double(dn);
    // Shrinking reads every source pixel under the footprint; growing reads two.
    m.K = 2;
    if (sn > dn) {
        // The widest footprint decides the window; padding every pixel to a
        // worst case of ceil(scale) + 1 would cost a tap on most of them.
        m.K = 1;
        for (int i = from; i < to; ++i) {
            const int j0 = int(std::floor(i * scale));
            const int j1 = std::min(int(std::ceil((i + 1) * scale)), sn);
            m.K = std::max(m.K, j1 - j0);
        }
    }
    m.K = std::min(m.K, srcLen);
    m.first.assign(size_t(n), 0);
    m.weights.assign(size_t(n) * size_t(m.K), 0);
    double raw[64];
    std::vector<double> rawBig;
    double* tmp = raw;
    if (m.K + 1 > 64) {
        rawBig.resize(size_t(m.K) + 1);
        tmp = rawBig.data();
    }
    for (int k = 0; k < n; ++k) {
        const int i = from + k;
        int j0, taps = 0;
        if (sn > dn) {
            // Each source pixel counts by how much of it falls into the
            // destination pixel's footprint.
            const double a = i * scale, b = (i + 1) * scale;
            j0 = int(std::floor(a));
            const int j1 = std::min(int(std::ceil(b)), sn);
            for (int j = j0; j < j1 && taps <= m.K; ++j) {
                const double lo = std::max(a, double(j)), hi = std::min(b, double(j + 1));
                tmp[taps++] = std::max(0.0, hi - lo);
            }
        } else {
            // Bilinear between the two nearest source pixel centres.
            double u = (i + 0.5) * scale - 0.5;
            u = std::clamp(u, 0.0, double(sn - 1));
            j0 = int(std::floor(u));
            const double f = u - j0;
            tmp[taps++] = 1.0 - f;
            if (f > 0 && j0 + 1 < sn)
                tmp[taps++] = f;
        }
        double sum = 0;
        for (int t = 0; t < taps; ++t)
            sum += tmp[t];
        // Keep the K-wide window inside the source surface; weights of taps
        // that fall outside it fold onto the nearest edge pixel.
        const int want = s0 + j0;
        const int firstTap = std::clamp(want, 0, srcLen - m.K);
        int32_t* w = &m.weights[size_t(k) * size_t(m.K)];
        int total = 0, best = 0;
        for (int t = 0; t < taps; ++t) {
            const int slot = std::clamp(want + t, 0, srcLen - 1) - firstTap;
            const int q = int(std::lround(tmp[t] / sum * kWeightOne));
            w[std::clamp(slot, 0, m.K - 1)] += q;
            total += q;
        }
        for (int t = 1; t < m.K; ++t)
            if (w[t] > w[best])
                best = t;
        // The rounding error goes to the heaviest tap, unless many equal taps
        // all rounded up (a shrink of a few hundred to one): then it would
        // drive that tap negative, so take it back one unit per tap instead.
        int excess = total - kWeightOne;
        if (w[best] - excess >= 0)
            w[best] -= excess;
        else
            for (int t = 0; excess > 0; t = (t + 1) % m.K)
                if (w[t] > 0) {
                    --w[t];
                    --excess;
                }
        m.first[size_t(k)] = firstTap;
    }
}

// Horizontal pass over one row, K taps (0: the axis's own count). The row
// holds 16-bit values with 8 extra bits after a vertical pass, or plain source
// bytes where no vertical mixing was needed.
template <int K, typename T>
void HorizontalRow(uint8_t* d, const T* row, int colFirst, const AxisMap& hx, int n)
{
    constexpr int shift = kWeightBits + (sizeof(T) == 1 ? 0 : 8);
    constexpr uint32_t half = 1u << (shift - 1);
    // Local copies: stores through d may alias anything, which would make the
    // compiler reload the map's pointers on every pixel.
    const int k = K > 0 ? K : hx.K;
    const int32_t* const weights = hx.weights.data();
    const int* const first = hx.first.data();
    for (int i = 0; i < n; ++i) {
        const int32_t* w = weights + size_t(i) * size_t(k);
        const T* m = row + size_t(first[i] - colFirst) * 3;
        uint32_t b = half, g = half, r = half;
        for (int t = 0; t < k; ++t) {
            const uint32_t wt = uint32_t(w[t]);
            b += m[0] * wt;
            g += m[1] * wt;
            r += m[2] * wt;
            m += 3;
        }
        d[0] = uint8_t(std::min<uint32_t>(255, b >> shift));
        d[1] = uint8_t(std::min<uint32_t>(255, g >> shift));
        d[2] = uint8_t(std::min<uint32_t>(255, r >> shift));
        d += 3;
    }
}

template <typename Fn>
void ByTaps(int K, Fn&& fn)
{
    switch (K) {
    case 1: fn(std::integral_constant<int, 1>{}); break;
    case 2: fn(std::integral_constant<int, 2>{}); break;
    case 3: fn(std::integral_constant<int, 3>{}); break;
    case 4: fn(std::integral_constant<int, 4>{}); break;
    default: fn(std::integral_constant<int, 0>{}); break;
    }
}

}  // namespace

TAMSEL_VECTOR_CLONES void StretchBlt(CLSDIB& dst, int dx, int dy, int dw, int dh,
                const CLSDIB& src, int sx, int sy, int sw, int sh)
{
    if (!dst.HasPixels() || !src.HasPixels() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    if (dw == sw && dh == sh) {
        BitBlt(dst, dx, dy, dw, dh, src, sx, sy);
        return;
    }
    // Visible destination range; the mapping stays that of the whole rectangle.
    const int x0 = std::max(0, -dx), x1 = std::min(dw, dst.Width() - dx);
    const int y0 = std::max(0, -dy), y1 = std::min(dh, dst.Height() - dy);
    if (x1 <= x0 || y1 <= y0)
        return;
    // Source pixels outside the source surface are not there: clip the source
    // rectangle's reach to it.
    if (sx >= src.Width() || sy >= src.Height() || sx + sw <= 0 || sy + sh <= 0)
        return;

    // The maps are rebuilt for every call; keeping their storage saves the
    // allocations on the per-frame path.
    thread_local AxisMap hx, vy;
    thread_local std::vector<uint16_t> mid;
    thread_local std::vector<uint32_t> acc;
    BuildAxis(hx, dw, sw, sx, src.Width(), x0, x1);
    BuildAxis(vy, dh, sh, sy, src.Height(), y0, y1);

    // Columns of the source that any output pixel reads.
    const int colFirst = hx.first.front();
    const int colLast = hx.first.back() + hx.K;
    const size_t n = size_t(colLast - colFirst) * 3;
    mid.resize(n);
    acc.resize(std::max(n, size_t(x1 - x0) * 3));
    const int outW = x1 - x0;
    // A strong vertical shrink reads more rows per output row than a small
    // fixed list would hold; every one of them carries weight.
    thread_local std::vector<const uint8_t*> rows;
    thread_local std::vector<uint32_t> wts;
    rows.resize(size_t(vy.K));
    wts.resize(size_t(vy.K));

    // A run that keeps its width needs no horizontal pass at all.
    const bool sameWidth = dw == sw && sx + x0 >= 0 && sx + x1 <= src.Width();

    for (int k = 0; k < y1 - y0; ++k) {
        const int32_t* wv = &vy.weights[size_t(k) * size_t(vy.K)];
        int taps = 0;
        for (int t = 0; t < vy.K; ++t)
            if (wv[t]) {
                rows[taps] = src.RowPtr(vy.first[size_t(k)] + t);
                wts[taps++] = uint32_t(wv[t]);
            }
        uint8_t* d = dst.RowPtr(dy + y0 + k) + size_t(dx + x0) * 3;

        if (sameWidth) {
            // Vertical mixing straight into the destination row.
            const size_t off = size_t(sx + x0) * 3, m = size_t(outW) * 3;
            if (taps == 1) {
                std::memcpy(d, rows[0] + off, m);
            } else {
                uint32_t* a = acc.data();
                for (size_t c = 0; c < m; ++c)
                    a[c] = 8192u + rows[0][off + c] * wts[0];
                for (int t = 1; t < taps; ++t) {
                    const uint8_t* r = rows[t] + off;
                    const uint32_t w = wts[t];
                    for (size_t c = 0; c < m; ++c)
                        a[c] += r[c] * w;
                }
                for (size_t c = 0; c < m; ++c)
                    d[c] = uint8_t(std::min<uint32_t>(255, a[c] >> kWeightBits));
            }
            continue;
        }
        if (taps == 1) {
            // One source row: the horizontal pass reads its bytes directly.
            const uint8_t* row = rows[0] + size_t(colFirst) * 3;
            ByTaps(hx.K, [&](auto K) { HorizontalRow<decltype(K)::value>(d, row, colFirst, hx, outW); });
            continue;
        }
        // Vertical pass first: it reads each needed source row in memory
        // order, keeping 8 extra bits for the horizontal pass.
        for (int t = 0; t < taps; ++t)
            rows[t] += size_t(colFirst) * 3;
        uint16_t* mp = mid.data();
        if (taps == 2) {
            const uint8_t *r0 = rows[0], *r1 = rows[1];
            const uint32_t w0 = wts[0], w1 = wts[1];
            for (size_t c = 0; c < n; ++c)
                mp[c] = uint16_t((r0[c] * w0 + r1[c] * w1 + 32u) >> 6);
        } else {
            // Row by row into an accumulator: each pass is a plain vector loop.
            uint32_t* a = acc.data();
            for (size_t c = 0; c < n; ++c)
                a[c] = 32u + rows[0][c] * wts[0];
            for (int t = 1; t < taps; ++t) {
                const uint8_t* r = rows[t];
                const uint32_t w = wts[t];
                for (size_t c = 0; c < n; ++c)
                    a[c] += r[c] * w;
            }
            for (size_t c = 0; c < n; ++c)
                mp[c] = uint16_t(a[c] >> 6);
        }
        const uint16_t* mixed = mp;
        ByTaps(hx.K, [&](auto K) { HorizontalRow<decltype(K)::value>(d, mixed, colFirst, hx, outW); });
    }
}

TAMSEL_VECTOR_CLONES void AlphaBlendConst(CLSDIB& dst, int x, int y, int w, int h,
                     const CLSDIB& src, int sx, int sy, int alpha)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    if (!ClipCopy(x, y, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height()))
        return;
    alpha = std::clamp(alpha, 0, 255);
    const uint32_t a = uint32_t(alpha), na = 255u - a;
    const size_t n = size_t(w) * 3;
    for (int r = 0; r < h; ++r) {
        uint8_t* d = dst.RowPtr(y + r) + size_t(x) * 3;
        const uint8_t* s = src.RowPtr(sy + r) + size_t(sx) * 3;
        for (size_t c = 0; c < n; ++c) {
            // Exact rounded division by 255 without a divide.
            const uint32_t v = s[c] * a + d[c] * na + 128u;
            d[c] = uint8_t((v + (v >> 8)) >> 8);
        }
    }
}

}  // namespace tamsel
