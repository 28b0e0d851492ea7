#pragma once
#include <QByteArray>

namespace tamsel {

// The ICC profile a colour manager (colord, a desktop's colour settings)
// published for the screen as the X root window's _ICC_PROFILE property;
// empty when none is set or there is no X display. An empty display means
// $DISPLAY.
QByteArray RootWindowIccProfile(const QByteArray& display = {});

}  // namespace tamsel
