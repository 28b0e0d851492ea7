#pragma once
#include "model/Outcome.h"

class QImage;

namespace tamsel {

struct AlbumModel;
class Composer;
class TransitionEngine;

// "扫描照片..." after the scan dialog handed a picture back: the picture is
// written to the working file TempPic.bmp, composed and shown at once as
// the current picture (not added to the album). The working file stays as
// CurFile, so save as, print, wallpaper and retouch work on the scan until
// another photo is loaded; it is removed at exit with the other working
// files. A null picture (cancelled, failed) changes nothing.
Outcome ShowScannedPicture(AlbumModel& model, Composer& composer, TransitionEngine& engine,
                           const QImage& picture);

}  // namespace tamsel
