#pragma once
#include "show/Music.h"

#include <QObject>

#include <functional>

class QMediaPlayer;
class QAudioOutput;

namespace tamsel {

// The background music player on Qt Multimedia.
class QtAudioPlayer : public QObject, public AudioPlayer {
    Q_OBJECT
public:
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    int PlayState() const override;
    bool Play(const QString& file) override;
    void Halt() override;
    bool HasOutput() const override;

private:
    QMediaPlayer* player_;
    QAudioOutput* output_;
    bool failed_ = false;
};

}  // namespace tamsel
