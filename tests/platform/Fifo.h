#pragma once
// A named pipe standing where a file is expected, and a guard that turns a
// call blocked on it into a test failure instead of a hung test run.
#include <QFile>
#include <QString>

#include <chrono>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel::testing {

inline bool MakeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Runs call; true when it returned within a few seconds. When it did not, the
// pipe gets a writer that goes away at once, so the blocked open or read
// returns and the test can go on to fail.
inline bool ReturnsDespiteFifo(const QString& fifo, const std::function<void()>& call)
{
    auto done = std::async(std::launch::async, call);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return true;
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    done.wait();
    return false;
}

}  // namespace tamsel::testing
