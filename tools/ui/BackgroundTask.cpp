#include "tools/ui/BackgroundTask.h"

#include <QMetaObject>

namespace tamsel {

BackgroundTask::~BackgroundTask()
{
    // The work touches files the owner handed it; it must end before they go.
    if (thread_.joinable())
        thread_.join();
    if (running_)
        --runningCount_;   // the finishing call below never comes now
}

bool BackgroundTask::Start(std::function<void()> work)
{
    if (running_)
        return false;
    if (thread_.joinable())
        thread_.join();
    running_ = true;
    ++runningCount_;
    thread_ = std::thread([this, work = std::move(work)] {
        work();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (thread_.joinable())
                    thread_.join();
                running_ = false;
                --runningCount_;
                Q_EMIT Finished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

}  // namespace tamsel
