#pragma once
#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

namespace tamsel {

// Turns SIGTERM, SIGINT and SIGHUP into quitRequested on the window's thread,
// so the album state is written exactly as when the window is closed. The
// signals are taken by a thread of their own (see QuitSignalRoute.h); main
// blocks them before anything else starts a thread.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    // atOnce runs on the signals' own thread the moment one comes, before
    // the window's thread hears of it: for what must stop even while that
    // thread is busy waiting on it.
    explicit QuitSignals(std::function<void()> atOnce = {}, QObject* parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    void quitRequested();

private:
    std::function<void()> atOnce_;
    std::atomic<bool> stopping_{false};
    std::thread waiter_;
};

}  // namespace tamsel
