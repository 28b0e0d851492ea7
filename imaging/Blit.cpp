#include "imaging/Blit.h"

#include "platform/RowSplit.h"
#include "platform/VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#if TAMSEL_AVX2_KERNELS
#include <immintrin.h>
#endif

#if defined(__GNUC__)
#define TAMSEL_ALWAYS_INLINE __attribute__((always_inline))
#else
#define TAMSEL_ALWAYS_INLINE
#endif

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

void BitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    if (!ClipCopy(x, y, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height()))
        return;
    const size_t bytes = size_t(w) * 3;
    if (&dst != &src) {
        // Rows lie bottom-up: the next row down is a stride lower. Everything
        // the loop needs is copied in, so nothing is reloaded after each copy.
        uint8_t* const d = dst.RowPtr(y) + size_t(x) * 3;
        const uint8_t* const s = src.RowPtr(sy) + size_t(sx) * 3;
        const ptrdiff_t dStep = -ptrdiff_t(dst.Stride()), sStep = -ptrdiff_t(src.Stride());
        RunRowBands(h, bytes * size_t(h), [=](int from, int to) {
            for (int r = from; r < to; ++r)
                std::memcpy(d + dStep * r, s + sStep * r, bytes);
        });
        return;
    }
    // Copying within one surface downwards must start at the bottom row so no
    // source row is overwritten before it is read.
    const bool backwards = y > sy;
    for (int i = 0; i < h; ++i) {
        const int r = backwards ? h - 1 - i : i;
        std::memmove(dst.RowPtr(y + r) + size_t(x) * 3, src.RowPtr(sy + r) + size_t(sx) * 3, bytes);
    }
}

void BitBltRepeated(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int step, int count)
{
    if (&dst == &src || count <= 1) {
        // Within one surface a copy may read what an earlier one wrote.
        for (int i = 0; i < count; ++i)
            BitBlt(dst, x + i * step, y, w, h, src, sx + i * step, sy);
        return;
    }
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    // Each copy clipped on its own; the rows they keep are the same for all.
    struct Span {
        size_t to, from, bytes;
    };
    thread_local std::vector<Span> spans;
    spans.clear();
    int top = 0, rows = 0, srcTop = 0;
    for (int i = 0; i < count; ++i) {
        int cx = x + i * step, cy = y, cw = w, ch = h, csx = sx + i * step, csy = sy;
        if (!ClipCopy(cx, cy, cw, ch, csx, csy, dst.Width(), dst.Height(), src.Width(), src.Height()))
            continue;
        spans.push_back({size_t(cx) * 3, size_t(csx) * 3, size_t(cw) * 3});
        top = cy;
        srcTop = csy;
        rows = ch;
    }
    if (spans.empty())
        return;
    const std::vector<Span>& all = spans;
    RunRowBands(rows, all.size() * all.front().bytes * size_t(rows), [&](int from, int to) {
        for (int r = from; r < to; ++r) {
            uint8_t* d = dst.RowPtr(top + r);
            const uint8_t* s = src.RowPtr(srcTop + r);
            for (const Span& sp : all)
                std::memcpy(d + sp.to, s + sp.from, sp.bytes);
        }
    });
}

void CopyWhole(Surface& dst, const Surface& src)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    if (dst.Width() != src.Width() || dst.Height() != src.Height()) {
        // Only while the window is being resized do the two differ for a moment.
        BitBlt(dst, 0, 0, src.Width(), src.Height(), src, 0, 0);
        return;
    }
    // Bands of whole rows, each one block of memory.
    const size_t stride = size_t(src.Stride());
    RunRowBands(src.Height(), size_t(src.RGBSize()), [&](int from, int to) {
        std::memcpy(dst.DataPtr() + stride * size_t(from), src.DataPtr() + stride * size_t(from),
                    stride * size_t(to - from));
    });
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

// The horizontal map as the row kernels read it. Every destination pixel reads
// len source pixels from first on (counted from the leftmost column any pixel
// reads): the zero weights that pad its K-wide window are left out. Weights
// are stored in pairs, the same number for every pixel (the row's longest run,
// rounded up to even, zero beyond a pixel's own run), so the vector loop runs
// one length for the whole row.
//
// A growth, or a shrink by less than two, reads at most two source pixels a
// pixel, and along a stretch of pixels whose first source pixel moves in step
// with them, output byte q reads source values q + o and q + o + 3 for one o.
// Such stretches are drawn 16 bytes at a time (blocks, the last one of a
// stretch overlapping the one before it) with the weight pair of every output
// byte; the pixels left over (loose: where the step changes, the rare pixel
// that reads three, the edges) are drawn one at a time. Without any stretch
// long enough for a block, every pixel is drawn one at a time.
struct RowSpans {
    int pairs = 1;
    std::vector<int32_t> first;
    std::vector<int32_t> len;
    std::vector<int16_t> weights;     // 2 * pairs per destination pixel
    std::vector<int32_t> blockAt;     // output byte a block starts at
    std::vector<int32_t> blockFrom;   // source value its first byte reads first
    std::vector<int32_t> byteWeights; // weight pair (low, high 16 bits) per output byte
    std::vector<int32_t> loose;       // ascending
};

