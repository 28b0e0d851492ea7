// The real window under an X server, timed from outside as a user sees it:
// from the program's start to its first photo on the screen, from a click on
// "下一张" to the first changed frame, the peak memory of a show of big
// photos and the longest time the window's thread was busy.
//
//   window_probe [--photos N] [--clicks K] [--area WxH] [--wait SECONDS] [--start cover] [--music on]
//                [--kind heic|jpg12]
//
// With --start cover the program opens the album on its cover, as a user's
// next run does, and the first click brings in the first photo.
//
// Needs DISPLAY (Xvfb with a window manager, as scripts/test starts them).
// The photos are 6000 x 4000 JPEGs made once in the temporary folder.
#include "ComposeBenchPhoto.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "album/ShowScript.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Paths.h"
#include "shell/Layout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <Magick++.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

using namespace tamsel;

namespace {

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Ten photos of a camera's size, each in colours of its own, made once.
// kind "heic" or "jpg12": 4000 x 3000 photos as a phone takes them, HEIC at
// the quality phones use or JPEG at a camera's; else 6000 x 4000 JPEGs.
QString MakePhotos(int count, const QString& kind)
{
    const bool phone = kind == "heic" || kind == "jpg12";
    const QString ending = kind == "heic" ? QStringLiteral("heic") : QStringLiteral("jpg");
    const QString dir = QDir::tempPath() + QStringLiteral("/tamsel-probe-%1%2").arg(phone ? kind + '-' : QString()).arg(count);
    QDir().mkpath(dir);
    for (int n = 0; n < count; ++n) {
        const QString path = dir + QStringLiteral("/p%1.").arg(n, 2, 10, QChar('0')) + ending;
        if (QFileInfo::exists(path))
            continue;
        if (!phone) {
            bench::WritePhoto(path, n);
            continue;
        }
        InitImageLibrary();
        const QImage rgb = bench::PaintPhoto(4000, 3000, n).convertToFormat(QImage::Format_RGB888);
        Magick::Image img(4000, 3000, "RGB", Magick::CharPixel, rgb.constBits());
        img.quality(kind == "heic" ? 60 : 92);
        img.write(path.toStdString());
    }
    return dir;
}

struct Probe {
    Display* dpy = nullptr;
    Window root = 0;

    std::optional<Window> FindByPid(Window w, unsigned long pid, Atom pidAtom)
    {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &after, &data) == Success && data) {
            const unsigned long got = items ? *reinterpret_cast<unsigned long*>(data) : 0;
            XFree(data);
            XWindowAttributes a;
            if (got == pid && XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable &&
                a.width > 100)
                return w;
        }
        Window r, parent, *kids = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(dpy, w, &r, &parent, &kids, &n))
            return std::nullopt;
        std::optional<Window> found;
        for (unsigned int i = 0; i < n && !found; ++i)
            found = FindByPid(kids[i], pid, pidAtom);
        if (kids)
            XFree(kids);
        return found;
    }

    // The window's place on the screen.
    QRect Place(Window w)
    {
        XWindowAttributes a;
        XGetWindowAttributes(dpy, w, &a);
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child);
        return QRect(x, y, a.width, a.height);
    }

    // A block of the screen, as bytes, to compare frames exactly.
    QByteArray Block(QPoint centre, int side = 48)
    {
        XImage* img = XGetImage(dpy, root, centre.x() - side / 2, centre.y() - side / 2, side, side,
                                AllPlanes, ZPixmap);
        if (!img)
            return {};
        QByteArray bytes(img->data, img->bytes_per_line * img->height);
        XDestroyImage(img);
        return bytes;
    }

    // The whole photo area through shared memory: an effect's first frame
    // may change any part of it, and a copy over the socket would take
    // longer than a frame.
    XShmSegmentInfo shm{};
    XImage* area = nullptr;
    QRect areaRect;
    bool WatchArea(QRect r)
    {
        areaRect = r;
        area = XShmCreateImage(dpy, DefaultVisual(dpy, DefaultScreen(dpy)),
                               DefaultDepth(dpy, DefaultScreen(dpy)), ZPixmap, nullptr, &shm,
                               r.width(), r.height());
        if (!area)
            return false;
        shm.shmid = shmget(IPC_PRIVATE, size_t(area->bytes_per_line) * area->height, IPC_CREAT | 0600);
        shm.shmaddr = area->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
        shm.readOnly = False;
        XShmAttach(dpy, &shm);
        shmctl(shm.shmid, IPC_RMID, nullptr);   // gone once both sides let go
        return true;
    }
    QByteArray Area()
    {
        XShmGetImage(dpy, root, area, areaRect.x(), areaRect.y(), AllPlanes);
        return QByteArray::fromRawData(area->data, area->bytes_per_line * area->height);
    }

    void Click(QPoint p)
    {
        XTestFakeMotionEvent(dpy, -1, p.x(), p.y(), CurrentTime);
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
        XFlush(dpy);
    }
};

