#pragma once
#include <QByteArray>
#include <QDBusConnection>
#include <QString>

namespace tamsel {

// The ICC profile a colour manager (colord, a desktop's colour settings)
// published for the screen as the X root window's _ICC_PROFILE property;
// empty when none is set or there is no X display. An empty display means
// $DISPLAY.
QByteArray RootWindowIccProfile(const QByteArray& display = {});

// The ICC profile colord (org.freedesktop.ColorManager, on the system bus)
// holds as the default for the display device of output (the output's name
// as the window system gives it, "HDMI-1"; empty or unknown: colord's first
// display): on any session, X11 or Wayland. Empty without colord, without a
// device or profile, or when the profile's file cannot be read.
QByteArray ColordDisplayProfile(const QDBusConnection& bus, const QString& output);

}  // namespace tamsel