void BuildSpans(RowSpans& s, const AxisMap& hx, int colFirst, int srcCols)
{
    const size_t n = hx.first.size(), K = size_t(hx.K);
    s.first.resize(n);
    s.len.resize(n);
    int longest = 1;
    for (size_t i = 0; i < n; ++i) {
        const int32_t* w = &hx.weights[i * K];
        int lo = 0, hi = int(K);
        while (lo < hi - 1 && w[lo] == 0)
            ++lo;
        while (hi > lo + 1 && w[hi - 1] == 0)
            --hi;
        s.first[i] = hx.first[i] - colFirst + lo;
        s.len[i] = hi - lo;
        longest = std::max(longest, hi - lo);
    }
    s.pairs = (longest + 1) / 2;
    const size_t stride = 2 * size_t(s.pairs);
    s.weights.assign(n * stride, 0);
    for (size_t i = 0; i < n; ++i) {
        // Weights never exceed kWeightOne, so they fit 16 bits.
        const int32_t* w = &hx.weights[i * K] + (s.first[i] - (hx.first[i] - colFirst));
        for (int t = 0; t < s.len[i]; ++t)
            s.weights[i * stride + size_t(t)] = int16_t(w[t]);
    }

    s.blockAt.clear();
    s.blockFrom.clear();
    s.loose.clear();
    // A block reads both source pixels of each of its pixels, even one whose
    // second weight is zero, so that one must be inside the source row.
    const auto blockable = [&](size_t i) { return s.len[i] <= 2 && s.first[i] + 1 < srcCols; };
    for (size_t i = 0; i < n;) {
        size_t e = i + 1;
        if (blockable(i))
            while (e < n && blockable(e) && s.first[e] - int32_t(e) == s.first[i] - int32_t(i))
                ++e;
        const int32_t q0 = int32_t(i) * 3, q1 = int32_t(e) * 3;
        if (!blockable(i) || q1 - q0 < 16) {
            for (; i < e; ++i)
                s.loose.push_back(int32_t(i));
            continue;
        }
        for (int32_t q = q0; q < q1; q += 16) {
            s.blockAt.push_back(std::min(q, q1 - 16));
            s.blockFrom.push_back(s.blockAt.back() + 3 * (s.first[i] - int32_t(i)));
        }
        i = e;
    }
    // Loose pixels are drawn a little slower than a row of them in a line, so
    // a few short stretches (a shrink by 1.2 steps every five pixels) are not
    // worth their blocks.
    if (s.loose.size() * 4 > n * 3) {
        s.blockAt.clear();
        s.blockFrom.clear();
        s.loose.clear();
    }
    if (s.blockAt.empty())
        return;
    s.byteWeights.resize(n * 3);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t second = s.len[i] > 1 ? uint16_t(s.weights[i * stride + 1]) : 0u;
        const uint32_t pair = uint16_t(s.weights[i * stride]) | second << 16;
        for (size_t c = 0; c < 3; ++c)
            s.byteWeights[i * 3 + c] = int32_t(pair);
    }
}

// How many of the pixels index lists (all of them when it is null), from the
// first on, the one-pixel vector kernel may draw in a row of rowBytes bytes:
// each pair of source pixels is read loadBytes at a time.
int VectorSafeCount(const RowSpans& s, const int32_t* index, size_t count, size_t pixelBytes,
                    size_t loadBytes, size_t rowBytes)
{
    for (size_t j = 0; j < count; ++j) {
        const size_t i = index ? size_t(index[j]) : j;
        const size_t lastPair = size_t(s.first[i]) + 2 * size_t(s.pairs - 1);
        if (lastPair * pixelBytes + loadBytes > rowBytes)
            return int(j);
    }
    return int(count);
}

// Rows fed to the horizontal pass are either source bytes or 16-bit sums of a
// vertical pass. The sums carry 8 extra bits and are stored less 32768, so that
// they fit the signed 16-bit multiplies; the bias comes back through the
// rounding term, since every pixel's weights add up to kWeightOne.
constexpr uint32_t kByteRound = 1u << (kWeightBits - 1);
constexpr int kByteShift = kWeightBits;
constexpr uint32_t kMixedRound = (1u << (kWeightBits + 7)) + (32768u << kWeightBits);
constexpr int kMixedShift = kWeightBits + 8;

