#include "shell/ThumbTrack.h"

#include "shell/Layout.h"

#include <algorithm>

namespace tamsel {

ThumbDrag DragThumb(int x, int W, int SW, int n, int curPhoto)
{
    const int right = W - (SW - 206);
    if (x < 126)
        x = 126;
    if (x > right)
        x = right;
    ThumbDrag d;
    d.left = x - 8;
    d.CurPhoto = curPhoto;
    if (n >= 1) {
        // The offset is counted from 125, so the track's first pixel already
        // reaches a little into the first photo's share.
        const int i = WholeDiv(double(x - 125) * (n - 1), TrackLength(W, SW));
        d.CurPhoto = std::clamp(i, 0, n - 1);
    }
    return d;
}

double ThumbRestLeft(int W, int SW, int n, int c)
{
    if (n <= 1)
        return 118;
    return 118 + double(TrackLength(W, SW)) * c / (n - 1);
}

}  // namespace tamsel