// Whether the block is mostly the photo's kind of colour: not black, not the
// grey of an empty area.
bool ShowsAPhoto(const QByteArray& b)
{
    long lit = 0;
    for (int i = 0; i + 3 < b.size(); i += 4)
        lit += (uint8_t(b[i]) + uint8_t(b[i + 1]) + uint8_t(b[i + 2])) > 120;
    return lit > (b.size() / 4) * 9 / 10;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int photos = 10, clicks = 9;
    QSize area(1262, 902);
    double settle = 2.5;
    bool fromCover = false;
    QString kind;
    bool music = false;   // the installation's tune playing, as it does by default
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--photos") photos = args[i + 1].toInt();
        else if (args[i] == "--clicks") clicks = args[i + 1].toInt();
        else if (args[i] == "--wait") settle = args[i + 1].toDouble();
        else if (args[i] == "--start") fromCover = args[i + 1] == "cover";
        else if (args[i] == "--music") music = args[i + 1] == "on";
        else if (args[i] == "--kind") kind = args[i + 1];
        else if (args[i] == "--area") {
            const QStringList wh = args[i + 1].split('x');
            area = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        }
    }
    Probe x;
    x.dpy = XOpenDisplay(nullptr);
    if (!x.dpy) {
        std::fprintf(stderr, "window_probe: no X display\n");
        return 1;
    }
    x.root = DefaultRootWindow(x.dpy);
    const QString folder = MakePhotos(photos, kind);

    // A home of its own: the installation's pictures and an album data file
    // with the photo area's size and no music unless asked; the transitions are chosen at
    // random, as a user has them.
    QTemporaryDir home;
    const QDir data(QStringLiteral(TAMSEL_SOURCE_DIR "/assets/data"));
    for (const QString& f : data.entryList(QDir::Files))
        QFile::copy(data.filePath(f), QDir(home.path()).filePath(f));
    AlbumState album = AlbumState::FirstRun(AppPaths::ForProgramDir(home.path()));
    album.ShowWidth = area.width();
    album.ShowHeight = area.height();
    album.MusicOn = music ? 1 : 0;
    PhotoList list{AlbumExtensions()};
    if (fromCover) {
        list.Point(folder + "/");
        album.PhotoCaption.resize(photos + 1);
    }
    SaveScript(QDir(home.path()).filePath("tamsel.tmf"), album, list);
    const QString busyLog = home.filePath("busy.txt");

    QProcess tamsel;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TAMSEL_HOME", home.path());
    env.insert("TAMSEL_BUSY_LOG", busyLog);
    env.insert("QT_QPA_PLATFORM", "xcb");
    tamsel.setProcessEnvironment(env);
    const double t0 = Now();
    tamsel.start(QStringLiteral(TAMSEL_BUILD_DIR "/tamsel"),
                 fromCover ? QStringList() : QStringList{QDir(folder).entryInfoList(QDir::Files, QDir::Name).value(0).filePath()});
    if (!tamsel.waitForStarted(10000)) {
        std::fprintf(stderr, "window_probe: the program did not start\n");
        return 1;
    }
    const Atom pidAtom = XInternAtom(x.dpy, "_NET_WM_PID", False);
    std::optional<Window> win;
    while (!win && Now() - t0 < 20) {
        win = x.FindByPid(x.root, (unsigned long)tamsel.processId(), pidAtom);
        if (!win)
            QThread::usleep(500);
    }
    if (!win) {
        std::fprintf(stderr, "window_probe: no window\n");
        return 1;
    }
    const double tWindow = Now() - t0;
    QRect g = x.Place(*win);
    LayoutInput in;
    in.W = g.width();
    in.H = g.height();
    FormLayout L = ComputeFormLayout(in);
    const QPoint centre = g.topLeft() + L.photoArea.center();
    if (!x.WatchArea(L.photoArea.translated(g.topLeft()))) {
        std::fprintf(stderr, "window_probe: the X server has no shared memory images\n");
        return 1;
    }
    // The first frame drawn in the photo area (its first look is black or
    // the window's background), and the photo reaching its centre.
    QByteArray first = x.Area();
    first.detach();
    double tFrame = -1, tPhoto = -1;
    while (Now() - t0 < 20 && tPhoto < 0 && !(fromCover && tFrame >= 0)) {
        if (tFrame < 0 && x.Area() != first)
            tFrame = Now() - t0;
        if (!fromCover && ShowsAPhoto(x.Block(centre)))
            tPhoto = Now() - t0;
        QThread::usleep(500);
    }

    // Each click once the photo has come to rest and the next one has had
    // time to be decoded ahead.
    const QPoint next = g.topLeft() + L.barButtons[3] + QPoint(10, 10);
    std::vector<double> toFrame;
    for (int k = 0; k < clicks; ++k) {
        QByteArray still = x.Area();
        still.detach();
        double stillSince = Now();
        const double waitFrom = Now();
        while (Now() - stillSince < settle && Now() - waitFrom < 30) {
            QThread::msleep(20);
            const QByteArray b = x.Area();
            if (b != still) {
                still = b;
                still.detach();
                stillSince = Now();
            }
        }
        const double tc = Now();
        x.Click(next);
        while (Now() - tc < 10 && x.Area() == still)
            QThread::usleep(200);
        toFrame.push_back((Now() - tc) * 1000);
    }

    // The peak memory of the whole run, the album's and its children's (the
    // music player), then the normal end.
    const auto peakOf = [](qint64 pid) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmHWM:"))
                    return line.mid(6).trimmed().split(' ').first().toLong();
        return 0L;
    };
    const long peakKb = peakOf(tamsel.processId());
    long childrenKb = 0;
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(tamsel.processId()));
    if (children.open(QIODevice::ReadOnly))
        for (const QByteArray& pid : children.readAll().simplified().split(' '))
            if (!pid.isEmpty())
                childrenKb += peakOf(pid.toLongLong());
    tamsel.terminate();
    tamsel.waitForFinished(10000);
    QFile busy(busyLog);
    QByteArray busyText = busy.open(QIODevice::ReadOnly) ? busy.readAll() : QByteArray("none\n");

    std::printf("photo area            %d x %d, %d photos of %s\n", area.width(), area.height(), photos,
                kind == "heic" ? "4000 x 3000 HEIC" : kind == "jpg12" ? "4000 x 3000 JPEG" : "6000 x 4000");
    std::printf("start to window       %.0f ms\n", tWindow * 1000);
    std::printf("start to first frame  %.0f ms\n", tFrame * 1000);
    std::printf("start to photo centre %.0f ms\n", tPhoto * 1000);
    if (fromCover && !toFrame.empty())
        std::printf("cover to first photo  %.1f ms (the first click)\n", toFrame.front());
    std::printf("click to next frame   median %.1f ms, worst %.1f ms (%zu clicks)\n", Median(toFrame),
                toFrame.empty() ? 0.0 : *std::max_element(toFrame.begin(), toFrame.end()),
                toFrame.size());
    std::printf("each click            ");
    for (double t : toFrame)
        std::printf("%.0f ", t);
    std::printf("ms\n");
    std::printf("peak memory           %.1f MB\n", peakKb / 1024.0);
    if (childrenKb > 0)
        std::printf("music player peak     %.1f MB (%.1f MB together)\n", childrenKb / 1024.0,
                    (peakKb + childrenKb) / 1024.0);
    std::printf("window thread busy    %s", busyText.replace('\n', ' ').append('\n').constData());
    XCloseDisplay(x.dpy);
    return 0;
}
