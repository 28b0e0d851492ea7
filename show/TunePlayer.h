#pragma once
#include "show/Music.h"

#include <QString>

#include <memory>

namespace tamsel {

// The background music player of the music player process. The tune is read
// and decoded by libavformat and libavcodec themselves (MP3, WMA, WAV, Ogg,
// the sound of video files ...) and played through GStreamer to the desktop's
// sound output. GStreamer's own libav plugin would do both, but it brings
// libavfilter and its dependencies (speech voices among them), a dozen
// megabytes more for every tune. It keeps no thread that calls back: whoever
// asks for the state hears of the tune's end or failure.
class TunePlayer : public AudioPlayer {
public:
    TunePlayer();
    ~TunePlayer() override;
    TunePlayer(const TunePlayer&) = delete;
    TunePlayer& operator=(const TunePlayer&) = delete;

    int PlayState() const override;
    bool Play(const QString& file) override;
    void Halt() override;
    bool HasOutput() const override;
    // Where in the tune it is, in milliseconds.
    qint64 Position() const;

private:
    struct Tune;
    // Takes what the tune's decoder and output said since the last look:
    // its end, or a failure.
    void Listen() const;

    std::unique_ptr<Tune> tune_;
    mutable bool over_ = true;
};

}  // namespace tamsel
