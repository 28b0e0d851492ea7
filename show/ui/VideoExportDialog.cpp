#include "show/ui/VideoExportDialog.h"

#include "show/VideoEncoder.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

namespace tamsel {
namespace {

const QString kTitle = QStringLiteral("导出视频");
const QString kFilter = QStringLiteral("MP4 视频 (*.mp4);;WebM 视频 (*.webm)");

QString Clock(double secs)
{
    const int s = int(secs + 0.5);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

VideoExportDialog::VideoExportDialog(const AlbumState& album, const PhotoList& photos,
                                     const AppPaths& paths, const QString& folder, QWidget* parent,
                                     AskName askName)
    : QDialog(parent), album_(album), photos_(photos), paths_(paths), folder_(folder),
      askName_(std::move(askName))
{
    setWindowTitle(kTitle);
    setModal(true);

    file_ = new QLineEdit(QDir(folder).filePath(QStringLiteral("相册.mp4")), this);
    file_->setObjectName(QStringLiteral("fileEdit"));
    file_->setMinimumWidth(320);
    browse_ = new QPushButton(QStringLiteral("浏览..."), this);
    size_ = new QComboBox(this);
    const QSize area(album.ShowWidth & ~1, int(album.ShowHeight) & ~1);
    size_->addItem(QStringLiteral("照片区 %1×%2").arg(area.width()).arg(area.height()), area);
    size_->addItem(QStringLiteral("1280×720"), QSize(1280, 720));
    size_->addItem(QStringLiteral("1920×1080"), QSize(1920, 1080));
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    status_ = new QLabel(this);
    start_ = new QPushButton(QStringLiteral("导出"), this);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    start_->setObjectName(QStringLiteral("exportButton"));
    start_->setDefault(true);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(browse_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("文件:"), fileRow);
    form->addRow(QStringLiteral("尺寸:"), size_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(browse_, &QPushButton::clicked, this, &VideoExportDialog::Browse);
    connect(start_, &QPushButton::clicked, this, &VideoExportDialog::Start);
    connect(cancel_, &QPushButton::clicked, this, &VideoExportDialog::reject);
    connect(&tick_, &QTimer::timeout, this, &VideoExportDialog::Tick);
    connect(&worker_, &BackgroundTask::Finished, this, [this] { Finished(exported_); });
    tick_.setInterval(200);
}

VideoExportDialog::~VideoExportDialog()
{
    state_.cancel = true;
}

Outcome VideoExportDialog::Run(QWidget* parent, const AlbumState& album, const PhotoList& photos,
                               const AppPaths& paths, QString& folder, AskName askName)
{
    VideoExportDialog d(album, photos, paths, folder, parent, std::move(askName));
    d.exec();
    folder = d.Folder();
    return d.Result();
}

void VideoExportDialog::Browse()
{
    const QString name =
        askName_ ? askName_(kTitle, kFilter) : QFileDialog::getSaveFileName(this, kTitle, file_->text(), kFilter);
    if (name.isEmpty())
        return;
    file_->setText(name);
    confirmed_ = QFileInfo(name).absoluteFilePath();
}

void VideoExportDialog::Start()
{
    QString name = file_->text().trimmed();
    // A name without a known ending is taken as MP4, the kind every device plays.
    if (!VideoFormatOf(name))
        name += QStringLiteral(".mp4");
    name = QFileInfo(name).absoluteFilePath();
    file_->setText(name);
    const VideoRequest request{name, size_->currentData().toSize(), 30, 1};
    if (const Outcome o = CheckVideoRequest(request); !o) {
        status_->setText(o.message.trimmed());
        return;
    }
    // A typed name of a file that is there: the user's file is replaced only when they say so.
    if (name != confirmed_ && QFileInfo::exists(name) &&
        QMessageBox::question(this, kTitle,
                              QStringLiteral("%1 已存在，要替换它吗？").arg(QFileInfo(name).fileName()),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    folder_ = WithTrailingSlash(QFileInfo(name).absolutePath());
    file_->setEnabled(false);
    browse_->setEnabled(false);
    size_->setEnabled(false);
    start_->setEnabled(false);
    status_->setText(QStringLiteral("正在导出..."));
    clock_.start();
    tick_.start();
    // A background task: a quit waits for the export to clean up.
    worker_.Start([this, request] { exported_ = ExportVideo(album_, photos_, paths_, request, state_); });
}

void VideoExportDialog::Tick()
{
    const double done = state_.done;
    progress_->setValue(int(done * 1000));
    setWindowTitle(QStringLiteral("%1 %2%").arg(kTitle).arg(int(done * 100)));
    if (done > 0.02) {
        const double elapsed = clock_.elapsed() / 1000.0;
        status_->setText(QStringLiteral("剩余时间 约 %1").arg(Clock(elapsed * (1 - done) / done)));
    }
}

void VideoExportDialog::Finished(const Outcome& o)
{
    tick_.stop();
    result_ = o;
    // What the video lacks (photos that could not be read, music) follows the news that it is there.
    const bool cancelled = o.message == QString::fromUtf8(kExportCancelled);
    if (o && !cancelled) {
        QString said = QStringLiteral("  视频已导出: %1").arg(QFileInfo(file_->text()).fileName());
        if (o.HasMessage())
            said += QStringLiteral("；") + o.message.trimmed();
        result_ = Outcome::Done(said);
    }
    if (o)
        accept();
    else
        QDialog::reject();
}

void VideoExportDialog::reject()
{
    // During an export 取消 stops it; the dialog closes when the worker has
    // cleaned up, so no partial file is left behind.
    if (worker_.Running()) {
        state_.cancel = true;
        cancel_->setEnabled(false);
        status_->setText(QStringLiteral("正在取消..."));
        return;
    }
    QDialog::reject();
}

}  // namespace tamsel