// Destination pixels [from, to) of one row, one at a time.
template <typename T>
void HorizontalScalar(uint8_t* d, const T* row, const RowSpans& s, int from, int to)
{
    constexpr uint32_t round = sizeof(T) == 1 ? kByteRound : kMixedRound;
    constexpr int shift = sizeof(T) == 1 ? kByteShift : kMixedShift;
    const size_t stride = 2 * size_t(s.pairs);
    const int32_t* const first = s.first.data();
    const int32_t* const len = s.len.data();
    const int16_t* const weights = s.weights.data();
    d += size_t(from) * 3;
    for (int i = from; i < to; ++i, d += 3) {
        const T* m = row + size_t(first[i]) * 3;
        const int16_t* w = weights + size_t(i) * stride;
        // Wrapping unsigned sums: the biased values may be negative, the
        // total never is.
        uint32_t b = round, g = round, r = round;
        for (int t = 0; t < len[i]; ++t, m += 3) {
            const uint32_t wt = uint32_t(w[t]);
            b += uint32_t(m[0]) * wt;
            g += uint32_t(m[1]) * wt;
            r += uint32_t(m[2]) * wt;
        }
        d[0] = uint8_t(std::min<uint32_t>(255, b >> shift));
        d[1] = uint8_t(std::min<uint32_t>(255, g >> shift));
        d[2] = uint8_t(std::min<uint32_t>(255, r >> shift));
    }
}

#if TAMSEL_AVX2_KERNELS
inline void StoreBgr(uint8_t* d, uint32_t v)
{
    std::memcpy(d, &v, 2);
    d[2] = uint8_t(v >> 16);
}

// Destination pixels of two rows at once, one in each 128-bit half: a pair of
// source pixels is spread to the 16-bit words b0 b1 g0 g1 r0 r1 and multiplied
// with the pair's two weights, which sums all three channels in one
// instruction. dB null draws row a alone. The pixels are [0, count), or with
// Listed the count pixels that index lists (a template argument: the test
// and the lookup cost a whole row of short pixels a fifth of their time).
template <typename T, int Pairs, bool Listed>
TAMSEL_AVX2 void HorizontalAvx2(uint8_t* dA, uint8_t* dB, const T* a, const T* b,
                                const RowSpans& s, const int32_t* index, int count)
{
    constexpr bool bytes = sizeof(T) == 1;
    const __m256i order =
        bytes ? _mm256_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1,
                                 0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1)
              : _mm256_setr_epi8(0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1,
                                 0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1);
    const __m256i round = _mm256_set1_epi32(int(bytes ? kByteRound : kMixedRound));
    const __m128i shift = _mm_cvtsi32_si128(bytes ? kByteShift : kMixedShift);
    const int pairs = Pairs > 0 ? Pairs : s.pairs;
    const int32_t* const first = s.first.data();
    const int16_t* const weights = s.weights.data();
    if (!dB)
        b = a;
    for (int j = 0; j < count; ++j) {
        const int i = Listed ? index[j] : j;
        const T* pa = a + size_t(first[i]) * 3;
        const T* pb = b + size_t(first[i]) * 3;
        const int16_t* w = weights + size_t(i) * 2 * size_t(pairs);
        __m256i acc = round;
        for (int k = 0; k < pairs; ++k, pa += 6, pb += 6, w += 2) {
            __m128i lo, hi;
            if constexpr (bytes) {
                lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pa));
                hi = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pb));
            } else {
                lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pa));
                hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb));
            }
            const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
            int32_t wp;
            std::memcpy(&wp, w, 4);
            acc = _mm256_add_epi32(
                acc, _mm256_madd_epi16(_mm256_shuffle_epi8(v, order), _mm256_set1_epi32(wp)));
        }
        acc = _mm256_srl_epi32(acc, shift);
        const __m256i px = _mm256_packus_epi16(_mm256_packs_epi32(acc, acc), acc);
        const uint32_t va = uint32_t(_mm_cvtsi128_si32(_mm256_castsi256_si128(px)));
        const uint32_t vb = uint32_t(_mm_cvtsi128_si32(_mm256_extracti128_si256(px, 1)));
        if (!Listed && j + 1 < count) {
            // Four bytes at a time; the fourth is the next pixel's, drawn right after.
            std::memcpy(dA + size_t(i) * 3, &va, 4);
            if (dB)
                std::memcpy(dB + size_t(i) * 3, &vb, 4);
        } else {
            StoreBgr(dA + size_t(i) * 3, va);
            if (dB)
                StoreBgr(dB + size_t(i) * 3, vb);
        }
    }
}

