#pragma once
#include "app/DataFile.h"
#include "model/AlbumModel.h"

namespace tamsel {

// The application without its window: it owns the album and runs start-up
// and shutdown.
class AlbumApp {
public:
    explicit AlbumApp(AppPaths paths) : model(std::move(paths)) {}

    // Start-up: reads the album data file, or writes the first-run one.
    StartupReport Startup();
    // Shutdown: releases the surfaces, removes the working files and writes the
    // album data file. Safe to call more than once; only the first call acts.
    Outcome Shutdown();
    bool IsShutDown() const { return shutDown_; }
    // Writes the album data file now, as the desktop session asks before it
    // ends (the program may still go on if the logout is cancelled).
    Outcome SaveAlbumData() { return tamsel::SaveAlbumData(model); }

    AlbumModel model;

private:
    bool shutDown_ = false;
};

}  // namespace tamsel
