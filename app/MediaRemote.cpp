#include "app/MediaRemote.h"

#include "album/Navigator.h"
#include "app/AlbumApp.h"
#include "model/AlbumModel.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMetaObject>
#include <QUrl>

namespace tamsel {
namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");

}  // namespace

MediaRemote::MediaRemote(AlbumApp& app, Hooks hooks) : app_(app), hooks_(std::move(hooks))
{
    player_ = PlayerProperties();
}

bool MediaRemote::Offer(QDBusConnection bus)
{
    if (!bus.isConnected() || !bus.registerVirtualObject(kPath, this))
        return false;
    // A second album takes a name of its own, as the media players do.
    if (!bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.tamsel")) &&
        !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.tamsel.instance%1")
                                 .arg(QCoreApplication::applicationPid()))) {
        bus.unregisterObject(kPath);
        return false;
    }
    bus_ = bus;
    offered_ = true;
    return true;
}

QVariantMap MediaRemote::PlayerProperties() const
{
    const AlbumModel& m = app_.Model();
    const int count = m.photos.Count();
    const int cur = m.position.CurPhoto();
    const bool cover = m.position.CoverShowing();
    const bool some = count > 0;
    QVariantMap metadata;
    if (some && cur >= 0 && cur < count) {
        // The photo the album stands on (under the cover: the one it brings in next).
        metadata[QStringLiteral("mpris:trackid")] =
            QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/tamsel/photo/%1").arg(cur)));
        metadata[QStringLiteral("xesam:title")] = m.photos.Name(cur);
        metadata[QStringLiteral("xesam:album")] = QStringLiteral("澄影集");
        metadata[QStringLiteral("xesam:trackNumber")] = cur + 1;
        metadata[QStringLiteral("mpris:artUrl")] = QUrl::fromLocalFile(m.photos.Path(cur)).toString();
    }
    return {
        {QStringLiteral("PlaybackStatus"),
         m.main.ShowRunning() ? QStringLiteral("Playing") : QStringLiteral("Stopped")},
        {QStringLiteral("LoopStatus"), m.state.LoopShow ? QStringLiteral("Playlist") : QStringLiteral("None")},
        {QStringLiteral("Rate"), 1.0},
        {QStringLiteral("Shuffle"), false},
        {QStringLiteral("Metadata"), metadata},
        {QStringLiteral("Volume"), 1.0},
        {QStringLiteral("Position"), qlonglong(0)},
        {QStringLiteral("MinimumRate"), 1.0},
        {QStringLiteral("MaximumRate"), 1.0},
        // As the buttons: nothing past the ends.
        {QStringLiteral("CanGoNext"), some && (cur < count - 1 || cover)},
        {QStringLiteral("CanGoPrevious"), some && cur >= 1},
        {QStringLiteral("CanPlay"), some},
        {QStringLiteral("CanPause"), some},
        {QStringLiteral("CanSeek"), false},
        {QStringLiteral("CanControl"), true},
    };
}

QVariantMap MediaRemote::Properties(const QString& interface) const
{
    if (interface == kRoot)
        return {
            {QStringLiteral("CanQuit"), true},
            {QStringLiteral("CanRaise"), true},
            {QStringLiteral("HasTrackList"), false},
            {QStringLiteral("Identity"), QStringLiteral("澄影集")},
            {QStringLiteral("DesktopEntry"), QStringLiteral("tamsel")},
            {QStringLiteral("SupportedUriSchemes"), QStringList()},
            {QStringLiteral("SupportedMimeTypes"), QStringList()},
        };
    if (interface == kPlayer) {
        QMutexLocker held(&lock_);
        return player_;
    }
    return {};
}

void MediaRemote::Changed()
{
    const QVariantMap now = PlayerProperties();
    QVariantMap changed;
    {
        QMutexLocker held(&lock_);
        for (auto it = now.cbegin(); it != now.cend(); ++it)
            if (player_.value(it.key()) != it.value())
                changed[it.key()] = it.value();
        player_ = now;
    }
    if (!offered_ || changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kProperties, QStringLiteral("PropertiesChanged"));
    signal << kPlayer << changed << QStringList();
    bus_.send(signal);
}

// On the window's thread, as a click there would be.
void MediaRemote::Act(const QString& member)
{
    const bool running = app_.Model().main.ShowRunning();
    if (member == QLatin1String("Raise")) {
        if (hooks_.raise)
            hooks_.raise();
    } else if (member == QLatin1String("Quit")) {
        if (hooks_.quit)
            hooks_.quit();
    } else if (member == QLatin1String("Next")) {
        app_.BtnClick(Navigator::Next);
    } else if (member == QLatin1String("Previous")) {
        app_.BtnClick(Navigator::Previous);
    } else if (member == QLatin1String("Play") || (member == QLatin1String("PlayPause") && !running)) {
        if (!running)
            app_.BtnClick(Navigator::Play);
    } else if (member == QLatin1String("Pause") || member == QLatin1String("Stop") ||
               member == QLatin1String("PlayPause")) {
        if (running)
            app_.BtnClick(Navigator::Stop);
    }
    Changed();
}

