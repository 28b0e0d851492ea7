#include "tools/Lens.h"

#include "imaging/Blit.h"
#include "model/AlbumState.h"
#include "model/Composition.h"
#include "platform/Rounding.h"

#include <cmath>

namespace tamsel {

int LensHalfWidth(int i, int radius)
{
    const double r2 = double(radius) * radius - double(i) * i;
    return r2 <= 0 ? 0 : int(std::sqrt(r2) + 0.5);
}

LensPoint LensSource(const Composition& c, int photoW, int photoH, double x, double y)
{
    // Canvas pixels per photo pixel, along the side the photo was fitted by.
    const double scale = c.PhotoAspect > c.CanvasAspect ? double(c.CanvasWidth) / photoW
                                                        : double(c.CanvasHeight) / photoH;
    return {(x - c.PlaceX + c.ViewX) / scale, (y - c.PlaceY + c.ViewY) / scale};
}

bool LensOverlay::Draw(const Surface& photo, const Surface& arrived, const Composition& shown,
                       bool panDone, const MainState& m, double x, double y, uint64_t frame)
{
    // Only the photo's own pixels will do: never a copy decoded small for the screen.
    if (!panDone || !m.OrigView || !photo.HasPixels() || photo.Reduced() || !arrived.HasPixels())
        return false;
    const int radius = ToDevice(m, kLensRadius);
    // The square holds every row and column the circle can reach, halves
    // rounded either way, with the photo as it came in around the circle.
    const int side = 2 * radius + 5;
    const QPoint at(int(std::floor(x)) - radius - 2, int(std::floor(y)) - radius - 2);
    if (picture_.Width() != side || picture_.Height() != side)
        if (!picture_.Create(side, side))
            return false;
    picture_.Cls();
    BitBlt(picture_, 0, 0, side, side, arrived, at.x(), at.y());
    const LensPoint p = LensSource(shown, photo.Width(), photo.Height(), x, y);
    // Each row is a plain clipped copy: rows reaching past the photo simply
    // stop at its edges, and the photo area clips the square to itself.
    for (int i = 0; i <= radius; ++i) {
        const int h = LensHalfWidth(i, radius);
        for (int s : {-i, i})
            BitBlt(picture_, RoundHalfEven(x - h) - at.x(), RoundHalfEven(y + s) - at.y(), 2 * h, 1,
                   photo, RoundHalfEven(p.x - h), RoundHalfEven(p.y + s));
    }
    topLeft_ = at;
    frame_ = frame;
    shown_ = true;
    return true;
}

}  // namespace tamsel
