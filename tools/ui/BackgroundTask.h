#pragma once
#include <QObject>

#include <functional>
#include <thread>

namespace tamsel {

// Runs one piece of long work off the window's thread, so the dialogs keep
// painting and can show progress; Finished arrives on the window's thread.
class BackgroundTask : public QObject {
    Q_OBJECT
public:
    explicit BackgroundTask(QObject* parent = nullptr) : QObject(parent) {}
    ~BackgroundTask() override;

    // Starts work unless some is still running.
    bool Start(std::function<void()> work);
    bool Running() const { return running_; }
    // Whether any task of the program is at work: a quit waits for it.
    static bool AnyRunning() { return runningCount_ > 0; }

Q_SIGNALS:
    void Finished();

private:
    std::thread thread_;
    bool running_ = false;
    static inline int runningCount_ = 0;   // changed on the window's thread only
};

}  // namespace tamsel
