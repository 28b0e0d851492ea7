#include "platform/ui/BusyMeter.h"

#include "platform/SafeWrite.h"

#include <algorithm>

namespace tamsel {

namespace {
constexpr qint64 kLongNs = 20'000'000;
}  // namespace

BusyMeter::BusyMeter(QString reportPath) : reportPath_(std::move(reportPath)) { clock_.start(); }

void BusyMeter::Enter()
{
    if (depth_++ > 0)
        return;
    ++events_;
    start_ = clock_.nsecsElapsed();
}

void BusyMeter::Leave()
{
    if (--depth_ > 0)
        return;
    const qint64 busy = clock_.nsecsElapsed() - start_;
    longestNs_ = std::max(longestNs_, busy);
    if (busy > kLongNs)
        ++over20_;
}

BusyMeter::~BusyMeter()
{
    if (reportPath_.isEmpty())
        return;
    WriteFileWhole(reportPath_, QStringLiteral("longest_ms %1\nevents %2\nover_20ms %3\n")
                                    .arg(LongestMs(), 0, 'f', 2)
                                    .arg(events_)
                                    .arg(over20_)
                                    .toUtf8());
}

}  // namespace tamsel
