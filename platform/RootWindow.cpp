// The X root window's own background, for an X session without a desktop.
// Kept apart from the other wallpaper code: Xlib's headers define names
// (None, Bool, Status) that clash with everything else.
#include "platform/ScreenProfile.h"
#include "platform/Wallpaper.h"

#include <QImage>
#include <QImageReader>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <memory>

namespace tamsel {
namespace {

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

struct DisplayClose {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

// The picture scaled to cover the whole screen, proportions kept, the
// overflow cut equally from both sides.
QImage Cover(const QImage& img, int w, int h)
{
    const QImage scaled =
        img.scaled(w, h, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - w) / 2, (scaled.height() - h) / 2, w, h)
        .convertToFormat(QImage::Format_RGB32);
}

int Shift(unsigned long mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

// Fills the X image from the picture in the visual's own pixel layout.
void Fill(XImage* xi, const QImage& img, const Visual* v)
{
    const bool direct = xi->bits_per_pixel == 32 && xi->byte_order == LSBFirst &&
                        v->red_mask == 0xff0000 && v->green_mask == 0xff00 && v->blue_mask == 0xff;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        if (direct) {
            std::memcpy(xi->data + size_t(y) * xi->bytes_per_line, row, size_t(img.width()) * 4);
            continue;
        }
        for (int x = 0; x < img.width(); ++x) {
            auto channel = [](unsigned long value, unsigned long mask) {
                const int s = Shift(mask);
                const unsigned long top = mask >> s;
                return ((value * top + 127) / 255) << s;
            };
            const QRgb p = row[x];
            XPutPixel(xi, x, y,
                      channel(qRed(p), v->red_mask) | channel(qGreen(p), v->green_mask) |
                          channel(qBlue(p), v->blue_mask));
        }
    }
}

}  // namespace

Outcome SetRootWindowPicture(const QString& file, const QByteArray& display)
{
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull())
        return {false, QStringLiteral("对不起,墙纸图片 %1 无法读取").arg(file)};

    std::unique_ptr<Display, DisplayClose> dpy(
        XOpenDisplay(display.isEmpty() ? nullptr : display.constData()));
    if (!dpy)
        return {false, QStringLiteral("对不起,连不上 X 显示 %1").arg(QString::fromLocal8Bit(display))};
    Display* d = dpy.get();
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    Visual* visual = DefaultVisual(d, screen);
    const int depth = DefaultDepth(d, screen);
    const int w = DisplayWidth(d, screen);
    const int h = DisplayHeight(d, screen);
    if (visual->c_class != TrueColor && visual->c_class != DirectColor)
        return {false, QStringLiteral("对不起,这个 X 显示的颜色模式不能显示墙纸")};

    const QImage img = Cover(picture, w, h);
    XImage* xi = XCreateImage(d, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(w),
                              unsigned(h), 32, 0);
    if (!xi)
        return {false, QStringLiteral("对不起,墙纸图片太大")};
    xi->data = static_cast<char*>(std::malloc(size_t(xi->bytes_per_line) * size_t(h)));
    if (!xi->data) {
        XDestroyImage(xi);
        return {false, QStringLiteral("对不起,墙纸图片太大")};
    }
    Fill(xi, img, visual);

    // The pixmap must outlive this connection: other programs and the
    // server keep using it after we are gone.
    XSetCloseDownMode(d, RetainPermanent);
    const Pixmap pixmap = XCreatePixmap(d, root, unsigned(w), unsigned(h), unsigned(depth));
    GC gc = XCreateGC(d, pixmap, 0, nullptr);
    XPutImage(d, pixmap, gc, xi, 0, 0, 0, 0, unsigned(w), unsigned(h));
    XFreeGC(d, gc);
    XDestroyImage(xi);

    // The previous picture set this way lives on in the server until someone
    // frees it; as the other root-window setters do, free it when it is ours
    // to free (both properties name it).
    const Atom rootId = XInternAtom(d, "_XROOTPMAP_ID", False);
    const Atom esetrootId = XInternAtom(d, "ESETROOT_PMAP_ID", False);
    auto read = [&](Atom prop) -> Pixmap {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        Pixmap value = 0;
        if (XGetWindowProperty(d, root, prop, 0, 1, False, XA_PIXMAP, &type, &format, &n, &after,
                               &data) == Success &&
            type == XA_PIXMAP && format == 32 && n == 1 && data)
            value = *reinterpret_cast<Pixmap*>(data);
        if (data)
            XFree(data);
        return value;
    };
    const Pixmap old = read(esetrootId);
    if (old && old == read(rootId)) {
        auto* previous = XSetErrorHandler(IgnoreXErrors);
        XKillClient(d, old);
        XSync(d, False);
        XSetErrorHandler(previous);
    }

    XChangeProperty(d, root, rootId, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XChangeProperty(d, root, esetrootId, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    XSync(d, False);
    return {true, {}};
}

QByteArray RootWindowIccProfile(const QByteArray& display)
{
    constexpr long kMaxWords = 16L * 1024 * 1024 / 4;   // no screen profile comes near 16 MB
    std::unique_ptr<Display, DisplayClose> dpy(
        XOpenDisplay(display.isEmpty() ? nullptr : display.constData()));
    if (!dpy)
        return {};
    Display* d = dpy.get();
    const Atom name = XInternAtom(d, "_ICC_PROFILE", True);
    if (name == 0)
        return {};
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    QByteArray icc;
    if (XGetWindowProperty(d, DefaultRootWindow(d), name, 0, kMaxWords, False, AnyPropertyType, &type,
                           &format, &n, &after, &data) == Success &&
        format == 8 && after == 0 && data)
        icc = QByteArray(reinterpret_cast<const char*>(data), qsizetype(n));
    if (data)
        XFree(data);
    return icc;
}

}  // namespace tamsel
