#include "imaging/PelOps.h"

#include "imaging/Blit.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace tamsel {

namespace {

// A source rectangle that is safe to read while the destination is written:
// the source surface itself, or a private copy of the rectangle when source and
// destination are one surface at different places (the rectangles may overlap).
// The same rectangle in place needs no copy: every operation reads a pixel
// before it writes it.
class SourceView {
public:
    SourceView(const CLSDIB& dst, int x, int y, const CLSDIB& src, int sx, int sy, int w, int h)
    {
        if (&dst == &src && (x != sx || y != sy)) {
            stride_ = size_t(w) * 3;
            copy_ = std::make_unique_for_overwrite<uint8_t[]>(stride_ * size_t(h));
            for (int r = 0; r < h; ++r)
                std::memcpy(copy_.get() + stride_ * r, src.RowPtr(sy + r) + size_t(sx) * 3, stride_);
        } else {
            src_ = &src;
            sx_ = sx;
            sy_ = sy;
        }
    }

    // Row r (0 = the rectangle's top), pointing at its left pixel.
    const uint8_t* Row(int r) const
    {
        if (copy_)
            return copy_.get() + stride_ * size_t(r);
        return src_->RowPtr(sy_ + r) + size_t(sx_) * 3;
    }

private:
    const CLSDIB* src_ = nullptr;
    int sx_ = 0, sy_ = 0;
    size_t stride_ = 0;
    std::unique_ptr<uint8_t[]> copy_;
};

// Clips the copy rectangle to both surfaces; false when nothing is left or a
// surface holds no pixels.
bool ClipBoth(CLSDIB& dst, int& x, int& y, int& w, int& h, const CLSDIB& src, int& sx, int& sy)
{
    if (!dst.HasPixels() || !src.HasPixels())
        return false;
    return ClipCopy(x, y, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height());
}

// Runs op(dstRow, srcRow, pixels) over every row of the clipped rectangle. A
// pixel is read before it is written, so the same rectangle of one surface can
// be both source and destination.
template <class RowOp>
void ForEachRow(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy,
                RowOp op)
{
    if (!ClipBoth(dst, x, y, w, h, src, sx, sy))
        return;
    const SourceView view(dst, x, y, src, sx, sy, w, h);
    for (int r = 0; r < h; ++r)
        op(dst.RowPtr(y + r) + size_t(x) * 3, view.Row(r), w);
}

// ---- rotation --------------------------------------------------------------

// Maps a destination pixel (u, v), relative to the turned rectangle's top-left,
// back to the source pixel (i, j) relative to the source rectangle, for a turn
// by a whole number of quarter turns clockwise. All four are pure index moves.
struct QuarterTurn {
    int turns;   // 0..3
    int w, h;    // source rectangle size

