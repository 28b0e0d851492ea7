#include "imaging/HeifReader.h"

#include "imaging/heif/HevcDecoder.h"

#include <libheif/heif.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace tamsel {

namespace {

struct ContextFree {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleFree {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using ContextPtr = std::unique_ptr<heif_context, ContextFree>;
using HandlePtr = std::unique_ptr<heif_image_handle, HandleFree>;

// libheif once for the whole run, so that another user's heif_init and
// heif_deinit pairs never take away the decoder registered here.
HevcDecoders Start()
{
    static const HevcDecoders hevc = [] {
        heif_init(nullptr);
        return RegisterHevcDecoders();
    }();
    return hevc;
}

// The file keeps its EXIF block behind four bytes that say where, within
// it, the TIFF structure starts.
QByteArray ExifOf(const heif_image_handle* handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1)
        return {};
    QByteArray block(qsizetype(heif_image_handle_get_metadata_size(handle, id)), '\0');
    if (block.size() < 4 || heif_image_handle_get_metadata(handle, id, block.data()).code)
        return {};
    const auto* d = reinterpret_cast<const unsigned char*>(block.constData());
    const quint64 skip = quint64(d[0]) << 24 | quint64(d[1]) << 16 | quint64(d[2]) << 8 | d[3];
    if (skip > quint64(block.size()) - 4)
        return {};
    QByteArray tiff = block.mid(qsizetype(4 + skip));
    const QByteArray marker("Exif\0\0", 6);
    return tiff.startsWith(marker) ? tiff : marker + tiff;
}

QByteArray IccOf(const heif_image_handle* handle)
{
    QByteArray icc(qsizetype(heif_image_handle_get_raw_color_profile_size(handle)), '\0');
    if (icc.isEmpty() || heif_image_handle_get_raw_color_profile(handle, icc.data()).code)
        return {};
    return icc;
}

// RGB planes are what libheif makes of every picture before it turns it;
// asked for anything else, it converts them once more, on one core.
ImagePtr Decode(const heif_image_handle* handle, const char* decoder)
{
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    heif_image* image = nullptr;
    if (options) {
        options->decoder_id = decoder;
        if (heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_444, options.get()).code)
            image = nullptr;
    }
    return ImagePtr(image, heif_image_release);
}

// Whether a picture of w x h reaches the size to cover one way: a photo
// fitted into a box, proportions kept, fills it in one direction only.
bool Reaches(int64_t w, int64_t h, QSize need) { return w >= need.width() || h >= need.height(); }

// The largest whole factor the picture may shrink by and still reach need.
int ShrinkFactor(int w, int h, QSize need)
{
    int f = 1;
    while (f < std::max(w, h) && Reaches((w + f) / (f + 1), (h + f) / (f + 1), need))
        ++f;
    return f;
}

// The thumbnail of the file that reaches need with the fewest pixels, in the
// photo's proportions and opaque; nothing when none does.
HandlePtr SmallestThumbnail(const heif_image_handle* primary, QSize need)
{
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0)
        return nullptr;
    std::vector<heif_item_id> ids(static_cast<size_t>(count));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    const double w = heif_image_handle_get_width(primary), h = heif_image_handle_get_height(primary);
    HandlePtr best;
    for (const heif_item_id id : ids) {
        heif_image_handle* thumbnail = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &thumbnail).code || !thumbnail)
            continue;
        HandlePtr held(thumbnail);
        const int tw = heif_image_handle_get_width(thumbnail), th = heif_image_handle_get_height(thumbnail);
        // A thumbnail cut to other proportions would show another picture.
        if (tw <= 0 || th <= 0 || std::abs(tw / double(th) - w / h) > 0.01 * w / h || !Reaches(tw, th, need) ||
            heif_image_handle_has_alpha_channel(thumbnail))
            continue;
        if (!best || int64_t(tw) * th < int64_t(heif_image_handle_get_width(best.get())) *
                                            heif_image_handle_get_height(best.get()))
            best = std::move(held);
    }
    return best;
}

