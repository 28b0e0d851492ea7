#pragma once

class QPainter;
class QWidget;

namespace tamsel {

// Cuts a window to its outline from its present client size: the main
// window's composite shape, or the rounded rectangle of the dialogs. Call it
// again after every size change.
void SetFormRegion(QWidget& window, bool composite);

// Whether the compositor alone places the windows (a Wayland session): a
// window there neither learns nor sets its place on the screen; it asks the
// compositor to move or size it, with the pointer press that started it.
bool CompositorPlacesWindows();

// Under such a compositor a mask only limits where the pointer reaches the
// window: the outline shows by the pixels outside it being transparent.
// MakeOutlineVisible is called before the window first shows, ClipToOutline
// at the start of each of its paints.
void MakeOutlineVisible(QWidget& window);
void ClipToOutline(const QWidget& window, QPainter& p);

}  // namespace tamsel