    int DstW() const { return turns % 2 ? h : w; }
    int DstH() const { return turns % 2 ? w : h; }
    void Inverse(int u, int v, int& i, int& j) const
    {
        switch (turns) {
        case 0: i = u; j = v; break;
        case 1: i = v; j = h - 1 - u; break;
        case 2: i = w - 1 - u; j = h - 1 - v; break;
        default: i = w - 1 - v; j = u; break;
        }
    }
    void Forward(int i, int j, int& u, int& v) const
    {
        switch (turns) {
        case 0: u = i; v = j; break;
        case 1: u = h - 1 - j; v = i; break;
        case 2: u = w - 1 - i; v = h - 1 - j; break;
        default: u = j; v = w - 1 - i; break;
        }
    }
};

// Reads pixels of the part [i0, i1) x [j0, j1) of a source rectangle that lies
// on its surface, from the surface itself (bottom-up, padded rows) or from a
// private top-down copy of that part.
struct PixelSource {
    const uint8_t* base;   // pixel (i0, j0)
    ptrdiff_t rowStep;     // bytes from row j to row j + 1 (screen order)
    int i0, j0;
    const uint8_t* At(int i, int j) const
    {
        return base + rowStep * (j - j0) + ptrdiff_t(i - i0) * 3;
    }
};

PixelSource MakePixelSource(const CLSDIB& src, int sx, int sy, int i0, int j0, int i1, int j1,
                            std::unique_ptr<uint8_t[]>& copy, bool needCopy)
{
    if (!needCopy)
        return {src.RowPtr(sy + j0) + ptrdiff_t(sx + i0) * 3, -ptrdiff_t(src.Stride()), i0, j0};
    const size_t rowBytes = size_t(i1 - i0) * 3;
    copy = std::make_unique_for_overwrite<uint8_t[]>(rowBytes * size_t(j1 - j0));
    for (int j = j0; j < j1; ++j)
        std::memcpy(copy.get() + rowBytes * (j - j0), src.RowPtr(sy + j) + size_t(sx + i0) * 3,
                    rowBytes);
    return {copy.get(), ptrdiff_t(rowBytes), i0, j0};
}

void RotateQuarter(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy,
                   int turns)
{
    // Only the part of the source rectangle that lies on the source surface exists.
    const int a0 = std::max(0, -sx), b0 = std::max(0, -sy);
    const int a1 = std::min(w, src.Width() - sx), b1 = std::min(h, src.Height() - sy);
    if (a1 <= a0 || b1 <= b0)
        return;

    const QuarterTurn q{turns, w, h};
    // The turned rectangle is centred on (x, y). Its left edge is x minus half
    // its width, rounded half to even like every other coordinate of the album:
    // the caller places the centre at round(W / 2) of a W-wide destination, and
    // this rounding then puts the edge exactly at 0 for odd W too.
    const int left = RoundHalfEven(x - q.DstW() / 2.0);
    const int top = RoundHalfEven(y - q.DstH() / 2.0);

    // Destination area covered by the existing source part, clipped to dst.
    int u0, v0, u1, v1;
    {
        int ua, va, ub, vb;
        q.Forward(a0, b0, ua, va);
        q.Forward(a1 - 1, b1 - 1, ub, vb);
        u0 = std::min(ua, ub);
        v0 = std::min(va, vb);
        u1 = std::max(ua, ub) + 1;
        v1 = std::max(va, vb) + 1;
    }
    u0 = std::max(u0, -left);
    v0 = std::max(v0, -top);
    u1 = std::min(u1, dst.Width() - left);
    v1 = std::min(v1, dst.Height() - top);
    if (u1 <= u0 || v1 <= v0)
        return;

    std::unique_ptr<uint8_t[]> copy;
    const PixelSource ps = MakePixelSource(src, sx, sy, a0, b0, a1, b1, copy, &dst == &src);

    // Step in source bytes for one destination pixel to the right.
    int i0, j0, i1, j1;
    q.Inverse(0, 0, i0, j0);
    q.Inverse(1, 0, i1, j1);
    const ptrdiff_t step = ptrdiff_t(i1 - i0) * 3 + ptrdiff_t(j1 - j0) * ps.rowStep;

    // Tiles keep the source rows a tile reads within the cache while a
    // quarter turn walks the source across its rows.
    constexpr int kTileRows = 32;
    constexpr int kTileCols = 256;
    for (int tv = v0; tv < v1; tv += kTileRows) {
        const int tvEnd = std::min(v1, tv + kTileRows);
        for (int tu = u0; tu < u1; tu += kTileCols) {
            const int tuEnd = std::min(u1, tu + kTileCols);
            for (int v = tv; v < tvEnd; ++v) {
                int i, j;
                q.Inverse(tu, v, i, j);
                const uint8_t* s = ps.At(i, j);
                uint8_t* d = dst.RowPtr(top + v) + ptrdiff_t(left + tu) * 3;
                for (int u = tu; u < tuEnd; ++u) {
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                    d += 3;
                    s += step;
                }
            }
        }
    }
}

// Any other angle: every destination pixel inside the turned rectangle takes
// the bilinear mix of the four source pixels around its pre-image; pixels
// outside it are left alone.
void RotateFree(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy,
                double degrees)
{
    const double rad = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(rad), s = std::sin(rad);
    const double hw = w / 2.0, hh = h / 2.0;
    const double bw = std::abs(w * c) + std::abs(h * s);
    const double bh = std::abs(w * s) + std::abs(h * c);
    const int xa = std::max(0, int(std::floor(x - bw / 2)));
    const int ya = std::max(0, int(std::floor(y - bh / 2)));
    const int xb = std::min(dst.Width(), int(std::ceil(x + bw / 2)));
    const int yb = std::min(dst.Height(), int(std::ceil(y + bh / 2)));
    if (xb <= xa || yb <= ya)
        return;

    // The part of the source rectangle that lies on the source surface.
    const int ia = std::max(0, -sx), ja = std::max(0, -sy);
    const int ib = std::min(w, src.Width() - sx), jb = std::min(h, src.Height() - sy);
    if (ib <= ia || jb <= ja)
        return;
    std::unique_ptr<uint8_t[]> copy;
    const PixelSource ps = MakePixelSource(src, sx, sy, ia, ja, ib, jb, copy, &dst == &src);

    for (int py = ya; py < yb; ++py) {
        uint8_t* d = dst.RowPtr(py);
        const double dy = py + 0.5 - y;
        for (int px = xa; px < xb; ++px) {
            const double dx = px + 0.5 - x;
            // Clockwise on screen (y down) is a positive angle; undo it.
            const double fx = c * dx + s * dy + hw - 0.5;
            const double fy = -s * dx + c * dy + hh - 0.5;
            if (fx < ia - 0.5 || fy < ja - 0.5 || fx > ib - 0.5 || fy > jb - 0.5)
                continue;
            const int i = std::clamp(int(std::floor(fx)), ia, ib - 1);
            const int j = std::clamp(int(std::floor(fy)), ja, jb - 1);
            const int i2 = std::min(i + 1, ib - 1), j2 = std::min(j + 1, jb - 1);
            const double tx = std::clamp(fx - i, 0.0, 1.0), ty = std::clamp(fy - j, 0.0, 1.0);
            const uint8_t* p00 = ps.At(i, j);
            const uint8_t* p10 = ps.At(i2, j);
            const uint8_t* p01 = ps.At(i, j2);
            const uint8_t* p11 = ps.At(i2, j2);
            for (int k = 0; k < 3; ++k) {
                const double top = p00[k] + (p10[k] - p00[k]) * tx;
                const double bottom = p01[k] + (p11[k] - p01[k]) * tx;
                d[px * 3 + k] = uint8_t(std::lround(top + (bottom - top) * ty));
            }
        }
    }
}

// ---- hue and saturation ----------------------------------------------------

// One pixel through the HSL model: hue turned by `turn` sixths of the circle,
// saturation multiplied by `sat` (capped at full saturation); lightness kept.
inline void HslPixel(const uint8_t* s, uint8_t* d, float turn, float sat)
{
    const int b = s[0], g = s[1], r = s[2];
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const int chroma = mx - mn;
    if (chroma == 0) {
        // A grey has no hue and no saturation to change.
        d[0] = uint8_t(b);
        d[1] = uint8_t(g);
        d[2] = uint8_t(r);
        return;
    }
    // Hue in sixths of the circle, 0 red, 2 green, 4 blue.
    float hue;
    if (mx == r)
        hue = float(g - b) / float(chroma);
    else if (mx == g)
        hue = float(b - r) / float(chroma) + 2.0f;
    else
        hue = float(r - g) / float(chroma) + 4.0f;
    hue += turn;
    hue -= 6.0f * std::floor(hue / 6.0f);
    if (hue >= 6.0f)
        hue = 0.0f;

    // Saturation in HSL scales chroma; the largest chroma a lightness allows is
    // 255 - |max + min - 255|.
    const float sum = float(mx + mn);
    const float limit = 255.0f - std::abs(sum - 255.0f);
    const float c = std::min(float(chroma) * sat, limit);
    const float lo = (sum - c) * 0.5f;
    const float hi = lo + c;
    const float mid = lo + c * (1.0f - std::abs(hue - 2.0f * std::floor(hue * 0.5f) - 1.0f));

    float rr, gg, bb;
    switch (int(hue)) {
    case 0: rr = hi; gg = mid; bb = lo; break;
    case 1: rr = mid; gg = hi; bb = lo; break;
    case 2: rr = lo; gg = hi; bb = mid; break;
    case 3: rr = lo; gg = mid; bb = hi; break;
    case 4: rr = mid; gg = lo; bb = hi; break;
    default: rr = hi; gg = lo; bb = mid; break;
    }
    auto toByte = [](float v) { return uint8_t(std::clamp(int(v + 0.5f), 0, 255)); };
    d[0] = toByte(bb);
    d[1] = toByte(gg);
    d[2] = toByte(rr);
}

}  // namespace

