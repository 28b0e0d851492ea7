#include "model/Surface.h"
#include "show/VideoFrames.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <vector>

using namespace tamsel;

namespace {

// What videoconvert, as the export used it, makes of one BGR frame.
std::vector<uint8_t> Videoconvert(const Surface& s)
{
    const QString text = QStringLiteral("appsrc name=src format=time caps=video/x-raw,format=BGR,width=%1,height=%2,"
                                        "framerate=30/1 ! videoconvert n-threads=2 ! video/x-raw,format=I420 "
                                        "! appsink name=sink sync=false")
                             .arg(s.Width())
                             .arg(s.Height());
    GstElement* p = gst_parse_launch(text.toUtf8().constData(), nullptr);
    GstElement* src = gst_bin_get_by_name(GST_BIN(p), "src");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(p), "sink");
    gst_element_set_state(p, GST_STATE_PLAYING);
    GstBuffer* in = gst_buffer_new_allocate(nullptr, gsize(s.Stride()) * s.Height(), nullptr);
    for (int y = 0; y < s.Height(); ++y)
        gst_buffer_fill(in, gsize(y) * s.Stride(), s.RowPtr(y), s.Stride());
    GST_BUFFER_PTS(in) = 0;
    gst_app_src_push_buffer(GST_APP_SRC(src), in);
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    std::vector<uint8_t> out;
    if (GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink))) {
        out.resize(gst_buffer_get_size(gst_sample_get_buffer(sample)));
        gst_buffer_extract(gst_sample_get_buffer(sample), 0, out.data(), out.size());
        gst_sample_unref(sample);
    }
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(src);
    gst_object_unref(sink);
    gst_object_unref(p);
    return out;
}

}  // namespace

// Our I420 frames are videoconvert's to the byte, in both colour matrices,
// at widths whose chroma rows are padded, and at the left and right edges,
// for noise (every rounding) and for hard edges between saturated colours.
TEST(VideoFrames, OurI420IsWhatVideoconvertMakes)
{
    gst_init(nullptr, nullptr);
    const QSize sizes[] = {{16, 16}, {480, 336}, {722, 576}, {642, 580}, {1922, 1080}};
    for (const QSize size : sizes) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        ASSERT_TRUE(ConvertsLikeVideoconvert(size));
        Surface s;
        ASSERT_TRUE(s.Create(size.width(), size.height()));
        uint32_t v = 99;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width() * 3; ++x, v = v * 1664525u + 1013904223u)
                s.RowPtr(y)[x] = uint8_t(y / 8 % 2 ? v >> 24 : ((x / 3 + y) % 5 < 2 ? 255 : 0) ^ (x % 3 == 1 ? 255 : 0));
        GstVideoInfo info;
        gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, guint(size.width()), guint(size.height()));
        std::vector<uint8_t> ours(GST_VIDEO_INFO_SIZE(&info));
        I420Planes planes{};
        for (int i = 0; i < 3; ++i) {
            planes.plane[i] = ours.data() + GST_VIDEO_INFO_PLANE_OFFSET(&info, i);
            planes.stride[i] = GST_VIDEO_INFO_PLANE_STRIDE(&info, i);
        }
        ToI420(s, planes);
        const std::vector<uint8_t> theirs = Videoconvert(s);
        ASSERT_EQ(theirs.size(), ours.size());
        // The padding at the end of a row is no pixel: the encoder never reads it.
        size_t differ = 0;
        for (int i = 0; i < 3; ++i)
            for (int y = 0; y < GST_VIDEO_INFO_COMP_HEIGHT(&info, i); ++y)
                for (int x = 0; x < GST_VIDEO_INFO_COMP_WIDTH(&info, i); ++x) {
                    const size_t at = GST_VIDEO_INFO_PLANE_OFFSET(&info, i) +
                                      size_t(y) * GST_VIDEO_INFO_PLANE_STRIDE(&info, i) + size_t(x);
                    differ += ours[at] != theirs[at];
                }
        EXPECT_EQ(differ, 0u);
    }
}
