#pragma once
#include "model/Outcome.h"

class QImage;

namespace tamsel {

struct AlbumModel;
class Composer;
class TransitionEngine;

// "扫描照片..." after the scan dialog handed a picture back: the picture is
// composed and shown at once as the current picture (not added to the
// album), turned by RotateAngle like any photo. It stays in memory only, so
// save as, print, wallpaper and retouch work on the scan until another
// photo is loaded; no file is written. A null picture (cancelled, failed)
// changes nothing.
Outcome ShowScannedPicture(AlbumModel& model, Composer& composer, TransitionEngine& engine,
                           const QImage& picture);

}  // namespace tamsel
