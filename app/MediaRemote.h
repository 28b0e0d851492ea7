#pragma once
#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QVariantMap>

#include <functional>

namespace tamsel {

class AlbumApp;

// The album as a media player on the session bus (MPRIS2,
// org.mpris.MediaPlayer2.tamsel): the keyboard's media keys, the desktop's
// media controls, playerctl and phone remotes start and stop the slide show
// as 自动播放 does, step as 上一张 / 下一张 do, raise the window and quit as
// 退出 does. The bus hears whenever the photo, the show or the ends change.
class MediaRemote : public QDBusVirtualObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> raise;   // brings the window up
        std::function<void()> quit;    // ends the program as 退出 does
    };
    MediaRemote(AlbumApp& app, Hooks hooks);

    // Offers the player on bus; false, and nothing said, without a bus.
    bool Offer(QDBusConnection bus);
    // The album moved on: the bus hears what changed since it last heard.
    void Changed();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    // The player's properties as the album stands now.
    QVariantMap PlayerProperties() const;
    QVariantMap Properties(const QString& interface) const;
    void Act(const QString& member);

    AlbumApp& app_;
    Hooks hooks_;
    QDBusConnection bus_{QString()};
    bool offered_ = false;
    mutable QMutex lock_;     // the bus may ask from its own thread
    QVariantMap player_;      // as last told, under lock_
};

}  // namespace tamsel
