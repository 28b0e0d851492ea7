// The display's profile from colord, asked of a stand-in colord on a private bus.
#include "PrivateBus.h"
#include "TestUtil.h"
#include "platform/ScreenProfile.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// Two displays, each with its default profile, as colord lists them.
struct StandInColord : QDBusVirtualObject {
    QString dir;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override
    {
        const auto path = [](const QString& p) { return QVariant::fromValue(QDBusObjectPath(p)); };
        const QString device = QStringLiteral("/org/freedesktop/ColorManager/devices/");
        const QString profile = QStringLiteral("/org/freedesktop/ColorManager/profiles/");
        if (m.member() == QLatin1String("FindDeviceByProperty")) {
            const QString output = m.arguments().value(1).toString();
            if (output != QLatin1String("DP-1") && output != QLatin1String("HDMI-1"))
                return bus.send(m.createErrorReply(QStringLiteral("org.freedesktop.ColorManager.NotFound"), output));
            return bus.send(m.createReply(path(device + output.left(2))));
        }
        if (m.member() == QLatin1String("GetDevicesByKind"))
            return bus.send(m.createReply(QVariant::fromValue(QList<QDBusObjectPath>{
                QDBusObjectPath(device + "HD"), QDBusObjectPath(device + "DP")})));
        if (m.member() == QLatin1String("Get") && m.arguments().value(1) == QLatin1String("Profiles")) {
            const QString which = m.path().section('/', -1);
            return bus.send(m.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(
                QList<QDBusObjectPath>{QDBusObjectPath(profile + which), QDBusObjectPath(profile + "other")})))));
        }
        if (m.member() == QLatin1String("Get") && m.arguments().value(1) == QLatin1String("Filename"))
            return bus.send(m.createReply(
                QVariant::fromValue(QDBusVariant(dir + "/" + m.path().section('/', -1) + ".icc"))));
        return false;
    }
};

}  // namespace

// The output's own device gives its default profile; an output colord does
// not know gives its first display's; no colord gives nothing.
TEST(ColordProfile, TheOutputsDeviceGivesItsDefaultProfile)
{
    PrivateBus system;
    ASSERT_TRUE(system.Up()) << "dbus-daemon";
    const QDBusConnection bus = system.Connect(QStringLiteral("album"));
    EXPECT_TRUE(ColordDisplayProfile(bus, QStringLiteral("DP-1")).isEmpty()) << "no colord yet";

    QTemporaryDir dir;
    for (const char* name : {"DP", "HD"})
        ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("%1.icc").arg(name)), QByteArray("profile of ") + name));
    // colord answers from a thread of its own, as from its own process: the
    // album asks and waits.
    QThread colordThread;
    colordThread.start();
    StandInColord colord;
    colord.dir = dir.path();
    QDBusConnection service = system.Connect(QStringLiteral("colord"));
    ASSERT_TRUE(service.registerVirtualObject(QStringLiteral("/org/freedesktop/ColorManager"), &colord,
                                              QDBusConnection::SubPath) &&
                service.registerService(QStringLiteral("org.freedesktop.ColorManager")));
    colord.moveToThread(&colordThread);
    EXPECT_EQ(ColordDisplayProfile(bus, QStringLiteral("DP-1")), "profile of DP");
    EXPECT_EQ(ColordDisplayProfile(bus, QStringLiteral("HDMI-1")), "profile of HD");
    EXPECT_EQ(ColordDisplayProfile(bus, QStringLiteral("VGA-1")), "profile of HD");
    colordThread.quit();
    colordThread.wait();
}