template <typename T, bool Listed>
void PixelsAvx2(uint8_t* dA, uint8_t* dB, const T* a, const T* b, const RowSpans& s,
                const int32_t* index, int count)
{
    switch (s.pairs) {
    case 1: HorizontalAvx2<T, 1, Listed>(dA, dB, a, b, s, index, count); break;
    case 2: HorizontalAvx2<T, 2, Listed>(dA, dB, a, b, s, index, count); break;
    case 3: HorizontalAvx2<T, 3, Listed>(dA, dB, a, b, s, index, count); break;
    default: HorizontalAvx2<T, 0, Listed>(dA, dB, a, b, s, index, count); break;
    }
}

// 16 source values from v on as 16-bit words, in order.
TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline __m256i LoadWords(const uint8_t* v)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v)));
}
TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline __m256i LoadWords(const int16_t* v)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v));
}

// One block (see RowSpans) of one row: output bytes d[0..15] from source values
// v[0..15] and, a pixel on, v[3..18], the last of which the last byte needs:
// nothing past the block's own source pixels is read.
template <typename T>
TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline void BlockAvx2(uint8_t* d, const T* v, __m256i wLo,
                                                       __m256i wHi, __m256i round, __m128i shift)
{
    // Quarters 0 2 1 3, so that interleaving the two runs within each lane
    // gives the pairs of bytes 0-7 and 8-15 in order, matching the weights.
    const __m256i x = _mm256_permute4x64_epi64(LoadWords(v), 0xD8);
    const __m256i y = _mm256_permute4x64_epi64(LoadWords(v + 3), 0xD8);
    __m256i lo = _mm256_add_epi32(round, _mm256_madd_epi16(_mm256_unpacklo_epi16(x, y), wLo));
    __m256i hi = _mm256_add_epi32(round, _mm256_madd_epi16(_mm256_unpackhi_epi16(x, y), wHi));
    lo = _mm256_srl_epi32(lo, shift);
    hi = _mm256_srl_epi32(hi, shift);
    // The packs leave bytes 0-3, 8-11 in the low lane and 4-7, 12-15 in the high one.
    const __m256i px = _mm256_packus_epi16(_mm256_packs_epi32(lo, hi), _mm256_setzero_si256());
    const __m256i ordered =
        _mm256_permutevar8x32_epi32(px, _mm256_setr_epi32(0, 4, 1, 5, 0, 0, 0, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(ordered));
}

// Every block of one row (dB null) or two.
template <typename T>
TAMSEL_AVX2 void BlocksAvx2(uint8_t* dA, uint8_t* dB, const T* a, const T* b, const RowSpans& s)
{
    constexpr bool bytes = sizeof(T) == 1;
    const __m256i round = _mm256_set1_epi32(int(bytes ? kByteRound : kMixedRound));
    const __m128i shift = _mm_cvtsi32_si128(bytes ? kByteShift : kMixedShift);
    const int32_t* const at = s.blockAt.data();
    const int32_t* const from = s.blockFrom.data();
    const int32_t* const wq = s.byteWeights.data();
    for (size_t k = 0; k < s.blockAt.size(); ++k) {
        const __m256i wLo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(wq + at[k]));
        const __m256i wHi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(wq + at[k] + 8));
        BlockAvx2(dA + at[k], a + from[k], wLo, wHi, round, shift);
        if (dB)
            BlockAvx2(dB + at[k], b + from[k], wLo, wHi, round, shift);
    }
}
#endif

// How far the one-pixel vector kernel reaches in a row: pixels [0, all) when
// every pixel is drawn one at a time, the first loose ones of RowSpans::loose
// otherwise.
struct VectorReach {
    int all = 0;
    int loose = 0;
};

// One destination row (dB null) or two through the horizontal pass: the vector
// kernels as far as their loads stay inside the rows, one pixel at a time after.
template <typename T>
void HorizontalRows(uint8_t* dA, uint8_t* dB, const T* a, const T* b, const RowSpans& s,
                    VectorReach reach, int n, bool vector)
{
    const auto scalar = [&](int from, int to) {
        HorizontalScalar(dA, a, s, from, to);
        if (dB)
            HorizontalScalar(dB, b, s, from, to);
    };
    int done = 0;
#if TAMSEL_AVX2_KERNELS
    // The pixels drawn one at a time: every one, or the loose ones.
    const bool blocks = vector && !s.blockAt.empty();
    const int32_t* index = blocks ? s.loose.data() : nullptr;
    const int count = blocks ? reach.loose : reach.all;
    if (blocks)
        BlocksAvx2(dA, dB, a, b, s);
    if (vector && count > 0) {
        if (blocks)
            PixelsAvx2<T, true>(dA, dB, a, b, s, index, count);
        else
            PixelsAvx2<T, false>(dA, dB, a, b, s, index, count);
    }
    if (blocks) {
        for (size_t j = size_t(reach.loose); j < s.loose.size(); ++j)
            scalar(index[j], index[j] + 1);
        return;
    }
    if (vector)
        done = reach.all;
#else
    (void)reach;
    (void)vector;
#endif
    scalar(done, n);
}

