#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace tamsel {

struct AppPaths;

inline constexpr int kMusicSlots = 65;   // MusicList[0..64]
inline constexpr int kMaxTunes = 64;     // the list always keeps one empty slot

// The program-wide variables through which the parts of the album talk to each
// other. Names are the album's own; integers are held as int, with the narrower
// ranges enforced where values come in (the show script reader, the dialogs).
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
    QString PhotoFolder;          // with its trailing "/", or empty
    int PhotoCount = 0;
    QStringList PhotoCaption;     // indexed like the photo list; may be longer
    int PauseSecs = 3;
    int FrameDelayMs = 3;
    int TransMode = 0;
    int MusicOn = 1;
    int MusicLoop = 0;
    int MusicTrack = 0;
    std::array<QString, kMusicSlots> MusicList;
    QString CoverFile;
    int CurPhoto = 0;
    bool CoverShowing = true;     // the cover, not photo CurPhoto, is on the screen
    int CmdCode = 0;
    int32_t CanvasWidth = 0;
    int32_t CanvasHeight = 0;
    int32_t BalBright = 0;
    int BalHue = 0;
    int BalSat = 0;
    QString FolderChoice;
    bool PaintHold = false;       // a menu or dialog opens over the photo area

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

// The show's own advance after a photo's pause: the next photo, or the first
// again in a looping show. False when the show has passed its last photo.
bool AdvanceShow(AlbumState& s);

// What the photo area shows: the cover (or nothing), a still photo, or a
// photo being brought in by a transition.
enum class View { Cover = 1, Still = 2, BringingIn = 3 };

// Variables held by the main window and shared by the show, the composition,
// the lens and the shell.
struct MainState {
    bool ShowRunning = false;
    bool StopRequested = false;
    bool NewPhoto = false;
    View ViewMode = View::Cover;
    bool LabelsDirty = false;
    int NavStep = 0;
    int WipeStep = 4;
    bool OrigView = false;
    QString CurFile;
    QString CurFileName;
    QString CurFileInfo;
    bool Retouched = false;
    // Where the file dialogs open: the album folder at first, then the folder
    // of the last file chosen in any of them. The batch tools work here.
    QString WorkFolder;
    // The last composition could not load its photo: the info line keeps
    // saying so instead of naming this photo beside the previous picture.
    bool LoadFailed = false;
    double ViewX = 0, ViewY = 0, ViewW = 0, ViewH = 0;

    // Results of the composition shared with the engine and the lens.
    int PanMode = 0;
    int PanAltH = 0;
    int PanAltV = 0;
    bool PanDone = false;
    double ZoomX = 1, ZoomY = 1;
    double PhotoAspect = 1, CanvasAspect = 1;
    double PlaceX = 0, PlaceY = 0, PlaceW = 0, PlaceH = 0;

    // Results of the layout.
    int ClientW = 0, ClientH = 0;
    double ShowAspect = 480.0 / 336.0;
};

}  // namespace tamsel
