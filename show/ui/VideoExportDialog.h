#pragma once
#include "model/AlbumState.h"
#include "model/Outcome.h"
#include "model/PhotoList.h"
#include "platform/Paths.h"
#include "show/VideoExport.h"
#include "tools/ui/BackgroundTask.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tamsel {

// "导出视频...": asks for the file (MP4 or WebM) and the size, records the
// show on a worker thread with copies of the album, and shows the progress
// with the time left and a working "取消". The window keeps running meanwhile.
class VideoExportDialog : public QDialog {
    Q_OBJECT
public:
    // askName: the program's file question for 浏览... (title and filter
    // given), "" when the user turned it down; Qt's own dialog when empty.
    using AskName = std::function<QString(const QString& title, const QString& filter)>;
    VideoExportDialog(const AlbumState& album, const PhotoList& photos, const AppPaths& paths,
                      const QString& folder, QWidget* parent = nullptr, AskName askName = {});
    ~VideoExportDialog() override;

    // Shows the dialog modally; the outcome for the info label (Done without
    // a message when the user closed it without exporting).
    static Outcome Run(QWidget* parent, const AlbumState& album, const PhotoList& photos,
                       const AppPaths& paths, QString& folder, AskName askName = {});

    Outcome Result() const { return result_; }
    QString Folder() const { return folder_; }
    void reject() override;

private:
    void Browse();
    void Start();
    void Tick();
    void Finished(const Outcome& o);

    AlbumState album_;
    PhotoList photos_;
    AppPaths paths_;
    QString folder_;
    AskName askName_;
    QString confirmed_;   // a name whose replacing the file question already agreed to
    QLineEdit* file_;
    QPushButton* browse_;
    QComboBox* size_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* start_;
    QPushButton* cancel_;
    ExportProgress state_;
    QTimer tick_;
    QElapsedTimer clock_;
    Outcome result_;
    Outcome exported_;      // the worker's answer, read when it has finished
    // Last: it goes first, waiting for the worker that reads the members above.
    BackgroundTask worker_;
};

}  // namespace tamsel
