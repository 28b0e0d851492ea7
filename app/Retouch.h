#pragma once
#include "model/Outcome.h"

namespace tamsel {

struct AlbumModel;
struct ColourBalance;
class Composer;
class TransitionEngine;

// Command codes of the "修饰" menu.
enum RetouchCode : int { kCmdBalance = 35, kCmdSharpen = 36, kCmdSoften = 37, kCmdNegative = 38 };

// Runs one retouch on DibPhoto, the photo at full size as shown, and
// composes the result as the picture on the screen, redisplayed on
// DibScreen with LabelsDirty set for the info line. The picture stays in
// memory, turned already, and the next retouch starts from it; the photo
// file is never touched. The colour balance takes BalBright, BalHue and
// BalSat from balance.
Outcome RunRetouch(AlbumModel& model, Composer& composer, TransitionEngine& engine, int code,
                   const ColourBalance& balance);

}  // namespace tamsel
