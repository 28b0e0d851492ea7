#include "tools/ui/ConvertDialog.h"

#include "album/ui/FolderChooser.h"
#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"
#include "platform/SafeWrite.h"
#include "tools/BatchFiles.h"
#include "tools/ui/BackgroundTask.h"
#include "tools/ui/BatchFooter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tamsel {

namespace {

QString DefaultChooseFile(QWidget* parent, const QString& startFolder)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("请选择照片所在文件夹"), startFolder,
                                        AlbumFileFilter() + QStringLiteral(";;") + PhoneFileFilter());
}

std::optional<bool> DefaultAskOverwrite(QWidget* parent, const QStringList& names)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("照片格式批量转换"),
                    QStringLiteral("以下 %1 个文件已经存在: %2\n要用转换后的照片覆盖它们吗?")
                        .arg(names.size())
                        .arg(ShortList(names, 8)),
                    QMessageBox::NoButton, parent);
    QPushButton* overwrite = box.addButton(QStringLiteral("覆盖"), QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(QStringLiteral("跳过"), QMessageBox::RejectRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::DestructiveRole);
    box.setDefaultButton(skip);
    box.exec();
    if (box.clickedButton() == overwrite)
        return true;
    if (box.clickedButton() == skip)
        return false;
    return std::nullopt;
}

}  // namespace

ConvertDialog::ConvertDialog(QWidget* parent, const QString& workingFolder, const QString& albumFolder)
    : QDialog(parent),
      folder_(WithTrailingSlash(workingFolder)),
      albumFolder_(albumFolder),
      chooseFile_(DefaultChooseFile),
      chooseFolder_(tamsel::FolderChooser::Ask),
      askOverwrite_(DefaultAskOverwrite)
{
    setWindowTitle(QStringLiteral("照片格式批量转换"));
    setModal(true);
    auto* top = new QVBoxLayout(this);

    buttons_[2] = AddFolderFrame(this, top, folderLabel_);

    auto* lists = new QGridLayout;
    const QString comboLabels[2] = {QStringLiteral("转换前格式:"), QStringLiteral("转换后格式:")};
    for (int i = 0; i < 2; ++i) {
        formatCombos_[i] = new QComboBox(this);
        formatCombos_[i]->addItems(i == 0 ? ConvertSourceEntries() : ConvertFormatEntries());
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(comboLabels[i], this));
        row->addWidget(formatCombos_[i], 1);
        lists->addLayout(row, 0, i);
    }
    sourceList_ = new QListWidget(this);
    preview_ = new QListWidget(this);
    lists->addWidget(sourceList_, 1, 0);
    lists->addWidget(preview_, 1, 1);
    top->addLayout(lists);

    auto* choice = new QGroupBox(QStringLiteral("请选择:"), this);
    auto* choiceLayout = new QGridLayout(choice);
    destinationGroup_ = new QButtonGroup(this);
    const QString optionLabels[3] = {QStringLiteral("保留原来照片"), QStringLiteral("删除原来照片"),
                                     QStringLiteral("转换到文件夹:")};
    for (int k = 0; k < 3; ++k) {
        destinationRadios_[k] = new QRadioButton(optionLabels[k], choice);
        destinationGroup_->addButton(destinationRadios_[k], k);
        choiceLayout->addWidget(destinationRadios_[k], k, 0);
    }
    destinationEdit_ = new QLineEdit(choice);
    buttons_[3] = new QPushButton(QStringLiteral("浏览..."), choice);
    choiceLayout->addWidget(destinationEdit_, 2, 1);
    choiceLayout->addWidget(buttons_[3], 2, 2);
    top->addWidget(choice);

    // The file being converted shows between the notice and the count.
    current_ = new QLabel(this);
    current_->hide();
    footer_ = BatchFooter::Add(this, top, current_);
    buttons_[0] = footer_.ok;
    buttons_[1] = footer_.cancel;

    task_ = new BackgroundTask(this);
    poll_ = new QTimer(this);
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, [this] {
        const std::lock_guard<std::mutex> g(progressLock_);
        footer_.progress->setMaximum(std::max(1, progressTotal_));
        footer_.progress->setValue(progressDone_);
        current_->setText(QStringLiteral("正在转换: ") + progressFile_);
    });

    // Opening: folder, both choosers on "*.bmp", the lists, the destination.
    // What a conversion cut short left there goes first. A folder of phone
    // photos opens ready to bring the most common kind in as JPG beside them.
    RemoveLeftoverTempFiles(folder_);
    folderLabel_->setText(folder_);
    if (const int phone = MostPhonePhotosEntry(folder_); phone >= 0) {
        formatCombos_[0]->setCurrentIndex(phone);
        formatCombos_[1]->setCurrentIndex(kJpg);
        destinationRadios_[int(ConvertMode::KeepBeside)]->setChecked(true);
    }
    SourceFormatChanged();
    destinationEdit_->setEnabled(false);
    buttons_[3]->setEnabled(false);
    folderChoice_ = folder_;
    destinationEdit_->setText(folderChoice_);

    connect(formatCombos_[0], &QComboBox::currentIndexChanged, this, &ConvertDialog::SourceFormatChanged);
    connect(formatCombos_[1], &QComboBox::currentIndexChanged, this, &ConvertDialog::TargetFormatChanged);
    connect(destinationGroup_, &QButtonGroup::idClicked, this, &ConvertDialog::OptionClicked);
    connect(buttons_[0], &QPushButton::clicked, this, &ConvertDialog::Run);
    connect(buttons_[1], &QPushButton::clicked, this, &ConvertDialog::reject);
    connect(buttons_[2], &QPushButton::clicked, this, &ConvertDialog::BrowseSource);
    connect(buttons_[3], &QPushButton::clicked, this, &ConvertDialog::BrowseDestination);
    connect(task_, &BackgroundTask::Finished, this, &ConvertDialog::RunFinished);
}

