// The main window's dialogs: the file dialog, the pop-up menus, the settings,
// and the commands whose work happens in a dialog of this window.
#include "shell/ui/MainWindow.h"

#include "album/ui/SettingsDialog.h"
#include "app/AlbumApp.h"
#include "app/ui/PrintPhoto.h"
#include "app/ui/SaveAsDialog.h"
#include "shell/ui/SkinWidgets.h"
#include "show/ui/VideoExportDialog.h"
#include "tools/ui/BalanceDialog.h"
#include "tools/ui/ConvertDialog.h"
#include "tools/ui/RenameDialog.h"
#include "tools/ui/ScanDialog.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QAction>
#include <QMenu>

namespace tamsel {

ScannedPicture MainWindow::AcquireScan()
{
    QString message;
    const QImage picture = ScanDialog::Acquire(this, &message);
    if (picture.isNull())
        return {message.isEmpty() ? Outcome::Done() : Outcome::Failed(message), {}};
    return {Outcome::Done(), picture};
}

BatchDialogResult MainWindow::RunBatchDialog(Command which, const QString& workFolder,
                                             const QString& albumFolder)
{
    if (which == Command::RenameFiles)
        return RunBatchTool<RenameDialog>(workFolder, albumFolder);
    return RunBatchTool<ConvertDialog>(workFolder, albumFolder);
}

template <typename Dialog>
BatchDialogResult MainWindow::RunBatchTool(const QString& workFolder, const QString& albumFolder)
{
    Dialog d(this, workFolder, albumFolder);
    d.exec();
    BatchDialogResult r{d.Result(), d.WorkingFolder(), d.AlbumChanged(), {}};
    if constexpr (std::is_same_v<Dialog, RenameDialog>)
        r.renamed = d.Renamed();
    return r;
}

QString MainWindow::AskSaveAsName(const QString& folder)
{
    return tamsel::AskSaveAsName(this, folder);
}

Outcome MainWindow::ExportVideo(QString& workFolder)
{
    return VideoExportDialog::Run(this, core_.state, core_.photos, core_.paths, workFolder);
}

ColourBalance MainWindow::AskBalance()
{
    ColourBalance balance;
    BalanceDialog::Ask(balance, this);
    return balance;
}

void MainWindow::PrintPhoto(const Surface& photo, const QString& file, int rotateAngle,
                            std::function<void(const Outcome&)> done)
{
    PrintInBackground(MakePrintJob(photo, file, rotateAngle), this, std::move(done));
}

QString MainWindow::AskFile(const FileQuestion& q)
{
    QFileDialog dialog(this, q.title);
    dialog.setFileMode(q.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(q.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setNameFilter(q.filter);
    if (!q.folder.isEmpty())
        dialog.setDirectory(q.folder);
    dialog.selectFile(q.fileName);
    QString path;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        path = dialog.selectedFiles().constFirst();
    // The name under the thumb follows a new folder at once.
    labAnyPhoto_->SetCaption(core_.photos.Name(core_.CurPhoto()));
    return path;
}

Command MainWindow::PopUpMenu(std::span<const MenuItem> items, int labelIndex)
{
    QMenu menu(this);
    for (const MenuItem& item : items) {
        if (!item.caption) {
            menu.addSeparator();
            continue;
        }
        menu.addAction(QString::fromUtf8(item.caption))->setData(int(item.command));
    }
    // Below the label, flush with its left edge; from the photo area, at the pointer.
    const QPoint at = labelIndex >= 0 && labelIndex < kFolderLabels
                          ? labFolder_[labelIndex]->mapToGlobal(
                                QPoint(0, labFolder_[labelIndex]->height()))
                          : QCursor::pos();
    const QAction* chosen = menu.exec(at);
    return chosen ? Command(chosen->data().toInt()) : Command::None;
}

void MainWindow::ShowSettings()
{
    if (!settings_) {   // the first use, or after its close picture unloaded it
        settings_ = new SettingsDialog(app_.EditSettings(), core_.paths, this);
        settings_->applySize = [this](int w, int h) {
            if (isMaximized())
                showNormal();
            // The resize event lays the window out and composes once.
            resize(w + kFrameWidth, h + kFrameHeight);
        };
        settings_->styleApplied = [this](int frameType) { app_.ApplyStyle(frameType); };
        settings_->holdPaint = [this](bool hold) { app_.HoldPaint(hold); };
        settings_->musicSwitched = [this](bool on) {
            app_.SwitchMusic(on);
            if (!on)
                SetMusicText(QString(), false);
        };
        settings_->coverChanged = [this] {
            if (core_.position.CoverShowing())
                app_.ShowFace();
        };
    }
    settings_->Open();
    // The font dialog's PaintHold broke the step chain: start it again.
    RequestStep();
}

void MainWindow::SetBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace tamsel
