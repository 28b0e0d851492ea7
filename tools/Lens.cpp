#include "tools/Lens.h"

#include "imaging/Blit.h"
#include "model/AlbumState.h"
#include "model/SurfacePool.h"
#include "platform/Rounding.h"

#include <cmath>

namespace tamsel {

int LensHalfWidth(int i, int radius)
{
    const double r2 = double(radius) * radius - double(i) * i;
    return r2 <= 0 ? 0 : int(std::sqrt(r2) + 0.5);
}

LensPoint LensSource(const MainState& m, int photoW, int photoH, double x,
                     double y)
{
    // Canvas pixels per photo pixel, along the side the photo was fitted by.
    const double scale = m.PhotoAspect > m.CanvasAspect ? double(m.CanvasWidth) / photoW
                                                        : double(m.CanvasHeight) / photoH;
    return {(x - m.PlaceX + m.ViewX) / scale, (y - m.PlaceY + m.ViewY) / scale};
}

bool DrawLens(SurfacePool& d, const MainState& m, double x, double y)
{
    // Only the photo's own pixels will do: never a copy decoded small for the screen.
    if (!m.PanDone || !m.OrigView || !d.DibPhoto.HasPixels() || d.DibPhoto.Reduced() ||
        !d.DibNew.HasPixels())
        return false;
    CopyWhole(d.DibScreen, d.DibNew);
    const LensPoint p = LensSource(m, d.DibPhoto.Width(), d.DibPhoto.Height(), x, y);
    // Each row is a plain clipped copy: rows reaching past the photo or the
    // area simply stop at their edges.
    const int radius = ToDevice(m, kLensRadius);
    for (int i = 0; i <= radius; ++i) {
        const int h = LensHalfWidth(i, radius);
        for (int side : {-i, i})
            BitBlt(d.DibScreen, RoundHalfEven(x - h), RoundHalfEven(y + side), 2 * h, 1, d.DibPhoto,
                   RoundHalfEven(p.x - h), RoundHalfEven(p.y + side));
    }
    return true;
}

}  // namespace tamsel
