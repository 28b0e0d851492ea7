#include "ScriptedView.h"
#include "model/AlbumState.h"
#include "TestUtil.h"
#include "model/AlbumView.h"
#include "show/Music.h"
#include "show/ui/MusicProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

#include <unistd.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

struct FakePlayer : AudioPlayer {
    int state = 6;
    bool output = true;
    bool refuse = false;
    QStringList played;
    int PlayState() const override { return state; }
    bool Play(const QString& f) override
    {
        if (refuse)
            return false;
        played << f;
        state = 3;
        return true;
    }
    void Halt() override { state = 0; }
    bool HasOutput() const override { return output; }
};

// One music tick, with its outcome adopted as the album does.
void Tick(AlbumState& s, AudioPlayer& player, AlbumView& view)
{
    const MusicPlace next = MusicStep(s, player, view);
    s.MusicTrack = next.MusicTrack;
    s.MusicOn = next.MusicOn;
}

struct MusicFixture : ::testing::Test {
    QTemporaryDir dir;
    AlbumState s;
    FakePlayer player;
    ScriptedView view;
    QString Tune(const QString& name) { return Touch(QDir(dir.path()), name, "tune"); }
};

}  // namespace

TEST_F(MusicFixture, AListPlaysOnceThenEndsAtTheEndMarker)
{
    s.MusicList[0] = Tune("开始曲.wma");
    s.MusicList[1] = Tune("second.mp3");
    Tick(s, player, view);
    EXPECT_EQ(view.musicText, " 音乐 开始曲");
    EXPECT_EQ(s.MusicTrack, 1);
    Tick(s, player, view);   // still playing: nothing happens
    EXPECT_EQ(player.played.size(), 1);
    player.state = 6;             // the tune ended
    Tick(s, player, view);
    EXPECT_EQ(view.musicText, " 音乐 second");
    EXPECT_EQ(s.MusicTrack, 255);
    player.state = 0;
    Tick(s, player, view);
    EXPECT_EQ(player.played.size(), 2);
    EXPECT_EQ(view.musicText, " 音乐 second");   // the last name stays shown
}

TEST_F(MusicFixture, LoopingStartsOverAfterTheLastSlot)
{
    for (int i = 0; i < kMusicSlots; ++i)
        s.MusicList[size_t(i)] = Tune(QStringLiteral("t%1.ogg").arg(i));
    s.MusicLoop = 1;
    for (int i = 0; i < kMusicSlots; ++i) {
        player.state = 6;
        Tick(s, player, view);
    }
    EXPECT_EQ(s.MusicTrack, 0);   // after slot 64 the list starts over
    s.MusicLoop = 0;
    s.MusicTrack = 64;
    player.state = 6;
    Tick(s, player, view);
    EXPECT_EQ(s.MusicTrack, 255);

    s.MusicList[1].clear();
    s.MusicLoop = 1;
    s.MusicTrack = 0;
    player.state = 0;
    Tick(s, player, view);
    EXPECT_EQ(s.MusicTrack, 0);   // one tune, looping: restarted each time
}

TEST_F(MusicFixture, MusicOffOrEndedDoesNothing)
{
    s.MusicList[0] = Tune("a.wav");
    s.MusicOn = 0;
    Tick(s, player, view);
    s.MusicOn = 1;
    s.MusicTrack = 255;
    Tick(s, player, view);
    EXPECT_TRUE(player.played.isEmpty());
    // An empty list has nothing to play and is no failure.
    s.MusicList[0].clear();
    s.MusicTrack = 0;
    Tick(s, player, view);
    EXPECT_EQ(view.musicBeeps, 0);
    EXPECT_EQ(s.MusicTrack, 255);
    EXPECT_EQ(s.MusicOn, 1);
}

TEST_F(MusicFixture, BrokenTuneOrNoSoundDeviceSwitchesMusicOff)
{
    s.MusicList[0] = dir.filePath("missing.wma");
    Tick(s, player, view);
    EXPECT_EQ(view.musicText, " 音乐文件损坏或丢失");
    EXPECT_EQ(view.musicBeeps, 1);
    EXPECT_EQ(s.MusicOn, 0);
    EXPECT_EQ(s.MusicOn, 0);
    EXPECT_TRUE(player.played.isEmpty());

    s.MusicOn = 1;
    s.MusicList[0] = Tune("ok.wma");
    player.refuse = true;
    Tick(s, player, view);
    EXPECT_EQ(s.MusicOn, 0);
    EXPECT_EQ(view.musicBeeps, 2);

    s.MusicOn = 1;
    player.refuse = false;
    player.output = false;
    Tick(s, player, view);
    EXPECT_EQ(view.musicText, kNoSoundDevice);
    EXPECT_EQ(s.MusicOn, 0);
}

TEST(LogoClock, ThirtyFramesThenATenSecondHold)
{
    LogoClock c;
    auto t = c.Step();
    EXPECT_EQ(t.show, 0);
    EXPECT_EQ(t.hideB, 29);
    EXPECT_EQ(t.nextIntervalMs, 200);
    for (int i = 1; i < 29; ++i)
        c.Step();
    t = c.Step();
    EXPECT_EQ(t.show, 29);
    EXPECT_EQ(t.hideB, 28);
    EXPECT_EQ(t.nextIntervalMs, 10000);
    EXPECT_EQ(c.LogoFrame, 0);
}

