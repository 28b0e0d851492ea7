#pragma once
#include "model/Surface.h"
#include "shell/Layout.h"

#include <QColor>
#include <QRect>

#include <vector>

namespace tamsel {

// The window's background where no skin lies.
inline constexpr QRgb kFrameBackColour = qRgb(250, 250, 250);

// The window's background for a layout: the skin's pieces at their places
// over the background colour. At ratio 2 the skin is its double-size drawing,
// cut and placed at twice the layout's places. Without skin pixels it is the
// background colour alone; no pixels at all when the layout is empty or the
// memory is not there.
Surface PaintFrame(const Surface& skin, const FormLayout& L, int ratio);

// The parts of the client area around the photo area, which covers the rest:
// up to four rectangles in layout pixels, none of them empty.
std::vector<QRect> AroundPhotoArea(const FormLayout& L);

}  // namespace tamsel
