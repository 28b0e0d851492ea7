#pragma once
#include <QElapsedTimer>
#include <QMap>
#include <QString>

namespace tamsel {

// Measures how long the window's thread works before it returns to its event
// loop: every stretch longer than a frame is a moment in which clicks, moves
// and music wait. The application reports each event it delivers (between
// two deliveries the loop looks at the window system's input again). On
// destruction the figures are written to a file, for the window benchmarks.
class BusyMeter {
public:
    explicit BusyMeter(QString reportPath);
    ~BusyMeter();
    BusyMeter(const BusyMeter&) = delete;
    BusyMeter& operator=(const BusyMeter&) = delete;

    // Around the delivery of one event; nested deliveries are part of theirs.
    // what names the event (its receiver and kind), asked only for a long one.
    void Enter();
    template <class Name>
    void Leave(Name&& what)
    {
        if (const qint64 busy = Left(); busy > kLongNs)
            Note(busy, what());
    }

    double LongestMs() const { return longestNs_ / 1e6; }

private:
    static constexpr qint64 kLongNs = 20'000'000;
    // The time of the delivery just ended, 0 inside a nested one.
    qint64 Left();
    void Note(qint64 busyNs, const QString& what);

    QString reportPath_;
    QElapsedTimer clock_;
    int depth_ = 0;
    qint64 start_ = 0;       // of the delivery in progress
    qint64 longestNs_ = 0;
    qint64 events_ = 0;
    qint64 over20_ = 0;      // stretches longer than 20 ms
    QString longestWhat_;
    QMap<QString, int> longKinds_;   // the long stretches by what ran
};

}  // namespace tamsel
