#pragma once

class QWidget;

namespace tamsel {

// Cuts a window to its outline from its present client size: the main
// window's composite shape, or the rounded rectangle of the dialogs. Call it
// again after every size change.
void SetFormRegion(QWidget& window, bool composite);

}  // namespace tamsel
