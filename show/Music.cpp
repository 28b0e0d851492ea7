#include "show/Music.h"

#include "model/AlbumState.h"
#include "model/AlbumView.h"
#include "platform/SafeOpen.h"

#include <QFileInfo>

namespace tamsel {

QString BaseName(const QString& path) { return QFileInfo(path).completeBaseName(); }

MusicPlace MusicFailed(const AlbumState& s, AlbumView& view, const QString& message)
{
    view.SetMusicText(message, true);
    return {s.MusicTrack, 0};
}

MusicPlace MusicStep(const AlbumState& s, AudioPlayer& player, AlbumView& view)
{
    MusicPlace next{s.MusicTrack, s.MusicOn};
    const int state = player.PlayState();
    if (!(state == 6 || state == 0) || !s.MusicOn || s.MusicTrack == kNoTune)
        return next;
    if (s.MusicTrack < 0 || s.MusicTrack >= kMusicSlots) {
        next.MusicTrack = s.MusicLoop ? 0 : kNoTune;
        return next;
    }
    const QString file = s.MusicList[size_t(s.MusicTrack)];
    if (file.isEmpty()) {
        // An empty list simply has nothing to play; that is no fault of any file.
        next.MusicTrack = kNoTune;
        return next;
    }
    if (!player.HasOutput())
        return MusicFailed(s, view, kNoSoundDevice);
    // A missing file, or a pipe or device named like a tune that would keep
    // the player waiting, is refused before anything plays.
    if (!IsRegularFile(file) || !player.Play(file))
        return MusicFailed(s, view);
    next.MusicTrack = s.MusicTrack + 1;
    if (next.MusicTrack >= kMusicSlots || s.MusicList[size_t(next.MusicTrack)].isEmpty())
        next.MusicTrack = s.MusicLoop ? 0 : kNoTune;
    view.SetMusicText(" 音乐 " + BaseName(file), false);
    return next;
}

}  // namespace tamsel
