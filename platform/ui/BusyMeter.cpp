#include "platform/ui/BusyMeter.h"

#include "platform/SafeWrite.h"

#include <algorithm>

namespace tamsel {

BusyMeter::BusyMeter(QString reportPath) : reportPath_(std::move(reportPath)) { clock_.start(); }

void BusyMeter::Enter()
{
    if (depth_++ > 0)
        return;
    ++events_;
    start_ = clock_.nsecsElapsed();
}

qint64 BusyMeter::Left()
{
    if (--depth_ > 0)
        return 0;
    const qint64 busy = clock_.nsecsElapsed() - start_;
    longestNs_ = std::max(longestNs_, busy);
    return busy;
}

void BusyMeter::Note(qint64 busyNs, const QString& what)
{
    ++over20_;
    ++longKinds_[what];
    if (busyNs >= longestNs_)
        longestWhat_ = what;
}

BusyMeter::~BusyMeter()
{
    if (reportPath_.isEmpty())
        return;
    QString report = QStringLiteral("longest_ms %1\nevents %2\nover_20ms %3\nlongest_was %4\n")
                         .arg(LongestMs(), 0, 'f', 2)
                         .arg(events_)
                         .arg(over20_)
                         .arg(longestWhat_);
    for (auto it = longKinds_.cbegin(); it != longKinds_.cend(); ++it)
        report += QStringLiteral("over_20ms_in %1 %2\n").arg(it.value()).arg(it.key());
    WriteFileWhole(reportPath_, report.toUtf8());
}

}  // namespace tamsel