// Mixes taps source rows, from byte off on, into the m values at c0 of one
// row: the sums (round + rows[t][c] * wts[t]) go to destination bytes
// (>> kWeightBits) for a run that keeps its width, or else to the biased
// 16-bit sums the horizontal pass reads (>> 6). A chunk is short enough for
// its sums to stay in registers.
inline uint8_t FinishByte(uint32_t sum) { return uint8_t(std::min<uint32_t>(255, sum >> kWeightBits)); }
inline int16_t FinishMixed(uint32_t sum) { return int16_t(uint16_t((sum >> 6) ^ 0x8000u)); }

template <size_t M>
TAMSEL_ALWAYS_INLINE inline void MixChunk(uint8_t* __restrict bytes, int16_t* __restrict mixed,
                                          const uint8_t* const* rows, size_t off,
                                          const uint32_t* wts, int taps, size_t c0, size_t m)
{
    if (M)
        m = M;
    uint32_t a[M ? M : 64];
    const uint32_t round = bytes ? kByteRound : 32u;
    const uint8_t* r = rows[0] + off + c0;
    const uint32_t w0 = wts[0];
    // Two rows a pass, which halves the passes over the sums; the usual two
    // rows of a mild shrink or a growth need no more.
    int t = 1;
    if (taps == 2) {
        const uint8_t* r1 = rows[1] + off + c0;
        const uint32_t w1 = wts[1];
        if (bytes)
            for (size_t c = 0; c < m; ++c)
                bytes[c0 + c] = FinishByte(round + r[c] * w0 + r1[c] * w1);
        else
            for (size_t c = 0; c < m; ++c)
                mixed[c0 + c] = FinishMixed(round + r[c] * w0 + r1[c] * w1);
        return;
    }
    for (size_t c = 0; c < m; ++c)
        a[c] = round + r[c] * w0;
    for (; t + 1 < taps; t += 2) {
        const uint8_t* r1 = rows[t] + off + c0;
        const uint8_t* r2 = rows[t + 1] + off + c0;
        const uint32_t w1 = wts[t], w2 = wts[t + 1];
        for (size_t c = 0; c < m; ++c)
            a[c] += r1[c] * w1 + r2[c] * w2;
    }
    if (t < taps) {
        r = rows[t] + off + c0;
        const uint32_t w = wts[t];
        for (size_t c = 0; c < m; ++c)
            a[c] += r[c] * w;
    }
    if (bytes)
        for (size_t c = 0; c < m; ++c)
            bytes[c0 + c] = FinishByte(a[c]);
    else
        for (size_t c = 0; c < m; ++c)
            mixed[c0 + c] = FinishMixed(a[c]);
}

// One row of n values (see MixChunk), bytes or mixed being null. Every chunk
// has the same length; the last one overlaps the one before it, and works out
// the same values again where they overlap.
TAMSEL_VECTOR_CLONES void VerticalMix(uint8_t* bytes, int16_t* mixed, const uint8_t* const* rows,
                                      size_t off, const uint32_t* wts, int taps, size_t n)
{
    constexpr size_t kChunk = 64;
    if (n < kChunk) {
        MixChunk<0>(bytes, mixed, rows, off, wts, taps, 0, n);
        return;
    }
    for (size_t c0 = 0; c0 < n; c0 += kChunk)
        MixChunk<kChunk>(bytes, mixed, rows, off, wts, taps, std::min(c0, n - kChunk), kChunk);
}

#if TAMSEL_AVX2_KERNELS
// Sums of 16 values of rows r0 and r1 (from byte c on) weighed by the pair w,
// added to lo (values 0-3 and 8-11) and hi (4-7 and 12-15): both rows are
// widened to words and interleaved, so one multiply adds the two rows.
TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline void AddRowPair(__m256i& lo, __m256i& hi, const uint8_t* r0,
                                                        const uint8_t* r1, size_t c, __m256i w)
{
    const __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + c)));
    const __m256i b = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + c)));
    lo = _mm256_add_epi32(lo, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), w));
    hi = _mm256_add_epi32(hi, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), w));
}

// The sums start at the rounding term less 32768 << 6, which the arithmetic
// shift turns into the stored bias; both halves worked lane by lane, so the
// pack puts the values back in order.
TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline void StoreMixed(int16_t* d, __m256i lo, __m256i hi)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d),
                        _mm256_packs_epi32(_mm256_srai_epi32(lo, 6), _mm256_srai_epi32(hi, 6)));
}

TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline void StoreSums(int16_t* d, __m256i lo, __m256i hi)
{
    StoreMixed(d, lo, hi);
}

