#include "imaging/heif/HevcDecoder.h"

#include "imaging/HeifReader.h"

#include <libheif/heif_plugin.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace tamsel {

namespace {

constexpr const char* kRgbId = "tamsel-libavcodec-rgb";
constexpr const char* kYcbcrId = "tamsel-libavcodec";
constexpr const char* kReducedId = "tamsel-libavcodec-reduced";
// Below libheif's own decoders (100): only a read that names one gets it. Were
// libheif to have none of its own, the one that keeps the file's colour
// matrix would be its choice.
constexpr int kYcbcrPriority = 50;
constexpr int kRgbPriority = 40;
constexpr int kReducedPriority = 30;
// No tile or picture of a photo the album takes in is larger.
constexpr int64_t kMaxPixels = 128'000'000;

constexpr heif_error kOk = {heif_error_Ok, heif_suberror_Unspecified, "Success"};

heif_error Failure(const char* why) { return {heif_error_Decoder_plugin_error, heif_suberror_Unspecified, why}; }

// What libheif pushes: the parameter sets, then the picture's slices, each
// NAL unit behind its length in four bytes. libavcodec reads a stream of NAL
// units behind start codes.
thread_local const PictureRequest* tRequest = nullptr;

// Larger frames than this take the decoder's tables and frame pool with them
// when done: some 40 MB for a phone's 12 MP picture, which would otherwise
// stay held until the next photo. Grid tiles keep the decoder for the next.
constexpr int64_t kKeptPixels = 4'000'000;

struct Stream {
    // The NAL units behind start codes, in a buffer libavcodec takes as it
    // is rather than copying it: as long as the data, four bytes of length
    // turned into four of start code, and the padding it reads past the end.
    AVBufferRef* annexB = nullptr;
    size_t used = 0;
    ~Stream() { av_buffer_unref(&annexB); }
    bool broken = false;
    // RGB planes asked for when the frame's size is known, and being made.
    bool wantsRgb = false;
    std::future<ImagePtr> rgb;
};

// libavcodec asks for the frame's memory once it knows the picture's size,
// before the first slice decodes: the moment to start on the RGB planes.
int GetBuffer(AVCodecContext* context, AVFrame* frame, int flags)
{
    auto* stream = static_cast<Stream*>(context->opaque);
    if (stream->wantsRgb && !stream->rgb.valid() && frame->width > 0 && frame->height > 0)
        stream->rgb = std::async(std::launch::async, RgbPlanes, frame->width, frame->height);
    return avcodec_default_get_buffer2(context, frame, flags);
}

struct ContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

const char* Name() { return "libavcodec HEVC decoder"; }

int SupportsAsYcbcr(heif_compression_format format) { return format == heif_compression_HEVC ? kYcbcrPriority : 0; }
int SupportsAsRgb(heif_compression_format format) { return format == heif_compression_HEVC ? kRgbPriority : 0; }
int SupportsAsReduced(heif_compression_format format)
{
    return format == heif_compression_HEVC ? kReducedPriority : 0;
}

heif_error NewDecoder(void** decoder)
{
    *decoder = new Stream;
    return kOk;
}

void FreeDecoder(void* decoder) { delete static_cast<Stream*>(decoder); }

heif_error PushData(void* decoder, const void* data, size_t size)
{
    auto* stream = static_cast<Stream*>(decoder);
    const auto* d = static_cast<const uint8_t*>(data);
    if (size > size_t(INT32_MAX) - AV_INPUT_BUFFER_PADDING_SIZE - stream->used ||
        av_buffer_realloc(&stream->annexB, stream->used + size + AV_INPUT_BUFFER_PADDING_SIZE) < 0) {
        stream->broken = true;
        return kOk;
    }
    for (size_t at = 0; at < size;) {
        if (size - at < 4) {
            stream->broken = true;
            break;
        }
        const size_t length = size_t(d[at]) << 24 | size_t(d[at + 1]) << 16 | size_t(d[at + 2]) << 8 | d[at + 3];
        at += 4;
        if (length > size - at) {
            stream->broken = true;
            break;
        }
        static constexpr uint8_t kStartCode[4] = {0, 0, 0, 1};
        std::memcpy(stream->annexB->data + stream->used, kStartCode, 4);
        std::memcpy(stream->annexB->data + stream->used + 4, d + at, length);
        stream->used += 4 + length;
        at += length;
    }
    return kOk;
}

// The planes of the decoded frame, copied into libheif's picture with the
// colour description the stream carries; libheif puts the file's own over
// it when the file has one.
heif_error ToHeifImage(const AVFrame& frame, heif_image** out)
{
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_BE | AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_ALPHA |
                                 AV_PIX_FMT_FLAG_FLOAT | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL)))
        return Failure("unsupported pixel format");
    const bool mono = desc->nb_components == 1;
    const int bits = desc->comp[0].depth;
    heif_chroma chroma = heif_chroma_monochrome;
    if (!mono) {
        if (desc->nb_components != 3)
            return Failure("unsupported pixel format");
        if (desc->log2_chroma_w == 1 && desc->log2_chroma_h == 1)
            chroma = heif_chroma_420;
        else if (desc->log2_chroma_w == 1 && desc->log2_chroma_h == 0)
            chroma = heif_chroma_422;
        else if (desc->log2_chroma_w == 0 && desc->log2_chroma_h == 0)
            chroma = heif_chroma_444;
        else
            return Failure("unsupported chroma format");
    }
    heif_image* image = nullptr;
    if (heif_image_create(frame.width, frame.height, mono ? heif_colorspace_monochrome : heif_colorspace_YCbCr,
                          chroma, &image)
            .code)
        return Failure("out of memory");
    const heif_channel channels[3] = {heif_channel_Y, heif_channel_Cb, heif_channel_Cr};
    for (int c = 0; c < desc->nb_components; ++c) {
        const int w = c ? AV_CEIL_RSHIFT(frame.width, desc->log2_chroma_w) : frame.width;
        const int h = c ? AV_CEIL_RSHIFT(frame.height, desc->log2_chroma_h) : frame.height;
        if (heif_image_add_plane(image, channels[c], w, h, bits).code) {
            heif_image_release(image);
            return Failure("out of memory");
        }
        int stride = 0;
        uint8_t* to = heif_image_get_plane(image, channels[c], &stride);
        const size_t rowBytes = size_t(w) * (bits > 8 ? 2 : 1);
        for (int y = 0; y < h; ++y)
            std::memcpy(to + size_t(y) * stride, frame.data[c] + size_t(y) * frame.linesize[c], rowBytes);
    }
    if (heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc()) {
        // The H.273 codes, which libavcodec keeps as they are in the stream.
        nclx->color_primaries = heif_color_primaries(frame.color_primaries);
        nclx->transfer_characteristics = heif_transfer_characteristics(frame.color_trc);
        nclx->matrix_coefficients = heif_matrix_coefficients(frame.colorspace);
        nclx->full_range_flag = frame.color_range == AVCOL_RANGE_JPEG;
        heif_image_set_nclx_color_profile(image, nclx);
        heif_nclx_color_profile_free(nclx);
    }
    *out = image;
    return kOk;
}

