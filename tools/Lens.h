#pragma once
#include "model/Surface.h"

#include <QPoint>

#include <cstdint>

namespace tamsel {

class MainState;
struct Composition;

inline constexpr int kLensRadius = 60;

// Half the width of lens row i (0..radius from the middle row): the row spans
// 2 x this many pixels of a circle of that radius.
int LensHalfWidth(int i, int radius = kLensRadius);

// The point of the photo, in its own pixels, that lies under (x, y) of the
// photo area, through the fit and the view of the composition.
struct LensPoint {
    double x, y;
};
LensPoint LensSource(const Composition& shown, int photoW, int photoH, double x, double y);

// The magnifier's picture, laid over what the photo area shows: a square of
// the photo as it came in with the circle of the photo's own pixels in it.
// It belongs to the frame it was drawn over and is not shown once the
// engine has drawn another.
class LensOverlay {
public:
    // The square, and where its top left lies on the photo area (device pixels).
    const Surface& Picture() const { return picture_; }
    QPoint TopLeft() const { return topLeft_; }
    // Whether it lies over the frame the engine has numbered frame.
    bool Over(uint64_t frame) const { return shown_ && frame_ == frame; }

    // Draws the lens at (x, y) of the photo area over arrived, the photo as
    // it came in (DibNew), for the engine's frame. Nothing is drawn unless
    // the photo has finished coming in and "原相查看" is down. (x, y) are
    // device pixels; on a high-density screen the lens keeps its size on the
    // screen and shows that many more of the photo's pixels. Returns whether
    // a lens was drawn.
    bool Draw(const Surface& photo, const Surface& arrived, const Composition& shown,
              bool panDone, const MainState& m, double x, double y, uint64_t frame);

private:
    Surface picture_;
    QPoint topLeft_;
    uint64_t frame_ = 0;
    bool shown_ = false;
};

}  // namespace tamsel