// The finished bytes of a run that keeps its width: sums >> kWeightBits, which
// never exceed 255, narrowed in order (the packs work lane by lane).
TAMSEL_AVX2 TAMSEL_ALWAYS_INLINE inline void StoreSums(uint8_t* d, __m256i lo, __m256i hi)
{
    const __m256i words = _mm256_packs_epi32(_mm256_srli_epi32(lo, kWeightBits),
                                             _mm256_srli_epi32(hi, kWeightBits));
    const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(words, words), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(bytes));
}

// VerticalMix, 16 values a step, into the 16-bit sums (Bytes false) or into
// finished bytes (Bytes true). An odd last row is paired with itself at weight
// zero. Needs n >= 16; the last step overlaps the one before it. The source
// row the next output row reads first, ahead, is fetched into the cache
// meanwhile: waiting for it was half of this pass.
template <bool Bytes>
TAMSEL_AVX2 void VerticalMixAvx2(std::conditional_t<Bytes, uint8_t, int16_t>* out,
                                 const uint8_t* const* rows, size_t off, const uint32_t* wts,
                                 int taps, size_t n, const uint8_t* ahead)
{
    const __m256i start = _mm256_set1_epi32(Bytes ? int(kByteRound) : 32 - (32768 << 6));
    // (Plain macros: a lambda would not inherit the AVX2 target.)
#define TAMSEL_PAIR_OF(t) \
    _mm256_set1_epi32(int(wts[t] | ((t) + 1 < taps ? wts[(t) + 1] << 16 : 0u)))
#define TAMSEL_ROW_AFTER(t) (rows[(t) + 1 < taps ? (t) + 1 : (t)] + off)
    if (taps <= 4) {
        // The usual two or three rows of a mild shrink: weights held in registers.
        const __m256i w01 = TAMSEL_PAIR_OF(0), w23 = taps > 2 ? TAMSEL_PAIR_OF(2) : w01;
        const uint8_t *r0 = rows[0] + off, *r1 = TAMSEL_ROW_AFTER(0);
        const uint8_t *r2 = taps > 2 ? rows[2] + off : r0, *r3 = taps > 2 ? TAMSEL_ROW_AFTER(2) : r0;
        for (size_t c0 = 0; c0 < n; c0 += 16) {
            const size_t c = std::min(c0, n - 16);
            _mm_prefetch(reinterpret_cast<const char*>(ahead + c), _MM_HINT_T0);
            __m256i lo = start, hi = start;
            AddRowPair(lo, hi, r0, r1, c, w01);
            if (taps > 2)
                AddRowPair(lo, hi, r2, r3, c, w23);
            StoreSums(out + c, lo, hi);
        }
        return;
    }
    for (size_t c0 = 0; c0 < n; c0 += 16) {
        const size_t c = std::min(c0, n - 16);
        __m256i lo = start, hi = start;
        for (int t = 0; t < taps; t += 2)
            AddRowPair(lo, hi, rows[t] + off, TAMSEL_ROW_AFTER(t), c, TAMSEL_PAIR_OF(t));
        StoreSums(out + c, lo, hi);
    }
#undef TAMSEL_PAIR_OF
#undef TAMSEL_ROW_AFTER
}
#endif

}  // namespace

