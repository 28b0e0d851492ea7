#pragma once
#include "app/AlbumState.h"
#include "app/PhotoList.h"
#include "app/SurfacePool.h"
#include "platform/Paths.h"

#include <QString>

namespace tamsel {

// What start-up found that the user must be told (empty when all went well).
struct StartupReport {
    bool firstRun = false;
    QString message;     // for the info label, with the beep
};

// The application's own state: the album state, the main-window state, the
// surface pool and the photo list, with the start-up and shutdown sequences.
// No window is needed, so every part can be tested headless.
class AlbumCore {
public:
    explicit AlbumCore(AppPaths paths);

    // Start-up: reads the album data file, or writes the first-run one.
    StartupReport Startup();
    // Shutdown: releases the surfaces, removes the working files and writes the
    // album data file. Safe to call more than once; only the first call acts.
    bool Shutdown();
    bool IsShutDown() const { return shutDown_; }
    // Writes the album data file now, as the desktop session asks before it
    // ends (the program may still go on if the logout is cancelled).
    bool SaveAlbumData();

    // Full path of photo i: the folder with its trailing "/" and the name.
    QString PhotoPath(int i) const { return state.PhotoFolder + photos.Name(i); }

    AppPaths paths;
    AlbumState state;
    MainState main;
    SurfacePool dibs;
    PhotoList photos;

private:
    bool shutDown_ = false;
};

inline constexpr const char* kGreeting = " 先生/女士:感谢使用澄影集,请您多提宝贵意见！";

}  // namespace tamsel
