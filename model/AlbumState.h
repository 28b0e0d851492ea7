#pragma once
#include <QString>
#include <QStringList>

#include "model/Composition.h"

#include <array>
#include <cstdint>

namespace tamsel {

struct AppPaths;

inline constexpr int kMusicSlots = 65;   // 64 tunes and the empty entry that ends the list
inline constexpr int kMaxTunes = 64;

// TransMode and TransEffect: a photo is put on the screen in one step.
inline constexpr int kNoTransition = 255;
// MusicTrack: the music list has been played to its end.
inline constexpr int kNoTune = 255;

// The album settings: everything a show script saves but the folder and the
// photo count (the photo list knows those), and the music list's place. Names
// are the album's own; integers are held as int, with the narrower ranges
// enforced where values come in (the show script reader, the dialogs).
// The application object owns them and is the one that changes them: the
// settings dialog, the quick-effect strip, the music tick and the show script
// reader hand it the values they arrive at. TransMode in particular is the
// user's choice and no composition writes it.
struct AlbumState {
    int ShowWidth = 480;
    int32_t ShowHeight = 336;
    int32_t ShowBackColor = 0;
    int LoopShow = 0;
    int RotateAngle = 0;
    int FrameType = 0;
    QString CapFontName = QStringLiteral("楷体_GB2312");
    int CapFontSize = 22;
    int32_t CapFontColor = 0xFFFFFF;
    int CapPos = 7;
    QStringList PhotoCaption;     // indexed like the photo list; may be longer
    int PauseSecs = 3;
    int FrameDelayMs = 3;
    int TransMode = 0;
    int MusicOn = 1;
    int MusicLoop = 0;
    int MusicTrack = 0;
    std::array<QString, kMusicSlots> MusicList;
    QString CoverFile;

    // The values of the very first run, with the installation's tune and cover.
    static AlbumState FirstRun(const AppPaths& paths);

    // Caption of photo i, "" when none is stored.
    QString CaptionOf(int i) const
    {
        return (i >= 0 && i < PhotoCaption.size()) ? PhotoCaption.at(i) : QString();
    }
    // Number of tunes: entries before the first empty one.
    int MusicCount() const;
};

// The photo the album stands on. The navigator is its one writer: every
// road that moves it (the buttons, the show, the thumb, a new folder or
// script, files renamed under it) goes through a named operation there.
class PhotoPosition {
public:
    int CurPhoto() const { return curPhoto_; }
    // The cover, not photo CurPhoto, is on the screen: the next advance
    // shows CurPhoto without moving it.
    bool CoverShowing() const { return coverShowing_; }

private:
    friend class Navigator;
    friend struct TestAccess;   // tests set up a position directly
    int curPhoto_ = 0;
    bool coverShowing_ = true;
};

// The file behind the picture on the screen, as the composition found it.
// The composer is its one writer.
class ShownFile {
public:
    // The file the pixels were read from: the photo itself. Empty while the
    // picture is in memory only.
    const QString& CurFile() const { return curFile_; }
    // No file holds the picture on the screen: a retouch or a scan, kept in
    // DibPhoto alone until another photo comes. Save as, the wallpaper and
    // printing then take DibPhoto.
    bool InMemory() const { return inMemory_; }
    // How far DibPhoto is turned from that picture as it goes out (0, 90 or
    // 270): a scan is shown turned by RotateAngle like any photo, but goes
    // out as it was scanned, as a photo's file does; a retouch goes out as
    // it is shown.
    int ShownTurn() const { return shownTurn_; }
    // The photo's own name and file information, for the info line: a
    // retouch result still names the photo it was made of.
    const QString& CurFileName() const { return curFileName_; }
    const QString& CurFileInfo() const { return curFileInfo_; }
    // The last composition could not load its photo: the info line keeps
    // saying so instead of naming this photo beside the previous picture.
    bool LoadFailed() const { return loadFailed_; }
    // Changes with every picture composed (a photo, the cover, a scan, a
    // retouch): whoever keeps something about the picture on the screen
    // knows by it whether that picture is still the one.
    unsigned Serial() const { return serial_; }

private:
    friend class Composer;
    friend struct TestAccess;   // tests set up a shown file directly
    QString curFile_;
    QString curFileName_;
    QString curFileInfo_;
    bool inMemory_ = false;
    int shownTurn_ = 0;
    bool loadFailed_ = false;
    unsigned serial_ = 0;
};

// The colour balance dialog's answer: brightness, hue and saturation.
struct ColourBalance {
    int32_t BalBright = 0;
    int BalHue = 0;
    int BalSat = 100;
};

// What the photo area shows: the cover (or nothing), a still photo, or a
// photo being brought in by a transition.
enum class View { Cover = 1, Still = 2, BringingIn = 3 };

// What the window, the application object and the engine share by design:
// the signals the step chain acts on and a few facts each of them reads.
// What a composition made travels as a Composition value instead.
class MainState {
public:
    // The signals between the application object and the engine: set by
    // whoever asks, taken by the step that acts on them.
    View ViewMode() const { return viewMode_; }
    bool ShowRunning() const { return showRunning_; }
    bool StopRequested() const { return stopRequested_; }
    bool NewPhoto() const { return newPhoto_; }
    bool LabelsDirty() const { return labelsDirty_; }
    // A menu or dialog opens over the photo area: the step chain rests once.
    bool PaintHold() const { return paintHold_; }

    void SetView(View v) { viewMode_ = v; }
    void StartShow() { showRunning_ = true; }
    void EndShow() { showRunning_ = false; }
    // A stop asked for ends the show at the next step, which takes it.
    void RequestStop() { stopRequested_ = true; }
    void TakeStop()
    {
        showRunning_ = false;
        stopRequested_ = false;
    }
    // The next step brings in the current photo; the load step takes it
    // (and the pan reuses it for "no move yet").
    void RequestPhoto() { newPhoto_ = true; }
    void PhotoTaken() { newPhoto_ = false; }
    // The info line is out of date; it is redrawn once the photo is still.
    void MarkLabelsDirty() { labelsDirty_ = true; }
    void LabelsShown() { labelsDirty_ = false; }
    void HoldPaint(bool hold) { paintHold_ = hold; }

    // The direction of the last step through the album (-1 back, else
    // forward), for the photo decoded ahead. Written by the navigator.
    int NavStep = 0;
    // How many pixels a wipe moves each frame, in layout pixels. Fixed at
    // the start; nobody writes it.
    int WipeStep = 4;
    // "原相查看" is down: the lens may show the photo's own pixels. Written
    // by the quick-effect strip.
    bool OrigView = false;

    // The photo area's width over its height as laid out; the shape
    // transitions follow it. Written by the application object from the layout.
    double ShowAspect = 480.0 / 336.0;
    // Device pixels per layout pixel on the window's screen. The layout and
    // the album's settings stay in layout pixels; the photo area is composed
    // and drawn at this many times their size each way, so a high-density
    // screen shows the photo at its own resolution. Written by the
    // application object.
    double PixelRatio = 1;

private:
    bool showRunning_ = false;
    bool stopRequested_ = false;
    bool newPhoto_ = false;
    View viewMode_ = View::Cover;
    bool labelsDirty_ = false;
    bool paintHold_ = false;
};

// A length of the layout in device pixels (unchanged at a ratio of 1).
int ToDevice(const MainState& m, double layoutLength);
// The photo area in device pixels: the size of the display surfaces.
int DeviceShowWidth(const AlbumState& s, const MainState& m);
int DeviceShowHeight(const AlbumState& s, const MainState& m);

}  // namespace tamsel
