#pragma once
#include <cstddef>
#include <functional>

namespace tamsel {

// Draws rows [0, count) of a large picture as bands of rows, shared between
// the calling thread and one helper thread kept for the purpose: fn(from, to)
// is called for consecutive bands, each exactly once, possibly on either
// thread, and RunRowBands returns when all are drawn. The bands must be
// independent of one another (no band reads what another writes).
//
// Work under about a megabyte of pixels is drawn at once on the calling
// thread: waking the helper would cost more than it saves. So does a call
// made while another thread has the helper. An exception thrown by fn is
// thrown again here once every band in progress has finished.
void RunRowBands(int count, size_t workBytes, const std::function<void(int, int)>& fn);

// Lets the tests keep every band on the calling thread, to compare.
bool& RowBandsOff();

}  // namespace tamsel
