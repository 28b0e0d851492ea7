#include "show/VideoExport.h"

#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/SafeWrite.h"
#include "show/ShowRecorder.h"
#include "show/VideoEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <optional>

namespace tamsel {
namespace {

constexpr int kLargestSide = 7680;
constexpr int kSmallestSide = 16;
constexpr int kMostFps = 120;
// The sound follows the pictures this far behind while the show's end is not
// known, so that the last second can still be faded when it becomes known.
constexpr double kSoundLag = 1.0;
constexpr int64_t kSoundChunk = kSoundRate / 10;

// The encoder writes the program's own kind of temporary file beside the
// target: locked while the export runs, synced and renamed when whole, and
// taken away by the folder's cleaner when an export was killed. Named for
// this process, so that two exports do not meet.
QString TemporaryNameFor(const QString& output, const char* kind = "video")
{
    return QStringLiteral(".tamsel-%1-%2.%3.part")
        .arg(QLatin1String(kind))
        .arg(QFileInfo(output).fileName())
        .arg(QCoreApplication::applicationPid());
}

QStringList TunesOf(const AlbumState& album)
{
    QStringList tunes;
    if (album.MusicOn)
        for (int i = 0; i < album.MusicCount(); ++i)
            tunes << album.MusicList[size_t(i)];
    return tunes;
}

// Pushes the sound track up to stereo frame `until`.
Outcome FeedSound(SoundTrack& track, VideoEncoder& encoder, int64_t until)
{
    while (track.Position() < until) {
        const Outcome o = encoder.PushSound(track.Read(std::min(kSoundChunk, until - track.Position())));
        if (!o)
            return o;
    }
    return Outcome::Done();
}

Outcome Record(ShowRecorder& show, SoundTrack* track, VideoEncoder& encoder, int fps,
               ExportProgress& progress)
{
    auto soundAt = [fps](int64_t frames) { return frames * kSoundRate / fps; };
    bool endSet = false;
    while (show.NextFrame()) {
        if (progress.cancel)
            return Outcome::Done(QString::fromUtf8(kExportCancelled));
        if (const Outcome o = encoder.PushFrame(show.Screen(), !show.Redrawn()); !o)
            return o;
        progress.done = show.Progress();
        progress.seconds = double(show.Frames()) / fps;
        if (!track)
            continue;
        if (!endSet && show.Length()) {
            // The video ends with the frame that covers the show's last instant.
            const int64_t frames = int64_t(std::ceil(*show.Length() * fps - 1e-9));
            track->SetEnd(soundAt(frames));
            endSet = true;
        }
        const int64_t lag = endSet ? 0 : int64_t(kSoundLag * kSoundRate);
        if (const Outcome o = FeedSound(*track, encoder, soundAt(show.Frames()) - lag); !o)
            return o;
    }
    if (track) {
        track->SetEnd(soundAt(show.Frames()));
        if (const Outcome o = FeedSound(*track, encoder, soundAt(show.Frames())); !o)
            return o;
    }
    return encoder.Finish();
}

}  // namespace

Outcome CheckVideoRequest(const VideoRequest& r)
{
    if (!VideoFormatOf(r.output))
        return Outcome::Failed(QStringLiteral("  视频文件名应以 .mp4 或 .webm 结尾"));
    const int w = r.size.width(), h = r.size.height();
    if (w < kSmallestSide || h < kSmallestSide || w > kLargestSide || h > kLargestSide || w % 2 || h % 2)
        return Outcome::Failed(QStringLiteral("  视频尺寸应为 %1 至 %2 之间的偶数")
                                   .arg(kSmallestSide)
                                   .arg(kLargestSide));
    if (r.fps < 1 || r.fps > kMostFps)
        return Outcome::Failed(QStringLiteral("  帧率应为 1 至 %1").arg(kMostFps));
    return Outcome::Done();
}

Outcome ExportVideo(const AlbumState& album, const PhotoList& photos, const AppPaths& paths,
                    const VideoRequest& request, ExportProgress& progress, QStringList* unread)
{
    if (const Outcome o = CheckVideoRequest(request); !o)
        return o;
    if (photos.Count() == 0)
        return Outcome::Failed(QStringLiteral("  相册中没有照片,无法导出视频"));
    const QStringList tunes = TunesOf(album);
    // What an export killed here before left behind goes first.
    RemoveLeftoverTempFiles(QFileInfo(request.output).absolutePath());
    SafeWrite out(request.output, TemporaryNameFor(request.output));
    if (out.Error() != 0)
        return Outcome::Failed(QStringLiteral("  ") + WriteFailure(out.Error(), request.output));
    // The MP4 muxer keeps the pictures aside until it can write its index in
    // front of them: in a file of ours beside the video, locked like it, so
    // that the cleaner takes it when an export is killed (never written, it
    // goes with the export).
    std::optional<SafeWrite> scratch;
    if (VideoFormatOf(request.output) == VideoFormat::Mp4) {
        scratch.emplace(request.output, TemporaryNameFor(request.output, "mux"));
        if (scratch->Error() != 0)
            return Outcome::Failed(QStringLiteral("  ") + WriteFailure(scratch->Error(), request.output));
    }
    Outcome result;
    bool cancelled = false;
    QStringList missing;
    {
        // Made first: it reads the first photo while the encoder starts.
        ShowRecorder show(album, photos, paths, request.size, request.fps, request.seed);
        VideoEncoder encoder;
        result = encoder.Open({out.TempPath(), scratch ? scratch->TempPath() : QString(), request.output},
                              *VideoFormatOf(request.output), request.size, request.fps, !tunes.isEmpty());
        if (result) {
            std::unique_ptr<SoundTrack> track;
            if (!tunes.isEmpty())
                track = std::make_unique<SoundTrack>(tunes, album.MusicLoop != 0);
            result = Record(show, track.get(), encoder, request.fps, progress);
            cancelled = result.message == QString::fromUtf8(kExportCancelled);
            missing = show.Problems();
            missing.removeDuplicates();
            if (!result || cancelled) {
                encoder.Abort();
            } else {
                QStringList said;
                if (!missing.isEmpty())
                    said << QStringLiteral("%1 张照片无法读出,视频中没有它们: %2")
                                .arg(missing.size())
                                .arg(missing.join(QStringLiteral("；")));
                if (track && !track->Broken().isEmpty())
                    said << QStringLiteral("音乐 %1 无法读出,其后的视频没有音乐")
                                .arg(QFileInfo(track->Broken()).fileName());
                if (!said.isEmpty())
                    result = Outcome::Done(QStringLiteral("  ") + said.join(QStringLiteral("；")));
            }
        }
    }
    if (unread)
        *unread = missing;
    // A cancelled or failed export leaves nothing: the temporary file goes with out.
    if (result && !cancelled)
        if (const Outcome committed = out.Commit(); !committed)
            result = Outcome::Failed(QStringLiteral("  ") + committed.message);
    progress.done = 1.0;
    return result;
}

}  // namespace tamsel
