#include "show/ui/MusicProcess.h"

#include "show/ui/QtAudioPlayer.h"

#include <QCoreApplication>
#include <QMediaPlayer>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/prctl.h>
#include <unistd.h>

namespace tamsel {

MusicProcess::MusicProcess(QString program, QObject* parent)
    : QObject(parent), program_(program.isEmpty() ? QCoreApplication::applicationFilePath() : std::move(program))
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
    player_->start(program_, {QString::fromLatin1(kMusicPlayerOption)});
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

// ---- the player process ------------------------------------------------

bool AsksForMusicPlayer(int argc, char** argv)
{
    return argc == 2 && std::strcmp(argv[1], kMusicPlayerOption) == 0;
}

namespace {

void Say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int RunMusicPlayer(int argc, char** argv)
{
    // It ends with the album, however the album ends; an album already gone
    // before this was set is noticed at once.
    const pid_t album = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != album)
        return 0;
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QtAudioPlayer player;
    player.onFailure = [](const char*) { Say("broken"); };

    bool playing = false;
    QTimer beat;
    beat.setInterval(1000);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        if (!playing)
            return;
        if (player.PlayState() == 6) {
            playing = false;
            Say("ended");
            return;
        }
        std::printf("at %lld\n", static_cast<long long>(player.Position()));
        std::fflush(stdout);
    });
    beat.start();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buf[4096];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            QCoreApplication::quit();   // the album closed its end
            return;
        }
        pending.append(buf, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            if (line.startsWith("play ")) {
                if (!player.HasOutput()) {
                    Say("nooutput");
                    continue;
                }
                playing = player.Play(QString::fromUtf8(line.mid(5)));
                Say(playing ? "playing" : "broken");
            } else if (line == "halt") {
                playing = false;
                player.Halt();
            }
        }
    });
    return app.exec();
}

}  // namespace tamsel