bool MediaRemote::handleMessage(const QDBusMessage& m, const QDBusConnection& bus)
{
    const QString iface = m.interface();
    if (iface == kIntrospectable)
        return bus.send(m.createReply(introspect(kPath)));
    if (iface == kProperties) {
        const QString of = m.arguments().value(0).toString();
        if (m.member() == QLatin1String("GetAll"))
            return bus.send(m.createReply(Properties(of)));
        if (m.member() == QLatin1String("Get")) {
            const QVariantMap all = Properties(of);
            const QString name = m.arguments().value(1).toString();
            if (!all.contains(name))
                return bus.send(m.createErrorReply(QDBusError::InvalidArgs, name));
            return bus.send(m.createReply(QVariant::fromValue(QDBusVariant(all.value(name)))));
        }
        // Nothing of the player is set from outside (no volume, no rate).
        return bus.send(m.createErrorReply(QDBusError::PropertyReadOnly, m.arguments().value(1).toString()));
    }
    if (iface == kRoot || iface == kPlayer || iface.isEmpty()) {
        static const QStringList kActs = {"Raise", "Quit", "Next", "Previous", "Play", "Pause", "PlayPause", "Stop"};
        if (kActs.contains(m.member()))
            QMetaObject::invokeMethod(this, [this, member = m.member()] { Act(member); }, Qt::QueuedConnection);
        // Seek, SetPosition and OpenUri have nothing to do on photos.
        return bus.send(m.createReply());
    }
    return false;
}

QString MediaRemote::introspect(const QString&) const
{
    return QStringLiteral(
        "<interface name=\"org.mpris.MediaPlayer2\">"
        "<method name=\"Raise\"/><method name=\"Quit\"/>"
        "<property name=\"CanQuit\" type=\"b\" access=\"read\"/>"
        "<property name=\"CanRaise\" type=\"b\" access=\"read\"/>"
        "<property name=\"HasTrackList\" type=\"b\" access=\"read\"/>"
        "<property name=\"Identity\" type=\"s\" access=\"read\"/>"
        "<property name=\"DesktopEntry\" type=\"s\" access=\"read\"/>"
        "<property name=\"SupportedUriSchemes\" type=\"as\" access=\"read\"/>"
        "<property name=\"SupportedMimeTypes\" type=\"as\" access=\"read\"/>"
        "</interface>"
        "<interface name=\"org.mpris.MediaPlayer2.Player\">"
        "<method name=\"Next\"/><method name=\"Previous\"/><method name=\"Pause\"/>"
        "<method name=\"PlayPause\"/><method name=\"Stop\"/><method name=\"Play\"/>"
        "<method name=\"Seek\"><arg name=\"Offset\" type=\"x\" direction=\"in\"/></method>"
        "<method name=\"SetPosition\"><arg name=\"TrackId\" type=\"o\" direction=\"in\"/>"
        "<arg name=\"Position\" type=\"x\" direction=\"in\"/></method>"
        "<method name=\"OpenUri\"><arg name=\"Uri\" type=\"s\" direction=\"in\"/></method>"
        "<signal name=\"Seeked\"><arg name=\"Position\" type=\"x\"/></signal>"
        "<property name=\"PlaybackStatus\" type=\"s\" access=\"read\"/>"
        "<property name=\"LoopStatus\" type=\"s\" access=\"read\"/>"
        "<property name=\"Rate\" type=\"d\" access=\"read\"/>"
        "<property name=\"Shuffle\" type=\"b\" access=\"read\"/>"
        "<property name=\"Metadata\" type=\"a{sv}\" access=\"read\"/>"
        "<property name=\"Volume\" type=\"d\" access=\"read\"/>"
        "<property name=\"Position\" type=\"x\" access=\"read\"/>"
        "<property name=\"MinimumRate\" type=\"d\" access=\"read\"/>"
        "<property name=\"MaximumRate\" type=\"d\" access=\"read\"/>"
        "<property name=\"CanGoNext\" type=\"b\" access=\"read\"/>"
        "<property name=\"CanGoPrevious\" type=\"b\" access=\"read\"/>"
        "<property name=\"CanPlay\" type=\"b\" access=\"read\"/>"
        "<property name=\"CanPause\" type=\"b\" access=\"read\"/>"
        "<property name=\"CanSeek\" type=\"b\" access=\"read\"/>"
        "<property name=\"CanControl\" type=\"b\" access=\"read\"/>"
        "</interface>");
}

}  // namespace tamsel
