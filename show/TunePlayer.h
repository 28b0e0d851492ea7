#pragma once
#include "show/Music.h"

#include <QString>

typedef struct _GstElement GstElement;

namespace tamsel {

// The background music player of the music player process: GStreamer's
// playbin, sound only. Nothing of it runs in the album's own process, whose
// decoders it would otherwise carry. It keeps no thread of its own to call
// back from: whoever asks for the state hears of the tune's end or failure.
class TunePlayer : public AudioPlayer {
public:
    TunePlayer() = default;
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
    // Takes what the pipeline said since the last look: its end, or an error.
    void Listen() const;

    GstElement* playbin_ = nullptr;   // made for the first tune
    mutable bool playing_ = false;
    mutable bool over_ = true;
};

}  // namespace tamsel
