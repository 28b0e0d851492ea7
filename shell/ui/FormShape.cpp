#include "shell/ui/FormShape.h"

#include "shell/FormRegion.h"

#include <QGuiApplication>
#include <QPainter>
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

bool CompositorPlacesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void MakeOutlineVisible(QWidget& window)
{
    if (CompositorPlacesWindows())
        window.setAttribute(Qt::WA_TranslucentBackground);
}

void ClipToOutline(const QWidget& window, QPainter& p)
{
    if (!window.testAttribute(Qt::WA_TranslucentBackground) || window.mask().isEmpty())
        return;
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(window.rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setClipRegion(window.mask());
}

}  // namespace tamsel
