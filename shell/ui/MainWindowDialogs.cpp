// The main window's dialogs: the file dialog, the pop-up menus, the settings,
// and the commands whose work happens in a dialog of this window.
#include "shell/ui/MainWindow.h"

#include "album/ui/SettingsDialog.h"
#include "app/AlbumApp.h"
#include "app/PhotoOutput.h"
#include "app/Retouch.h"
#include "app/ScanCommand.h"
#include "app/ui/PrintPhoto.h"
#include "app/ui/SaveAsDialog.h"
#include "model/PhotoList.h"
#include "shell/ui/SkinWidgets.h"
#include "tools/ui/BalanceDialog.h"
#include "tools/ui/ConvertDialog.h"
#include "tools/ui/RenameDialog.h"
#include "tools/ui/ScanDialog.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace tamsel {

void MainWindow::RegisterCommands()
{
    // The commands that open a dialog of this window.
    app_.commands.Set(4, [this] {
        core_.state.PaintHold = true;
        QString message;
        const QImage picture = ScanDialog::Acquire(this, &message);
        if (picture.isNull())
            return message.isEmpty() ? Outcome::Done() : Outcome::Failed(message);
        return ShowScannedPicture(core_, app_.composer, picture);
    });
    app_.commands.Set(5, [this] { return RunBatchTool<RenameDialog>(); });
    app_.commands.Set(6, [this] { return RunBatchTool<ConvertDialog>(); });
    app_.commands.Set(12, [this] {
        core_.state.PaintHold = true;
        const QString name = AskSaveAsName(app_);
        if (name.isEmpty())
            return Outcome::Done();
        return SaveAs(core_, name);
    });
    app_.commands.Set(14, [this] {
        // The page is drawn away from the window's thread; its outcome comes back here.
        app_.composer.EnsureFullPhoto();
        PrintInBackground(MakePrintJob(core_.dibs.DibPhoto, core_.main.CurFile,
                                       core_.state.RotateAngle),
                          this, [this](const Outcome& o) { app_.Report(o); });
        return Outcome::Done();
    });
    app_.commands.Set(35, [this] {
        // 取消 leaves the balance neutral, and the photo is rewritten all the same.
        core_.state.PaintHold = true;
        BalanceDialog::Ask(core_.state, this);
        app_.composer.EnsureFullPhoto();
        return RunRetouch(core_, app_.composer, 35);
    });
}

template <typename Dialog>
Outcome MainWindow::RunBatchTool()
{
    core_.state.PaintHold = true;
    Dialog d(this, core_.main.WorkFolder, core_.state.PhotoFolder);
    d.exec();
    core_.main.WorkFolder = d.WorkingFolder();
    if constexpr (std::is_same_v<Dialog, ConvertDialog>)
        core_.state.FolderChoice = d.FolderChoice();
    if (d.AlbumChanged())
        app_.AlbumFilesChanged(std::is_same_v<Dialog, RenameDialog>);
    return d.Result();
}

QString MainWindow::AskFile(const FileQuestion& q) { return AskFiles(q).value(0); }

QStringList MainWindow::AskFiles(const FileQuestion& q)
{
    QFileDialog dialog(this, q.title);
    dialog.setFileMode(q.save       ? QFileDialog::AnyFile
                       : q.multiple ? QFileDialog::ExistingFiles
                                    : QFileDialog::ExistingFile);
    dialog.setAcceptMode(q.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Saving: Qt's own dialog on every desktop, with every filter as given
    // and no extension quietly added by a platform dialog.
    if (q.save)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(q.filter);   // ";;" separates several filters
    if (!q.folder.isEmpty())
        dialog.setDirectory(q.folder);
    dialog.selectFile(q.fileName);
    QStringList paths;
    if (dialog.exec() == QDialog::Accepted)
        paths = dialog.selectedFiles();
    // The name under the thumb follows a new folder at once.
    photoNameLabel_->SetCaption(core_.photos.Name(core_.state.CurPhoto));
    return paths;
}

void MainWindow::PopUpMenu(std::span<const MenuItem> items, int labelIndex)
{
    QMenu menu(this);
    for (const MenuItem& item : items) {
        if (!item.caption) {
            menu.addSeparator();
            continue;
        }
        const int code = item.code;
        menu.addAction(QString::fromUtf8(item.caption),
                       [this, code] { core_.state.CmdCode = code; });
    }
    // Below the label, flush with its left edge; from the photo area, at the pointer.
    const QPoint at = labelIndex >= 0 && labelIndex < kMenuLabels
                          ? menuLabels_[labelIndex]->mapToGlobal(
                                QPoint(0, menuLabels_[labelIndex]->height()))
                          : QCursor::pos();
    menu.exec(at);
}

void MainWindow::ShowSettings()
{
    if (!settings_) {   // the first use, or after its close picture deleted it
        settings_ = new SettingsDialog(core_.state, core_.paths, this);
        settings_->applySize = [this](int w, int h) {
            if (isMaximized())
                showNormal();
            // The resize event lays the window out and composes once.
            resize(w + kFrameWidth, h + kFrameHeight);
        };
        settings_->styleApplied = [this](int frameType) {
            app_.strip.Click(QuickStrip::kColour + frameType);
        };
        settings_->musicSwitched = [this](bool on) {
            app_.SwitchMusic(on);
            if (!on)
                SetMusicText(QString(), false);
        };
        // The settings' questions go through the program's one file dialog.
        settings_->askCover = [this] { return app_.AskFiles(QString(), AlbumFileFilter(), false).value(0); };
        settings_->askTunes = [this] {
            return app_.AskFiles(QStringLiteral("选择音乐文件"), QString::fromUtf8(kTuneFilter), false, true);
        };
        settings_->coverChanged = [this] {
            if (core_.state.CoverShowing)
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
