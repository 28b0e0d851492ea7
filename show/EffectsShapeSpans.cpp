#include "show/EffectsShapeSpans.h"

#include "imaging/Blit.h"

namespace tamsel::fx {

ColumnPieces::ColumnPieces(Surface& dst, const Surface& src) : dst_(dst), src_(src)
{
    pieces_.reserve(size_t(std::max(0, dst.Width())) * 2 + 8);
    boundaries_.reserve(64);
}

void ColumnPieces::Add(int x, int y, int h, int sx, int sy)
{
    if (!dst_.HasPixels() || !src_.HasPixels())
        return;
    int w = 1;
    if (!ClipCopy(x, y, w, h, sx, sy, dst_.Width(), dst_.Height(), src_.Width(), src_.Height()))
        return;
    const int dx = sx - x, dy = sy - y;
    if (!pieces_.empty() && (dx != dx_ || dy != dy_))
        Flush();
    dx_ = dx;
    dy_ = dy;
    pieces_.push_back({x, y, y + h});
}

// The covered columns of a row are kept as the sorted positions where coverage
// switches on or off; covering or uncovering column x flips the switches at x
// and x + 1.
void ColumnPieces::Toggle(int boundary)
{
    auto it = std::lower_bound(boundaries_.begin(), boundaries_.end(), boundary);
    if (it != boundaries_.end() && *it == boundary)
        boundaries_.erase(it);
    else
        boundaries_.insert(it, boundary);
}

void ColumnPieces::DrawBand(int y0, int y1)
{
    if (y1 <= y0)
        return;
    for (size_t k = 0; k + 1 < boundaries_.size(); k += 2) {
        const int x0 = boundaries_[k];
        BitBlt(dst_, x0, y0, boundaries_[k + 1] - x0, y1 - y0, src_, x0 + dx_, y0 + dy_);
    }
}

void ColumnPieces::Flush()
{
    if (pieces_.empty())
        return;
    const int W = dst_.Width(), H = dst_.Height();

    // Bucket the starts and ends of the pieces by row (ends may fall on row H).
    std::vector<int> first(size_t(H) + 2, 0);
    for (const Piece& p : pieces_) {
        ++first[size_t(p.top) + 1];
        ++first[size_t(p.bottom) + 1];
    }
    for (int y = 0; y <= H; ++y)
        first[size_t(y) + 1] += first[size_t(y)];
    struct Event {
        int x, delta;
    };
    std::vector<Event> events(pieces_.size() * 2);
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (const Piece& p : pieces_) {
        events[size_t(fill[size_t(p.top)]++)] = {p.x, +1};
        events[size_t(fill[size_t(p.bottom)]++)] = {p.x, -1};
    }

    // Sweep down the rows; between rows with events the covered runs stay the
    // same, so each run is drawn as one rectangle over the whole band.
    std::vector<int> count(size_t(W), 0);
    boundaries_.clear();
    int bandStart = 0;
    for (int y = 0; y <= H; ++y) {
        const int e0 = first[size_t(y)], e1 = first[size_t(y) + 1];
        if (e0 == e1)
            continue;
        DrawBand(bandStart, y);
        for (int k = e0; k < e1; ++k) {
            const Event& ev = events[size_t(k)];
            int& n = count[size_t(ev.x)];
            const bool was = n > 0;
            n += ev.delta;
            if (was != (n > 0)) {
                Toggle(ev.x);
                Toggle(ev.x + 1);
            }
        }
        bandStart = y;
    }
    pieces_.clear();
    boundaries_.clear();
}

}  // namespace tamsel::fx