// The RGB picture as 8-bit planes a factor f smaller on each side, each
// pixel the average of its f x f block, a band of rows on each core.
template <class Sample>
ImagePtr ShrinkRgb(const heif_image* image, int f, int bits)
{
    const int w = heif_image_get_width(image, heif_channel_R), h = heif_image_get_height(image, heif_channel_R);
    const heif_channel channels[3] = {heif_channel_R, heif_channel_G, heif_channel_B};
    const uint8_t* in[3];
    int inStride[3];
    for (int c = 0; c < 3; ++c) {
        in[c] = heif_image_get_plane_readonly(image, channels[c], &inStride[c]);
        if (!in[c] || heif_image_get_bits_per_pixel_range(image, channels[c]) != bits ||
            heif_image_get_width(image, channels[c]) < w || heif_image_get_height(image, channels[c]) < h)
            return ImagePtr(nullptr, heif_image_release);
    }
    if (w <= 0 || h <= 0)
        return ImagePtr(nullptr, heif_image_release);
    const int ow = (w + f - 1) / f, oh = (h + f - 1) / f;
    ImagePtr out = RgbPlanes(ow, oh);
    if (!out)
        return out;
    uint8_t* planes[3];
    int strides[3];
    RgbRows(out.get(), planes, strides);
    const int shift = bits - 8;
    OnEveryCore(oh, [&](int from, int to) {
        std::vector<uint64_t> sums(static_cast<size_t>(ow));
        for (int oy = from; oy < to; ++oy) {
            const int y0 = oy * f, y1 = std::min(y0 + f, h);
            for (int c = 0; c < 3; ++c) {
                std::fill(sums.begin(), sums.end(), 0);
                for (int y = y0; y < y1; ++y) {
                    const auto* r = reinterpret_cast<const Sample*>(in[c] + size_t(y) * size_t(inStride[c]));
                    for (int ox = 0, x = 0; ox < ow; ++ox) {
                        uint64_t s = 0;
                        for (const int x1 = std::min(x + f, w); x < x1; ++x)
                            s += r[x];
                        sums[size_t(ox)] += s;
                    }
                }
                uint8_t* o = planes[c] + size_t(oy) * size_t(strides[c]);
                for (int ox = 0; ox < ow; ++ox) {
                    const uint64_t n = uint64_t(std::min(ox * f + f, w) - ox * f) * uint64_t(y1 - y0) << shift;
                    o[ox] = uint8_t(std::min<uint64_t>((sums[size_t(ox)] + n / 2) / n, 255));
                }
            }
        }
    });
    return out;
}

// How the decoder may make RGB of the picture of handle: by the file's own
// matrix, by the stream's when the file states none; nothing when the
// file's is no plain sum, which libheif is left to apply.
std::optional<PictureRequest> RgbRequest(const heif_image_handle* handle, int factor)
{
    PictureRequest request;
    request.factor = factor;
    heif_color_profile_nclx* nclx = nullptr;
    if (!heif_image_handle_get_nclx_color_profile(handle, &nclx).code && nclx) {
        request.matrix = MatrixOf(int(nclx->matrix_coefficients), nclx->full_range_flag != 0);
        heif_nclx_color_profile_free(nclx);
        if (!request.matrix)
            return std::nullopt;
    }
    request.width = heif_image_handle_get_width(handle);
    request.height = heif_image_handle_get_height(handle);
    return request;
}

// The picture of handle decoded and shrunk by f as 8-bit RGB planes. A
// single HEVC picture comes so from the decoder, which averages its YCbCr
// before it converts; any other (a grid of tiles, a cropped picture, AV1)
// comes whole as RGB from libheif and is shrunk here.
ImagePtr DecodeShrunk(const heif_image_handle* handle, const char* decoder, int f)
{
    ImagePtr image(nullptr, heif_image_release);
    if (decoder) {
        std::optional<RequestPicture> asked;
        if (const std::optional<PictureRequest> request = RgbRequest(handle, f))
            asked.emplace(*request);
        image = Decode(handle, decoder);
    }
    if (!image)
        image = Decode(handle, nullptr);
    if (!image || heif_image_get_colorspace(image.get()) != heif_colorspace_RGB)
        return ImagePtr(nullptr, heif_image_release);
    const int w = heif_image_handle_get_width(handle), h = heif_image_handle_get_height(handle);
    const int iw = heif_image_get_width(image.get(), heif_channel_R), ih = heif_image_get_height(image.get(), heif_channel_R);
    const int bits = heif_image_get_bits_per_pixel_range(image.get(), heif_channel_R);
    if (iw == (w + f - 1) / f && ih == (h + f - 1) / f && bits == 8)
        return image;   // shrunk by the decoder
    if (iw != w || ih != h || bits < 8 || bits > 16)
        return ImagePtr(nullptr, heif_image_release);
    return bits == 8 ? ShrinkRgb<uint8_t>(image.get(), f, bits) : ShrinkRgb<uint16_t>(image.get(), f, bits);
}

