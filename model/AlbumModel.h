#pragma once
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "platform/Paths.h"

#include <QString>

namespace tamsel {

// Everything the album knows: where its files are, the album state, the
// main-window state, the seven surfaces and the photo list. The application
// object owns one and hands it to the parts that read and write it.
struct AlbumModel {
    explicit AlbumModel(AppPaths p) : paths(std::move(p)), state(AlbumState::FirstRun(paths)) {}

    // Full path of photo i: the folder with its trailing "/" and the name.
    QString PhotoPath(int i) const { return state.PhotoFolder + photos.Name(i); }

    AppPaths paths;
    AlbumState state;
    MainState main;
    SurfacePool dibs;
    PhotoList photos;
};

}  // namespace tamsel