ConvertDialog::~ConvertDialog()
{
    // A dialog torn down mid-batch stops taking new files; the task's own
    // destructor then waits for the files in flight.
    cancel_ = true;
    delete task_;
}

QComboBox* ConvertDialog::Combo(int index) const { return (index >= 0 && index < 2) ? formatCombos_[index] : nullptr; }
QRadioButton* ConvertDialog::Option(int index) const { return (index >= 0 && index < 3) ? destinationRadios_[index] : nullptr; }
QPushButton* ConvertDialog::Button(int index) const { return (index >= 0 && index < 4) ? buttons_[index] : nullptr; }

QStringList ConvertDialog::Preview() const { return ItemTexts(*preview_); }

QString ConvertDialog::Notice() const { return footer_.notice->text(); }
QString ConvertDialog::CurrentFileText() const { return current_->text(); }

void ConvertDialog::ShowNotice(const QString& text, bool fault) { footer_.Say(text, fault); }

void ConvertDialog::SourceFormatChanged()
{
    const FolderListing listing = ListConvertSources(folder_, formatCombos_[0]->currentIndex());
    sources_ = listing.names;
    sourceList_->clear();
    sourceList_->addItems(sources_);
    footer_.NotePassedOver(listing.passedOver);
    TargetFormatChanged();
}

void ConvertDialog::TargetFormatChanged()
{
    preview_->clear();
    if (sources_.isEmpty())
        return;
    targetCode_ = formatCombos_[1]->currentIndex();
    // Files that will be passed over whatever happens are greyed, with why.
    const ConvertPlan plan =
        PlanConversion(folder_, sources_, targetCode_, ConvertMode(chosenOption_), folderChoice_);
    for (int i = 0; i < plan.targets.size(); ++i) {
        auto* item = new QListWidgetItem(plan.targets.at(i), preview_);
        if (!plan.passOver.at(i).isEmpty()) {
            item->setForeground(QColor(0x80, 0x80, 0x80));
            item->setToolTip(plan.passOver.at(i));
        }
    }
}

void ConvertDialog::OptionClicked(int k)
{
    destinationEdit_->setEnabled(false);
    buttons_[3]->setEnabled(false);
    chosenOption_ = k;
    if (k == 2) {
        destinationEdit_->setEnabled(true);
        destinationEdit_->selectAll();
        destinationEdit_->setFocus();
        buttons_[3]->setEnabled(true);
    }
    TargetFormatChanged();
}

