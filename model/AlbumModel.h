#pragma once
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "platform/Paths.h"

#include <QString>

namespace tamsel {

// Everything the album knows: where its files are, the album settings, the
// photo position, the file on the screen, the show's state, the seven
// surfaces and the photo list. The application object owns one; each part
// gets what it writes by reference and reads the rest through const access.
// The photo list lists the files with the given extensions (the album's
// formats, which the image floor's table names), or those of otherwise in a
// folder without any of them (see PhotoList).
struct AlbumModel {
    AlbumModel(AppPaths p, QStringList photoExtensions, QStringList otherwise = {})
        : paths(std::move(p)),
          state(AlbumState::FirstRun(paths)),
          photos(std::move(photoExtensions), std::move(otherwise))
    {
    }

    // Full path of photo i: the album folder and the name.
    QString PhotoPath(int i) const { return photos.Path(i); }
    int CurPhoto() const { return position.CurPhoto(); }
    // The caption of the current photo, "" when none.
    QString CurCaption() const { return state.CaptionOf(position.CurPhoto()); }

    AppPaths paths;
    AlbumState state;
    PhotoPosition position;
    ShownFile shown;
    MainState main;
    SurfacePool dibs;
    PhotoList photos;
};

}  // namespace tamsel
