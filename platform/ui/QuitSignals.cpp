#include "platform/ui/QuitSignals.h"

#include "platform/QuitSignalRoute.h"

#include <QMetaObject>

#include <csignal>

namespace tamsel {

QuitSignals::QuitSignals(std::function<void()> atOnce, QObject* parent)
    : QObject(parent), atOnce_(std::move(atOnce))
{
    // The waiting thread must start with the signals blocked, whoever made us.
    BlockQuitSignals();
    waiter_ = std::thread([this] {
        for (;;) {
            WaitForQuitSignal();
            if (stopping_)
                return;
            if (atOnce_)
                atOnce_();
            QMetaObject::invokeMethod(this, [this] { Q_EMIT quitRequested(); }, Qt::QueuedConnection);
        }
    });
    SetQuitSignalWaiter(waiter_.native_handle());
}

QuitSignals::~QuitSignals()
{
    // Quit signals from now on stay pending and blocked: the program is
    // already on its way out through the normal shutdown.
    ClearQuitSignalWaiter();
    stopping_ = true;
    ::pthread_kill(waiter_.native_handle(), SIGHUP);
    waiter_.join();
}

}  // namespace tamsel
