#include "platform/ScreenAwake.h"

#include "platform/QuitSignalRoute.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>

namespace tamsel {

namespace {
const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
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
        if (!pending_ && !haveCookie_)
            AskDesktop();
        return;
    }
    if (haveCookie_) {
        haveCookie_ = false;
        ReleaseCookie(cookie_);
    }
    Resume();
}

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
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(call, kReplyTimeoutMs), &calls_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &calls_, [this, watcher] {
        watcher->deleteLater();
        pending_ = false;
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            // No screen saver service on this bus: the desktop's own tool.
            if (wanted_)
                Suspend();
            return;
        }
        if (wanted_) {
            cookie_ = reply.value();
            haveCookie_ = true;
        } else {
            // The show stopped before the desktop answered.
            ReleaseCookie(reply.value());
        }
    });
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
