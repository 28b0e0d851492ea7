#include "show/ui/MusicProcess.h"

#include "platform/Paths.h"

#include <QFileInfo>



namespace tamsel {

namespace {

// Beside the executable first (the build tree, a copy carried around), then
// where the installation puts it.
QString InstalledPlayer()
{
    const QString beside = ExecutableDir() + QStringLiteral("/") + QLatin1String(kMusicPlayerProgram);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStringLiteral(TAMSEL_INSTALLED_MODULE_DIR "/") + QLatin1String(kMusicPlayerProgram);
}

}  // namespace

MusicProcess::MusicProcess(QString program, QObject* parent)
    : QObject(parent), program_(program.isEmpty() ? InstalledPlayer() : std::move(program))
{
    watch_.setObjectName(QStringLiteral("musicWatch"));   // named for the busy meter
    watch_.setInterval(1000);
    connect(&watch_, &QTimer::timeout, this, &MusicProcess::Watch);
}

MusicProcess::~MusicProcess()
{
    if (!player_)
        return;
    player_->disconnect(this);
    // Its input closing ends it; a player that does not listen is ended.
    player_->closeWriteChannel();
    if (!player_->waitForFinished(1000))
        player_->kill();
    player_->waitForFinished(1000);
}

bool MusicProcess::StartPlayer()
{
    if (player_ && player_->state() != QProcess::NotRunning)
        return true;
    delete player_;
    player_ = new QProcess(this);
    // What the player says about itself (a library's warnings) goes where the album's own goes.
    player_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(player_, &QProcess::readyReadStandardOutput, this, &MusicProcess::Heard);
    connect(player_, &QProcess::finished, this, &MusicProcess::Lost);
    player_->start(program_, {});
    return player_->waitForStarted(5000);
}

int MusicProcess::PlayState() const
{
    // Asked counts as playing: the tick must not start the next tune meanwhile.
    return state_ == State::Idle ? 6 : 2;
}

bool MusicProcess::Play(const QString& file)
{
    if (!StartPlayer())
        return false;
    tune_ = file;
    state_ = State::Asked;
    lastAt_ = -1;
    lastWord_.start();
    watch_.start();
    player_->write("play " + file.toUtf8() + '\n');
    return true;
}

void MusicProcess::Halt()
{
    state_ = State::Idle;
    watch_.stop();
    if (player_ && player_->state() == QProcess::Running)
        player_->write("halt\n");
}

void MusicProcess::Heard()
{
    while (player_->canReadLine()) {
        const QByteArray line = player_->readLine().trimmed();
        if (state_ == State::Idle)
            continue;   // the end of a tune already halted
        if (line == "playing") {
            state_ = State::Playing;
            lastWord_.start();
        } else if (line.startsWith("at ")) {
            // Alive is not enough: a decoder that hangs leaves the player
            // answering with the tune standing still.
            const qint64 at = line.mid(3).toLongLong();
            if (at != lastAt_)
                lastWord_.start();
            lastAt_ = at;
        } else if (line == "ended") {
            state_ = State::Idle;
            watch_.stop();
        } else if (line == "broken" || line == "nooutput") {
            state_ = State::Idle;
            watch_.stop();
            if (onFailure)
                onFailure(line == "broken" ? kMusicBroken : kNoSoundDevice);
        }
    }
}

// The player died (a crash, a kill) or hung: the tune is given up, the album
// says so, and the next tick goes on with the next tune in a new player.
void MusicProcess::Lost()
{
    const bool wasPlaying = state_ != State::Idle;
    state_ = State::Idle;
    watch_.stop();
    if (player_) {
        player_->disconnect(this);
        player_->kill();
        player_->waitForFinished(1000);
        player_->deleteLater();
        player_ = nullptr;
    }
    if (wasPlaying && onLost)
        onLost(QStringLiteral(" 音乐 %1 无法播放,换下一首").arg(BaseName(tune_)));
}

void MusicProcess::Watch()
{
    if (state_ != State::Idle && lastWord_.elapsed() > kHungMs)
        Lost();
}

}  // namespace tamsel