void PelRotate(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy,
               double angle, int, int)
{
    if (!dst.HasPixels() || !src.HasPixels() || w <= 0 || h <= 0 || !std::isfinite(angle))
        return;
    double a = std::fmod(angle, 360.0);
    if (a < 0)
        a += 360.0;
    // Quarter turns are the album's own use (a photo turned to stand upright)
    // and must not lose a single pixel value: they are index moves.
    const double quarters = a / 90.0;
    if (quarters == std::floor(quarters)) {
        RotateQuarter(dst, x, y, w, h, src, sx, sy, int(quarters) % 4);
        return;
    }
    RotateFree(dst, x, y, w, h, src, sx, sy, a);
}

void PelGreyScale(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy, int,
                  int)
{
    // ITU-R BT.601 luma, Y = 0.299 R + 0.587 G + 0.114 B, in 16-bit fixed point.
    // The weights add up to exactly 65536, so a grey stays the same grey.
    ForEachRow(dst, x, y, w, h, src, sx, sy, [](uint8_t* d, const uint8_t* s, int n) {
        for (int i = 0; i < n; ++i) {
            const uint32_t luma =
                (7471u * s[0] + 38470u * s[1] + 19595u * s[2] + 32768u) >> 16;
            d[0] = d[1] = d[2] = uint8_t(luma);
            d += 3;
            s += 3;
        }
    });
}

