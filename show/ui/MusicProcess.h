#pragma once
#include "show/Music.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

namespace tamsel {

// The background music, played by a process of its own: the small
// executable kMusicPlayerProgram, which links GStreamer and Qt's core alone
// and so costs a sound player's memory, not a second album's. The decoders of every tune a
// user adds (and the media library's plugins, tens of megabytes) live there;
// a tune that crashes or hangs its decoder takes only the player with it.
//
// The two speak in lines over the player's standard input and output:
//   to the player    "play PATH", "halt"
//   from the player  "playing", "at MS" (every second while it plays),
//                    "ended", "broken" (the tune is damaged), "nooutput"
// The player ends when its input closes or the album's process is gone.
class MusicProcess : public QObject, public AudioPlayer {
    Q_OBJECT
public:
    // program: the player to start (the installation's by default).
    explicit MusicProcess(QString program = {}, QObject* parent = nullptr);
    ~MusicProcess() override;

    int PlayState() const override;
    // Asks the player to play file; the answer comes later (a broken tune
    // calls onFailure). True unless no player could be started.
    bool Play(const QString& file) override;
    void Halt() override;

    // A tune standing still this long while it should play is taken for hung.
    static constexpr int kHungMs = 5000;

private:
    enum class State { Idle, Asked, Playing };
    bool StartPlayer();
    void Heard();
    void Lost();
    void Watch();

    QString program_;
    QProcess* player_ = nullptr;
    State state_ = State::Idle;
    QString tune_;
    QElapsedTimer lastWord_;   // since the tune last moved on (or the player answered)
    qint64 lastAt_ = -1;       // where the tune was, as the player last said
    QTimer watch_;
};

inline constexpr const char* kMusicPlayerProgram = "tamsel-music";

}  // namespace tamsel
