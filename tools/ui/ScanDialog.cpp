#include "tools/ui/ScanDialog.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace tamsel {
namespace {

QString ModeLabel(const QString& mode)
{
    const QString m = mode.toLower();
    if (m.contains("color") || m.contains("colour"))
        return QStringLiteral("彩色 (%1)").arg(mode);
    if (m.contains("gray") || m.contains("grey"))
        return QStringLiteral("灰度 (%1)").arg(mode);
    if (m.contains("lineart") || m.contains("binary") || m.contains("halftone"))
        return QStringLiteral("黑白 (%1)").arg(mode);
    return mode;
}

const QString kNoScanner = QStringLiteral(
    "没有找到扫描仪。请检查扫描仪是否已接好并打开;"
    "如果已接好,也可能是当前用户没有使用它的权限。");

}  // namespace

ScanDialog::ScanDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("扫描照片"));
    setModal(true);

    devices_ = new QComboBox(this);
    sources_ = new QComboBox(this);
    modes_ = new QComboBox(this);
    resolutions_ = new QComboBox(this);
    devices_->setMinimumWidth(280);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    scan_ = new QPushButton(QStringLiteral("扫描"), this);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    scan_->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("扫描仪:"), devices_);
    form->addRow(QStringLiteral("来源:"), sources_);
    form->addRow(QStringLiteral("颜色:"), modes_);
    form->addRow(QStringLiteral("分辨率:"), resolutions_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(scan_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(devices_, &QComboBox::activated, this, &ScanDialog::OpenDevice);
    connect(scan_, &QPushButton::clicked, this, &ScanDialog::StartScan);
    connect(cancel_, &QPushButton::clicked, this, &ScanDialog::CancelClicked);

    SetBusy(true);
    ListDevices();
}

ScanDialog::~ScanDialog() { StopWorkers(); }

// Workers are joined and deleted here, never left to delete themselves: a
// result may still be on its way to the dialog when it closes.
void ScanDialog::JoinScan()
{
    if (!scanWorker_)
        return;
    scanWorker_->wait();
    delete scanWorker_;
    scanWorker_ = nullptr;
}

void ScanDialog::JoinList()
{
    if (!listWorker_)
        return;
    listWorker_->wait();
    delete listWorker_;
    listWorker_ = nullptr;
}

void ScanDialog::StopWorkers()
{
    if (scanWorker_)
        scanner_.Cancel();
    JoinScan();
    // A search of the network for scanners may go on for a while; the
    // dialog does not wait for it. The listing needs nothing of the dialog
    // and its result finds the dialog gone.
    if (listWorker_ && !listWorker_->wait(QDeadlineTimer(2000))) {
        connect(listWorker_, &QThread::finished, listWorker_, &QObject::deleteLater);
        listWorker_ = nullptr;
    }
    JoinList();
}

void ScanDialog::Say(const QString& text, bool keep)
{
    status_->setText(text);
    if (keep)
        message_ = text;
}

void ScanDialog::SetBusy(bool busy)
{
    const bool ready = !busy && scanner_.IsOpen();
    devices_->setEnabled(!busy && devices_->count() > 0);
    sources_->setEnabled(ready && sources_->count() > 0);
    modes_->setEnabled(ready && modes_->count() > 0);
    resolutions_->setEnabled(ready && resolutions_->count() > 0);
    scan_->setEnabled(ready);
}

void ScanDialog::ListDevices()
{
    Say(QStringLiteral("正在查找扫描仪..."), false);
    QPointer<ScanDialog> self(this);
    listWorker_ = QThread::create([self] {
        QList<ScanDevice> found;
        const QString why = Scanner::Devices(found).message;
        QMetaObject::invokeMethod(
            self, [self, found, why] { if (self) self->ShowDevices(found, why); }, Qt::QueuedConnection);
    });
    listWorker_->start();
}

void ScanDialog::ShowDevices(const QList<ScanDevice>& found, const QString& why)
{
    JoinList();
    listed_ = true;
    devices_->clear();
    for (const ScanDevice& d : found)
        devices_->addItem(d.label, d.name);
    if (found.isEmpty()) {
        Say(why.isEmpty() ? kNoScanner : why, true);
        SetBusy(false);
        return;
    }
    OpenDevice(0);
}

void ScanDialog::OpenDevice(int index)
{
    sources_->clear();
    modes_->clear();
    resolutions_->clear();
    if (const Outcome opened = scanner_.Open(devices_->itemData(index).toString()); !opened) {
        Say(opened.message, true);
        SetBusy(false);
        return;
    }
    const ScanChoices c = scanner_.Choices();
    for (const QString& s : c.sources)
        sources_->addItem(s, s);
    sources_->setCurrentIndex(sources_->findData(c.source));
    for (const QString& m : c.modes)
        modes_->addItem(ModeLabel(m), m);
    // A photo album wants colour; the device's own choice otherwise.
    int mode = -1;
    for (int i = 0; i < c.modes.size() && mode < 0; ++i)
        if (ModeLabel(c.modes[i]).startsWith(QStringLiteral("彩色")))
            mode = i;
    modes_->setCurrentIndex(mode >= 0 ? mode : modes_->findData(c.mode));
    for (int r : c.resolutions)
        resolutions_->addItem(QStringLiteral("%1 dpi").arg(r), r);
    resolutions_->setCurrentIndex(resolutions_->findData(c.resolution));
    Say(QString(), false);
    message_.clear();
    SetBusy(false);
}

void ScanDialog::StartScan()
{
    if (scanWorker_ || !scanner_.IsOpen())
        return;
    ScanSettings s;
    s.source = sources_->currentData().toString();
    s.mode = modes_->currentData().toString();
    s.resolution = resolutions_->currentData().toInt();
    SetBusy(true);
    progress_->setValue(0);
    Say(QStringLiteral("正在扫描..."), false);
    QPointer<QProgressBar> bar(progress_);
    QPointer<ScanDialog> self(this);
    Scanner* scanner = &scanner_;
    scanWorker_ = QThread::create([self, bar, scanner, s] {
        const ScanResult r = scanner->Scan(s, [bar](int permille) {
            QMetaObject::invokeMethod(
                bar, [bar, permille] { if (bar) bar->setValue(permille); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            self, [self, r] { if (self) self->Scanned(r); }, Qt::QueuedConnection);
    });
    scanWorker_->start();
}

void ScanDialog::Scanned(const ScanResult& r)
{
    JoinScan();
    if (closing_)
        return;   // the dialog was closed while the scan ended
    if (!r.image.isNull()) {
        picture_ = r.image;
        message_.clear();
        accept();
        return;
    }
    if (r.cancelled) {
        message_.clear();
        QDialog::reject();
        return;
    }
    progress_->setValue(0);
    Say(r.why, true);
    SetBusy(false);
}

void ScanDialog::CancelClicked()
{
    if (scanWorker_) {
        // The worker ends the scan and closes the dialog through Scanned.
        Say(QStringLiteral("正在取消..."), false);
        cancel_->setEnabled(false);
        scanner_.Cancel();
        return;
    }
    reject();
}

void ScanDialog::reject()
{
    closing_ = true;
    if (scanWorker_)
        scanner_.Cancel();
    JoinScan();
    // Nothing scanned: a cancel changes nothing, a failure keeps its message.
    QDialog::reject();
}

ScannedPicture ScanDialog::Acquire(QWidget* parent)
{
    ScanDialog dialog(parent);
    dialog.exec();
    if (dialog.Picture().isNull())
        return {dialog.Message().isEmpty() ? Outcome::Done() : Outcome::Failed(dialog.Message()), {}};
    return {Outcome::Done(), dialog.Picture()};
}

}  // namespace tamsel
