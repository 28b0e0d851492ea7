#pragma once
#include "model/Surface.h"

namespace tamsel {

// Pixel operations in the album's argument layout: destination, x, y, width,
// height, source, source x, source y, then each operation's own arguments.
// Every rectangle is clipped to both surfaces; source and destination may be
// the same surface.

// Draws the w x h source rectangle turned by angle degrees (90 a quarter turn
// clockwise, 270 counter-clockwise), centred on (x, y) of the destination: the
// turned rectangle's left edge is x minus half its width, rounded half to even
// (so centring at round(W / 2) on a W-wide destination covers it exactly), and
// likewise its top edge. Whole quarter turns move pixels without change; other
// angles are resampled bilinearly.
void PelRotate(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
               double angle);

// Grey tones of the source rectangle into the destination: ITU-R BT.601 luma,
// 0.299 R + 0.587 G + 0.114 B.
void PelGreyScale(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy);

// Lays the source rectangle over the destination: black source pixels leave
// the destination unchanged, all others replace it (at alpha 255).
void PelAlphaBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                   int alpha = 255);

// Hue turned by hue degrees, saturation multiplied by sat; 0 and 1 change nothing.
void PelHSL(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy, float hue,
            float sat);

// The colour negative of the source rectangle into the destination.
void PelInvert(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy);

// The source rectangle as squares of edge pixels from its top-left corner, each
// the mean colour of what it covers. An edge of 0 or 1 copies the rectangle.
void PelMosaic(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
               int edge);

}  // namespace tamsel
