#pragma once
#include <QObject>

class QSocketNotifier;

namespace tamsel {

// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit of the application, so
// the album state is written exactly as when the window is closed.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    void quitRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tamsel
