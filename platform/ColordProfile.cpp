// The display's colour profile as colord keeps it: asked on the system bus,
// so it holds for X11 and Wayland sessions alike.
#include "platform/ScreenProfile.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QList>
#include <QVariant>

namespace tamsel {
namespace {

const QString kService = QStringLiteral("org.freedesktop.ColorManager");
const QString kManager = QStringLiteral("/org/freedesktop/ColorManager");
// The start waits for colord no longer than this at each question.
constexpr int kAnswerMs = 1000;
// No display profile comes near this size.
constexpr qint64 kMostProfileBytes = 16 << 20;

QVariant Ask(const QDBusConnection& bus, const QString& path, const QString& interface, const QString& member,
             const QVariantList& args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(kService, path, interface, member);
    m.setArguments(args);
    const QDBusMessage reply = bus.call(m, QDBus::Block, kAnswerMs);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0) : QVariant();
}

QVariant Property(const QDBusConnection& bus, const QString& path, const QString& interface, const QString& name)
{
    return Ask(bus, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), {interface, name})
        .value<QDBusVariant>()
        .variant();
}

QList<QDBusObjectPath> Paths(const QVariant& v)
{
    if (v.canConvert<QDBusArgument>())
        return qdbus_cast<QList<QDBusObjectPath>>(v.value<QDBusArgument>());
    return v.value<QList<QDBusObjectPath>>();
}

}  // namespace

QByteArray ColordDisplayProfile(const QDBusConnection& bus, const QString& output)
{
    if (!bus.isConnected())
        return {};
    const QString manager = QStringLiteral("org.freedesktop.ColorManager");
    QString device;
    if (!output.isEmpty())
        device = Ask(bus, kManager, manager, QStringLiteral("FindDeviceByProperty"),
                     {QStringLiteral("XRANDR_name"), output})
                     .value<QDBusObjectPath>()
                     .path();
    if (device.isEmpty()) {
        const QList<QDBusObjectPath> displays =
            Paths(Ask(bus, kManager, manager, QStringLiteral("GetDevicesByKind"), {QStringLiteral("display")}));
        if (displays.isEmpty())
            return {};
        device = displays.first().path();
    }
    // The device's profiles, its default first.
    const QList<QDBusObjectPath> profiles =
        Paths(Property(bus, device, QStringLiteral("org.freedesktop.ColorManager.Device"), QStringLiteral("Profiles")));
    if (profiles.isEmpty())
        return {};
    const QString file = Property(bus, profiles.first().path(), QStringLiteral("org.freedesktop.ColorManager.Profile"),
                                  QStringLiteral("Filename"))
                             .toString();
    QFile f(file);
    if (file.isEmpty() || !f.open(QIODevice::ReadOnly) || f.size() > kMostProfileBytes)
        return {};
    return f.readAll();
}

}  // namespace tamsel
