#pragma once
#include "model/Surface.h"

namespace tamsel {

// Plain copy (SRCCOPY) of the w x h rectangle at (sx, sy) of src to (x, y) of dst,
// clipped to both surfaces; one memmove per row. A zero or negative size draws
// nothing. dst and src may be the same surface, overlapping or not.
void BitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy);

// count copies of a w x h rectangle, the i-th from (sx + i * step, sy) of src to
// (x + i * step, y) of dst, each clipped as BitBlt clips it: what count BitBlt
// calls in that order draw, but drawn row by row, so a frame of many narrow
// strips walks each picture once.
void BitBltRepeated(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int step, int count);

// Stretch of the source rectangle over the destination rectangle in halftone
// quality: area averaging along an axis that shrinks, bilinear along one that
// grows, an exact copy along one that keeps its size. Clipped to both surfaces
// without changing the mapping; zero or negative sizes draw nothing.
void StretchBlt(Surface& dst, int dx, int dy, int dw, int dh,
                const Surface& src, int sx, int sy, int sw, int sh);

// StretchBlt into dst, then CopyWhole(mirror, dst), in one pass where the
// stretch covers dst whole: each row is copied while it is still in the cache.
void StretchBltMirrored(Surface& dst, Surface& mirror, int dx, int dy, int dw, int dh,
                        const Surface& src, int sx, int sy, int sw, int sh);

// Blend with a constant source alpha (0..255, no per-pixel alpha) of the w x h
// rectangle at (sx, sy) of src over (x, y) of dst: d = (s * a + d * (255 - a)) / 255.
void AlphaBlendConst(Surface& dst, int x, int y, int w, int h,
                     const Surface& src, int sx, int sy, int alpha);

// Copies all pixel bytes of src into dst: one memcpy for surfaces of one size,
// a clipped copy otherwise.
void CopyWhole(Surface& dst, const Surface& src);

// Clips a copy of w x h from (sx, sy) of a source sized sw x sh to (x, y) of a
// destination sized dw x dh. Returns false when nothing remains.
bool ClipCopy(int& x, int& y, int& w, int& h, int& sx, int& sy, int dstW, int dstH, int srcW,
              int srcH);

}  // namespace tamsel