void ConvertDialog::BrowseSource()
{
    const QString path = chooseFile_ ? chooseFile_(this, folder_) : QString();
    if (path.isEmpty())
        return;
    folder_ = WithTrailingSlash(QFileInfo(path).absolutePath());
    RemoveLeftoverTempFiles(folder_);
    folderLabel_->setText(folder_);
    // A folder with nothing of the chosen format but phone photos shows them.
    const int phone = MostPhonePhotosEntry(folder_);
    if (phone >= 0 && ListConvertSources(folder_, formatCombos_[0]->currentIndex()).names.isEmpty())
        formatCombos_[0]->setCurrentIndex(phone);   // lists them
    SourceFormatChanged();
}

void ConvertDialog::BrowseDestination()
{
    // The chooser opens on the working folder, as every chooser of the program does.
    const QString chosen = chooseFolder_ ? chooseFolder_(this, folder_) : QString();
    if (!chosen.isEmpty())
        folderChoice_ = WithTrailingSlash(chosen);
    destinationEdit_->setText(folderChoice_);
    TargetFormatChanged();
}

void ConvertDialog::SetBusy(bool busy)
{
    for (QComboBox* c : formatCombos_)
        c->setEnabled(!busy);
    for (QRadioButton* o : destinationRadios_)
        o->setEnabled(!busy);
    buttons_[0]->setEnabled(!busy);
    buttons_[2]->setEnabled(!busy);
    buttons_[3]->setEnabled(!busy && chosenOption_ == 2);
    destinationEdit_->setEnabled(!busy && chosenOption_ == 2);
    footer_.progress->setVisible(busy);
    current_->setVisible(busy);
}

void ConvertDialog::Run()
{
    if (task_->Running())
        return;
    if (sources_.isEmpty()) {
        accept();
        return;
    }
    const ConvertMode mode = ConvertMode(chosenOption_);
    if (mode == ConvertMode::ToFolder && !QFileInfo(folderChoice_).isDir()) {
        ShowNotice(QStringLiteral("要转换到的文件夹 %1 不存在").arg(folderChoice_), true);
        QApplication::beep();
        return;
    }
    plan_ = PlanConversion(folder_, sources_, targetCode_, mode, folderChoice_);
    ExistingTargets existing = ExistingTargets::Skip;
    if (!plan_.existing.isEmpty()) {
        QStringList names;
        for (int i : plan_.existing)
            names.push_back(plan_.targets.at(i));
        const std::optional<bool> answer = askOverwrite_ ? askOverwrite_(this, names) : std::optional<bool>(false);
        if (!answer)
            return;
        existing = *answer ? ExistingTargets::Overwrite : ExistingTargets::Skip;
    }

    cancel_ = false;
    {
        const std::lock_guard<std::mutex> g(progressLock_);
        progressDone_ = 0;
        progressTotal_ = int(plan_.sources.size());
        progressFile_.clear();
    }
    footer_.progress->setMaximum(int(plan_.sources.size()));
    footer_.progress->setValue(0);
    SetBusy(true);
    ShowNotice({}, false);
    task_->Start([this, existing] {
        ConvertHooks hooks;
        hooks.cancel = &cancel_;
        hooks.progress = [this](int done, int total, const QString& file) {
            const std::lock_guard<std::mutex> g(progressLock_);
            progressDone_ = done;
            progressTotal_ = total;
            progressFile_ = file;
        };
        report_ = RunConversion(plan_, existing, hooks);
    });
    poll_->start();
}

void ConvertDialog::RunFinished()
{
    poll_->stop();
    SetBusy(false);
    result_ = Summarise(report_);
    albumChanged_ = (report_.touchedSource && SameFolder(plan_.sourceFolder, albumFolder_)) ||
                    (report_.touchedDest && SameFolder(plan_.destFolder, albumFolder_));
    accept();
}

void ConvertDialog::reject()
{
    if (task_->Running()) {
        // Stop after the files in flight; each of them is finished whole.
        cancel_ = true;
        ShowNotice(QStringLiteral("正在停止，等手头的照片转换完..."), false);
        return;
    }
    QDialog::reject();
}

void ConvertDialog::closeEvent(QCloseEvent* event)
{
    if (task_->Running()) {
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tamsel