namespace {

// StretchBlt; with mirror (a surface of dst's size that the stretch covers
// whole) every finished row of the resampling pass is also copied, stride and
// all, into mirror while it is still in the cache. Returns whether it was.
bool Stretch(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
             int sw, int sh, Surface* mirror)
{
    if (!dst.HasPixels() || !src.HasPixels() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return false;
    if (dw == sw && dh == sh) {
        BitBlt(dst, dx, dy, dw, dh, src, sx, sy);
        return false;
    }
    // Visible destination range; the mapping stays that of the whole rectangle.
    const int x0 = std::max(0, -dx), x1 = std::min(dw, dst.Width() - dx);
    const int y0 = std::max(0, -dy), y1 = std::min(dh, dst.Height() - dy);
    if (x1 <= x0 || y1 <= y0)
        return false;
    // Source pixels outside the source surface are not there: clip the source
    // rectangle's reach to it.
    if (sx >= src.Width() || sy >= src.Height() || sx + sw <= 0 || sy + sh <= 0)
        return false;

    // The maps are rebuilt for every call; keeping their storage saves the
    // allocations on the per-frame path.
    thread_local AxisMap hx, vy;
    BuildAxis(hx, dw, sw, sx, src.Width(), x0, x1);
    BuildAxis(vy, dh, sh, sy, src.Height(), y0, y1);
    const int outW = x1 - x0;
    // Drawing within one surface must read every source row of an output row
    // before writing it, as a whole row at a time.
    const bool sameSurface = &dst == &src;

    // Every band of output rows has its own list of the source rows an output
    // row mixes: a strong vertical shrink reads more than a small fixed list
    // would hold, and every one of them carries weight. Thread-local storage
    // named inside a band is that of the thread drawing it, so what all bands
    // share is reached through these references.
    const AxisMap& vmap = vy;
    struct Taps {
        std::vector<const uint8_t*> rows;
        std::vector<uint32_t> wts;
        int Of(const AxisMap& v, const Surface& from, int k)
        {
            rows.resize(size_t(v.K));
            wts.resize(size_t(v.K));
            const int32_t* wv = &v.weights[size_t(k) * size_t(v.K)];
            int taps = 0;
            for (int t = 0; t < v.K; ++t)
                if (wv[t]) {
                    rows[size_t(taps)] = from.RowPtr(v.first[size_t(k)] + t);
                    wts[size_t(taps++)] = uint32_t(wv[t]);
                }
            return taps;
        }
    };
#if TAMSEL_AVX2_KERNELS
    const bool vector = !sameSurface && HasAvx2();
#else
    const bool vector = false;
#endif
    const auto dstRow = [&](int k) { return dst.RowPtr(dy + y0 + k) + size_t(dx + x0) * 3; };
    const int outRows = y1 - y0;
    // Bands run on two threads when the work is large and no band can read
    // what another writes.
    const size_t work = sameSurface ? 0 : size_t(outW) * size_t(outRows) * 3;

    if (dw == sw && sx + x0 >= 0 && sx + x1 <= src.Width()) {
        // A run that keeps its width needs no horizontal pass at all.
        const size_t off = size_t(sx + x0) * 3, m = size_t(outW) * 3;
        RunRowBands(outRows, work, [&](int from, int to) {
            thread_local Taps taps;
            thread_local std::vector<uint8_t> staged;
            for (int k = from; k < to; ++k) {
                const int count = taps.Of(vmap, src, k);
                uint8_t* d = dstRow(k);
                if (count == 1) {
                    // Within one surface the source row may overlap this one.
                    std::memmove(d, taps.rows[0] + off, m);
                } else if (sameSurface) {
                    staged.resize(m);
                    VerticalMix(staged.data(), nullptr, taps.rows.data(), off, taps.wts.data(), count, m);
                    std::memcpy(d, staged.data(), m);
                } else {
#if TAMSEL_AVX2_KERNELS
                    if (vector && m >= 16) {
                        const int next = std::min(k + 1, outRows - 1);
                        const int ahead = std::min(vmap.first[size_t(next)] + vmap.K - 1, src.Height() - 1);
                        VerticalMixAvx2<true>(d, taps.rows.data(), off, taps.wts.data(), count, m,
                                              src.RowPtr(ahead) + off);
                        continue;
                    }
#endif
                    VerticalMix(d, nullptr, taps.rows.data(), off, taps.wts.data(), count, m);
                }
            }
        });
        return false;
    }

    thread_local RowSpans spansOfCall;
    const RowSpans& spans = spansOfCall;
    const int colFirst = hx.first.front();
    const size_t n = size_t(hx.first.back() + hx.K - colFirst) * 3;
    BuildSpans(spansOfCall, hx, colFirst, src.Width() - colFirst);
    // Room behind the sums for the vector loads of the last pixels' padding pairs.
    const size_t mixedLen = n + 6 * size_t(spans.pairs) + 8;
    const auto reach = [&](size_t pixelBytes, size_t loadBytes, size_t rowBytes) {
        return VectorReach{
            VectorSafeCount(spans, nullptr, spans.first.size(), pixelBytes, loadBytes, rowBytes),
            VectorSafeCount(spans, spans.loose.data(), spans.loose.size(), pixelBytes, loadBytes,
                            rowBytes)};
    };
    const VectorReach safeBytes = reach(3, 8, size_t(src.Width() - colFirst) * 3);
    const VectorReach safeMixed = reach(6, 16, mixedLen * 2);

    // An output row reads either one source row's bytes or a vertical mix.
    struct Row {
        uint8_t* d = nullptr;
        const uint8_t* bytes = nullptr;
        const int16_t* mix = nullptr;
    };
    const size_t stride = size_t(dst.Stride());
    const auto draw = [&](const Row& r, const Row* r2) {
        uint8_t* d2 = r2 ? r2->d : nullptr;
        if (r.bytes)
            HorizontalRows(r.d, d2, r.bytes, r2 ? r2->bytes : nullptr, spans, safeBytes, outW, vector);
        else
            HorizontalRows(r.d, d2, r.mix, r2 ? r2->mix : nullptr, spans, safeMixed, outW, vector);
        if (mirror) {
            // The rows start at the left edge: the stretch covers the surface.
            std::memcpy(mirror->DataPtr() + (r.d - dst.DataPtr()), r.d, stride);
            if (d2)
                std::memcpy(mirror->DataPtr() + (d2 - dst.DataPtr()), d2, stride);
        }
    };
    RunRowBands(outRows, work, [&](int from, int to) {
        thread_local Taps taps;
        thread_local std::vector<int16_t> mixed[2];
        mixed[0].resize(mixedLen);
        mixed[1].resize(mixedLen);
        // The vector kernel draws rows in pairs of one kind: they share the
        // per-pixel set-up. A row waits in held for its partner.
        Row held;
        bool holding = false;
        for (int k = from; k < to; ++k) {
            const int count = taps.Of(vmap, src, k);
            Row cur;
            cur.d = dstRow(k);
            if (count == 1) {
                cur.bytes = taps.rows[0] + size_t(colFirst) * 3;
            } else {
                // Vertical pass first: it reads each needed source row in memory
                // order, keeping 8 extra bits for the horizontal pass.
                int16_t* m = mixed[holding && held.mix == mixed[0].data() ? 1 : 0].data();
#if TAMSEL_AVX2_KERNELS
                if (vector && n >= 16) {
                    const int next = std::min(k + 1, outRows - 1);
                    const int ahead = std::min(vmap.first[size_t(next)] + vmap.K - 1, src.Height() - 1);
                    VerticalMixAvx2<false>(m, taps.rows.data(), size_t(colFirst) * 3, taps.wts.data(), count,
                                    n, src.RowPtr(ahead) + size_t(colFirst) * 3);
                } else
#endif
                {
                    VerticalMix(nullptr, m, taps.rows.data(), size_t(colFirst) * 3, taps.wts.data(),
                                count, n);
                }
                cur.mix = m;
            }
            if (!vector) {
                draw(cur, nullptr);
            } else if (!holding) {
                held = cur;
                holding = true;
            } else if ((held.bytes != nullptr) == (cur.bytes != nullptr)) {
                draw(held, &cur);
                holding = false;
            } else {
                draw(held, nullptr);
                held = cur;
            }
        }
        if (holding)
            draw(held, nullptr);
    });
    return mirror != nullptr;
}

}  // namespace

void StretchBlt(Surface& dst, int dx, int dy, int dw, int dh,
                const Surface& src, int sx, int sy, int sw, int sh)
{
    Stretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, nullptr);
}

