// The retouch filters work on the surface's pixel bytes as one linear run in
// steps of three bytes (blue, green, red), without regard to rows: row padding
// is walked like any other byte, and the neighbours at +-3 and +-stride are the
// pixels beside and the rows below and above in memory. Retouches saved by
// earlier versions must come out byte for byte the same, so the walks stay as
// they are; only the work inside each walk is arranged so that the compiler
// can vectorise it.
#include "model/Surface.h"
#include "platform/VectorClones.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

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

// Adds the per-channel amounts to bytes [0, end).
TAMSEL_VECTOR_CLONES void ShiftRun(uint8_t* b, size_t end, const int16_t add[3])
{
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
}

// Bytes [0, end) each against the byte `ahead` further on, in place.
TAMSEL_VECTOR_CLONES void SharpenRun(uint8_t* b, size_t end, size_t ahead)
{
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
}

// One stretch of the blur: bytes out[0, len) from `before` (the unfiltered
// bytes one row back), `here` (the unfiltered bytes from 3 before the stretch
// to 3 after it) and `next` (the row ahead, not yet filtered).
TAMSEL_VECTOR_CLONES void BlurStretch(uint8_t* __restrict out, const uint8_t* __restrict before,
                                      const uint8_t* __restrict here,
                                      const uint8_t* __restrict next, size_t len)
{
    for (size_t k = 0; k < len; ++k) {
        const uint16_t sum =
            uint16_t(before[k] + here[k] + here[k + 6] + next[k] + 2 * here[k + 3]);
        // Every sum is at most 6 x 255, where sum / 6 is this multiply and shift.
        out[k] = uint8_t((uint32_t(sum) * 10923u) >> 16);
    }
}

}  // namespace

void Surface::ShiftColors(int32_t addRed, int32_t addGreen, int32_t addBlue)
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
    ShiftRun(b, end, add);
    UnMapArray(view);
}

void Surface::Sharpen()
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

    SharpenRun(b, end, size_t(ahead));
    UnMapArray(view);
}

void Surface::FastBlur()
{
    std::span<uint8_t> view;
    const int64_t s = MapArray(view);
    const int64_t n = int64_t(view.size());
    if (n < 2 * s + 9) {
        UnMapArray(view);
        return;
    }
    uint8_t* b = view.data();
    const size_t row = size_t(s);
    const size_t first = row + 3;
    const size_t end = WalkEnd(s + 3, n - s - 6);

    // Every result is computed from the unfiltered picture. The walk runs
    // forward, so what lies ahead of it is still unfiltered; only the bytes it
    // has just passed (one row back and the pixel before) must be kept. The
    // unfiltered bytes are copied once, a row at a time, into two row-sized
    // buffers instead of a second whole picture.
    std::vector<uint8_t> before(row);
    std::vector<uint8_t> here(row + 6);
    // The row behind the first stretch lies below the walk: never filtered.
    std::memcpy(before.data(), b + first - row, std::min(row, end - first));
    // here[0, 3) carries the 3 unfiltered bytes just before the stretch.
    std::memcpy(here.data(), b + first - 3, 3);
    for (size_t j0 = first; j0 < end; j0 += row) {
        const size_t len = std::min(row, end - j0);
        std::memcpy(here.data() + 3, b + j0, len + 3);
        BlurStretch(b + j0, before.data(), here.data(), b + j0 + row, len);
        // One row on, the row behind is this stretch as it was.
        std::memcpy(before.data(), here.data() + 3, len);
        std::memcpy(here.data(), here.data() + len, 3);
    }
    UnMapArray(view);
}

}  // namespace tamsel
