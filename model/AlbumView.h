#pragma once
#include <QString>

namespace tamsel {

// A question for a file name, asked through the view.
struct FileQuestion {
    QString title;
    QString filter;   // "label (*.a *.b)"
    QString folder;   // where the dialog opens; "" = wherever it was last
};

// Everything the album shows and asks of whatever shows it: the main window,
// or a scripted view in the tests. The logic calls these; it never reaches
// for a widget. Every call has a quiet default, so a view implements only
// what it shows.
class AlbumView {
public:
    virtual ~AlbumView() = default;

    // The info label LabInfo, with the beep if asked.
    virtual void ShowInfo(const QString& text, bool beep) { (void)text, (void)beep; }
    // The tune label LabMusic, with the beep if asked.
    virtual void SetMusicText(const QString& text, bool beep) { (void)text, (void)beep; }
    // A photo has arrived: the position thumb, LabInfo and Lab1ofsum follow it.
    virtual void RefreshInfoLine() {}

    // Enables or disables what must not be used while a slide show runs.
    virtual void SetBtnState(bool enabled) { (void)enabled; }
    // running: the stop button Btn(6) stands in place of the play button Btn(0).
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

    // An existing file to open; "" when the user cancelled.
    virtual QString AskOpenFile(const FileQuestion& q) { (void)q; return {}; }
    // Long work is under way (a wait cursor); false when it has ended.
    virtual void SetBusy(bool busy) { (void)busy; }
};

}  // namespace tamsel
