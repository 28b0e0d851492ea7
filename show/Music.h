#pragma once
#include <QString>

#include <functional>

namespace tamsel {

struct AlbumState;
class AlbumView;

// What the music step needs of a media player.
class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;
    // 0 stopped, 6 nothing loaded or the tune has ended, anything else playing.
    virtual int PlayState() const = 0;
    // Loads the file and starts playing; false when the player refuses it at once.
    virtual bool Play(const QString& file) = 0;
    virtual void Halt() = 0;
    // False when the machine has no sound output at all.
    virtual bool HasOutput() const { return true; }

    // Called when a tune that started turns out to be unplayable (kMusicBroken),
    // or there is no sound output after all (kNoSoundDevice).
    std::function<void(const char* message)> onFailure;
    // Called when the player itself went away in the middle of a tune (it
    // crashed, or hung): what to say. The tune counts as over.
    std::function<void(const QString& message)> onLost;
};

inline constexpr const char* kMusicBroken = " 音乐文件损坏或丢失";
inline constexpr const char* kNoSoundDevice = " 没有可用的声音设备,音乐已关闭";

// Where the music list stands: the slot to play next (kNoTune: none) and
// whether music is on. The application object adopts what a tick leaves.
struct MusicPlace {
    int MusicTrack = 0;
    int MusicOn = 1;
};

// The music tick (every 2 s): when the player is idle and music is wanted,
// start the tune at MusicTrack; MusicTrack moves on (or music goes off when
// the tune cannot be played).
[[nodiscard]] MusicPlace MusicStep(const AlbumState& s, AudioPlayer& player, AlbumView& view);

// A tune that failed after it started (the player found it damaged while
// loading): the same message and music off, as when it is refused at once.
[[nodiscard]] MusicPlace MusicFailed(const AlbumState& s, AlbumView& view, const QString& message = kMusicBroken);

// File name without folder and extension.
QString BaseName(const QString& path);

// The animated logo: 30 frames at 5 a second, then the last frame held 10 s.
struct LogoClock {
    static constexpr int kFrames = 30;
    int LogoFrame = 0;
    // One tick: which frames to hide and show, and the next interval.
    struct Tick {
        int hideA, hideB, show, nextIntervalMs;
    };
    Tick Step()
    {
        Tick t{0, LogoFrame > 0 ? LogoFrame - 1 : kFrames - 1, LogoFrame, 200};
        if (LogoFrame < kFrames - 1) {
            ++LogoFrame;
        } else {
            LogoFrame = 0;
            t.nextIntervalMs = 10000;
        }
        return t;
    }
};

}  // namespace tamsel