std::optional<YcbcrMatrix> MatrixOf(const AVFrame& frame)
{
    return tamsel::MatrixOf(int(frame.colorspace), frame.color_range == AVCOL_RANGE_JPEG);
}

uint8_t Clamp8(int32_t v) { return uint8_t(std::clamp((v + 32768) >> 16, 0, 255)); }

// An 8-bit YCbCr frame as RGB planes, a band of rows on each core: libheif
// then has nothing left to convert, which it would do on one core, twice
// (to planes, then to the caller's layout). Nothing for any other frame.
heif_image* ToRgbImage(const AVFrame& frame, ImagePtr made, const std::optional<YcbcrMatrix>& matrix)
{
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    if (!desc || !matrix || desc->nb_components != 3 || desc->comp[0].depth != 8 || desc->comp[1].depth != 8 ||
        (desc->flags & ~AV_PIX_FMT_FLAG_PLANAR) || desc->log2_chroma_w > 1 || desc->log2_chroma_h > desc->log2_chroma_w)
        return nullptr;
    const int w = frame.width, h = frame.height, sx = desc->log2_chroma_w, sy = desc->log2_chroma_h;
    // The frame may come out cropped to a smaller size than it was decoded at.
    ImagePtr image = made && heif_image_get_width(made.get(), heif_channel_R) == w &&
                             heif_image_get_height(made.get(), heif_channel_R) == h
                         ? std::move(made)
                         : RgbPlanes(w, h);
    if (!image)
        return nullptr;
    uint8_t* planes[3];
    int strides[3];
    RgbRows(image.get(), planes, strides);
    const YcbcrMatrix m = *matrix;
    auto band = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const uint8_t* yr = frame.data[0] + size_t(y) * frame.linesize[0];
            const uint8_t* cbr = frame.data[1] + size_t(y >> sy) * frame.linesize[1];
            const uint8_t* crr = frame.data[2] + size_t(y >> sy) * frame.linesize[2];
            uint8_t* r = planes[0] + size_t(y) * strides[0];
            uint8_t* g = planes[1] + size_t(y) * strides[1];
            uint8_t* b = planes[2] + size_t(y) * strides[2];
            // Each chroma sample's share once, for the one or two pixels it covers.
            const auto pixel = [&](int x, int32_t toR, int32_t toG, int32_t toB) {
                const int32_t l = (yr[x] - m.yOffset) * m.y;
                r[x] = Clamp8(l + toR);
                g[x] = Clamp8(l + toG);
                b[x] = Clamp8(l + toB);
            };
            const int pairs = sx ? w / 2 : 0;
            for (int cx = 0; cx < pairs; ++cx) {
                const int32_t cb = cbr[cx] - 128, cr = crr[cx] - 128;
                const int32_t toR = cr * m.crToR, toG = cb * m.cbToG + cr * m.crToG, toB = cb * m.cbToB;
                pixel(2 * cx, toR, toG, toB);
                pixel(2 * cx + 1, toR, toG, toB);
            }
            for (int x = pairs * 2; x < w; ++x) {
                const int32_t cb = cbr[x >> sx] - 128, cr = crr[x >> sx] - 128;
                pixel(x, cr * m.crToR, cb * m.cbToG + cr * m.crToG, cb * m.cbToB);
            }
        }
    };
    OnEveryCore(h, band);
    return image.release();
}

