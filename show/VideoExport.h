#pragma once
#include "model/Outcome.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

namespace tamsel {

struct AlbumState;
struct AppPaths;
class PhotoList;

// What to write: the file (".mp4" or ".webm"), the picture size, the frame
// rate and the seed of the random transitions.
struct VideoRequest {
    QString output;
    QSize size;
    int fps = 30;
    uint32_t seed = 1;
};

// Shared between an export and whoever watches it from another thread.
struct ExportProgress {
    std::atomic<double> done{0};      // 0..1
    std::atomic<bool> cancel{false};  // set to stop the export
    std::atomic<double> seconds{0};   // length of the video written so far
};

inline constexpr const char* kExportCancelled = "  视频导出已取消";

// Whether a request can be carried out: a file name of a known kind, a size
// the encoders take, a sensible frame rate. Names the first problem.
Outcome CheckVideoRequest(const VideoRequest& request);

// Records the album's slide show into a video file, with the music list as
// its sound track when music is on. The file is written under a temporary
// name beside the target and renamed when whole: a cancelled or failed export
// leaves no file, and an earlier file of that name stays until the new one is
// complete. Cancelling returns Done with kExportCancelled. A photo that cannot
// be read is passed over as the show passes it (the picture before stays);
// the video is written, and the message names each such photo. unread, when
// given, receives them (the reason and the name, as the info line says it).
Outcome ExportVideo(const AlbumState& album, const PhotoList& photos, const AppPaths& paths,
                    const VideoRequest& request, ExportProgress& progress, QStringList* unread = nullptr);

}  // namespace tamsel
