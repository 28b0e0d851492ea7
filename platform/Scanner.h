#pragma once
#include "platform/Outcome.h"
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace tamsel {

struct ScanDevice {
    QString name;    // what the device is opened by
    QString label;   // vendor, model and kind, for the user
};

// What a device offers for the three choices the scan dialog gives.
struct ScanChoices {
    QStringList sources;
    QString source;
    QStringList modes;
    QString mode;
    QList<int> resolutions;   // a sensible few when the device gives a range
    int resolution = 0;
};

// The choices for one scan; empty or 0 leaves the device's own setting.
struct ScanSettings {
    QString source;
    QString mode;
    int resolution = 0;
};

struct ScanResult {
    QImage image;      // null unless the scan arrived whole
    bool cancelled = false;
    QString why;       // for the user, when neither a picture nor a cancel
};

// One scanner through SANE. The backends are loaded while any Scanner or
// device listing is alive. Scan runs wherever it is called (a worker thread
// in the dialog); Cancel may be called from any thread while it runs, and
// takes effect at the next piece of data the device sends.
class Scanner {
public:
    Scanner();
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // Every scanner SANE can reach. An empty list with why set when SANE
    // itself failed; empty why when there simply is none.
    static Outcome Devices(QList<ScanDevice>& found);

    Outcome Open(const QString& name);
    void Close();
    bool IsOpen() const;

    ScanChoices Choices() const;
    // Sets any option the device names, from text (a word list entry, a
    // number or yes/no). False when the device has no such settable option.
    bool SetOption(const QString& name, const QString& value);

    // Scans one page. progress gets 0..1000 as the data arrives.
    ScanResult Scan(const ScanSettings& settings, const std::function<void(int)>& progress = {});
    void Cancel();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace tamsel
