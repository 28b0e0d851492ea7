#pragma once
#include "album/Navigator.h"
#include "app/DataFile.h"
#include "app/RetouchHistory.h"
#include "imaging/Composer.h"
#include "imaging/Prefetch.h"
#include "imaging/QuickStrip.h"
#include "model/AlbumModel.h"
#include "model/AlbumView.h"
#include "platform/ScreenAwake.h"
#include "show/Music.h"
#include "show/TransitionEngine.h"
#include "tools/Lens.h"

#include <QList>
#include <QPair>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace tamsel {

// The three pop-up menus (app/Commands.h lists their items).
enum class MenuId;

// The album without its window: it owns the album's state and the logic
// objects, wires them together, runs start-up and shutdown, and answers every
// action of the user. It speaks to the screen only through an AlbumView, so a
// test drives the whole album with a scripted view and no window.
class AlbumApp {
public:
    explicit AlbumApp(AppPaths paths);
    ~AlbumApp();
    AlbumApp(const AlbumApp&) = delete;
    AlbumApp& operator=(const AlbumApp&) = delete;

    // The view that shows the album from now on (nullptr: nothing shows it).
    void Attach(AlbumView* view);
    // changed is called whenever the photo shown, the show's state or what
    // the buttons can do may have changed (for the desktop's media controls).
    void WatchShown(std::function<void()> changed);

    // What the album knows, for reading. Everything that changes it goes
    // through the operations below.
    const AlbumModel& Model() const { return model_; }
    // The album settings as the settings dialog left them: it changes a copy
    // of them, which the album adopts whole.
    void ApplySettings(const AlbumState& settings);
    // Where the file dialogs and the batch tools open: the album folder at
    // first, then the folder of the last file chosen in any of them.
    const QString& WorkFolder() const { return workFolder_; }

    // Start-up: reads the album data file, or writes the first-run one.
    StartupReport Startup();
    // After the window has opened on the cover: tells what start-up found
    // and plays the music list of an album read back from an earlier run.
    void Begin(const StartupReport& report);
    // Shutdown: stops the music, releases the surfaces, removes the working
    // files and writes the album data file. Only the first call acts.
    Outcome Shutdown();
    bool IsShutDown() const { return shutDown_; }
    // Writes the album data file now, as the desktop session asks before it
    // ends (the program may still go on if the logout is cancelled).
    Outcome SaveAlbumData();
    // While the photo area fills the screen, the album data file keeps the
    // window's photo-area size; an empty size: the area is the window's again.
    void KeepWindowArea(QSize size);
    // Device pixels per layout pixel of the screen the window is on: the
    // photo area is composed at that many times its layout size.
    void SetPixelRatio(double ratio);
    // The window was laid out: its client size and the photo area's.
    void LaidOut(int showW, int showH, double showAspect);

    // ---- what the user does -------------------------------------------
    // Menu-bar label index 0..4: "照片", "修饰", "设置", "输出", "退出".
    void LabelClicked(int index);
    // A right-button release on the photo area: the output menu.
    void PhotoAreaRightClick();
    // The mouse moved to (x, y) of the photo area: the magnifier follows it.
    void PhotoAreaMouseMove(double x, double y);
    // Runs the command and shows what came of it.
    void DoCommand(Command command);
    // Bar button index (Navigator::Button); the photo area is told.
    void BtnClick(int index);
    // A folder opened from outside: as if its first photo had been chosen.
    void OpenFolder(const QString& folder);
    // What the command line or the file manager hands over: a folder (its
    // first photo), a photo of the album's kinds (its folder, at that photo)
    // or a show script.
    void OpenPath(const QString& path);
    // A show script replaces the album, which opens on its cover. The
    // outcome is for the caller to show.
    Outcome OpenScript(const QString& path);
    // The position thumb dragged over photo i, and released.
    void ThumbOver(int i);
    void ThumbReleased();
    // Remakes the display surfaces at the photo area's size and shows the
    // cover or the current photo at once.
    void ShowFace();
    // An outcome's message in the info label; a failure comes with the beep.
    void Report(const Outcome& o);
    // A batch tool or a save changed the files of the album folder: the photo
    // list is read again, and the current photo and file follow their photo
    // (under its new name when renamed). Renamed photos keep their captions
    // by position; converted ones start without.
    void FilesChanged(bool keepCaptions, const QList<QPair<QString, QString>>& renamed = {});

    // The one file dialog for the window's own questions ("照片另存", "选择封面",
    // "选择乐曲"): title, filter and kind replace the dialog's, the name is
    // cleared; it opens on the working folder, and the folder of a chosen
    // file becomes the working folder.
    QStringList AskFiles(const QString& title, const QString& filter, bool save, bool multiple = false);

