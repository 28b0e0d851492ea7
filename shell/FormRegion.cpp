#include "shell/FormRegion.h"

namespace tamsel {

namespace {

// A box given by its corners, right and bottom edges exclusive.
QRect Box(int x1, int y1, int x2, int y2) { return QRect(x1, y1, x2 - x1, y2 - y1); }

QRegion Rect(int x1, int y1, int x2, int y2)
{
    const QRect r = Box(x1, y1, x2, y2);
    return r.isValid() ? QRegion(r) : QRegion();
}

QRegion Ellipse(int x1, int y1, int x2, int y2)
{
    const QRect r = Box(x1, y1, x2, y2);
    return r.isValid() ? QRegion(r, QRegion::Ellipse) : QRegion();
}

}  // namespace

QRegion FormRegion(int w, int h, bool composite)
{
    if (w <= 0 || h <= 0)
        return QRegion();
    if (!composite) {
        // Rounded rectangle: a cross of two rectangles and a 48 x 48 ellipse at
        // each corner.
        constexpr int e = 48;
        QRegion r = Rect(e / 2, 0, w - e / 2, h);
        r += Rect(0, e / 2, w, h - e / 2);
        r += Ellipse(0, 0, e, e);
        r += Ellipse(w - e, 0, w, e);
        r += Ellipse(0, h - e, e, h);
        r += Ellipse(w - e, h - e, w, h);
        return r & QRegion(0, 0, w, h);
    }
    QRegion r = Rect(0, 26, w, h - 26);
    r += Rect(23, 0, w - 23, h);
    r += Rect(23, 52, w, h - 6);
    r += Rect(52, 52, w - 6, h);
    r += Ellipse(0, 0, 52, 52);
    r += Ellipse(w - 50, 0, w + 1, 52);
    r += Ellipse(0, h - 52, 52, h);
    r += Ellipse(w - 9, h - 9, w, h);
    // The top-right ellipse reaches one pixel past the window; the window
    // ends at its edge all the same.
    return r & QRegion(0, 0, w, h);
}

}  // namespace tamsel
