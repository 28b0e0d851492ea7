#include "show/ui/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace tamsel {

QtAudioPlayer::QtAudioPlayer(QObject* parent) : QObject(parent) {}

QtAudioPlayer::~QtAudioPlayer()
{
    if (player_)
        player_->stop();
}

QMediaPlayer* QtAudioPlayer::Player()
{
    if (player_)
        return player_;
    player_ = new QMediaPlayer(this);
    output_ = new QAudioOutput(this);
    player_->setAudioOutput(output_);
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error e) {
        if (e == QMediaPlayer::NoError || failed_)
            return;
        failed_ = true;
        player_->stop();
        if (onFailure)
            onFailure(kMusicBroken);
    });
    return player_;
}

int QtAudioPlayer::PlayState() const
{
    if (!player_)
        return 6;   // nothing played yet: no media
    switch (player_->mediaStatus()) {
    case QMediaPlayer::NoMedia:
    case QMediaPlayer::EndOfMedia:
    case QMediaPlayer::InvalidMedia:
        return 6;
    default:
        break;
    }
    if (failed_)
        return 6;
    return player_->playbackState() == QMediaPlayer::StoppedState ? 0 : 2;
}

bool QtAudioPlayer::Play(const QString& file)
{
    failed_ = false;
    QMediaPlayer* player = Player();
    player->setSource(QUrl::fromLocalFile(file));
    if (player->error() != QMediaPlayer::NoError)
        return false;
    player->play();
    return player->error() == QMediaPlayer::NoError;
}

void QtAudioPlayer::Halt()
{
    if (!player_)
        return;
    player_->stop();
    player_->setSource(QUrl());
}

qint64 QtAudioPlayer::Position() const { return player_ ? player_->position() : 0; }

bool QtAudioPlayer::HasOutput() const { return !QMediaDevices::audioOutputs().isEmpty(); }

}  // namespace tamsel
