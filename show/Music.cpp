#include "show/Music.h"

#include "model/AlbumState.h"

#include <QFileInfo>

namespace tamsel {

QString BaseName(const QString& path) { return QFileInfo(path).completeBaseName(); }

void MusicFailed(AlbumState& s, MusicView& view, const QString& message)
{
    view.SetMusicText(message);
    view.Beep();
    view.MusicSwitchedOff();
    s.MusicOn = 0;
    view.ArrangeInfoLine();
}

void MusicStep(AlbumState& s, AudioPlayer& player, MusicView& view)
{
    const int state = player.PlayState();
    if (!(state == 6 || state == 0) || !s.MusicOn || s.MusicTrack == 255)
        return;
    if (s.MusicTrack < 0 || s.MusicTrack >= kMusicSlots) {
        s.MusicTrack = s.MusicLoop ? 0 : 255;
        return;
    }
    const QString file = s.MusicList[size_t(s.MusicTrack)];
    if (file.isEmpty()) {
        // An empty list simply has nothing to play; that is no fault of any file.
        s.MusicTrack = 255;
        return;
    }
    if (!player.HasOutput()) {
        MusicFailed(s, view, kNoSoundDevice);
        return;
    }
    // A missing file is refused before anything plays.
    if (!QFileInfo(file).isFile() || !player.Play(file)) {
        MusicFailed(s, view);
        return;
    }
    view.SetMusicText(" 音乐 " + BaseName(file));
    s.MusicTrack += 1;
    if (s.MusicTrack >= kMusicSlots || s.MusicList[size_t(s.MusicTrack)].isEmpty())
        s.MusicTrack = s.MusicLoop ? 0 : 255;
    view.ArrangeInfoLine();
}

}  // namespace tamsel