// The frame's YCbCr planes, when they are planar YCbCr of 8 to 16 bits.
std::optional<YcbcrPlanes> PlanesOf(const AVFrame& frame)
{
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(frame.format));
    if (!desc || desc->nb_components != 3 || (desc->flags & ~AV_PIX_FMT_FLAG_PLANAR) || desc->log2_chroma_w > 1 ||
        desc->log2_chroma_h > desc->log2_chroma_w || desc->comp[0].depth < 8 || desc->comp[0].depth > 16 ||
        desc->comp[1].depth != desc->comp[0].depth || desc->comp[2].depth != desc->comp[0].depth)
        return std::nullopt;
    YcbcrPlanes planes;
    for (int c = 0; c < 3; ++c) {
        planes.planes[c] = frame.data[c];
        planes.strides[c] = frame.linesize[c];
    }
    planes.width = frame.width;
    planes.height = frame.height;
    planes.sx = desc->log2_chroma_w;
    planes.sy = desc->log2_chroma_h;
    planes.bits = desc->comp[0].depth;
    return planes;
}

// The picture as the reader asked for it on this thread; nothing when it
// asked nothing of this frame or the frame cannot be had so.
heif_image* AsRequested(const AVFrame& frame, ImagePtr made)
{
    const PictureRequest* asked = tRequest;
    if (!asked || !((frame.width == asked->width && frame.height == asked->height) ||
                    (frame.width == asked->height && frame.height == asked->width)))
        return nullptr;
    const std::optional<YcbcrMatrix> matrix = asked->matrix ? asked->matrix : MatrixOf(frame);
    if (!matrix)
        return nullptr;
    if (asked->factor <= 1)
        return ToRgbImage(frame, std::move(made), matrix);
    const std::optional<YcbcrPlanes> planes = PlanesOf(frame);
    return planes ? ShrinkToRgb(*planes, asked->factor, *matrix) : nullptr;
}

