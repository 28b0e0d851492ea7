#pragma once
#include "show/Music.h"

#include <QObject>

#include <functional>

class QMediaPlayer;
class QAudioOutput;

namespace tamsel {

// The background music player on Qt Multimedia, in the music player process.
class QtAudioPlayer : public QObject, public AudioPlayer {
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    int PlayState() const override;
    bool Play(const QString& file) override;
    void Halt() override;
    bool HasOutput() const override;
    // Where in the tune it is, in milliseconds.
    qint64 Position() const;

private:
    // Made for the first tune: the media backend (GStreamer and its
    // plugins) takes a few megabytes that an album without music never needs.
    QMediaPlayer* Player();

    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    bool failed_ = false;
};

}  // namespace tamsel
