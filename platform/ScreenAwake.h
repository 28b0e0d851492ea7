#pragma once
#include <QDBusConnection>
#include <QObject>

#include <functional>
#include <optional>

namespace tamsel {

// Keeps the screen saver and the screen blanking away while a slide show
// runs. The desktop is asked through its org.freedesktop.ScreenSaver service
// on the session bus, else through the desktop portal's Inhibit (a Wayland
// desktop); where there is neither, xdg-screensaver suspends it for the
// program's window. The desktop's answer is awaited without blocking, so
// starting a show never waits on it.
class ScreenAwake {
public:
    ScreenAwake() = default;
    ~ScreenAwake();
    ScreenAwake(const ScreenAwake&) = delete;
    ScreenAwake& operator=(const ScreenAwake&) = delete;

    // The screen is to stay on (true) or may sleep again. Repeating the same
    // wish does nothing.
    void Hold(bool on);
    bool Held() const { return wanted_; }
    // The bus to ask on instead of the session bus, which is otherwise
    // reached only when the screen is first to be kept on.
    void UseBus(QDBusConnection bus) { bus_ = std::move(bus); }
    // The native id of the window that the fallback suspends the screen
    // saver for; asked only when the fallback is needed.
    std::function<quint64()> windowId;

private:
    void AskDesktop();
    void AskPortal();
    void ClosePortalRequest(const QString& request);
    void ReleaseCookie(uint cookie);
    void Suspend();
    void Resume();

    std::optional<QDBusConnection> bus_;
    // Parent of the pending calls: a reply after this object has gone is dropped.
    QObject calls_;
    bool wanted_ = false;
    bool pending_ = false;
    bool haveCookie_ = false;
    uint cookie_ = 0;
    QString portalRequest_;    // the portal's request that holds the screen; "": none
    quint64 toolWindow_ = 0;   // the window xdg-screensaver suspends for; 0: none
};

}  // namespace tamsel