// The decoder of this thread, kept: a batch converts photo after photo on
// the same threads, and a decoder opened anew makes its threads and
// allocates and clears its tables and frames anew. Emptied after each
// picture, which drains it; let go after a large one.
thread_local std::unique_ptr<AVCodecContext, ContextFree> tKept;

AVCodecContext* ThreadDecoder()
{
    auto& kept = tKept;
    if (kept)
        return kept.get();
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_HEVC);
    std::unique_ptr<AVCodecContext, ContextFree> context(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!context)
        return nullptr;
    context->get_buffer2 = GetBuffer;
    // The rows of one picture over every core; a photo is a single picture,
    // so frame threads would find nothing to do.
    context->thread_type = FF_THREAD_SLICE;
    context->thread_count = CoreCount();
    context->max_pixels = kMaxPixels;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return nullptr;
    kept = std::move(context);
    return kept.get();
}

heif_error Decode(void* decoder, heif_image** out, bool toRgb, bool skipFilters = false)
{
    auto* stream = static_cast<Stream*>(decoder);
    if (stream->broken || !stream->annexB || !stream->used)
        return Failure("damaged HEVC data");
    AVCodecContext* context = ThreadDecoder();
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!context || !packet || !frame)
        return Failure("cannot open the HEVC decoder");
    struct Empty {
        AVCodecContext* context;
        void Now(bool letGo)
        {
            if (!context)
                return;
            avcodec_flush_buffers(context);
            context->opaque = nullptr;
            context->skip_loop_filter = AVDISCARD_DEFAULT;
            context = nullptr;
            if (letGo)
                tKept.reset();
        }
        ~Empty() { Now(false); }
    } empty{context};
    context->opaque = stream;
    const PictureRequest* asked = tRequest;
    stream->wantsRgb = toRgb || (asked && asked->factor <= 1);
    context->skip_loop_filter = skipFilters ? AVDISCARD_ALL : AVDISCARD_DEFAULT;
    std::memset(stream->annexB->data + stream->used, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    packet->buf = std::exchange(stream->annexB, nullptr);
    packet->data = packet->buf->data;
    packet->size = int(stream->used);
    const bool sent = avcodec_send_packet(context, packet.get()) >= 0;
    packet.reset();   // libavcodec holds the data as long as it needs it
    if (!sent || avcodec_send_packet(context, nullptr) < 0 || avcodec_receive_frame(context, frame.get()) < 0)
        return Failure("the HEVC data does not decode");
    // A picture with damaged slices is not the photo.
    if (frame->decode_error_flags || (frame->flags & AV_FRAME_FLAG_CORRUPT))
        return Failure("the HEVC data is damaged");
    // The frame holds its own memory: the decoder's tables, a large
    // picture's among them, go before the frame is converted.
    empty.Now(int64_t(frame->width) * frame->height > kKeptPixels);
    ImagePtr made = stream->rgb.valid() ? stream->rgb.get() : ImagePtr(nullptr, heif_image_release);
    if (toRgb)
        *out = ToRgbImage(*frame, std::move(made), MatrixOf(*frame));
    else
        *out = AsRequested(*frame, std::move(made));
    return *out ? kOk : ToHeifImage(*frame, out);
}

heif_error DecodeToRgb(void* decoder, heif_image** out) { return Decode(decoder, out, true); }
heif_error DecodeToYcbcr(void* decoder, heif_image** out) { return Decode(decoder, out, false); }
heif_error DecodeReduced(void* decoder, heif_image** out) { return Decode(decoder, out, false, true); }

void SetStrictDecoding(void*, int) {}

