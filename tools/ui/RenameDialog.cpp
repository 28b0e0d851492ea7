#include "tools/ui/RenameDialog.h"

#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"
#include "tools/BatchFiles.h"
#include "tools/RenameJournal.h"
#include "tools/ui/BackgroundTask.h"
#include "tools/ui/BatchFooter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tamsel {

namespace {

// Below this many files the renaming is over before a bar could be read.
constexpr int kProgressFrom = 200;

QString DefaultChooseFile(QWidget* parent, const QString& startFolder)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("请选择照片所在文件夹"), startFolder,
                                        AlbumFileFilter());
}

}  // namespace

RenameDialog::RenameDialog(QWidget* parent, const QString& workingFolder, const QString& albumFolder)
    : QDialog(parent), albumFolder_(albumFolder), chooseFile_(DefaultChooseFile)
{
    setWindowTitle(QStringLiteral("照片批量改名"));
    setModal(true);

    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("将根据照片拟改名和起始编号为本照片夹所有照片编号改名"), this));

    auto* fields = new QGridLayout;
    const QString labels[3] = {QStringLiteral("照片拟改名："), QStringLiteral("起始编号："),
                               QStringLiteral("编号位：")};
    for (int i = 0; i < 3; ++i) {
        fields_[i] = new QLineEdit(this);
        fields_[i]->installEventFilter(this);
        fields->addWidget(new QLabel(labels[i], this), i, 0);
        fields->addWidget(fields_[i], i, 1);
    }
    fields_[1]->setText(QStringLiteral("1"));
    fields_[2]->setText(QStringLiteral("###"));
    top->addLayout(fields);

    auto* lists = new QGridLayout;
    oldList_ = new QListWidget(this);
    newList_ = new QListWidget(this);
    lists->addWidget(new QLabel(QStringLiteral("照片原名："), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("照片新名："), this), 0, 1);
    lists->addWidget(oldList_, 1, 0);
    lists->addWidget(newList_, 1, 1);
    top->addLayout(lists);

    buttons_[2] = AddFolderFrame(this, top, folderLabel_);

    footer_ = BatchFooter::Add(this, top);
    buttons_[0] = footer_.ok;
    buttons_[1] = footer_.cancel;

    connect(buttons_[0], &QPushButton::clicked, this, &RenameDialog::Ok);
    connect(buttons_[1], &QPushButton::clicked, this, &RenameDialog::reject);
    connect(buttons_[2], &QPushButton::clicked, this, &RenameDialog::Browse);

    task_ = new BackgroundTask(this);
    connect(task_, &BackgroundTask::Finished, this, &RenameDialog::RenameFinished);
    poll_ = new QTimer(this);
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, [this] {
        footer_.progress->setMaximum(std::max(1, movesTotal_.load()));
        footer_.progress->setValue(movesDone_.load());
    });

    SetFolder(workingFolder);
}

RenameDialog::~RenameDialog()
{
    // The renaming runs to its end (or undoes itself) before the dialog's
    // members it reports into are gone.
    delete task_;
}

QLineEdit* RenameDialog::Field(int index) const { return (index >= 0 && index < 3) ? fields_[index] : nullptr; }
QPushButton* RenameDialog::Button(int index) const { return (index >= 0 && index < 3) ? buttons_[index] : nullptr; }

QStringList RenameDialog::Preview() const { return ItemTexts(*newList_); }

QString RenameDialog::Notice() const { return footer_.notice->text(); }

void RenameDialog::ShowNotice(const QString& text, bool fault) { footer_.Say(text, fault); }

// A folder is taken up: a rename cut short there is settled first, so the
// list shows every photo under a real name.
void RenameDialog::SetFolder(const QString& folder)
{
    folder_ = WithTrailingSlash(folder);
    folderLabel_->setText(folder_);
    const Outcome recovered = RecoverRenames(folder_);
    ShowNotice(recovered.message, !recovered.ok);
    if (recovered.HasMessage() && SameFolder(folder_, albumFolder_))
        albumChanged_ = true;   // the album's list may hold the names of before
    ReadSources();
    if (!sources_.isEmpty()) {
        oldList_->setCurrentRow(0);
        fields_[0]->setText(QFileInfo(sources_.constFirst()).completeBaseName());
        fields_[0]->selectAll();
    }
    RebuildPreview();
}

