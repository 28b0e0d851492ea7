#include "show/VideoEncoder.h"

#include "model/Surface.h"
#include "platform/SafeWrite.h"
#include "show/VideoFrames.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include <sys/resource.h>
#include <sys/statvfs.h>

namespace tamsel {
namespace {

// Encoded data waits here for the other stream before the muxer interleaves
// them; the sound runs up to a second behind the pictures (its fade needs the
// end), so this holds a few seconds of compressed data, never raw frames.
constexpr const char* kMuxQueue = "queue max-size-buffers=0 max-size-bytes=0 max-size-time=5000000000";
// Raw frames held in front of the encoder at most.
constexpr int kQueuedFrames = 4;
constexpr double kFadeSecs = 1.0;

bool InitGst()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = gst_init_check(nullptr, nullptr, nullptr); });
    return ok;
}

bool Installed(const char* element)
{
    GstElementFactory* f = gst_element_factory_find(element);
    if (!f)
        return false;
    gst_object_unref(f);
    return true;
}

// The AAC encoders that may be installed, best first.
const char* AacEncoder()
{
    for (const char* e : {"avenc_aac", "fdkaacenc", "voaacenc"})
        if (Installed(e))
            return e;
    return nullptr;
}

struct Need {
    const char* element;
    const char* package;
};

QString MissingText(const Need& n)
{
    return QStringLiteral("  无法导出视频: 缺少 GStreamer 组件 %1 (请安装 %2)")
        .arg(QString::fromLatin1(n.element), QString::fromLatin1(n.package));
}

// The frames go to the encoder as I420, which we make ourselves straight from
// the screen's rows where that gives videoconvert's very pixels, and which
// videoconvert makes from the screen's BGR elsewhere.
QString PipelineText(VideoFormat format, QSize size, int fps, bool withSound, qint64 frameBytes)
{
    const bool ours = ConvertsLikeVideoconvert(size);
    QString video = QStringLiteral(
                        "appsrc name=video format=time max-bytes=%1 "
                        "caps=video/x-raw,format=%5,width=%2,height=%3,framerate=%4/1 ! ")
                        .arg(frameBytes * kQueuedFrames)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(fps)
                        .arg(ours ? QStringLiteral("I420") : QStringLiteral("BGR"));
    if (!ours)
        video += QStringLiteral("videoconvert n-threads=2 ! video/x-raw,format=I420 ! ");
    QString sound = QStringLiteral(
        "appsrc name=sound format=time max-bytes=%1 "
        "caps=audio/x-raw,format=S16LE,layout=interleaved,rate=%2,channels=%3 "
        "! audioconvert ! audioresample ! ")
                        .arg(kSoundRate * kSoundChannels * 2)
                        .arg(kSoundRate)
                        .arg(kSoundChannels);
    QString mux;
    if (format == VideoFormat::Mp4) {
        video += QStringLiteral("x264enc speed-preset=veryfast pass=qual quantizer=21 ! h264parse ! ");
        sound += QString::fromLatin1(AacEncoder()) + QStringLiteral(" ! aacparse ! ");
        mux = QStringLiteral("mp4mux name=mux faststart=true");
    } else {
        // Real-time settings: the slow ones take minutes for a few seconds at 1080p.
        const qint64 bitrate = std::clamp<qint64>(qint64(size.width()) * size.height() * fps / 8,
                                                  200'000, 20'000'000);
        video += QStringLiteral("vp9enc deadline=1 cpu-used=8 threads=2 row-mt=true "
                                "end-usage=vbr target-bitrate=%1 ! ")
                     .arg(bitrate);
        sound += QStringLiteral("opusenc ! ");
        mux = QStringLiteral("webmmux name=mux");
    }
    QString text = mux + QStringLiteral(" ! filesink name=file ") + video + kMuxQueue + " ! mux. ";
    if (withSound)
        text += sound + kMuxQueue + " ! mux. ";
    return text;
}

}  // namespace

