#pragma once
#include "model/Outcome.h"

#include <QString>

namespace tamsel {

struct AlbumModel;
struct DesktopInfo;

// "照片另存...": takes the picture on the screen, so a retouched photo is
// saved retouched (a photo as it is is read from its file again), and
// writes it to target in the format its name asks for; the file appears
// whole or not at all. A name with another ending, a current file that
// cannot be read and a failed write each leave nothing written and say so.
// The caller reads the album's list again when the file went into the album
// folder. An empty target (the dialog was cancelled) does nothing.
Outcome SaveAs(AlbumModel& model, const QString& target);

// "作为桌面": copies the photo's file byte for byte to the wallpaper copy
// (a photo the image file library reads is written there as a BMP, and so
// is a retouch or a scan) and makes that the background of the running desktop.
Outcome SetWallpaper(AlbumModel& model);
Outcome SetWallpaper(AlbumModel& model, const DesktopInfo& desktop);

}  // namespace tamsel
