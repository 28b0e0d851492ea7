#pragma once
#include <QString>
#include <QStringList>

#include <span>

namespace tamsel {

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

// One item of a pop-up menu: choosing it leaves its code in CmdCode.
struct MenuItem {
    const char* caption;   // nullptr: a separator
    int code;
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
    // pointer, and returns when it has closed; the item chosen has left its
    // code in CmdCode.
    virtual void PopUpMenu(std::span<const MenuItem> items, int labelIndex)
    {
        (void)items, (void)labelIndex;
    }
    // The settings dialog, modal.
    virtual void ShowSettings() {}
    // Closes the main window: the program ends through its normal shutdown.
    virtual void CloseWindow() {}
    // Long work is under way (a wait cursor); false when it has ended.
    virtual void SetBusy(bool busy) { (void)busy; }
};

}  // namespace tamsel
