#pragma once
#include "model/Outcome.h"
#include "tools/ui/BatchFooter.h"
#include "tools/BatchRename.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <QStringList>

#include <atomic>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tamsel {

class BackgroundTask;

// "照片批量改名": renames the photos of the working folder to a stem and a
// running number. Opened modally; after exec() the caller reads whether the
// album folder's files changed, the working folder (browsing moves it) and
// the outcome for the info label.
class RenameDialog : public QDialog {
    Q_OBJECT
public:
    RenameDialog(QWidget* parent, const QString& workingFolder, const QString& albumFolder);
    ~RenameDialog() override;

    bool AlbumChanged() const { return albumChanged_; }
    // The album folder's photos that now have new names (old full path, new
    // full path); empty unless a rename there went through.
    const QList<QPair<QString, QString>>& Renamed() const { return renamed_; }
    QString WorkingFolder() const { return folder_; }
    const Outcome& Result() const { return result_; }

    // The file dialog of the browse button: returns the chosen file's full
    // path, or "" when nothing was chosen. Replaceable for tests.
    using FileChooser = std::function<QString(QWidget* parent, const QString& startFolder)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // The elements by their roles, for tests: fields 0 stem, 1 start, 2
    // width; buttons 0 "确定", 1 "取消", 2 "浏览...".
    QLineEdit* Field(int index) const;
    QPushButton* Button(int index) const;
    QStringList Sources() const { return sources_; }
    QStringList Preview() const;
    QString Notice() const;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetFolder(const QString& folder);
    void ReadSources();
    void RebuildPreview();
    void Browse();
    void Ok();
    void RenameFinished();
    void ShowNotice(const QString& text, bool fault);
    void SetBusy(bool busy);

    QString folder_;
    QString albumFolder_;
    QStringList sources_;
    bool albumChanged_ = false;
    Outcome result_;
    FileChooser chooseFile_;

    QLineEdit* fields_[3] = {};
    QListWidget* oldList_ = nullptr;
    QListWidget* newList_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    BatchFooter footer_;
    QPushButton* buttons_[3] = {};
    QTimer* poll_ = nullptr;
    BackgroundTask* task_ = nullptr;

    // Written by the worker, read by the poll timer.
    std::atomic<int> movesDone_{0};
    std::atomic<int> movesTotal_{0};
    Outcome workerResult_;
    bool ranInAlbum_ = false;
    QList<QPair<QString, QString>> renamed_;
    QList<QPair<QString, QString>> planned_;
};

}  // namespace tamsel