void PelAlphaBlend(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy,
                   int alpha, int, int)
{
    const uint32_t a = uint32_t(std::clamp(alpha, 0, 255));
    if (a == 0)
        return;
    ForEachRow(dst, x, y, w, h, src, sx, sy, [a](uint8_t* d, const uint8_t* s, int n) {
        for (int i = 0; i < n; ++i, d += 3, s += 3) {
            // Black is the transparent colour of captions and frame masks.
            if ((s[0] | s[1] | s[2]) == 0)
                continue;
            if (a == 255) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            } else {
                for (int k = 0; k < 3; ++k)
                    d[k] = uint8_t((s[k] * a + d[k] * (255 - a) + 127) / 255);
            }
        }
    });
}

void PelHSL(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy, float hue,
            float sat, int, int, int)
{
    if (!std::isfinite(hue) || !std::isfinite(sat))
        return;
    sat = std::max(sat, 0.0f);
    float turn = std::fmod(hue, 360.0f) / 60.0f;
    if (turn < 0)
        turn += 6.0f;
    const bool neutral = turn == 0.0f && sat == 1.0f;
    ForEachRow(dst, x, y, w, h, src, sx, sy, [&](uint8_t* d, const uint8_t* s, int n) {
        // The dialog's neutral setting must give back the very same bytes.
        if (neutral) {
            if (d != s)
                std::memmove(d, s, size_t(n) * 3);
            return;
        }
        for (int i = 0; i < n; ++i, d += 3, s += 3)
            HslPixel(s, d, turn, sat);
    });
}

void PelInvert(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy, int,
               int)
{
    ForEachRow(dst, x, y, w, h, src, sx, sy, [](uint8_t* d, const uint8_t* s, int n) {
        const int bytes = n * 3;
        for (int i = 0; i < bytes; ++i)
            d[i] = uint8_t(~s[i]);
    });
}

void PelMosaic(CLSDIB& dst, int x, int y, int w, int h, const CLSDIB& src, int sx, int sy,
               int edge, int, int)
{
    if (!ClipBoth(dst, x, y, w, h, src, sx, sy))
        return;
    const SourceView view(dst, x, y, src, sx, sy, w, h);
    // An edge of 0 or 1 is the picture itself: the mosaic transition starts
    // from edge 0 and must show the old picture unbroken.
    if (edge <= 1) {
        for (int r = 0; r < h; ++r)
            std::memmove(dst.RowPtr(y + r) + size_t(x) * 3, view.Row(r), size_t(w) * 3);
        return;
    }
    // Squares are laid from the rectangle's top-left corner; those cut by the
    // right or bottom edge are averaged over the part that remains. Each square
    // takes the mean colour of the pixels it covers.
    for (int r0 = 0; r0 < h; r0 += edge) {
        const int rows = std::min(edge, h - r0);
        for (int c0 = 0; c0 < w; c0 += edge) {
            const int cols = std::min(edge, w - c0);
            uint64_t sum[3] = {0, 0, 0};
            for (int r = r0; r < r0 + rows; ++r) {
                const uint8_t* s = view.Row(r) + size_t(c0) * 3;
                for (int c = 0; c < cols; ++c, s += 3) {
                    sum[0] += s[0];
                    sum[1] += s[1];
                    sum[2] += s[2];
                }
            }
            const uint64_t count = uint64_t(rows) * uint64_t(cols);
            const uint8_t colour[3] = {uint8_t((sum[0] + count / 2) / count),
                                       uint8_t((sum[1] + count / 2) / count),
                                       uint8_t((sum[2] + count / 2) / count)};
            for (int r = r0; r < r0 + rows; ++r) {
                uint8_t* d = dst.RowPtr(y + r) + size_t(x + c0) * 3;
                for (int c = 0; c < cols; ++c, d += 3) {
                    d[0] = colour[0];
                    d[1] = colour[1];
                    d[2] = colour[2];
                }
            }
        }
    }
}

}  // namespace tamsel
