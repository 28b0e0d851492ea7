#pragma once
#include "model/Outcome.h"
#include "tools/ui/BatchFooter.h"
#include "tools/BatchConvert.h"

#include <QDialog>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tamsel {

class BackgroundTask;

// "照片格式批量转换": converts the photos of one format in the working folder to
// another format. Opened modally; after exec() the caller reads whether the
// album folder's files changed, the working folder (the source browse moves
// it), the destination folder chosen (FolderChoice) and the outcome for the
// info label.
class ConvertDialog : public QDialog {
    Q_OBJECT
public:
    ConvertDialog(QWidget* parent, const QString& workingFolder, const QString& albumFolder);
    ~ConvertDialog() override;

    bool AlbumChanged() const { return albumChanged_; }
    QString WorkingFolder() const { return folder_; }
    QString FolderChoice() const { return folderChoice_; }
    const Outcome& Result() const { return result_; }

    // The dialogs it opens, replaceable for tests: a file of the source
    // folder (full path, "" for none), the destination folder ("" for none),
    // and the question about existing targets (true: overwrite, false: skip,
    // nothing: do not start).
    using FileChooser = std::function<QString(QWidget*, const QString& startFolder)>;
    using FolderChooser = std::function<QString(QWidget*, const QString& startFolder)>;
    using OverwriteQuestion = std::function<std::optional<bool>(QWidget*, const QStringList& names)>;
    void SetFileChooser(FileChooser f) { chooseFile_ = std::move(f); }
    void SetFolderChooser(FolderChooser f) { chooseFolder_ = std::move(f); }
    void SetOverwriteQuestion(OverwriteQuestion q) { askOverwrite_ = std::move(q); }

    // The elements by their roles, for tests: combos 0 source, 1 target;
    // options 0..2; buttons 0 "确定", 1 "取消", 2 source "浏览...", 3
    // destination "浏览...".
    QComboBox* Combo(int index) const;
    QRadioButton* Option(int index) const;
    QPushButton* Button(int index) const;
    QLineEdit* DestinationField() const { return destinationEdit_; }
    QStringList Sources() const { return sources_; }
    QStringList Preview() const;
    QString Notice() const;
    QString CurrentFileText() const;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SourceFormatChanged();
    void TargetFormatChanged();
    void OptionClicked(int k);
    void BrowseSource();
    void BrowseDestination();
    void Run();
    void RunFinished();
    void ShowNotice(const QString& text, bool fault);
    void SetBusy(bool busy);

    QString folder_;
    QString albumFolder_;
    QString folderChoice_;
    QStringList sources_;
    int chosenOption_ = 0;
    int targetCode_ = 0;
    bool albumChanged_ = false;
    Outcome result_;
    FileChooser chooseFile_;
    FolderChooser chooseFolder_;
    OverwriteQuestion askOverwrite_;

    QComboBox* formatCombos_[2] = {};
    QListWidget* sourceList_ = nullptr;
    QListWidget* preview_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QRadioButton* destinationRadios_[3] = {};
    QButtonGroup* destinationGroup_ = nullptr;
    QLineEdit* destinationEdit_ = nullptr;
    QPushButton* buttons_[4] = {};
    BatchFooter footer_;
    QLabel* current_ = nullptr;
    QTimer* poll_ = nullptr;
    BackgroundTask* task_ = nullptr;

    // Shared with the workers while a batch runs.
    ConvertPlan plan_;
    std::atomic<bool> cancel_{false};
    std::mutex progressLock_;
    int progressDone_ = 0;
    int progressTotal_ = 0;
    QString progressFile_;
    ConvertReport report_;
};

}  // namespace tamsel
