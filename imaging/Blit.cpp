#include "imaging/Blit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

// For every destination index along one axis: the first source index and the
// fixed-point weights of the source pixels that make it up (summing to kWeightOne).
struct AxisMap {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset;   // into weights
    std::vector<uint16_t> weights;
};

// Maps destination indices [from, to) of a dn-long destination run onto a
// sn-long source run that starts at s0, in a source of srcLen pixels.
AxisMap BuildAxis(int dn, int sn, int s0, int srcLen, int from, int to)
{
    AxisMap m;
    const int n = to - from;
    m.first.resize(n);
    m.count.resize(n);
    m.offset.resize(n);
    const double scale = double(sn) / double(dn);
    std::vector<double> tmp;
    for (int k = 0; k < n; ++k) {
        const int i = from + k;
        tmp.clear();
        int j0;
        if (sn > dn) {
            // Shrinking: every source pixel counts by how much of it falls into
            // the destination pixel's footprint.
            const double a = i * scale, b = (i + 1) * scale;
            j0 = int(std::floor(a));
            const int j1 = std::min(int(std::ceil(b)), sn);
            for (int j = j0; j < j1; ++j) {
                const double lo = std::max(a, double(j)), hi = std::min(b, double(j + 1));
                tmp.push_back(std::max(0.0, hi - lo));
            }
        } else {
            // Growing: bilinear between the two nearest source pixel centres.
            double u = (i + 0.5) * scale - 0.5;
            u = std::clamp(u, 0.0, double(sn - 1));
            j0 = int(std::floor(u));
            const double f = u - j0;
            tmp.push_back(1.0 - f);
            if (f > 0 && j0 + 1 < sn)
                tmp.push_back(f);
        }
        double sum = 0;
        for (double t : tmp)
            sum += t;
        // Clamp the taps into the source surface, folding weights of pixels
        // outside it onto the nearest edge pixel.
        std::vector<int> taps(tmp.size());
        for (size_t t = 0; t < tmp.size(); ++t)
            taps[t] = std::clamp(s0 + j0 + int(t), 0, srcLen - 1);
        const int firstTap = taps.front();
        const int span = taps.back() - firstTap + 1;
        std::vector<int> w(span, 0);
        int total = 0;
        int best = 0;
        for (size_t t = 0; t < tmp.size(); ++t) {
            const int q = int(std::lround(tmp[t] / sum * kWeightOne));
            w[taps[t] - firstTap] += q;
            total += q;
        }
        for (int t = 1; t < span; ++t)
            if (w[t] > w[best])
                best = t;
        // The rounding error goes to the heaviest tap, unless many equal taps
        // all rounded up (a shrink of a few hundred to one): then it would
        // drive that tap negative, so take it back one unit per tap instead.
        int excess = total - kWeightOne;
        if (w[best] - excess >= 0)
            w[best] -= excess;
        else
            for (int t = 0; excess > 0; t = (t + 1) % span)
                if (w[t] > 0) {
                    --w[t];
                    --excess;
                }
        m.first[k] = firstTap;
        m.count[k] = span;
        m.offset[k] = int(m.weights.size());
        for (int q : w)
            m.weights.push_back(uint16_t(q));
    }
    return m;
}

}  // namespace

void StretchBlt(CLSDIB& dst, int dx, int dy, int dw, int dh,
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

    const AxisMap hx = BuildAxis(dw, sw, sx, src.Width(), x0, x1);
    const AxisMap vy = BuildAxis(dh, sh, sy, src.Height(), y0, y1);

    // Columns of the source that any output pixel reads.
    const int colFirst = hx.first.front();
    const int colLast = hx.first.back() + hx.count.back();
    const int cols = colLast - colFirst;
    std::vector<uint32_t> acc(size_t(cols) * 3);
    std::vector<uint16_t> mid(size_t(cols) * 3);

    for (int k = 0; k < y1 - y0; ++k) {
        // Vertical pass first: it reads each needed source row in memory order.
        std::fill(acc.begin(), acc.end(), 0u);
        const uint16_t* wv = &vy.weights[size_t(vy.offset[k])];
        for (int t = 0; t < vy.count[k]; ++t) {
            const uint32_t wt = wv[t];
            if (!wt)
                continue;
            const uint8_t* s = src.RowPtr(vy.first[k] + t) + size_t(colFirst) * 3;
            uint32_t* a = acc.data();
            const size_t n = size_t(cols) * 3;
            for (size_t c = 0; c < n; ++c)
                a[c] += s[c] * wt;
        }
        // Keep 8 extra bits of the vertical result for the horizontal pass.
        for (size_t c = 0; c < acc.size(); ++c)
            mid[c] = uint16_t((acc[c] + (1u << 5)) >> 6);

        uint8_t* d = dst.RowPtr(dy + y0 + k) + size_t(dx + x0) * 3;
        for (int i = 0; i < x1 - x0; ++i) {
            const uint16_t* wh = &hx.weights[size_t(hx.offset[i])];
            const uint16_t* m = &mid[size_t(hx.first[i] - colFirst) * 3];
            uint32_t b = 0, g = 0, r = 0;
            for (int t = 0; t < hx.count[i]; ++t) {
                const uint32_t wt = wh[t];
                b += m[0] * wt;
                g += m[1] * wt;
                r += m[2] * wt;
                m += 3;
            }
            constexpr int shift = kWeightBits + 8;
            constexpr uint32_t half = 1u << (shift - 1);
            d[0] = uint8_t(std::min<uint32_t>(255, (b + half) >> shift));
            d[1] = uint8_t(std::min<uint32_t>(255, (g + half) >> shift));
            d[2] = uint8_t(std::min<uint32_t>(255, (r + half) >> shift));
            d += 3;
        }
    }
}

void AlphaBlendConst(CLSDIB& dst, int x, int y, int w, int h,
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
