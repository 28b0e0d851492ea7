#pragma once
#include <QFont>

namespace tamsel {

// The album names its fonts by their Windows faces; on this system they are
// drawn by the AR PL Song and Kai fonts.
void RegisterFontSubstitutions();

// The window's own font: 宋体 at 10.5 points.
QFont WindowFont();

}  // namespace tamsel
