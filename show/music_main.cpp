// tamsel-music: the album's background music player, a process of its own.
// The album speaks to it in lines over its standard input and output (see
// MusicProcess): "play PATH", "halt" in; "playing", "at MS" each second,
// "ended", "broken", "nooutput" out. It ends when its input closes or the
// album's process is gone.
#include "show/TunePlayer.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <sys/prctl.h>
#include <unistd.h>

using namespace tamsel;

namespace {

void Say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    // It ends with the album, however the album ends; an album already gone
    // before this was set is noticed at once.
    const pid_t album = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != album)
        return 0;
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    TunePlayer player;
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

