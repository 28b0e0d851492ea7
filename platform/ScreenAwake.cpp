#include "platform/ScreenAwake.h"

#include "platform/QuitSignalRoute.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>

#include <utility>

namespace tamsel {

namespace {
const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
constexpr int kReplyTimeoutMs = 5000;

QDBusMessage ScreenSaverCall(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

QString WindowArg(quint64 id) { return QStringLiteral("0x%1").arg(id, 0, 16); }
// xdg-screensaver suspend stays until the window goes; like any program we
// start, it must not inherit our blocked quit signals, or a logout could not end it.
void StartTool(const QStringList& args)
{
    QProcess tool;
    tool.setProgram(QStringLiteral("xdg-screensaver"));
    tool.setArguments(args);
    tool.setChildProcessModifier(UnblockQuitSignals);
    tool.startDetached();
}

}  // namespace

ScreenAwake::~ScreenAwake() { Hold(false); }

void ScreenAwake::Hold(bool on)
{
    if (on == wanted_)
        return;
    wanted_ = on;
    if (on) {
        // A request still under way is kept when it comes back.
        if (!pending_ && !haveCookie_ && portalRequest_.isEmpty())
            AskDesktop();
        return;
    }
    if (haveCookie_) {
        haveCookie_ = false;
        ReleaseCookie(cookie_);
    }
    if (!portalRequest_.isEmpty())
        ClosePortalRequest(std::exchange(portalRequest_, QString()));
    Resume();
}

namespace {

// Sends call without waiting; its answer comes back on the window's thread:
// failed() when the service is not there or refuses, else answered(value).
// pending holds while the answer is awaited.
template <class Value, class Failed, class Answered>
void Ask(QDBusConnection& bus, const QDBusMessage& call, QObject* parent, bool& pending, Failed failed,
         Answered answered)
{
    pending = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kReplyTimeoutMs), parent);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, parent, [watcher, &pending, failed, answered] {
        watcher->deleteLater();
        pending = false;
        const QDBusPendingReply<Value> reply = *watcher;
        if (reply.isError())
            failed();
        else
            answered(reply.value());
    });
}

}  // namespace

void ScreenAwake::AskDesktop()
{
    if (!bus_)
        bus_ = QDBusConnection::sessionBus();
    if (!bus_->isConnected()) {
        Suspend();
        return;
    }
    QDBusMessage call = ScreenSaverCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("tamsel") << QStringLiteral("自动播放");
    Ask<uint>(
        *bus_, call, &calls_, pending_,
        // No screen saver service on this bus: the desktop portal's, else
        // the desktop's own tool.
        [this] {
            if (wanted_)
                AskPortal();
        },
        [this](uint cookie) {
            if (wanted_) {
                cookie_ = cookie;
                haveCookie_ = true;
            } else {
                ReleaseCookie(cookie);   // the show stopped before the desktop answered
            }
        });
}

void ScreenAwake::AskPortal()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, QStringLiteral("org.freedesktop.portal.Inhibit"),
                                                       QStringLiteral("Inhibit"));
    // 8: the session is not to count as idle.
    call << QString() << 8u << QVariantMap{{QStringLiteral("reason"), QStringLiteral("自动播放")}};
    Ask<QDBusObjectPath>(
        *bus_, call, &calls_, pending_,
        [this] {
            if (wanted_)
                Suspend();
        },
        [this](const QDBusObjectPath& request) {
            if (wanted_)
                portalRequest_ = request.path();
            else
                ClosePortalRequest(request.path());
        });
}

// The portal holds the screen until its request is closed.
void ScreenAwake::ClosePortalRequest(const QString& request)
{
    bus_->send(QDBusMessage::createMethodCall(kPortal, request, QStringLiteral("org.freedesktop.portal.Request"),
                                              QStringLiteral("Close")));
}

void ScreenAwake::ReleaseCookie(uint cookie)
{
    QDBusMessage call = ScreenSaverCall(QStringLiteral("UnInhibit"));
    call << cookie;
    bus_->send(call);
}

void ScreenAwake::Suspend()
{
    toolWindow_ = windowId ? windowId() : 0;
    if (toolWindow_ != 0)
        StartTool({QStringLiteral("suspend"), WindowArg(toolWindow_)});
}

void ScreenAwake::Resume()
{
    if (toolWindow_ == 0)
        return;
    StartTool({QStringLiteral("resume"), WindowArg(toolWindow_)});
    toolWindow_ = 0;
}

}  // namespace tamsel