std::optional<VideoFormat> VideoFormatOf(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("mp4"))
        return VideoFormat::Mp4;
    if (ext == QLatin1String("webm"))
        return VideoFormat::WebM;
    return std::nullopt;
}

Outcome CheckVideoEncoders(VideoFormat format, bool withSound)
{
    if (!InitGst())
        return Outcome::Failed(QStringLiteral("  无法导出视频: GStreamer 无法启动"));
    std::vector<Need> needs = {{"appsrc", "gstreamer1.0-plugins-base"},
                               {"videoconvert", "gstreamer1.0-plugins-base"},
                               {"filesink", "libgstreamer1.0-0"}};
    if (format == VideoFormat::Mp4) {
        needs.push_back({"x264enc", "gstreamer1.0-plugins-ugly"});
        needs.push_back({"h264parse", "gstreamer1.0-plugins-bad"});
        needs.push_back({"mp4mux", "gstreamer1.0-plugins-good"});
    } else {
        needs.push_back({"vp9enc", "gstreamer1.0-plugins-good"});
        needs.push_back({"webmmux", "gstreamer1.0-plugins-good"});
    }
    if (withSound) {
        needs.push_back({"uridecodebin", "gstreamer1.0-plugins-base"});
        needs.push_back({"audioconvert", "gstreamer1.0-plugins-base"});
        needs.push_back({"audioresample", "gstreamer1.0-plugins-base"});
        if (format == VideoFormat::Mp4) {
            if (!AacEncoder())
                return Outcome::Failed(MissingText({"avenc_aac", "gstreamer1.0-libav"}));
            needs.push_back({"aacparse", "gstreamer1.0-plugins-good"});
        } else {
            needs.push_back({"opusenc", "gstreamer1.0-plugins-base"});
        }
    }
    for (const Need& n : needs)
        if (!Installed(n.element))
            return Outcome::Failed(MissingText(n));
    return Outcome::Done();
}

struct VideoEncoder::Pipeline {
    Files files;
    GstElement* pipeline = nullptr;
    GstElement* video = nullptr;
    GstElement* sound = nullptr;
    GstBus* bus = nullptr;
    int fps = 30;
    QSize size;
    int64_t frames = 0;
    int64_t soundFrames = 0;
    // Frames are made in the pool's buffers, which come back to it once the
    // encoder is done with them: no fresh memory to clear for every frame.
    GstBufferPool* pool = nullptr;
    GstBuffer* last = nullptr;   // the frame pushed last, for a frame that repeats it
    std::optional<GstVideoInfo> i420;   // the layout of our own I420 frames; none: BGR
    gsize frameBytes = 0;

    ~Pipeline()
    {
        if (last)
            gst_buffer_unref(last);
        if (pipeline)
            gst_element_set_state(pipeline, GST_STATE_NULL);
        if (pool) {
            gst_buffer_pool_set_active(pool, FALSE);
            gst_object_unref(pool);
        }
        if (video)
            gst_object_unref(video);
        if (sound)
            gst_object_unref(sound);
        if (bus)
            gst_object_unref(bus);
        if (pipeline)
            gst_object_unref(pipeline);
    }
};

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

