#pragma once
// A D-Bus session bus of the test's own: the desktop's services stand in on
// it, and the album talks to them there.
#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tamsel::testing {

class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
        if (daemon_.waitForReadyRead(5000))
            address_ = QString::fromLatin1(daemon_.readLine().trimmed());
    }
    ~PrivateBus()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool Up() const { return !address_.isEmpty(); }
    // For programs of the desktop's own (playerctl) started on this bus.
    const QString& Address() const { return address_; }
    // A connection of its own to this bus, for one party (each name once).
    QDBusConnection Connect(const QString& party)
    {
        const QString name = party + QStringLiteral("@") + address_;
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

}  // namespace tamsel::testing
