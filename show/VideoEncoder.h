#pragma once
#include "model/Outcome.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstBuffer GstBuffer;

namespace tamsel {

class Surface;

// The two kinds of video file the album writes, told by the file's extension.
enum class VideoFormat { Mp4, WebM };
std::optional<VideoFormat> VideoFormatOf(const QString& path);

inline constexpr int kSoundRate = 48000;   // samples per second and channel
inline constexpr int kSoundChannels = 2;

// Whether the encoders and muxer of a format are installed; the message
// names what is missing and the package that brings it.
Outcome CheckVideoEncoders(VideoFormat format, bool withSound);

// Writes a video file through GStreamer: frames of one size at one rate and,
// when asked, 16-bit stereo sound at kSoundRate. Pushing blocks while the
// encoders are behind, so no more than a few frames are held at any time.
class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Where the video goes: the file (under its temporary name), a file the
    // MP4 muxer keeps the pictures in until it writes its index in front of
    // them (none: the system's temporary folder), and the name the user gave,
    // which a failure names.
    struct Files {
        QString file;
        QString scratch;
        QString shown;
    };
    Outcome Open(const Files& files, VideoFormat format, QSize size, int fps, bool withSound);
    // The next frame, from a surface of the opened size; repeat: the screen
    // is unchanged since the frame before, which is then sent again as it was.
    Outcome PushFrame(const Surface& screen, bool repeat = false);
    // Interleaved stereo samples following the ones pushed before.
    Outcome PushSound(const std::vector<int16_t>& samples);
    // Ends the streams and waits until the file is complete.
    Outcome Finish();
    // Stops at once; the file is left incomplete.
    void Abort();

private:
    Outcome Failure() const;
    Outcome Push(GstElement* source, GstBuffer* buffer);
    struct Pipeline;
    std::unique_ptr<Pipeline> p_;
};

// The sound track of a video: the tunes one after the other (the list again
// from its first tune when it loops), cut at the video's end and faded out
// over its last second. A tune that cannot be decoded ends the music, as it
// does in the show.
class SoundTrack {
public:
    SoundTrack(QStringList tunes, bool loop);
    ~SoundTrack();

    // The next count stereo frames; silence when the music has ended.
    std::vector<int16_t> Read(int64_t count);
    // Samples from here on fade out so that the track is silent at sample end.
    void SetEnd(int64_t end) { end_ = end; }
    // Stereo frames read so far.
    int64_t Position() const { return position_; }
    // The tune that could not be decoded, or "".
    QString Broken() const { return broken_; }

private:
    bool OpenNext();
    void Close();

    QStringList tunes_;
    bool loop_;
    int next_ = 0;
    bool started_ = false;
    bool anyPlayed_ = false;   // a looping list of tunes that all fail must not spin
    struct Decoder;
    std::unique_ptr<Decoder> d_;
    std::vector<int16_t> pending_;
    size_t pendingAt_ = 0;
    int64_t position_ = 0;
    std::optional<int64_t> end_;
    QString broken_;
};

}  // namespace tamsel
