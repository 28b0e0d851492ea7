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
    // The photo the show goes to after the current one, in the way it is
    // going (round to the first when it loops); -1 when there is none.
    int PhotoAfterCurrent() const
    {
        const int count = photos.Count();
        const int cur = CurPhoto();
        int next = cur + (main.NavStep < 0 ? -1 : 1);
        if (next >= count && state.LoopShow)
            next = 0;
        return next < 0 || next >= count || next == cur ? -1 : next;
    }

    AppPaths paths;
    AlbumState state;
    PhotoPosition position;
    ShownFile shown;
    MainState main;
    SurfacePool dibs;
    PhotoList photos;
};

}  // namespace tamsel
