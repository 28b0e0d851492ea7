#pragma once
// Column pieces drawn as row spans, for the sweep and wave transitions.
#include "model/Surface.h"

#include <algorithm>
#include <vector>

namespace tamsel::fx {

// Collects one-pixel-wide column pieces (x, y, 1, h) <- src (sx, sy) and draws
// them as row spans: a 3-byte memmove per pixel row would make a sweep over a
// large photo area cost several milliseconds, while the same pixels copied
// row by row cost one blit per run. Each piece is clipped to both surfaces
// exactly as BitBlt clips it, so the pixels drawn are the same as with one
// blit per column.
//
// The pieces are drawn at Flush() (and whenever a piece arrives whose source
// offset differs from the pieces before it, those earlier ones are drawn
// first), so any other copy issued in between must not depend on being drawn
// before or after them unless it writes the same pixel values.
class ColumnPieces {
public:
    ColumnPieces(Surface& dst, const Surface& src);
    ~ColumnPieces() { Flush(); }
    ColumnPieces(const ColumnPieces&) = delete;
    ColumnPieces& operator=(const ColumnPieces&) = delete;

    void Add(int x, int y, int h, int sx, int sy);
    void Flush();

private:
    struct Piece {
        int x, top, bottom;  // destination rows [top, bottom) of column x
    };
    void Toggle(int boundary);
    void DrawBand(int y0, int y1);

    Surface& dst_;
    const Surface& src_;
    int dx_ = 0, dy_ = 0;  // source position minus destination position
    std::vector<Piece> pieces_;
    std::vector<int> boundaries_;  // sorted starts and ends of the covered runs
};

}  // namespace tamsel::fx
