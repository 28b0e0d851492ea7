#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace tamsel {

struct AppPaths;

inline constexpr int kMusicSlots = 65;   // MusicList(0 To 64)
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
    int CoverShowing = -1;
    int CmdCode = 0;
    int32_t CanvasWidth = 0;
    int32_t CanvasHeight = 0;
    int32_t BalBright = 0;
    int BalHue = 0;
    int BalSat = 0;
    QString FolderChoice;
    int PaintHold = 0;

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

// Variables held by the main window and shared by the show, the composition,
// the lens and the shell.
struct MainState {
    int ShowRunning = 0;
    int StopRequested = 0;
    int NewPhoto = 0;
    int ViewMode = 1;      // 1 cover or nothing, 2 still photo, 3 bringing a photo in
    int LabelsDirty = 0;
    int NavStep = 0;
    int WipeStep = 4;
    int OrigView = 0;
    QString CurFile;
    QString CurFileName;
    QString CurFileInfo;
    int Retouched = 0;
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
