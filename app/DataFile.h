#pragma once
#include "model/AlbumModel.h"
#include "model/Outcome.h"

#include <QSize>

namespace tamsel {

// What start-up found that the user must be told (empty when all went well).
struct StartupReport {
    bool firstRun = false;
    QString message;     // a failure, for the info label, with the beep
    QString note;        // what the user should know of the album's folder, without it
};

// The size of the primary screen's work area, or an empty size when there is
// no screen (a run without a display).
QSize AvailableScreenSize();

// A photo-area size taken from a file, made one the window can show: at least
// the settings dialog's smallest, 400 x 288, and with the window's frame
// (18 x 122) no larger than the screen's work area. With no screen known, the
// settings dialog's largest, 782 x 478, is the bound. Files are hand-edited and
// damaged; a size the window cannot take would otherwise come back at every
// start, since the window's size is what the next exit saves.
QSize ClampShowSize(QSize wanted, QSize screen);

// The album data file as start-up found it: what the user must be told and
// the settings the album starts with.
struct AlbumData {
    StartupReport report;
    AlbumState state;
};

// The album data file: read at start, written at the first run and at exit.
// A damaged or incomplete file is kept aside as tamsel.tmf.bak and the
// defaults fill what it lacked. A data file that cannot be used (a folder, a
// pipe, unreadable, or damaged with no room for the copy) is left alone, and
// the album keeps its data in the per-user file instead (paths.dataFile is
// changed to it; emptied when that file is the unusable one, so that nothing
// is written over it). The photo list is pointed at the album's folder; the
// settings come back for the application object to adopt, with the
// photo-area size clamped to the screen.
AlbumData LoadAlbumData(AppPaths& paths, PhotoList& photos, QSize screen = AvailableScreenSize());
Outcome SaveAlbumData(const QString& dataFile, const AlbumState& state, const PhotoList& photos);

inline constexpr const char* kGreeting = " 先生/女士:感谢使用澄影集,请您多提宝贵意见！";

}  // namespace tamsel
