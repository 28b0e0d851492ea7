#include "show/Music.h"

#include "model/AlbumState.h"
#include "model/AlbumView.h"
#include "platform/SafeOpen.h"

#include <QFileInfo>

namespace tamsel {

QString BaseName(const QString& path) { return QFileInfo(path).completeBaseName(); }

void MusicFailed(AlbumState& s, AlbumView& view, const QString& message)
{
    s.MusicOn = 0;
    view.SetMusicText(message, true);
}

void MusicStep(AlbumState& s, AudioPlayer& player, AlbumView& view)
{
    const int state = player.PlayState();
    if (!(state == 6 || state == 0) || !s.MusicOn || s.MusicTrack == kNoTune)
        return;
    if (s.MusicTrack < 0 || s.MusicTrack >= kMusicSlots) {
        s.MusicTrack = s.MusicLoop ? 0 : kNoTune;
        return;
    }
    const QString file = s.MusicList[size_t(s.MusicTrack)];
    if (file.isEmpty()) {
        // An empty list simply has nothing to play; that is no fault of any file.
        s.MusicTrack = kNoTune;
        return;
    }
    if (!player.HasOutput()) {
        MusicFailed(s, view, kNoSoundDevice);
        return;
    }
    // A missing file, or a pipe or device named like a tune that would keep
    // the player waiting, is refused before anything plays.
    if (!IsRegularFile(file) || !player.Play(file)) {
        MusicFailed(s, view);
        return;
    }
    s.MusicTrack += 1;
    if (s.MusicTrack >= kMusicSlots || s.MusicList[size_t(s.MusicTrack)].isEmpty())
        s.MusicTrack = s.MusicLoop ? 0 : kNoTune;
    view.SetMusicText(" 音乐 " + BaseName(file), false);
}

}  // namespace tamsel