namespace {

// A short WAV tone, so real playback finishes quickly.
QString WriteTone(const QString& path, double seconds, double hz)
{
    const int rate = 22050;
    const int n = int(seconds * rate);
    QByteArray pcm;
    for (int i = 0; i < n; ++i) {
        const int16_t v = int16_t(8000 * std::sin(2 * M_PI * hz * i / rate));
        pcm.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
    }
    auto le32 = [](uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    QByteArray w = "RIFF" + le32(36 + uint32_t(pcm.size())) + "WAVEfmt " + le32(16) + le16(1) +
                   le16(1) + le32(rate) + le32(rate * 2) + le16(2) + le16(16) + "data" +
                   le32(uint32_t(pcm.size())) + pcm;
    WriteAll(path, w);
    return path;
}

// The album's own music player process, as the program starts it.
struct PlayerProcess {
    MusicProcess player{QStringLiteral(TAMSEL_BUILD_DIR "/") + kMusicPlayerProgram};
    QStringList lost;
    PlayerProcess()
    {
        player.onLost = [this](const QString& m) { lost << m; };
    }
    // The player process's id (a child of this one), 0 for none.
    static pid_t Pid()
    {
        QProcess pgrep;
        pgrep.start("pgrep", {"-P", QString::number(::getpid()), "-x", kMusicPlayerProgram});
        pgrep.waitForFinished(5000);
        return pid_t(pgrep.readAllStandardOutput().trimmed().toInt());
    }
};

void Wait(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool HasSoundOutput()
{
    QProcess pactl;
    pactl.start("pactl", {"info"});
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

// The loudest sample the sound server's default output gives out over a
// second, read from its monitor: what a listener would hear.
int Loudest()
{
    QProcess pactl;
    pactl.start("pactl", {"get-default-sink"});
    pactl.waitForFinished(5000);
    QProcess rec;
    rec.start("timeout", {"1", "parec", "--raw", "--format=s16le", "--channels=1", "--rate=8000",
                          "-d", QString::fromUtf8(pactl.readAllStandardOutput().trimmed()) + ".monitor"});
    rec.waitForFinished(5000);
    const QByteArray pcm = rec.readAllStandardOutput();
    int loudest = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
        loudest = std::max(loudest, std::abs(int(int16_t(uint8_t(pcm[i]) | uint8_t(pcm[i + 1]) << 8))));
    return loudest;
}

}  // namespace

// Real playback into the machine's sound server (a null sink in the test
// run), by the player process: the list plays through and ends.
TEST(MusicPlayback, TheSecondTuneFollowsTheFirstAndTheListEnds)
{
    if (!QCoreApplication::instance() || !HasSoundOutput())
        GTEST_SKIP() << "no sound output on this machine";
    PlayerProcess p;
    QTemporaryDir dir;
    AlbumState s;
    s.MusicList[0] = WriteTone(dir.filePath("one.wav"), 0.6, 440);
    s.MusicList[1] = WriteTone(dir.filePath("two.wav"), 0.6, 660);
    ScriptedView view;
    QStringList shown;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 15000 && !(s.MusicTrack == 255 && p.player.PlayState() == 6)) {
        const QString before = view.musicText;
        Tick(s, p.player, view);
        if (view.musicText != before)
            shown << view.musicText;
        // The tick is every 2 s in the program; quicker here.
        Wait(200);
    }
    EXPECT_EQ(shown, QStringList({" 音乐 one", " 音乐 two"}));
    EXPECT_EQ(s.MusicTrack, 255);
    EXPECT_EQ(s.MusicOn, 1);
    EXPECT_EQ(view.musicBeeps, 0);
    EXPECT_TRUE(p.lost.isEmpty());
}

// The installation's tune is decoded in the player process, never in the
// album's; a player killed mid-tune is said with the tune's name, and the
// next tune plays in a new one.
TEST(MusicPlayback, TheDecodersLiveInThePlayerAndAKilledPlayerIsReplaced)
{
    if (!QCoreApplication::instance() || !HasSoundOutput())
        GTEST_SKIP() << "no sound output on this machine";
    PlayerProcess p;
    ASSERT_TRUE(p.player.Play(QStringLiteral(TAMSEL_BUILD_DIR "/开始曲.wma")));
    Wait(2500);
    const pid_t first = PlayerProcess::Pid();
    ASSERT_NE(first, 0);
    EXPECT_EQ(p.player.PlayState(), 2);
    EXPECT_GT(Loudest(), 1000) << "nothing heard";
    EXPECT_TRUE(ReadAll(QStringLiteral("/proc/%1/maps").arg(first)).contains("libavformat"));
    for (const char* decoders : {"libavformat", "libgstlibav"})
        EXPECT_FALSE(ReadAll("/proc/self/maps").contains(decoders)) << decoders;

    ::kill(first, SIGKILL);
    Wait(500);
    EXPECT_EQ(p.player.PlayState(), 6);
    EXPECT_EQ(p.lost, QStringList{QStringLiteral(" 音乐 开始曲 无法播放,换下一首")});
    QTemporaryDir dir;
    ASSERT_TRUE(p.player.Play(WriteTone(dir.filePath("next.wav"), 3, 440)));
    Wait(1500);
    EXPECT_EQ(p.player.PlayState(), 2);
    EXPECT_NE(PlayerProcess::Pid(), first);
}
