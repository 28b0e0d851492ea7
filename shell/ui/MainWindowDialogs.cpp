// The main window's dialogs: the file dialog, the pop-up menus, the settings,
// and the commands whose work happens in a dialog of this window.
#include "shell/ui/MainWindow.h"

#include "album/ui/SettingsDialog.h"
#include "app/AlbumApp.h"
#include "app/ui/PrintDialog.h"
#include "app/ui/SaveAsDialog.h"
#include "imaging/ImageFormats.h"
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
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QTimer>

namespace tamsel {
namespace {

// ← and → in a menu opened from the keyboard go on to the next label's
// menu, as in a menu bar: the menu closes and says which way.
class SideKeys : public QObject {
public:
    SideKeys(QMenu* menu, int& step) : QObject(menu), menu_(menu), step_(step) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Left && key != Qt::Key_Right)
            return false;
        step_ = key == Qt::Key_Left ? -1 : 1;
        menu_->close();
        return true;
    }

private:
    QMenu* menu_;
    int& step_;
};

}  // namespace

ScannedPicture MainWindow::AcquireScan()
{
    return ScanDialog::Acquire(this);
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
    (void)folder;   // the shared dialog opens on the working folder
    return tamsel::AskSaveAsName(app_);
}

Outcome MainWindow::ExportVideo(QString& workFolder)
{
    return VideoExportDialog::Run(this, core_.state, core_.photos, core_.paths, workFolder,
                                  [this](const QString& title, const QString& filter) {
                                      return app_.AskFiles(title, filter, true).value(0);
                                  });
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
    PrintJob job = MakePrintJob(photo, file, rotateAngle);
    // With nothing to print there is nothing to choose: the worker says so.
    std::optional<PrintChoice> choice = PrintChoice{};
    if (!job.picture.isNull())
        choice = AskPrintChoice(this, job, printFit_);
    if (!choice) {
        done(Outcome::Done(QStringLiteral("  已取消打印")));
        return;
    }
    PrintInBackground(std::move(job), this, std::move(done), *choice);
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
    PhotoNameLabel()->SetCaption(core_.photos.Name(core_.CurPhoto()));
    return paths;
}

Command MainWindow::PopUpMenu(std::span<const MenuItem> items, int labelIndex)
{
    QMenu menu(this);
    for (const MenuItem& item : items) {
        if (!item.caption) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(QString::fromUtf8(item.caption));
        a->setData(int(item.command));
        a->setEnabled(item.enabled);
        if (item.shortcut) {
            // Shown beside the item, right-aligned; the window's own key
            // handling runs it, so that it works with the menu closed.
            a->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            a->setShortcutContext(Qt::WidgetShortcut);
            a->setShortcutVisibleInContextMenu(true);
        }
    }
    if (keyLabel_ >= 0 && keyLabel_ == labelIndex) {
        // Opened from the keyboard: its first usable item is chosen, and ← →
        // go on to the neighbouring labels.
        menu.installEventFilter(new SideKeys(&menu, keyStep_));
        QTimer::singleShot(0, &menu, [&menu] {
            for (QAction* a : menu.actions())
                if (!a->isSeparator() && a->isEnabled()) {
                    menu.setActiveAction(a);
                    break;
                }
        });
    }
    // Below the label, flush with its left edge; from the photo area, at the pointer.
    const QWidget* label = Element(SkinElement::MenuLabel, labelIndex);
    const QPoint at = label ? label->mapToGlobal(QPoint(0, label->height())) : QCursor::pos();
    const QAction* chosen = menu.exec(at);
    return chosen ? Command(chosen->data().toInt()) : Command::None;
}

void MainWindow::ShowSettings()
{
    if (!settings_) {   // the first use, or after its close picture unloaded it
        settings_ = new SettingsDialog(core_.state, core_.photos, core_.paths, this);
        settings_->applySettings = [this](const AlbumState& s) { app_.ApplySettings(s); };
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
        // The settings' questions go through the program's one file dialog.
        settings_->askCover = [this] { return app_.AskFiles(QString(), AlbumFileFilter(), false).value(0); };
        settings_->askTunes = [this] {
            return app_.AskFiles(QStringLiteral("选择音乐文件"), QString::fromUtf8(kTuneFilter), false, true);
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
