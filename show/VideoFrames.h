#pragma once
#include <QSize>

#include <cstdint>

namespace tamsel {

class Surface;

// Where the three planes of an 8-bit I420 frame lie: Y at full size, then U
// and V at half the width and half the height.
struct I420Planes {
    uint8_t* plane[3];
    int stride[3];
};

// Whether ToI420 gives a frame of this size exactly the pixels GStreamer's
// videoconvert (two threads, its default settings) gives for it, so that the
// encoder may take our frames instead. videoconvert's second thread starts
// half-way down; on a height that is not a multiple of 4 that is an odd row,
// and its chroma rows pair other lines than a single pass would.
bool ConvertsLikeVideoconvert(QSize size);

// The screen (24-bit, any height) as a video frame of its size, in the
// colours the encoders assume when told nothing: BT.601 up to 576 rows,
// BT.709 above, studio range; chroma from each 2x2 block, the vertical pair
// averaged first, then across (BT.709 frames weight their chroma 1-2-1
// around the even column, as MPEG-2 places it).
void ToI420(const Surface& screen, const I420Planes& out);

}  // namespace tamsel
