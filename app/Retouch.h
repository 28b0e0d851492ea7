#pragma once
#include "model/Outcome.h"

#include <QString>

namespace tamsel {

struct AlbumModel;
struct ColourBalance;
class Composer;
class TransitionEngine;

// Command codes of the "修饰" menu.
enum RetouchCode : int { kCmdBalance = 35, kCmdSharpen = 36, kCmdSoften = 37, kCmdNegative = 38 };

struct RetouchResult {
    Outcome outcome;
    // The file to compose now with DIBClonePicture; empty when there is nothing to compose.
    QString compose;
};

// Runs one retouch on DibPhoto, the photo at full size as shown, and writes
// the result to the working file TempPic.bmp with Retouched set, so that the
// composition of that file does not turn it by RotateAngle a second time.
// The colour balance takes BalBright, BalHue and BalSat from balance.
// When the working file cannot be written, the file that still holds what the
// screen shows is handed back instead, so that DibPhoto is made whole again.
RetouchResult ApplyRetouch(AlbumModel& model, int code, const ColourBalance& balance);

// The whole command: the retouch, its composition, the redisplay on
// DibScreen, and LabelsDirty for the info line.
Outcome RunRetouch(AlbumModel& model, Composer& composer, TransitionEngine& engine, int code,
                   const ColourBalance& balance);

}  // namespace tamsel
