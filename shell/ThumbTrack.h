#pragma once

namespace tamsel {

// The position thumb (bar button 5) dragged along the track of the button bar.
struct ThumbDrag {
    int CurPhoto = 0;   // the photo under the thumb
    int left = 0;       // the thumb's left edge
};

// The thumb under a pointer at window x, in a window W wide with a skin SW wide,
// for n photos. The centre keeps to the track; the photo index keeps to the
// list even when the album has more photos than the track has pixels. With no
// photos the thumb follows the pointer and the index stays at curPhoto.
ThumbDrag DragThumb(int x, int W, int SW, int n, int curPhoto);

// Where the thumb comes to rest on release: the exact place of photo c, which
// may fall between two pixels.
double ThumbRestLeft(int W, int SW, int n, int c);

}  // namespace tamsel
