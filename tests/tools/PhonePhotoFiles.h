#pragma once
// Phone photos as phones write them: the landscape picture stored sideways,
// EXIF orientation 6 (a quarter turn clockwise), taken at kTaken, with a red
// band along the stored top rows, which upright runs down the right edge.
// HEIC and AVIF through libheif, with the rotation box phones write (the EXIF
// tag a copy of it); WebP, whose only orientation is the tag, through Magick++.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <Magick++.h>
#include <libheif/heif.h>

#include <vector>

namespace tamsel::testing {

inline constexpr const char* kTaken = "2019:05:04 13:22:11";

// kind: "heic", "avif" or "webp"; thumbnail: the longer side of a thumbnail
// to store with a HEIC or AVIF, as phones do (0 for none); stored, when
// given, is the picture as the file stores it (sideways) in place of the
// band. True when the file was written.
inline bool MakePhonePhoto(const QString& path, const QByteArray& kind, const QByteArray& icc, int w = 64, int h = 48,
                           int thumbnail = 0, QImage stored = {})
{
    // TIFF: IFD0 {Orientation 6, Exif IFD at 38}, Exif IFD {DateTimeOriginal at 56}.
    const QByteArray exif = QByteArray("MM\0*\0\0\0\x08\0\x02\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\x87\x69\0\x04\0\0\0\x01"
                                       "\0\0\0\x26\0\0\0\0\0\x01\x90\x03\0\x02\0\0\0\x14\0\0\0\x38\0\0\0\0", 56) +
                            kTaken + QByteArray(1, '\0');
    std::vector<unsigned char> rgb(size_t(w) * h * 3, 60);
    std::fill_n(rgb.begin(), w * (h / 4) * 3, 0);
    for (size_t i = 0; i < size_t(w) * (h / 4); ++i)
        rgb[i * 3] = 230;
    if (!stored.isNull()) {
        stored.convertTo(QImage::Format_RGB888);
        w = stored.width();
        h = stored.height();
        rgb.resize(size_t(w) * h * 3);
        for (int y = 0; y < h; ++y)
            std::copy_n(stored.constScanLine(y), w * 3, &rgb[size_t(y) * w * 3]);
    }
    if (kind == "webp") {
        Magick::Image img(size_t(w), size_t(h), "RGB", Magick::CharPixel, rgb.data());
        img.profile("exif", Magick::Blob(exif.constData(), size_t(exif.size())));
        img.profile("icc", Magick::Blob(icc.constData(), size_t(icc.size())));
        img.orientation(Magick::RightTopOrientation);   // the writer puts this in the tag
        img.write(path.toStdString());
        return true;
    }
    heif_context* ctx = heif_context_alloc();
    heif_encoder* enc = nullptr;
    heif_image* image = nullptr;
    heif_image_handle* handle = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    const auto format = kind == "avif" ? heif_compression_AV1 : heif_compression_HEVC;
    bool ok = !heif_context_get_encoder_for_format(ctx, format, &enc).code &&
              !heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code &&
              !heif_image_add_plane(image, heif_channel_interleaved, w, h, 8).code;
    if (ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < h; ++y)
            std::copy_n(&rgb[size_t(y) * w * 3], w * 3, plane + size_t(y) * stride);
        heif_image_set_raw_color_profile(image, "prof", icc.constData(), size_t(icc.size()));
        heif_image_handle* small = nullptr;
        ok = !heif_context_encode_image(ctx, image, enc, options, &handle).code &&
             (!thumbnail ||
              !heif_context_encode_thumbnail(ctx, image, handle, enc, options, thumbnail, &small).code) &&
             !heif_context_add_exif_metadata(ctx, handle, exif.constData(), int(exif.size())).code &&
             !heif_context_write_to_file(ctx, path.toLocal8Bit().constData()).code;
        heif_image_handle_release(small);
    }
    heif_image_handle_release(handle);
    heif_image_release(image);
    if (enc)
        heif_encoder_release(enc);
    heif_encoding_options_free(options);
    heif_context_free(ctx);
    return ok;
}

}  // namespace tamsel::testing