void RenameDialog::ReadSources()
{
    const FolderListing listing = ListRenameSources(folder_);
    sources_ = listing.names;
    oldList_->clear();
    oldList_->addItems(sources_);
    footer_.NotePassedOver(listing.passedOver);
}

namespace {

RenameFields CurrentFields(QLineEdit* const text[3])
{
    return RenameFields{text[0]->text(), text[1]->text(), text[2]->text()};
}

}  // namespace

void RenameDialog::RebuildPreview()
{
    newList_->clear();
    const RenamePlan plan = PlanRename(folder_, sources_, CurrentFields(fields_));
    for (int i = 0; i < plan.newNames.size(); ++i) {
        auto* item = new QListWidgetItem(plan.newNames.at(i), newList_);
        if (plan.clash.value(i)) {
            item->setForeground(QColor(0xc0, 0, 0));
            item->setToolTip(QStringLiteral("此新名不能用"));
        }
    }
    if (!plan.problem.isEmpty())
        ShowNotice(plan.problem, true);
    else if (footer_.notice->property("fault").toBool())
        ShowNotice({}, false);
}

bool RenameDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease)
        for (QLineEdit* t : fields_)
            if (watched == t) {
                RebuildPreview();
                break;
            }
    return QDialog::eventFilter(watched, event);
}

void RenameDialog::Browse()
{
    const QString path = chooseFile_ ? chooseFile_(this, folder_) : QString();
    if (!path.isEmpty())
        SetFolder(QFileInfo(path).absolutePath());   // a folder without photos keeps the stem
    fields_[0]->setFocus();
}

void RenameDialog::SetBusy(bool busy)
{
    for (QLineEdit* t : fields_)
        t->setEnabled(!busy);
    for (QPushButton* b : buttons_)
        b->setEnabled(!busy);
}

void RenameDialog::Ok()
{
    if (task_->Running())
        return;
    const RenamePlan plan = PlanRename(folder_, sources_, CurrentFields(fields_));
    if (!plan.Runnable()) {
        if (plan.problem.isEmpty()) {   // nothing to rename
            accept();
            return;
        }
        RebuildPreview();
        ShowNotice(plan.problem, true);
        QApplication::beep();
        return;
    }
    SetBusy(true);
    ShowNotice(QStringLiteral("正在改名..."), false);
    movesDone_ = 0;
    movesTotal_ = 2 * int(plan.oldNames.size());
    footer_.progress->setVisible(plan.oldNames.size() > kProgressFrom);
    footer_.progress->setMaximum(movesTotal_);
    footer_.progress->setValue(0);
    ranInAlbum_ = SameFolder(folder_, albumFolder_);
    planned_.clear();
    for (qsizetype i = 0; i < plan.oldNames.size(); ++i)
        planned_.append({plan.folder + plan.oldNames.at(i), plan.folder + plan.newNames.at(i)});
    task_->Start([this, plan] {
        workerResult_ = RunRename(plan, [this](int done, int total) {
            movesDone_ = done;
            movesTotal_ = total;
        });
    });
    poll_->start();
}

void RenameDialog::RenameFinished()
{
    poll_->stop();
    footer_.progress->hide();
    result_ = workerResult_;
    albumChanged_ = albumChanged_ || ranInAlbum_;
    if (result_.ok && ranInAlbum_)
        renamed_ = planned_;
    if (result_.ok) {
        accept();
        return;
    }
    // Nothing was renamed (or the message says what is left): show the folder
    // as it now is, and why.
    SetBusy(false);
    ReadSources();
    RebuildPreview();
    ShowNotice(result_.message, true);
    QApplication::beep();
}

void RenameDialog::reject()
{
    if (task_->Running())
        return;   // the renaming finishes or undoes itself; it is never cut off
    QDialog::reject();
}

void RenameDialog::closeEvent(QCloseEvent* event)
{
    if (task_->Running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tamsel