    // ---- the commands of the menus (the command table runs them) ---------
    Outcome ChooseFolderCommand();
    Outcome OpenScriptCommand();
    Outcome ScanCommand();
    Outcome RenameCommand();
    Outcome ConvertCommand();
    Outcome SaveScriptCommand();
    Outcome SavePhotoAsCommand();
    Outcome WallpaperCommand();
    Outcome PrintCommand();
    Outcome ExportVideoCommand();
    Outcome BalanceCommand();
    Outcome SharpenCommand();
    Outcome SoftenCommand();
    Outcome NegativeCommand();
    // Puts back the picture as it was before the last retouch of the photo
    // on the screen; nothing when it has none.
    Outcome UndoRetouchCommand();
    // Whether the photo on the screen has a retouch to take back.
    bool CanUndoRetouch() const { return retouches_.CanTakeBack(model_.shown.Serial()); }

    // ---- the photo area's step chain ------------------------------------
    TransitionEngine::StepResult Step();
    TransitionEngine::StepResult FinishSplitFrame() { return engine_.FinishSplitFrame(); }
    bool Moving() const { return engine_.Moving(); }
    // What the photo area shows, and the lens laid over it when there is one.
    const Surface& Screen() const { return engine_.DibScreen(); }
    const LensOverlay* Lens() const { return lens_.Over(engine_.Frame()) ? &lens_ : nullptr; }
    // A menu or dialog opened over the photo area: true once, and the chain rests.
    bool TakePaintHold();
    // A dialog of the window opens over the photo area (true) or has closed.
    void HoldPaint(bool hold) { model_.main.HoldPaint(hold); }

    // The native id of the window a running show keeps the screen on for,
    // where the desktop offers no screen saver service.
    void SetShowWindow(std::function<quint64()> id) { awake_.windowId = std::move(id); }

    // ---- the quick-effect strip -----------------------------------------
    void StripHover(int k) { strip_.Hover(k); }
    void StripClick(int k);
    void StripLeaveAll() { strip_.LeaveAll(); }
    const QuickStrip& Strip() const { return strip_; }
    // The settings dialog applied a presentation style.
    void ApplyStyle(int frameType);

    // ---- music ----------------------------------------------------------
    // The player the music plays on (the window's sound output; tests give
    // their own). Without one the music list is kept but nothing plays.
    void SetPlayer(std::unique_ptr<AudioPlayer> player);
    // Starts the music tick (every 2 s) that plays the music list.
    void StartMusic();
    bool MusicStarted() const { return musicTimer_.isActive(); }
    // One music tick.
    void MusicTick();
    // "同步播放" switched: off stops the tune at once; on lets the music
    // tick start the list again.
    void SwitchMusic(bool on);

private:
    friend struct TestAccess;   // the tests' way to the logic objects

    Outcome Retouch(Command command, const ColourBalance& balance = {});
    // The settings a start-up or a show script brought: its music list
    // plays from the start.
    void AdoptAlbum(AlbumState settings);
    void AdoptStrip(const StripSettings& s);
    void AdoptMusic(const MusicPlace& place);
    // After a folder choice: a new folder starts without captions.
    void AdoptFolderChoice(FolderChange change);
    // The captions have room for every photo listed, and one spare.
    void FitCaptions();
    void PopUp(MenuId menu, int labelIndex);
    // After a photo was composed: decode the one after it (in the direction
    // of the last step) ahead of time.
    void PrefetchNext();
    // While the cover shows (or a photo is about to come in): decode the
    // photo the next advance brings, so the first click shows it at once.
    void PrefetchCurrent();
    // Shows the file dialog; the folder of a chosen file becomes the working folder.
    QString AskFile(const QString& folder);
    QStringList AskFileList(const QString& folder, bool multiple);
    QString AskScriptName(bool save);
    void SetWorkFolder(const QString& folder);
    // Every road that opens an album folder goes through here first: a batch
    // rename the program did not live to finish is settled, and the folder
    // becomes the working folder. The note is for the info line.
    Outcome SettleFolder(const QString& folder);
    // The screen stays on exactly while a show runs.
    void KeepScreenOn() { awake_.Hold(model_.main.ShowRunning() && !shutDown_); }

    // Forwards to the attached view; the logic objects hold this one, so
    // the window can come and go after they exist.
    struct Relay;
    std::unique_ptr<Relay> relay_;
    AlbumView& view();

    AlbumModel model_;
    // The photo most likely shown next, decoded ahead on a thread of its own.
    // Declared before the prefetch, so it goes after it: the shutdown stops
    // every decode so that the prefetch is not waited for, and once it has
    // gone, decodes may run again for whatever the process does next.
    struct DecodesResume {
        ~DecodesResume() { StopDecodes(false); }
    } decodesResume_;
    PhotoPrefetch prefetch_;
    // The one file dialog of the program, as its last use left it.
    FileQuestion fileDialog_;
    QString workFolder_;
    Navigator nav_;
    Composer composer_;
    QuickStrip strip_;
    TransitionEngine engine_;
    LensOverlay lens_;
    std::unique_ptr<AudioPlayer> player_;
    QTimer musicTimer_;
    // The thumb's photo is decoded once the thumb rests, not for every
    // photo it passes over.
    QTimer thumbRest_;
    bool shutDown_ = false;
    QSize windowArea_;
    ScreenAwake awake_;
    RetouchHistory retouches_;
    // The menus as last popped up, with what is greyed out now; the view
    // reads them while they are open.
    std::vector<MenuItem> menuShown_[3];
};

}  // namespace tamsel
