#pragma once
#include "model/Outcome.h"

#include <QString>

namespace tamsel {

struct AlbumState;
class PhotoList;

// Writes the album state as a show script: GBK text, CRLF lines, n + m + 18
// records. The file is written beside the target and renamed over it, so a
// failed write leaves the previous file whole. The album state is not changed.
Outcome SaveScript(const QString& path, const AlbumState& state);

// Reads a show script into the album state and points the photo list at its
// folder. A script whose first twelve records are missing or malformed is
// refused whole: the state and the list stay as they were. After those records
// a record that cannot be read is skipped and its variable keeps its value.
// A script whose photo folder is not there is read all the same, with a note.
// Only a regular file is read. When damaged is given it tells whether any
// record after the first twelve was missing or unreadable (the file was cut
// short or a count in it claims more records than it holds).
Outcome ReadScript(const QString& path, AlbumState& state, PhotoList& list,
                   bool* damaged = nullptr);

// The number written as record 12: PhotoCount; more only while the photo
// folder is missing (an unplugged card) and captions beyond the photo count
// are still held, so that they are not dropped from the album data file.
int CaptionRecordCount(const AlbumState& state);

}  // namespace tamsel
