#pragma once
#include <QRegion>

namespace tamsel {

// The outline of a window of client size w x h. The main window (composite)
// has three corners rounded by about 26 pixels and a nearly square bottom-right
// corner where the resize grip sits; dialogs get a rounded rectangle with
// 48 x 48 corners. Boxes have exclusive right and bottom edges.
QRegion FormRegion(int w, int h, bool composite);

}  // namespace tamsel
