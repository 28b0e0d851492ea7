// Xlib apart: its headers define names (None, Bool, Status) that clash with the tests'.
#include <QByteArray>
#include <QString>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace tamsel::testing {

bool SetRootIccProfile(const QString& display, const QByteArray& icc)
{
    Display* d = XOpenDisplay(display.toLocal8Bit().constData());
    if (!d)
        return false;
    const Atom name = XInternAtom(d, "_ICC_PROFILE", False);
    if (icc.isEmpty())
        XDeleteProperty(d, DefaultRootWindow(d), name);
    else
        XChangeProperty(d, DefaultRootWindow(d), name, XA_CARDINAL, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(icc.constData()), int(icc.size()));
    XSync(d, False);
    XCloseDisplay(d);
    return true;
}

}  // namespace tamsel::testing