const heif_decoder_plugin kRgbPlugin = {
    3, Name, nullptr, nullptr, SupportsAsRgb, NewDecoder, FreeDecoder, PushData, DecodeToRgb, SetStrictDecoding, kRgbId,
};
const heif_decoder_plugin kYcbcrPlugin = {
    3, Name, nullptr, nullptr, SupportsAsYcbcr, NewDecoder, FreeDecoder, PushData, DecodeToYcbcr, SetStrictDecoding,
    kYcbcrId,
};
const heif_decoder_plugin kReducedPlugin = {
    3, Name, nullptr, nullptr, SupportsAsReduced, NewDecoder, FreeDecoder, PushData, DecodeReduced, SetStrictDecoding,
    kReducedId,
};

}  // namespace

// In 16-bit fixed point, BT.601 when the stream does not say, as libheif
// assumes; the H.273 codes are libavcodec's own.
std::optional<YcbcrMatrix> MatrixOf(int matrixCode, bool full)
{
    double kr = 0.299, kb = 0.114;
    switch (matrixCode) {
    case AVCOL_SPC_BT709: kr = 0.2126, kb = 0.0722; break;
    case AVCOL_SPC_UNSPECIFIED: case AVCOL_SPC_BT470BG: case AVCOL_SPC_SMPTE170M: break;
    case AVCOL_SPC_FCC: kr = 0.30, kb = 0.11; break;
    case AVCOL_SPC_SMPTE240M: kr = 0.212, kb = 0.087; break;
    case AVCOL_SPC_BT2020_NCL: kr = 0.2627, kb = 0.0593; break;
    default: return std::nullopt;   // GBR, YCgCo and the rest: left to libheif
    }
    const double kg = 1 - kr - kb, ys = full ? 1.0 : 255.0 / 219.0, cs = full ? 1.0 : 255.0 / 224.0;
    auto fixed = [](double v) { return int32_t(std::lround(v * 65536)); };
    YcbcrMatrix m;
    m.y = fixed(ys);
    m.yOffset = full ? 0 : 16;
    m.crToR = fixed(2 * (1 - kr) * cs);
    m.cbToG = fixed(-2 * kb * (1 - kb) / kg * cs);
    m.crToG = fixed(-2 * kr * (1 - kr) / kg * cs);
    m.cbToB = fixed(2 * (1 - kb) * cs);
    return m;
}

RequestPicture::RequestPicture(const PictureRequest& request) : previous_(tRequest), request_(request)
{
    tRequest = &request_;
}

RequestPicture::~RequestPicture() { tRequest = previous_; }