Outcome VideoEncoder::Open(const Files& files, VideoFormat format, QSize size, int fps, bool withSound)
{
    if (const Outcome o = CheckVideoEncoders(format, withSound); !o)
        return o;
    auto p = std::make_unique<Pipeline>();
    p->files = files;
    p->fps = fps;
    p->size = size;
    if (ConvertsLikeVideoconvert(size)) {
        GstVideoInfo info;
        gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, guint(size.width()), guint(size.height()));
        p->i420 = info;
        p->frameBytes = GST_VIDEO_INFO_SIZE(&info);
    } else {
        p->frameBytes = gsize(DibStride(size.width())) * gsize(size.height());
    }
    p->pool = gst_buffer_pool_new();
    GstStructure* config = gst_buffer_pool_get_config(p->pool);
    gst_buffer_pool_config_set_params(config, nullptr, guint(p->frameBytes), kQueuedFrames, 0);
    if (!gst_buffer_pool_set_config(p->pool, config) || !gst_buffer_pool_set_active(p->pool, TRUE))
        return Outcome::Failed(QStringLiteral("  无法导出视频: GStreamer 无法启动"));
    GError* error = nullptr;
    p->pipeline = gst_parse_launch(
        PipelineText(format, size, fps, withSound, qint64(p->frameBytes)).toUtf8().constData(), &error);
    if (error || !p->pipeline) {
        const QString why = error ? QString::fromUtf8(error->message) : QString();
        if (error)
            g_error_free(error);
        return Outcome::Failed(QStringLiteral("  无法导出视频: %1").arg(why));
    }
    GstElement* file = gst_bin_get_by_name(GST_BIN(p->pipeline), "file");
    g_object_set(file, "location", QFile::encodeName(files.file).constData(), nullptr);
    gst_object_unref(file);
    if (format == VideoFormat::Mp4 && !files.scratch.isEmpty()) {
        GstElement* mux = gst_bin_get_by_name(GST_BIN(p->pipeline), "mux");
        g_object_set(mux, "faststart-file", QFile::encodeName(files.scratch).constData(), nullptr);
        gst_object_unref(mux);
    }
    p->video = gst_bin_get_by_name(GST_BIN(p->pipeline), "video");
    if (withSound)
        p->sound = gst_bin_get_by_name(GST_BIN(p->pipeline), "sound");
    p->bus = gst_element_get_bus(p->pipeline);
    p_ = std::move(p);
    if (gst_element_set_state(p_->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return Failure();
    return Outcome::Done();
}

namespace {

// The system's reason behind a failed write of the encoder's files, which
// GStreamer tells only in its own words (and a muxer, "Could not multiplex
// stream", not at all): the disk that has no room left, the file that reached
// the process's size limit. 0 when it is neither.
int WriteCause(const GError* e, const VideoEncoder::Files& files)
{
    if (e && e->domain == GST_RESOURCE_ERROR && e->code == GST_RESOURCE_ERROR_NO_SPACE_LEFT)
        return ENOSPC;
    // Less than this left is a disk that refused the next buffer.
    constexpr qint64 kRoom = 1 << 20;
    rlimit limit{};
    const bool limited = ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
    for (const QString& path : {files.file, files.scratch}) {
        if (path.isEmpty())
            continue;
        struct statvfs disk {};
        if (::statvfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &disk) == 0 &&
            qint64(disk.f_bavail) * qint64(disk.f_frsize) < kRoom)
            return ENOSPC;
        if (limited && QFileInfo(path).size() + kRoom > qint64(limit.rlim_cur))
            return EFBIG;
    }
    return 0;
}

}  // namespace

// The first error the pipeline posted, as the user reads it.
Outcome VideoEncoder::Failure() const
{
    GError* e = nullptr;
    if (p_ && p_->bus)
        if (GstMessage* m = gst_bus_pop_filtered(p_->bus, GST_MESSAGE_ERROR)) {
            gst_message_parse_error(m, &e, nullptr);
            gst_message_unref(m);
        }
    QString why;
    if (const int cause = p_ ? WriteCause(e, p_->files) : 0)
        why = WriteFailure(cause, p_->files.shown.isEmpty() ? p_->files.file : p_->files.shown);
    else if (e && e->domain == GST_RESOURCE_ERROR && p_)
        why = QStringLiteral("无法写入 %1").arg(QFileInfo(p_->files.shown).fileName());
    else
        // Not the disk: the encoder's own trouble, in its words for a report.
        why = QStringLiteral("视频编码出错 (%1)").arg(e ? QString::fromUtf8(e->message) : QStringLiteral("?"));
    if (e)
        g_error_free(e);
    return Outcome::Failed(QStringLiteral("  无法导出视频: %1").arg(why));
}

