// The retouch filters work on the surface's pixel bytes as one linear run in
// steps of three bytes (blue, green, red), without regard to rows: row padding
// is walked like any other byte, and the neighbours at +-3 and +-stride are the
// pixels beside and the rows below and above in memory. These walks are what
// the album's sharpen, soften and brightness retouches have always been, so a
// retouch gives the picture it always gave; only the work inside each walk is
// arranged so that the compiler can vectorise it.
#include "imaging/Surface.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

namespace tamsel {

namespace {

inline uint8_t ClampByte(int v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// End (exclusive) of the bytes touched by a walk i = first, first + 3, ...
// while i <= last, three bytes at a time; `first` when the walk is empty.
inline size_t WalkEnd(int64_t first, int64_t last)
{
    if (last < first)
        return size_t(first);
    return size_t(first + (last - first) / 3 * 3 + 3);
}

}  // namespace

void CLSDIB::ShiftColors(int32_t addRed, int32_t addGreen, int32_t addBlue)
{
    std::span<uint8_t> view;
    MapArray(view);
    const int64_t n = int64_t(view.size());
    if (n < 3) {
        UnMapArray(view);
        return;
    }
    uint8_t* b = view.data();
    const size_t end = WalkEnd(0, n - 3);

    // Any amount beyond +-255 clamps the same way as +-255 does, and keeps the
    // sums inside 16 bits.
    const int16_t add[3] = {int16_t(std::clamp(addBlue, -255, 255)),
                            int16_t(std::clamp(addGreen, -255, 255)),
                            int16_t(std::clamp(addRed, -255, 255))};
    // 48 bytes are 16 whole pixels: the per-byte amounts repeat with that period.
    constexpr size_t kBlock = 48;
    int16_t pattern[kBlock];
    for (size_t k = 0; k < kBlock; ++k)
        pattern[k] = add[k % 3];

    size_t j = 0;
    for (; j + kBlock <= end; j += kBlock) {
        uint8_t* p = b + j;
        for (size_t k = 0; k < kBlock; ++k) {
            const int v = p[k] + pattern[k];
            p[k] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
    }
    for (; j < end; ++j)
        b[j] = ClampByte(b[j] + add[j % 3]);
    UnMapArray(view);
}

void CLSDIB::Sharpen()
{
    std::span<uint8_t> view;
    const int64_t s = MapArray(view);
    const int64_t n = int64_t(view.size());
    // Each byte against the one a row up and a pixel right in memory
    // (diagonally up-right on screen, the rows being bottom-up).
    const int64_t ahead = s + 3;
    if (n < s + 6) {
        UnMapArray(view);
        return;
    }
    uint8_t* b = view.data();
    const size_t end = WalkEnd(0, n - s - 6);

    // The walk runs forward and reads `ahead` bytes further on, so every value
    // it reads is still unfiltered. Doing a block at a time keeps that true as
    // long as each block reads its neighbours before it writes: a block writes
    // only below its own end, and later blocks read from beyond their start.
    constexpr size_t kBlock = 64;
    size_t j = 0;
    for (; j + kBlock <= end; j += kBlock) {
        uint8_t next[kBlock];
        std::memcpy(next, b + j + ahead, kBlock);
        uint8_t* p = b + j;
        for (size_t k = 0; k < kBlock; ++k) {
            const int v = 2 * p[k] - next[k];
            p[k] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
    }
    for (; j < end; ++j)
        b[j] = ClampByte(2 * b[j] - b[j + ahead]);
    UnMapArray(view);
}

void CLSDIB::FastBlur()
{
    std::span<uint8_t> view;
    const int64_t s = MapArray(view);
    const int64_t n = int64_t(view.size());
    if (n < 2 * s + 9) {
        UnMapArray(view);
        return;
    }
    uint8_t* __restrict b = view.data();
    // One copy of the unfiltered picture; every result is read from it.
    auto copy = std::make_unique_for_overwrite<uint8_t[]>(size_t(n));
    std::memcpy(copy.get(), b, size_t(n));
    const uint8_t* __restrict o = copy.get();

    const size_t first = size_t(s + 3);
    const size_t end = WalkEnd(s + 3, n - s - 6);
    const size_t row = size_t(s);
    for (size_t j = first; j < end; ++j) {
        const uint32_t sum = uint32_t(o[j - row]) + o[j - 3] + o[j + 3] + o[j + row] + 2u * o[j];
        // sum / 6 for every sum up to 6 x 255, as a multiply and shift.
        b[j] = uint8_t((sum * 10923u) >> 16);
    }
    UnMapArray(view);
}

}  // namespace tamsel