namespace {

template <class Sample>
heif_image* ShrinkPlanes(const YcbcrPlanes& in, int f, const YcbcrMatrix& m)
{
    const int w = in.width, h = in.height, sx = in.sx, sy = in.sy, bits = in.bits;
    if (w <= 0 || h <= 0 || f < 1)
        return nullptr;
    const int ow = (w + f - 1) / f, oh = (h + f - 1) / f;
    ImagePtr out = RgbPlanes(ow, oh);
    if (!out)
        return nullptr;
    uint8_t* planes[3];
    int strides[3];
    RgbRows(out.get(), planes, strides);
    // The matrix's fixed point as floating, and samples wider than 8 bits
    // brought to 8.
    const float unit = 1.0f / 65536, scale = 1.0f / float(1 << (bits - 8)), middle = 128;
    const float my = m.y * unit, crToR = m.crToR * unit, cbToG = m.cbToG * unit, crToG = m.crToG * unit,
                cbToB = m.cbToB * unit;
    const auto row = [&](int c, int y) {
        return reinterpret_cast<const Sample*>(in.planes[c] + size_t(y) * size_t(in.strides[c]));
    };
    const auto to8 = [](float v) { return v <= 0 ? uint8_t(0) : v >= 255 ? uint8_t(255) : uint8_t(v + 0.5f); };
    OnEveryCore(oh, [&](int from, int to) {
        std::vector<uint64_t> sums[3];
        for (auto& s : sums)
            s.assign(size_t(ow), 0);
        // One over the width of each column's block, of luma and of chroma:
        // a multiplication for each pixel rather than a division.
        std::vector<float> perY(static_cast<size_t>(ow)), perC(static_cast<size_t>(ow));
        for (int ox = 0; ox < ow; ++ox) {
            const int x1 = std::min(ox * f + f, w);
            perY[size_t(ox)] = scale / float(x1 - ox * f);
            perC[size_t(ox)] = scale / float(((x1 - 1) >> sx) + 1 - ((ox * f) >> sx));
        }
        for (int oy = from; oy < to; ++oy) {
            for (auto& s : sums)
                std::fill(s.begin(), s.end(), 0);
            const int y0 = oy * f, y1 = std::min(y0 + f, h);
            const int c0 = y0 >> sy, c1 = ((y1 - 1) >> sy) + 1;
            for (int y = y0; y < y1; ++y) {
                const Sample* r = row(0, y);
                for (int ox = 0, x = 0; ox < ow; ++ox) {
                    uint64_t s = 0;
                    for (const int x1 = std::min(x + f, w); x < x1; ++x)
                        s += r[x];
                    sums[0][size_t(ox)] += s;
                }
            }
            for (int cy = c0; cy < c1; ++cy)
                for (int c = 1; c < 3; ++c) {
                    const Sample* r = row(c, cy);
                    for (int ox = 0; ox < ow; ++ox) {
                        const int x0 = (ox * f) >> sx, x1 = ((std::min(ox * f + f, w) - 1) >> sx) + 1;
                        uint64_t s = 0;
                        for (int x = x0; x < x1; ++x)
                            s += r[x];
                        sums[c][size_t(ox)] += s;
                    }
                }
            uint8_t* r = planes[0] + size_t(oy) * size_t(strides[0]);
            uint8_t* g = planes[1] + size_t(oy) * size_t(strides[1]);
            uint8_t* b = planes[2] + size_t(oy) * size_t(strides[2]);
            const float rows = 1.0f / float(y1 - y0), chromaRows = 1.0f / float(c1 - c0);
            for (int ox = 0; ox < ow; ++ox) {
                const float l = (float(sums[0][size_t(ox)]) * perY[size_t(ox)] * rows - float(m.yOffset)) * my;
                const float cb = float(sums[1][size_t(ox)]) * perC[size_t(ox)] * chromaRows - middle;
                const float cr = float(sums[2][size_t(ox)]) * perC[size_t(ox)] * chromaRows - middle;
                r[ox] = to8(l + cr * crToR);
                g[ox] = to8(l + cb * cbToG + cr * crToG);
                b[ox] = to8(l + cb * cbToB);
            }
        }
    });
    return out.release();
}

}  // namespace

heif_image* ShrinkToRgb(const YcbcrPlanes& in, int f, const YcbcrMatrix& m)
{
    if (in.bits < 8 || in.bits > 16)
        return nullptr;
    return in.bits == 8 ? ShrinkPlanes<uint8_t>(in, f, m) : ShrinkPlanes<uint16_t>(in, f, m);
}

ImagePtr RgbPlanes(int w, int h)
{
    heif_image* image = nullptr;
    if (heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_444, &image).code)
        return ImagePtr(nullptr, heif_image_release);
    ImagePtr planes(image, heif_image_release);
    for (const heif_channel c : {heif_channel_R, heif_channel_G, heif_channel_B})
        if (heif_image_add_plane(image, c, w, h, 8).code)
            return ImagePtr(nullptr, heif_image_release);
    return planes;
}

void RgbRows(heif_image* image, uint8_t* (&planes)[3], int (&strides)[3])
{
    const heif_channel channels[3] = {heif_channel_R, heif_channel_G, heif_channel_B};
    for (int c = 0; c < 3; ++c)
        planes[c] = heif_image_get_plane(image, channels[c], &strides[c]);
}

HevcDecoders RegisterHevcDecoders()
{
    static const HevcDecoders ids = [] {
        HevcDecoders registered;
        if (!avcodec_find_decoder(AV_CODEC_ID_HEVC))
            return registered;
        if (!heif_register_decoder_plugin(&kRgbPlugin).code)
            registered.toRgb = kRgbId;
        if (!heif_register_decoder_plugin(&kYcbcrPlugin).code)
            registered.toYcbcr = kYcbcrId;
        if (!heif_register_decoder_plugin(&kReducedPlugin).code)
            registered.forReduced = kReducedId;
        return registered;
    }();
    return ids;
}

}  // namespace tamsel