bool CanDecode(HeifCoding coding)
{
    Start();
    return heif_have_decoder_for_format(coding == HeifCoding::Av1 ? heif_compression_AV1 : heif_compression_HEVC);
}

std::optional<HeifPicture> Read(const QByteArray& file, HeifCoding likely,
                                const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed, QSize atMost)
{
    const HevcDecoders hevc = Start();
    ContextPtr context(heif_context_alloc());
    if (!context)
        return std::nullopt;
    // A phone's photo is a grid of tiles, each decoded on a core of its own.
    heif_context_set_max_decoding_threads(context.get(), CoreCount());
    if (heif_context_read_from_memory_without_copy(context.get(), file.constData(), size_t(file.size()), nullptr)
            .code)
        return std::nullopt;
    heif_image_handle* primary = nullptr;
    if (heif_context_get_primary_image_handle(context.get(), &primary).code)
        return std::nullopt;
    const HandlePtr handle(primary);
    const int w = heif_image_handle_get_width(primary), h = heif_image_handle_get_height(primary);
    if (w <= 0 || h <= 0 || !sizeAllowed(uint64_t(w), uint64_t(h)) || heif_image_handle_has_alpha_channel(primary))
        return std::nullopt;

    // libavcodec decodes HEVC when it is there; libheif's own decoder when
    // it is not or gives up on the file.
    ImagePtr image(nullptr, heif_image_release);
    if (atMost.width() > 0 && atMost.height() > 0) {
        // The file's thumbnail when it is large enough, else the photo;
        // shrunk by what still covers atMost, the in-loop filters skipped
        // (shrinking by two or more averages their work away).
        HandlePtr thumbnail = SmallestThumbnail(primary, atMost);
        const heif_image_handle* source = thumbnail ? thumbnail.get() : primary;
        const int f = ShrinkFactor(heif_image_handle_get_width(source), heif_image_handle_get_height(source), atMost);
        if (f >= 2)
            image = DecodeShrunk(source, likely == HeifCoding::Hevc ? hevc.forReduced : nullptr, f);
        else if (thumbnail)
            image = Decode(source, likely == HeifCoding::Hevc ? hevc.toRgb : nullptr);
    }
    if (!image && likely == HeifCoding::Hevc && hevc.toYcbcr) {
        // RGB made by the decoder on every core, by the file's matrix when it
        // states one; libheif converts what the decoder leaves as YCbCr (the
        // tiles of a grid when the file states its own matrix).
        heif_color_profile_nclx* nclx = nullptr;
        const bool fileMatrix = !heif_image_handle_get_nclx_color_profile(primary, &nclx).code;
        if (nclx)
            heif_nclx_color_profile_free(nclx);
        std::optional<RequestPicture> asked;
        if (const std::optional<PictureRequest> request = RgbRequest(primary, 1); request && fileMatrix)
            asked.emplace(*request);
        image = Decode(primary, fileMatrix || !hevc.toRgb ? hevc.toYcbcr : hevc.toRgb);
    }
    if (!image)
        image = Decode(primary, nullptr);
    if (!image)
        return std::nullopt;
    HeifPicture picture;
    picture.width = heif_image_get_width(image.get(), heif_channel_R);
    picture.height = heif_image_get_height(image.get(), heif_channel_R);
    picture.bits = heif_image_get_bits_per_pixel_range(image.get(), heif_channel_R);
    if (picture.width <= 0 || picture.height <= 0 || picture.bits < 8 || picture.bits > 16)
        return std::nullopt;
    const heif_channel channels[3] = {heif_channel_R, heif_channel_G, heif_channel_B};
    for (int c = 0; c < 3; ++c) {
        picture.planes[c] = heif_image_get_plane_readonly(image.get(), channels[c], &picture.strides[c]);
        if (!picture.planes[c] || heif_image_get_width(image.get(), channels[c]) < picture.width ||
            heif_image_get_height(image.get(), channels[c]) < picture.height ||
            heif_image_get_bits_per_pixel_range(image.get(), channels[c]) != picture.bits)
            return std::nullopt;
    }
    picture.fullWidth = w;
    picture.fullHeight = h;
    picture.pixels = std::shared_ptr<heif_image>(image.release(), heif_image_release);
    picture.icc = IccOf(primary);
    picture.exif = ExifOf(primary);
    return picture;
}

const HeifModule kModule{CanDecode, Read};

}  // namespace

}  // namespace tamsel

// The one name the module shows: the program looks it up when it loads it.
extern "C" __attribute__((visibility("default"))) const tamsel::HeifModule* tamsel_heif_module_2()
{
    return &tamsel::kModule;
}
