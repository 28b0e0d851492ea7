#pragma once
#include "model/Outcome.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

namespace tamsel {

class Surface;
struct ColourBalance;

// Every command the menus reach. The numbers are the commands' codes, kept
// as the album has always numbered them; None is a menu closed without a choice.
enum class Command {
    None = 0,
    ChooseFolder = 1,
    OpenScript = 2,
    Scan = 4,
    RenameFiles = 5,
    ConvertFiles = 6,
    SaveScript = 11,
    SavePhotoAs = 12,
    SetWallpaper = 13,
    PrintPhoto = 14,
    ExportVideo = 15,
    Balance = 35,
    Sharpen = 36,
    Soften = 37,
    Negative = 38,
    UndoRetouch = 39,
};

// What a batch dialog did to the folders it worked on.
struct BatchDialogResult {
    Outcome outcome;
    QString workFolder;          // the folder the dialog ended on
    bool albumChanged = false;   // files of the album folder were renamed, added or removed
    // The album folder's photos that were given new names: old full path, new full path.
    QList<QPair<QString, QString>> renamed;
};

// A picture from the scanner, or why there is none (an empty outcome
// message: the user cancelled).
struct ScannedPicture {
    Outcome outcome;
    QImage picture;
};

// The program's one file dialog, as the next use will show it. A command
// sets what it needs; what it leaves alone (the title above all) stays as
// the previous use left it.
struct FileQuestion {
    QString title;
    QString filter;     // "label (*.a *.b)"
    QString fileName;   // the name offered in the name field
    QString folder;     // where the dialog opens
    bool save = false;  // a save dialog rather than an open dialog
    bool multiple = false;  // several files may be chosen at once
};

// One item of a pop-up menu.
struct MenuItem {
    const char* caption;   // nullptr: a separator
    Command command;
    // The key that runs it from the window ("Ctrl+O"), shown beside it; nullptr: none.
    const char* shortcut = nullptr;
    // Greyed out: nothing for it to do now.
    bool enabled = true;
};

// Everything the album shows and asks of whatever shows it: the main window,
// or a scripted view in the tests. The logic calls these; it never reaches
// for a widget. Every call has a quiet default, so a view implements only
// what it shows.
class AlbumView {
public:
    virtual ~AlbumView() = default;

    // The info label, with the beep if asked.
    virtual void ShowInfo(const QString& text, bool beep) { (void)text, (void)beep; }
    // The tune label, with the beep if asked.
    virtual void SetMusicText(const QString& text, bool beep) { (void)text, (void)beep; }
    // A photo has arrived: the position thumb, the info text and the position follow it.
    virtual void RefreshInfoLine() {}

    // Enables or disables what must not be used while a slide show runs.
    virtual void SetBtnState(bool enabled) { (void)enabled; }
    // running: the stop button stands in place of the play button.
    virtual void ShowStopButton(bool running) { (void)running; }
    // Enables "修饰", "设置" and "输出" once the album has a folder.
    virtual void EnableAlbumLabels() {}
    // The quick-effect buttons changed their looks.
    virtual void ShowStripLooks() {}

    // The photo area's size may have changed (a show script was opened): the
    // window lays itself out again from its size.
    virtual void Relayout() {}
    // The shared flags or the surfaces changed: the photo area runs its next
    // step soon (a resting or broken step chain starts again).
    virtual void RequestStep() {}

    // A file name from the file dialog; "" when the user cancelled.
    virtual QString AskFile(const FileQuestion& q) { (void)q; return {}; }
    // The same dialog where several files may be chosen (q.multiple).
    virtual QStringList AskFiles(const FileQuestion& q)
    {
        const QString path = AskFile(q);
        return path.isEmpty() ? QStringList() : QStringList{path};
    }
    // Pops a menu up, below menu-bar label labelIndex or, for -1, at the
    // pointer, and returns the command chosen when it has closed.
    virtual Command PopUpMenu(std::span<const MenuItem> items, int labelIndex)
    {
        (void)items, (void)labelIndex;
        return Command::None;
    }
    // The settings dialog, modal.
    virtual void ShowSettings() {}
    // Closes the main window: the program ends through its normal shutdown.
    virtual void CloseWindow() {}
    // Long work is under way (a wait cursor); false when it has ended.
    virtual void SetBusy(bool busy) { (void)busy; }

    // ---- the dialogs of the commands that need a window ----------------
    // Whether this view has the dialogs below; without them those commands
    // say they need the window.
    virtual bool HasDialogs() const { return false; }
    // "扫描照片...": the device and the scan.
    virtual ScannedPicture AcquireScan() { return {}; }
    // "批量改名..." (rename) or "批量转换...", modal, starting on workFolder.
    virtual BatchDialogResult RunBatchDialog(Command which, const QString& workFolder,
                                             const QString& albumFolder)
    {
        (void)which, (void)albumFolder;
        return {Outcome::Done(), workFolder, false, {}};
    }
    // "照片另存...": the name to save under, "" when cancelled.
    virtual QString AskSaveAsName(const QString& folder) { (void)folder; return {}; }
    // "平衡...": the balance chosen; neutral when cancelled.
    virtual ColourBalance AskBalance();
    // "导出视频...": the export dialog, modal, with its progress; its outcome.
    // The folder of the file chosen comes back in workFolder.
    virtual Outcome ExportVideo(QString& workFolder)
    {
        (void)workFolder;
        return Outcome::Done();
    }
    // "打印照片...": prints away from the window's thread; done is called
    // with the outcome on the window's thread.
    virtual void PrintPhoto(const Surface& photo, const QString& file, int rotateAngle,
                            std::function<void(const Outcome&)> done)
    {
        (void)photo, (void)file, (void)rotateAngle;
        done(Outcome::Done());
    }
};

// An outcome as a view shows it: its message on the info line, a failure
// with the beep. For the logic objects that report to their owner.
inline std::function<void(const Outcome&)> ReportTo(AlbumView& view)
{
    return [&view](const Outcome& o) {
        if (o.HasMessage())
            view.ShowInfo(o.message, !o.ok);
    };
}

}  // namespace tamsel
