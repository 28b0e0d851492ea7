#include "show/TunePlayer.h"

#include <gst/gst.h>

#include <mutex>

namespace tamsel {

namespace {

bool GstReady()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = gst_init_check(nullptr, nullptr, nullptr); });
    return ok;
}

constexpr guint kPlayAudioOnly = 1u << 1;   // playbin's GST_PLAY_FLAG_AUDIO

}  // namespace

TunePlayer::~TunePlayer()
{
    if (!playbin_)
        return;
    gst_element_set_state(playbin_, GST_STATE_NULL);
    gst_object_unref(playbin_);
}

void TunePlayer::Listen() const
{
    if (!playbin_)
        return;
    GstBus* bus = gst_element_get_bus(playbin_);
    while (GstMessage* m = gst_bus_pop_filtered(bus, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        const bool failed = GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR;
        gst_message_unref(m);
        if (!playing_)
            continue;   // what a halted tune said last
        playing_ = false;
        over_ = true;
        if (failed && onFailure)
            onFailure(kMusicBroken);
    }
    gst_object_unref(bus);
}

int TunePlayer::PlayState() const
{
    Listen();
    if (over_)
        return 6;
    return playing_ ? 2 : 0;
}

bool TunePlayer::Play(const QString& file)
{
    if (!GstReady())
        return false;
    if (!playbin_) {
        playbin_ = gst_element_factory_make("playbin", "tunes");
        if (!playbin_)
            return false;
        gst_object_ref_sink(playbin_);
        g_object_set(playbin_, "flags", kPlayAudioOnly, nullptr);
    }
    gst_element_set_state(playbin_, GST_STATE_NULL);
    Listen();   // what the last tune said is past
    gchar* uri = gst_filename_to_uri(file.toLocal8Bit().constData(), nullptr);
    if (!uri)
        return false;
    g_object_set(playbin_, "uri", uri, nullptr);
    g_free(uri);
    playing_ = gst_element_set_state(playbin_, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    over_ = !playing_;
    return playing_;
}

void TunePlayer::Halt()
{
    if (!playbin_)
        return;
    playing_ = false;
    over_ = true;
    gst_element_set_state(playbin_, GST_STATE_NULL);
}

qint64 TunePlayer::Position() const
{
    gint64 at = 0;
    if (playbin_ && gst_element_query_position(playbin_, GST_FORMAT_TIME, &at))
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
