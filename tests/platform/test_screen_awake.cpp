// The screen kept on through the desktop portal, on a private bus without a
// screen saver service (a Wayland desktop).
#include "PrivateBus.h"
#include "TestUtil.h"
#include "platform/ScreenAwake.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// The portal's Inhibit: hands out request 1, 2, ... and records each call and
// each request closed.
struct StandInPortal : QDBusVirtualObject {
    QStringList calls;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override
    {
        if (m.member() == QLatin1String("Close")) {
            calls << "Close" + m.path().section('/', -1);
            return bus.send(m.createReply());
        }
        const QString request = QStringLiteral("%1").arg(calls.filter("Inhibit").size() + 1);
        calls << "Inhibit" + request;
        return bus.send(m.createReply(
            QVariant::fromValue(QDBusObjectPath("/org/freedesktop/portal/desktop/request/" + request))));
    }
};

}  // namespace

TEST(ScreenAwake, WithoutAScreenSaverServiceThePortalHoldsTheScreen)
{
    PrivateBus session;
    ASSERT_TRUE(session.Up()) << "dbus-daemon";
    StandInPortal portal;
    QDBusConnection desktop = session.Connect(QStringLiteral("portal"));
    ASSERT_TRUE(desktop.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                              QDBusConnection::SubPath) &&
                desktop.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    {
        ScreenAwake awake;
        awake.UseBus(session.Connect(QStringLiteral("album")));
        const auto until = [&](const char* calls) {
            QElapsedTimer t;
            t.start();
            while (portal.calls.join(' ') != QLatin1String(calls) && t.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            EXPECT_EQ(portal.calls.join(' ').toStdString(), calls);
        };
        awake.Hold(true);
        until("Inhibit1");
        awake.Hold(false);
        until("Inhibit1 Close1");
        awake.Hold(true);
        until("Inhibit1 Close1 Inhibit2");
        // The portal's answer reaches the album before the program ends (at
        // exit the bus itself drops what a vanished program held).
        QElapsedTimer answer;
        answer.start();
        while (answer.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Gone with the program: the request is closed.
    QElapsedTimer t;
    t.start();
    while (!portal.calls.contains("Close2") && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(portal.calls.contains("Close2"));
}
