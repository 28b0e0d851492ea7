#include "PrivateBus.h"
#include "TestUtil.h"
#include "platform/Wallpaper.h"

#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QUrl>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QThread>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(Wallpaper, TheDesktopIsToldFromTheSession)
{
    const struct {
        QStringList env;
        DesktopKind kind;
    } cases[] = {
        {{"XDG_CURRENT_DESKTOP=ubuntu:GNOME", "DISPLAY=:0"}, DesktopKind::Gnome},
        {{"XDG_CURRENT_DESKTOP=X-Cinnamon"}, DesktopKind::Cinnamon},
        {{"XDG_CURRENT_DESKTOP=MATE"}, DesktopKind::Mate},
        {{"XDG_CURRENT_DESKTOP=XFCE"}, DesktopKind::Xfce},
        {{"XDG_CURRENT_DESKTOP=KDE", "WAYLAND_DISPLAY=wayland-0"}, DesktopKind::Kde},
        {{"DESKTOP_SESSION=plasma"}, DesktopKind::Kde},
        {{"XDG_CURRENT_DESKTOP=Hyprland", "DISPLAY=:0"}, DesktopKind::None},
        {{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"}, DesktopKind::Wayland},
        {{"DISPLAY=:5"}, DesktopKind::BareX},
        {{}, DesktopKind::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.env.join(' ')));
        QProcessEnvironment env;
        for (const QString& kv : c.env)
            env.insert(kv.section('=', 0, 0), kv.section('=', 1));
        EXPECT_EQ(DetectDesktop(env).kind, c.kind);
    }
    QProcessEnvironment x;
    x.insert("DISPLAY", ":5");
    EXPECT_EQ(DetectDesktop(x).display, ":5");
}

TEST(Wallpaper, GnomeGetsTheLightAndTheDarkPictureInItsSettings)
{
    if (QStandardPaths::findExecutable("gsettings").isEmpty())
        GTEST_SKIP() << "gsettings is not installed";
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldBackend = qgetenv("GSETTINGS_BACKEND");
    // The key-file backend is a real settings backend that needs no session bus.
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    const QString file = config.path() + "/壁纸 1.bmp";
    const Outcome r = ApplyWallpaper(file, {DesktopKind::Gnome, "GNOME", {}});
    const QString schema = "org.gnome.desktop.background";
    const QByteArray light = RunTool("gsettings", {"get", schema, "picture-uri"}).trimmed();
    const QByteArray dark = RunTool("gsettings", {"get", schema, "picture-uri-dark"}).trimmed();
    qputenv("XDG_CONFIG_HOME", oldConfig);
    oldBackend.isNull() ? qunsetenv("GSETTINGS_BACKEND") : qputenv("GSETTINGS_BACKEND", oldBackend);
    if (RunTool("gsettings", {"list-keys", schema}).isNull())
        GTEST_SKIP() << "the GNOME desktop schemas are not installed";

    ASSERT_TRUE(r.ok) << qPrintable(r.message);
    auto named = [](const QByteArray& value) {   // 'file:///...' as gsettings prints it
        return QUrl(QString::fromUtf8(value.mid(1, value.size() - 2))).toLocalFile();
    };
    EXPECT_EQ(named(light), file) << light.constData();
    EXPECT_EQ(named(dark), file) << dark.constData();
}

TEST(Wallpaper, ABareXSessionShowsThePictureOnTheRootWindow)
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("import").isEmpty())
        GTEST_SKIP() << "needs Xvfb and ImageMagick's import";
    // A server of our own, so no other test's window covers the root.
    QProcess xvfb;
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "320x240x24", "-nolisten", "tcp", "-noreset"});
    ASSERT_TRUE(xvfb.waitForStarted());
    QByteArray number;
    while (!number.contains('\n') && xvfb.waitForReadyRead(10000))
        number += xvfb.readAllStandardOutput();
    const QByteArray display = ":" + number.trimmed();
    ASSERT_GT(display.size(), 1);

    // A 4:3 picture of four colours: it covers the 4:3 screen exactly.
    QTemporaryDir tmp;
    QImage pic(160, 120, QImage::Format_RGB32);
    QPainter p(&pic);
    p.fillRect(0, 0, 80, 60, QColor(220, 30, 30));
    p.fillRect(80, 0, 80, 60, QColor(30, 200, 40));
    p.fillRect(0, 60, 80, 60, QColor(40, 50, 210));
    p.fillRect(80, 60, 80, 60, QColor(230, 220, 60));
    p.end();
    const QString file = tmp.filePath("mytable.bmp");
    pic.save(file, "JPEG", 95);   // JPEG bytes under a .bmp name, as the copy holds them

    const Outcome r = ApplyWallpaper(file, {DesktopKind::BareX, {}, display});
    // Again: the first picture is freed, the second shows.
    const Outcome again = SetRootWindowPicture(file, display);
    const QString shot = tmp.filePath("root.png");
    const bool grabbed = QProcess::execute("import", {"-display", display, "-window", "root", shot}) == 0;
    const QByteArray props = RunTool("xprop", {"-display", display, "-root", "_XROOTPMAP_ID"});
    xvfb.terminate();
    xvfb.waitForFinished();
    ASSERT_TRUE(r.ok) << qPrintable(r.message);
    ASSERT_TRUE(again.ok) << qPrintable(again.message);
    ASSERT_TRUE(grabbed);
    const QImage root(shot);
    ASSERT_EQ(root.size(), QSize(320, 240));
    auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
               std::abs(a.blue() - b.blue()) < 12;
    };
    EXPECT_TRUE(near(root.pixelColor(80, 60), QColor(220, 30, 30)));
    EXPECT_TRUE(near(root.pixelColor(240, 60), QColor(30, 200, 40)));
    EXPECT_TRUE(near(root.pixelColor(80, 180), QColor(40, 50, 210)));
    EXPECT_TRUE(near(root.pixelColor(240, 180), QColor(230, 220, 60)));
    if (!props.isNull())
        EXPECT_TRUE(props.contains("pixmap id")) << props.constData();
}