// Hands a buffer to a source once it has room, so that no more than its
// limit is held. The wait watches the pipeline: an encoder or a file that
// failed never takes another buffer, and a source that simply blocked would
// wait for it for ever.
Outcome VideoEncoder::Push(GstElement* source, GstBuffer* buffer)
{
    auto* src = GST_APP_SRC(source);
    const guint64 most = gst_app_src_get_max_bytes(src);
    while (gst_app_src_get_current_level_bytes(src) >= most) {
        if (GstMessage* m = gst_bus_timed_pop_filtered(p_->bus, 2 * GST_MSECOND, GST_MESSAGE_ERROR)) {
            gst_bus_post(p_->bus, m);   // put back for Failure() to read
            gst_buffer_unref(buffer);
            return Failure();
        }
    }
    if (gst_app_src_push_buffer(src, buffer) != GST_FLOW_OK)
        return Failure();
    return Outcome::Done();
}

Outcome VideoEncoder::PushFrame(const Surface& screen, bool repeat)
{
    Pipeline& p = *p_;
    GstBuffer* buffer = nullptr;
    if (repeat && p.last) {
        // The same pixels again: the memory is shared, only the time is new.
        buffer = gst_buffer_copy(p.last);
    } else {
        if (gst_buffer_pool_acquire_buffer(p.pool, &buffer, nullptr) != GST_FLOW_OK)
            return Failure();
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        if (p.i420) {
            const GstVideoInfo& info = *p.i420;
            I420Planes planes{};
            for (int i = 0; i < 3; ++i) {
                planes.plane[i] = map.data + GST_VIDEO_INFO_PLANE_OFFSET(&info, i);
                planes.stride[i] = GST_VIDEO_INFO_PLANE_STRIDE(&info, i);
            }
            ToI420(screen, planes);
        } else {
            // The surface is bottom-up; the video's rows run from the top.
            const int stride = screen.Stride();
            for (int y = 0; y < screen.Height(); ++y)
                std::memcpy(map.data + gsize(y) * stride, screen.RowPtr(y), stride);
        }
        gst_buffer_unmap(buffer, &map);
    }
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(p.frames, GST_SECOND, p.fps);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(p.frames + 1, GST_SECOND, p.fps) - GST_BUFFER_PTS(buffer);
    ++p.frames;
    if (p.last)
        gst_buffer_unref(p.last);
    p.last = gst_buffer_ref(buffer);
    return Push(p.video, buffer);
}

Outcome VideoEncoder::PushSound(const std::vector<int16_t>& samples)
{
    Pipeline& p = *p_;
    if (!p.sound || samples.empty())
        return Outcome::Done();
    const gsize bytes = samples.size() * sizeof(int16_t);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_fill(buffer, 0, samples.data(), bytes);
    const int64_t count = int64_t(samples.size()) / kSoundChannels;
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(p.soundFrames, GST_SECOND, kSoundRate);
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale(p.soundFrames + count, GST_SECOND, kSoundRate) - GST_BUFFER_PTS(buffer);
    p.soundFrames += count;
    return Push(p.sound, buffer);
}

