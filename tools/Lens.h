#pragma once

namespace tamsel {

struct AlbumState;
class MainState;
struct SurfacePool;

inline constexpr int kLensRadius = 60;

// Half the width of lens row i (0..radius from the middle row): the row spans
// 2 x this many pixels of a circle of that radius.
int LensHalfWidth(int i, int radius = kLensRadius);

// The point of the photo, in its own pixels, that lies under (x, y) of the
// photo area, through the fit and the view of the composition.
struct LensPoint {
    double x, y;
};
LensPoint LensSource(const MainState& m, int photoW, int photoH, double x,
                     double y);

// The magnifier: restores DibScreen from DibNew (wiping the previous lens),
// then shows the photo at its own resolution in a circle around (x, y).
// Nothing is drawn unless the photo has been fully presented and "原相查看"
// is down. (x, y) are device pixels; on a high-density screen the lens keeps
// its size on the screen and shows that many more of the photo's pixels.
// Returns whether a lens was drawn.
bool DrawLens(SurfacePool& d, const MainState& m, double x, double y);

}  // namespace tamsel
