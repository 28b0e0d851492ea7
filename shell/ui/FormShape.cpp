#include "shell/ui/FormShape.h"

#include "shell/FormRegion.h"

#include <QWidget>

namespace tamsel {

void SetFormRegion(QWidget& window, bool composite)
{
    const QRegion shape = FormRegion(window.width(), window.height(), composite);
    // A window without a size (minimised) keeps its last outline rather than
    // an empty mask, which would take it off the screen for good.
    if (!shape.isEmpty())
        window.setMask(shape);
}

}  // namespace tamsel
