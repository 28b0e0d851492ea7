#pragma once
// Phone photos for the tests, as a phone writes them: the sensor's landscape
// picture stored sideways, to be turned a quarter clockwise (EXIF orientation
// 6), taken at kTaken. A red band runs along the stored picture's top rows, so
// the upright picture has it down its right edge. HEIC and AVIF are written
// through libheif with the rotation box phones write (the EXIF tag a copy of
// it); WebP, whose only orientation is the EXIF tag, through the image library.
#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <Magick++.h>
#include <libheif/heif.h>

#include <vector>

namespace tamsel::testing {

inline constexpr const char* kTaken = "2019:05:04 13:22:11";

// The TIFF structure of an EXIF block: IFD0 with Orientation 6 and a link to
// the Exif IFD, which holds DateTimeOriginal.
inline QByteArray ExifOrientation6Taken()
{
    auto be16 = [](QByteArray& b, quint16 v) { b.append(char(v >> 8)).append(char(v)); };
    auto be32 = [&](QByteArray& b, quint32 v) { be16(b, quint16(v >> 16)), be16(b, quint16(v)); };
    QByteArray t("MM\0*", 4);
    be32(t, 8);
    be16(t, 2);   // IFD0 at 8: 2 entries, 30 bytes
    be16(t, 0x0112), be16(t, 3), be32(t, 1), be16(t, 6), be16(t, 0);
    be16(t, 0x8769), be16(t, 4), be32(t, 1), be32(t, 38);
    be32(t, 0);
    be16(t, 1);   // Exif IFD at 38: 1 entry, 18 bytes; the date at 56
    be16(t, 0x9003), be16(t, 2), be32(t, 20), be32(t, 56);
    be32(t, 0);
    return t.append(kTaken).append('\0');
}

inline std::vector<unsigned char> SidewaysPixels(int w, int h)
{
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
            const bool band = y < h / 4;
            p[0] = band ? 230 : 40, p[1] = band ? 20 : 60 + x % 50, p[2] = band ? 20 : 200;
        }
    return rgb;
}

// kind: "heic", "avif" or "webp". True when the file was written.
inline bool MakePhonePhoto(const QString& path, const char* kind, int w = 64, int h = 48, const QByteArray& icc = {})
{
    const std::vector<unsigned char> rgb = SidewaysPixels(w, h);
    const QByteArray exif = ExifOrientation6Taken();
    if (QByteArray(kind) == "webp") {
        Magick::Image img(size_t(w), size_t(h), "RGB", Magick::CharPixel, rgb.data());
        img.profile("exif", Magick::Blob(exif.constData(), size_t(exif.size())));
        img.orientation(Magick::RightTopOrientation);   // the writer puts this in the tag
        if (!icc.isEmpty())
            img.profile("icc", Magick::Blob(icc.constData(), size_t(icc.size())));
        img.write(path.toStdString());
        return true;
    }
    heif_context* ctx = heif_context_alloc();
    heif_encoder* enc = nullptr;
    heif_image* image = nullptr;
    heif_image_handle* handle = nullptr;
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation_rotate_90_cw;
    bool ok = heif_context_get_encoder_for_format(
                  ctx, QByteArray(kind) == "avif" ? heif_compression_AV1 : heif_compression_HEVC, &enc)
                  .code == heif_error_Ok &&
              heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code == heif_error_Ok &&
              heif_image_add_plane(image, heif_channel_interleaved, w, h, 8).code == heif_error_Ok;
    if (ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < h; ++y)
            std::copy_n(&rgb[size_t(y) * w * 3], w * 3, plane + size_t(y) * stride);
        if (!icc.isEmpty())
            heif_image_set_raw_color_profile(image, "prof", icc.constData(), size_t(icc.size()));
        heif_encoder_set_lossy_quality(enc, 90);
        ok = heif_context_encode_image(ctx, image, enc, options, &handle).code == heif_error_Ok &&
             heif_context_add_exif_metadata(ctx, handle, exif.constData(), int(exif.size())).code == heif_error_Ok &&
             heif_context_write_to_file(ctx, path.toLocal8Bit().constData()).code == heif_error_Ok;
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
