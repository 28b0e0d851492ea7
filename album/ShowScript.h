#pragma once
#include <QString>

namespace tamsel {

struct AlbumState;
class PhotoList;

// Outcome of reading or writing a show script. message is the text shown to
// the user when something went wrong ("" otherwise).
struct ScriptResult {
    bool ok = false;
    bool folderMissing = false;   // read: the script's photo folder is not there
    QString message;
};

// The photo folder list's file pattern, as shown and used everywhere.
inline constexpr const char* kPhotoPattern = "*.bmp;*.jpg;*.pcx;*.tga;*.tif;*.png;*.ico;*.wmf";

// Writes the album state as a show script: GBK text, CRLF lines, n + m + 18
// records. The file is written beside the target and renamed over it, so a
// failed write leaves the previous file whole. The album state is not changed.
ScriptResult SaveScript(const QString& path, const AlbumState& state);

// Reads a show script into the album state and points the photo list at its
// folder. A script whose first twelve records are missing or malformed is
// refused whole: the state and the list stay as they were. After those records
// a record that cannot be read is skipped and its variable keeps its value.
ScriptResult ReadScript(const QString& path, AlbumState& state, PhotoList& list);

// The number written as record 12: PhotoCount, or more when captions beyond the
// photo count are still held (a folder that is missing for now), so that they
// are not dropped from the album data file.
int CaptionRecordCount(const AlbumState& state);

}  // namespace tamsel
