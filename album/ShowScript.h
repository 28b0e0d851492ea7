#pragma once
#include "model/AlbumState.h"
#include "model/Outcome.h"

#include <QString>

namespace tamsel {

class PhotoList;

// Writes the album settings and the photo list's folder and count as a show
// script: GBK text, CRLF lines, n + m + 18 records. The file is written beside
// the target and renamed over it, so a failed write leaves the previous file
// whole. Nothing of the album is changed.
Outcome SaveScript(const QString& path, const AlbumState& state, const PhotoList& photos);

// What a show script holds, read over the settings the album had.
struct ScriptRead {
    // Not ok: the script was refused, and state is the one given.
    Outcome outcome;
    // The settings to adopt: the script's, and the ones given where a record
    // after the first twelve could not be read.
    AlbumState state;
    // A record after the first twelve was missing or unreadable (the file
    // was cut short or a count in it claims more records than it holds).
    bool damaged = false;
};

// Reads a show script and points the photo list at its folder; the settings
// it holds come back for the caller to adopt. A script whose first twelve
// records are missing or malformed is refused whole: the list stays as it
// was. After those records a record that cannot be read is skipped and its
// setting keeps the value given. A script whose photo folder is not there is
// read all the same, with a note; the list keeps the folder's name. Only a
// regular file is read.
[[nodiscard]] ScriptRead ReadScript(const QString& path, const AlbumState& current, PhotoList& list);

// The number written as record 12: PhotoCount; more only while the photo
// folder is missing (an unplugged card) and captions beyond the photo count
// are still held, so that they are not dropped from the album data file.
int CaptionRecordCount(const AlbumState& state, const PhotoList& photos);

}  // namespace tamsel
