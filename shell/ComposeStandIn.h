#pragma once
// STAND-IN: the smallest composition the window needs to show photos until the
// composition pipeline (imaging/Composer.h) is in. It fits the photo into the
// photo area without pan, zoom, frame or caption. Delete once Composer lands.
#include <QString>

namespace tamsel {

class AlbumCore;

namespace standin {

// Loads the file into DibPhoto and prepares DibCanvas and DibNew for the
// engine. Returns the error text for the info label ("" when it loaded).
QString DIBClonePicture(AlbumCore& core, const QString& path);

// Shows the cover or the current photo at once in DibScreen.
QString SetFace(AlbumCore& core, int width, int height, bool cover);

}  // namespace standin
}  // namespace tamsel
