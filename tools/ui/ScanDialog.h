#pragma once
#include "model/AlbumView.h"
#include "platform/Scanner.h"

#include <QDialog>
#include <QImage>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace tamsel {

// "扫描照片": lists the scanners, offers source, colour mode and resolution,
// scans on a worker thread with a progress bar and a working "取消", and
// hands the picture back. Finding the scanners also runs on a worker: some
// backends search the network for seconds.
class ScanDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScanDialog(QWidget* parent = nullptr);
    ~ScanDialog() override;

    // Shows the dialog modally. The scanned picture, or a null one with
    // message saying why (empty when the user cancelled).
    static ScannedPicture Acquire(QWidget* parent);

    QImage Picture() const { return picture_; }
    QString Message() const { return message_; }
    bool IsScanning() const { return scanWorker_ != nullptr; }
    bool DevicesListed() const { return listed_; }

    QComboBox* DeviceBox() const { return devices_; }
    QComboBox* ModeBox() const { return modes_; }
    QComboBox* ResolutionBox() const { return resolutions_; }
    QPushButton* ScanButton() const { return scan_; }
    QPushButton* CancelButton() const { return cancel_; }
    QProgressBar* Progress() const { return progress_; }
    Scanner& Device() { return scanner_; }

    void reject() override;

private:
    void ListDevices();
    void ShowDevices(const QList<ScanDevice>& devices, const QString& why);
    void OpenDevice(int index);
    void StartScan();
    void Scanned(const ScanResult& result);
    void CancelClicked();
    void SetBusy(bool busy);
    void Say(const QString& text, bool keep);
    void StopWorkers();
    void JoinScan();
    void JoinList();

    Scanner scanner_;
    QThread* listWorker_ = nullptr;
    QThread* scanWorker_ = nullptr;
    bool listed_ = false;
    bool closing_ = false;
    QImage picture_;
    QString message_;

    QComboBox* devices_;
    QComboBox* sources_;
    QComboBox* modes_;
    QComboBox* resolutions_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* scan_;
    QPushButton* cancel_;
};

}  // namespace tamsel
