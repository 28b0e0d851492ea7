#pragma once
#include <QDBusConnection>
#include "platform/Outcome.h"
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

namespace tamsel {

// The desktops whose background we know how to set.
enum class DesktopKind {
    None,      // no display at all, or a desktop we do not know
    Wayland,   // a Wayland session of no known desktop: nothing to set
    Gnome,     // GNOME, Unity, Budgie, Pantheon: org.gnome.desktop.background
    Cinnamon,  // org.cinnamon.desktop.background
    Mate,      // org.mate.background
    Xfce,      // the xfce4-desktop settings channel
    Kde,       // Plasma's shell scripting interface
    BareX,     // an X session without a desktop: the root window itself
};

struct DesktopInfo {
    DesktopKind kind = DesktopKind::None;
    QString name;        // as the session names itself, for messages
    QByteArray display;  // the X display, for BareX
};

// Which desktop runs, from the session's environment.
DesktopInfo DetectDesktop(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// Makes the picture file the background of the given desktop.
Outcome ApplyWallpaper(const QString& file, const DesktopInfo& desktop);

// The settings keys of the GNOME family (the light and the dark picture
// where the schema has both), through gsettings, so whatever settings
// backend the session uses receives them.
Outcome SetGsettingsWallpaper(const QString& file, DesktopKind kind);

// Asks the desktop portal (org.freedesktop.portal.Wallpaper on bus) to make
// the picture the background: what a Wayland desktop of no known kind offers.
// The portal may still ask the user; the outcome says whether it was asked.
Outcome SetPortalWallpaper(const QString& file, const QDBusConnection& bus);

// Sets the X root window's background to the picture, filling the screen,
// and publishes it the way other X programs look for it (_XROOTPMAP_ID and
// ESETROOT_PMAP_ID). An empty display means $DISPLAY.
Outcome SetRootWindowPicture(const QString& file, const QByteArray& display);

}  // namespace tamsel
