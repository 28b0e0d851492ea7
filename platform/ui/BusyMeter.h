#pragma once
#include <QElapsedTimer>
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
    void Enter();
    void Leave();

    double LongestMs() const { return longestNs_ / 1e6; }

private:
    QString reportPath_;
    QElapsedTimer clock_;
    int depth_ = 0;
    qint64 start_ = 0;       // of the delivery in progress
    qint64 longestNs_ = 0;
    qint64 events_ = 0;
    qint64 over20_ = 0;      // stretches longer than 20 ms
};

}  // namespace tamsel
