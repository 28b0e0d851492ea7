#pragma once
#include "model/AlbumModel.h"
#include "model/Outcome.h"

namespace tamsel {

// What start-up found that the user must be told (empty when all went well).
struct StartupReport {
    bool firstRun = false;
    QString message;     // for the info label, with the beep
};

// The album data file: read at start, written at the first run and at exit.
// A damaged file is kept aside as tamsel.tmf.bak and the defaults are used.
StartupReport LoadAlbumData(AlbumModel& m);
Outcome SaveAlbumData(const AlbumModel& m);

// After a show script replaced the album state: every album opens on its
// cover, at its first photo, with its music list from the start.
void RestartAlbum(AlbumState& s);

inline constexpr const char* kGreeting = " 先生/女士:感谢使用澄影集,请您多提宝贵意见！";

}  // namespace tamsel