void StretchBltMirrored(Surface& dst, Surface& mirror, int dx, int dy, int dw, int dh,
                        const Surface& src, int sx, int sy, int sw, int sh)
{
    const bool covers = dx == 0 && dy == 0 && dw == dst.Width() && dh == dst.Height() &&
                        mirror.Width() == dst.Width() && mirror.Height() == dst.Height() &&
                        mirror.HasPixels() && &mirror != &dst && &mirror != &src && &dst != &src;
    if (!Stretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, covers ? &mirror : nullptr))
        CopyWhole(mirror, dst);
}


namespace {

// d = (s * a + d * na) / 255 rounded, for n bytes of one row. Where source
// and destination may overlap the bytes go one by one, in the order the plain
// loop reads them.
TAMSEL_VECTOR_CLONES void BlendRow(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n,
                                   uint16_t a, uint16_t na)
{
    for (size_t c = 0; c < n; ++c) {
        // Exact rounded division by 255 without a divide. Every sum stays
        // below 65536, so the loop runs on 16-bit lanes, sixteen bytes a step.
        const uint16_t v = uint16_t(s[c] * a + d[c] * na + 128u);
        d[c] = uint8_t(uint16_t(v + (v >> 8)) >> 8);
    }
}

void BlendRowOverlapping(uint8_t* d, const uint8_t* s, size_t n, uint16_t a, uint16_t na)
{
    for (size_t c = 0; c < n; ++c) {
        const uint16_t v = uint16_t(s[c] * a + d[c] * na + 128u);
        d[c] = uint8_t(uint16_t(v + (v >> 8)) >> 8);
    }
}

}  // namespace

void AlphaBlendConst(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                     int alpha)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return;
    if (!ClipCopy(x, y, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height()))
        return;
    alpha = std::clamp(alpha, 0, 255);
    const uint16_t a = uint16_t(alpha), na = uint16_t(255 - alpha);
    const size_t n = size_t(w) * 3;
    // Rows of one surface may be read by another band, and a row blended onto
    // itself must not be treated as two separate rows.
    const bool overlapping = &dst == &src;
    const size_t work = overlapping ? 0 : n * size_t(h);
    RunRowBands(h, work, [&](int from, int to) {
        for (int r = from; r < to; ++r) {
            uint8_t* d = dst.RowPtr(y + r) + size_t(x) * 3;
            const uint8_t* s = src.RowPtr(sy + r) + size_t(sx) * 3;
            if (overlapping)
                BlendRowOverlapping(d, s, n, a, na);
            else
                BlendRow(d, s, n, a, na);
        }
    });
}

}  // namespace tamsel
