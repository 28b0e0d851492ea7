#pragma once
#include <cstddef>
#include <functional>
#include <utility>

namespace tamsel {

// Draws rows [0, count) of a large picture as bands of rows, shared between
// the calling thread and one helper thread kept for the purpose: fn(from, to)
// is called for consecutive bands, each exactly once, possibly on either
// thread, and RunRowBands returns when all are drawn. The bands must be
// independent of one another (no band reads what another writes).
//
// Work under about a megabyte of pixels is drawn at once on the calling
// thread: waking the helper would cost more than it saves. So is a call
// made while another thread has the helper. An exception thrown by fn is
// thrown again here once every band in progress has finished.
template <class Fn>
void RunRowBands(int count, size_t workBytes, Fn&& fn);

// The part of RunRowBands that hands bands to the helper.
void RunRowBandsOnPool(int count, const std::function<void(int, int)>& fn);
inline constexpr size_t kRowBandsMinBytes = size_t(1) << 20;

template <class Fn>
void RunRowBands(int count, size_t workBytes, Fn&& fn)
{
    // Small work (the frames of a default-sized window, a block of a few
    // pixels) is decided here, inline, without building the call's wrapper.
    if (count < 2 || workBytes < kRowBandsMinBytes) {
        if (count > 0)
            fn(0, count);
        return;
    }
    RunRowBandsOnPool(count, std::function<void(int, int)>(std::ref(fn)));
}

// Lets the tests keep every band on the calling thread, to compare.
bool& RowBandsOff();

}  // namespace tamsel
