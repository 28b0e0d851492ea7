#include "imaging/HeifReader.h"

#include "imaging/heif/HevcDecoder.h"

#include <libheif/heif.h>

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

using ImagePtr = std::unique_ptr<heif_image, decltype(&heif_image_release)>;

ImagePtr Decode(const heif_image_handle* handle, const char* decoder)
{
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    heif_image* image = nullptr;
    if (options) {
        options->decoder_id = decoder;
        // RGB planes are what libheif makes of every picture before it turns
        // it; asked for anything else, it converts them once more, on one core.
        if (heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_444, options.get()).code)
            image = nullptr;
    }
    return ImagePtr(image, heif_image_release);
}

bool CanDecode(HeifCoding coding)
{
    Start();
    return heif_have_decoder_for_format(coding == HeifCoding::Av1 ? heif_compression_AV1 : heif_compression_HEVC);
}

std::optional<HeifPicture> Read(const QByteArray& file, HeifCoding likely,
                                const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed)
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
    // The file's own colour matrix, when it states one, is applied by libheif.
    heif_color_profile_nclx* nclx = nullptr;
    const bool fileMatrix = !heif_image_handle_get_nclx_color_profile(primary, &nclx).code;
    if (nclx)
        heif_nclx_color_profile_free(nclx);
    const char* fastHevc = fileMatrix ? hevc.toYcbcr : hevc.toRgb;
    ImagePtr image(nullptr, heif_image_release);
    if (likely == HeifCoding::Hevc && fastHevc)
        image = Decode(primary, fastHevc);
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
    picture.pixels = std::shared_ptr<heif_image>(image.release(), heif_image_release);
    picture.icc = IccOf(primary);
    picture.exif = ExifOf(primary);
    return picture;
}

const HeifModule kModule{CanDecode, Read};

}  // namespace

}  // namespace tamsel

// The one name the module shows: the program looks it up when it loads it.
extern "C" __attribute__((visibility("default"))) const tamsel::HeifModule* tamsel_heif_module()
{
    return &tamsel::kModule;
}