namespace {

// The desktop portal's wallpaper service: records the picture it was asked for.
struct StandInPortal : QDBusVirtualObject {
    QString uri;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override
    {
        if (m.member() != QLatin1String("SetWallpaperURI"))
            return false;
        uri = m.arguments().value(1).toString();
        return bus.send(m.createReply(QVariant::fromValue(QDBusObjectPath("/org/freedesktop/portal/desktop/request/1"))));
    }
};

}  // namespace

// A Wayland desktop of no known kind: the portal is asked for the picture; without one, the
// message says that nothing could set it and where the picture is.
TEST(Wallpaper, AnUnknownWaylandDesktopIsAskedThroughThePortal)
{
    PrivateBus session;
    ASSERT_TRUE(session.Up()) << "dbus-daemon";
    const QDBusConnection album = session.Connect(QStringLiteral("album"));
    const Outcome none = SetPortalWallpaper(QStringLiteral("/pictures/mytable.bmp"), album);
    EXPECT_FALSE(none.ok);
    EXPECT_TRUE(none.message.contains(QStringLiteral("/pictures/mytable.bmp"))) << qPrintable(none.message);

    QThread portalThread;   // the portal answers from elsewhere, as from its own process
    portalThread.start();
    StandInPortal portal;
    QDBusConnection service = session.Connect(QStringLiteral("portal"));
    ASSERT_TRUE(service.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal) &&
                service.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    portal.moveToThread(&portalThread);
    EXPECT_TRUE(SetPortalWallpaper(QStringLiteral("/pictures/mytable.bmp"), album).ok);
    EXPECT_EQ(portal.uri, QStringLiteral("file:///pictures/mytable.bmp"));
    portalThread.quit();
    portalThread.wait();
}
