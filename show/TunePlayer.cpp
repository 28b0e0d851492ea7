#include "show/TunePlayer.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <QFile>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace tamsel {

namespace {

bool GstReady()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] {
        ok = gst_init_check(nullptr, nullptr, nullptr);
        av_log_set_level(AV_LOG_ERROR);
    });
    return ok;
}

}  // namespace

// One tune: its decoder, fed from the file on a thread of its own, and the
// output that plays what it decodes. The decoder waits while the output has
// half a second in hand.
struct TunePlayer::Tune {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resample = nullptr;
    int stream = -1;
    int rate = 0;
    int channels = 0;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;
    std::thread decoder;
    std::atomic<bool> stop{false};
    std::atomic<bool> broken{false};   // the file gave no sound at all
    std::atomic<bool> done{false};     // the decoder has come to the file's end

    ~Tune()
    {
        stop = true;
        // Stopping the output releases a decoder waiting to hand over sound.
        if (pipeline)
            gst_element_set_state(pipeline, GST_STATE_NULL);
        if (decoder.joinable())
            decoder.join();
        if (pipeline)
            gst_object_unref(pipeline);
        swr_free(&resample);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    bool Open(const QString& file)
    {
        if (avformat_open_input(&format, QFile::encodeName(file).constData(), nullptr, nullptr) < 0 ||
            avformat_find_stream_info(format, nullptr) < 0)
            return false;
        const AVCodec* decoding = nullptr;
        stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoding, 0);
        if (stream < 0 || !decoding || !(codec = avcodec_alloc_context3(decoding)) ||
            avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) < 0 ||
            avcodec_open2(codec, decoding, nullptr) < 0 || codec->sample_rate <= 0)
            return false;
        rate = codec->sample_rate;
        channels = std::clamp(codec->ch_layout.nb_channels, 1, 2);
        AVChannelLayout out{};
        av_channel_layout_default(&out, channels);
        AVChannelLayout in{};
        if (av_channel_layout_check(&codec->ch_layout))
            av_channel_layout_copy(&in, &codec->ch_layout);
        else
            av_channel_layout_default(&in, std::max(1, codec->ch_layout.nb_channels));
        const bool made = swr_alloc_set_opts2(&resample, &out, AV_SAMPLE_FMT_S16, rate, &in, codec->sample_fmt,
                                              rate, 0, nullptr) >= 0 &&
                          swr_init(resample) >= 0;
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        return made && MakeOutput();
    }

    bool MakeOutput()
    {
        GError* error = nullptr;
        pipeline = gst_parse_launch("appsrc name=tune format=time ! audioconvert ! audioresample ! autoaudiosink",
                                    &error);
        if (error)
            g_error_free(error);
        if (!pipeline)
            return false;
        source = gst_bin_get_by_name(GST_BIN(pipeline), "tune");
        GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "S16LE", "layout", G_TYPE_STRING,
                                            "interleaved", "rate", G_TYPE_INT, rate, "channels", G_TYPE_INT,
                                            channels, nullptr);
        g_object_set(source, "caps", caps, "block", TRUE, "max-bytes", guint64(rate * channels), nullptr);
        gst_caps_unref(caps);
        gst_object_unref(source);   // the pipeline holds it
        return gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }

    // Hands one decoded frame to the output; false when the output is gone.
    bool Hand(const AVFrame* frame, int64_t& played)
    {
        const int room = swr_get_out_samples(resample, frame->nb_samples);
        if (room <= 0)
            return true;
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, gsize(room) * channels * 2, nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        uint8_t* out = map.data;
        const int n = swr_convert(resample, &out, room, const_cast<const uint8_t**>(frame->extended_data),
                                  frame->nb_samples);
        gst_buffer_unmap(buffer, &map);
        if (n <= 0) {
            gst_buffer_unref(buffer);
            return true;
        }
        gst_buffer_set_size(buffer, gssize(n) * channels * 2);
        GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(played, GST_SECOND, rate);
        GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(n, GST_SECOND, rate);
        played += n;
        broken = false;
        return gst_app_src_push_buffer(GST_APP_SRC(source), buffer) == GST_FLOW_OK;
    }

    void Decode()
    {
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        int64_t played = 0;
        broken = true;   // until some sound comes out
        bool going = packet && frame;
        bool draining = false;
        while (going && !stop) {
            if (!draining) {
                if (av_read_frame(format, packet) < 0) {
                    draining = true;
                    avcodec_send_packet(codec, nullptr);
                } else {
                    // A damaged packet is passed over, as a listener would hardly notice.
                    if (packet->stream_index == stream)
                        avcodec_send_packet(codec, packet);
                    av_packet_unref(packet);
                }
            }
            int r;
            while (going && (r = avcodec_receive_frame(codec, frame)) == 0) {
                going = Hand(frame, played);
                av_frame_unref(frame);
            }
            if (draining)
                break;
        }
        av_frame_free(&frame);
        av_packet_free(&packet);
        if (!stop && !broken)
            gst_app_src_end_of_stream(GST_APP_SRC(source));
        done = true;
    }
};

TunePlayer::TunePlayer() = default;
TunePlayer::~TunePlayer() = default;

void TunePlayer::Listen() const
{
    if (!tune_ || over_)
        return;
    bool failed = tune_->done && tune_->broken;
    GstBus* bus = gst_element_get_bus(tune_->pipeline);
    while (GstMessage* m = gst_bus_pop_filtered(bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        failed = failed || GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR;
        over_ = true;
        gst_message_unref(m);
    }
    gst_object_unref(bus);
    if (failed) {
        over_ = true;
        if (onFailure)
            onFailure(kMusicBroken);
    }
}

int TunePlayer::PlayState() const
{
    Listen();
    return over_ ? 6 : 2;
}

bool TunePlayer::Play(const QString& file)
{
    tune_.reset();
    over_ = true;
    if (!GstReady())
        return false;
    auto tune = std::make_unique<Tune>();
    if (!tune->Open(file))
        return false;
    Tune* t = tune.get();
    t->decoder = std::thread([t] { t->Decode(); });
    tune_ = std::move(tune);
    over_ = false;
    return true;
}

void TunePlayer::Halt()
{
    tune_.reset();
    over_ = true;
}

qint64 TunePlayer::Position() const
{
    gint64 at = 0;
    if (tune_ && gst_element_query_position(tune_->pipeline, GST_FORMAT_TIME, &at))
        return at / GST_MSECOND;
    return 0;
}

bool TunePlayer::HasOutput() const
{
    if (!GstReady())
        return false;
    // The desktop's sound devices, as the device providers installed see
    // them; with no provider to ask, playing is tried.
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Sink", nullptr);
    bool any = true;
    if (gst_device_monitor_start(monitor)) {
        GList* devices = gst_device_monitor_get_devices(monitor);
        any = devices != nullptr;
        g_list_free_full(devices, gst_object_unref);
        gst_device_monitor_stop(monitor);
    }
    gst_object_unref(monitor);
    return any;
}

}  // namespace tamsel