Outcome VideoEncoder::Finish()
{
    Pipeline& p = *p_;
    gst_app_src_end_of_stream(GST_APP_SRC(p.video));
    if (p.sound)
        gst_app_src_end_of_stream(GST_APP_SRC(p.sound));
    GstMessage* m = gst_bus_timed_pop_filtered(p.bus, GST_CLOCK_TIME_NONE,
                                               GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool eos = m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
    if (m && !eos)
        gst_bus_post(p.bus, m);
    else if (m)
        gst_message_unref(m);
    const Outcome o = eos ? Outcome::Done() : Failure();
    gst_element_set_state(p.pipeline, GST_STATE_NULL);
    return o;
}

void VideoEncoder::Abort()
{
    if (p_)
        gst_element_set_state(p_->pipeline, GST_STATE_NULL);
}

// One tune decoded to the track's sample format.
struct SoundTrack::Decoder {
    GstElement* pipeline = nullptr;
    GstElement* sink = nullptr;
    ~Decoder()
    {
        if (pipeline)
            gst_element_set_state(pipeline, GST_STATE_NULL);
        if (sink)
            gst_object_unref(sink);
        if (pipeline)
            gst_object_unref(pipeline);
    }
    // Whether the tune ended by an error rather than at its end.
    bool Failed() const
    {
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
        gst_object_unref(bus);
        if (m)
            gst_message_unref(m);
        return m != nullptr;
    }
};

SoundTrack::SoundTrack(QStringList tunes, bool loop) : tunes_(std::move(tunes)), loop_(loop)
{
    InitGst();
}

SoundTrack::~SoundTrack() = default;

void SoundTrack::Close() { d_.reset(); }

bool SoundTrack::OpenNext()
{
    Close();
    if (!broken_.isEmpty())
        return false;
    if (next_ >= tunes_.size()) {
        if (!loop_ || !anyPlayed_ || tunes_.isEmpty())
            return false;
        next_ = 0;
    }
    const QString tune = tunes_.at(next_++);
    auto d = std::make_unique<Decoder>();
    const QString text = QStringLiteral(
        "uridecodebin name=src ! audioconvert ! audioresample "
        "! audio/x-raw,format=S16LE,layout=interleaved,rate=%1,channels=%2 "
        "! appsink name=sink sync=false max-buffers=8")
                             .arg(kSoundRate)
                             .arg(kSoundChannels);
    d->pipeline = gst_parse_launch(text.toUtf8().constData(), nullptr);
    if (!d->pipeline) {
        broken_ = tune;
        return false;
    }
    GstElement* src = gst_bin_get_by_name(GST_BIN(d->pipeline), "src");
    g_object_set(src, "uri", QUrl::fromLocalFile(QFileInfo(tune).absoluteFilePath()).toEncoded().constData(),
                 nullptr);
    gst_object_unref(src);
    d->sink = gst_bin_get_by_name(GST_BIN(d->pipeline), "sink");
    if (gst_element_set_state(d->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        broken_ = tune;
        return false;
    }
    d_ = std::move(d);
    return true;
}

std::vector<int16_t> SoundTrack::Read(int64_t count)
{
    std::vector<int16_t> out(size_t(count) * kSoundChannels, 0);
    size_t filled = 0;
    if (!started_) {
        started_ = true;
        OpenNext();
    }
    while (filled < out.size()) {
        if (pendingAt_ < pending_.size()) {
            const size_t n = std::min(out.size() - filled, pending_.size() - pendingAt_);
            std::copy_n(pending_.begin() + pendingAt_, n, out.begin() + filled);
            filled += n;
            pendingAt_ += n;
            continue;
        }
        if (!d_)
            break;   // the music has ended: silence from here
        GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(d_->sink));
        if (!sample) {
            if (d_->Failed())
                broken_ = tunes_.at(next_ - 1);
            OpenNext();
            continue;
        }
        anyPlayed_ = true;
        GstBuffer* b = gst_sample_get_buffer(sample);
        pending_.resize(gst_buffer_get_size(b) / sizeof(int16_t));
        gst_buffer_extract(b, 0, pending_.data(), pending_.size() * sizeof(int16_t));
        pendingAt_ = 0;
        gst_sample_unref(sample);
    }
    // The fade: linear to silence over the last second before the end.
    if (end_) {
        const int64_t fadeFrom = *end_ - int64_t(kFadeSecs * kSoundRate);
        for (int64_t i = 0; i < count; ++i) {
            const int64_t at = position_ + i;
            if (at < fadeFrom)
                continue;
            const double gain = at >= *end_ ? 0.0 : double(*end_ - at) / double(*end_ - fadeFrom);
            for (int c = 0; c < kSoundChannels; ++c) {
                int16_t& s = out[size_t(i) * kSoundChannels + c];
                s = int16_t(s * gain);
            }
        }
    }
    position_ += count;
    return out;
}

}  // namespace tamsel
