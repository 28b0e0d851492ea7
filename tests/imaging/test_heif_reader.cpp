// HEIF and AVIF photos read through libheif with the album's own HEVC decoders.
#include "TestUtil.h"
#include "imaging/ColourProfile.h"
#include "imaging/Decode.h"
#include "imaging/HeifReader.h"
#include "tools/PhonePhotoFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// The largest difference of a sample from libheif's own decoding of the file
// (its own decoders, its own colour conversion); 256 when that fails or the
// sizes differ.
int LargestDifferenceFromLibheif(const QByteArray& file, const HeifPicture& p)
{
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    int largest = 256;
    if (!heif_context_read_from_memory_without_copy(context, file.constData(), size_t(file.size()), nullptr).code &&
        !heif_context_get_primary_image_handle(context, &handle).code &&
        !heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code &&
        heif_image_get_width(image, heif_channel_interleaved) == p.width &&
        heif_image_get_height(image, heif_channel_interleaved) == p.height && p.bits == 8) {
        largest = 0;
        int stride = 0;
        const uint8_t* rgb = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                for (int c = 0; c < 3; ++c)
                    largest = std::max(largest, std::abs(rgb[y * stride + 3 * x + c] - p.planes[c][y * p.strides[c] + x]));
    }
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
    return largest;
}

// The largest and the mean difference of a sample of the reduced picture
// from the average of the block of the whole one it stands for.
struct Difference {
    int largest = 256;
    double mean = 256;
};
Difference FromWholeShrunk(const Surface& reduced, const Surface& whole)
{
    const int fx = (whole.Width() + reduced.Width() - 1) / reduced.Width();
    const int fy = (whole.Height() + reduced.Height() - 1) / reduced.Height();
    Difference d{0, 0};
    for (int y = 0; y < reduced.Height(); ++y)
        for (int x = 0; x < reduced.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0, n = 0;
                for (int wy = y * fy; wy < std::min(y * fy + fy, whole.Height()); ++wy)
                    for (int wx = x * fx; wx < std::min(x * fx + fx, whole.Width()); ++wx, ++n)
                        sum += whole.RowPtr(wy)[wx * 3 + c];
                const int diff = std::abs(reduced.RowPtr(y)[x * 3 + c] - (sum + n / 2) / n);
                d.largest = std::max(d.largest, diff);
                d.mean += diff;
            }
    d.mean /= 3.0 * reduced.Width() * reduced.Height();
    return d;
}

// A HEIC as libheif writes it from RGB with a colour box of its own: BT.709
// in video range, which BT.601 or full range would show in other colours.
bool WriteWithColourBox(const QString& path, int w, int h)
{
    heif_context* ctx = heif_context_alloc();
    heif_encoder* enc = nullptr;
    heif_image* image = nullptr;
    heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
    heif_encoding_options* options = heif_encoding_options_alloc();
    bool ok = nclx && options && !heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &enc).code &&
              !heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image).code &&
              !heif_image_add_plane(image, heif_channel_interleaved, w, h, 8).code;
    if (ok) {
        int stride = 0;
        uint8_t* rgb = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t pixel[3] = {uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t(x < w / 2 ? 220 : 30)};
                std::copy_n(pixel, 3, rgb + y * stride + 3 * x);
            }
        nclx->matrix_coefficients = heif_matrix_coefficients_ITU_R_BT_709_5;
        nclx->full_range_flag = 0;
        options->macOS_compatibility_workaround_no_nclx_profile = 0;   // else no box for 8 bits
        ok = !heif_image_set_nclx_color_profile(image, nclx).code &&
             !heif_context_encode_image(ctx, image, enc, options, nullptr).code &&
             !heif_context_write_to_file(ctx, path.toLocal8Bit().constData()).code;
    }
    heif_encoding_options_free(options);
    heif_nclx_color_profile_free(nclx);
    heif_image_release(image);
    if (enc)
        heif_encoder_release(enc);
    heif_context_free(ctx);
    return ok;
}

}  // namespace

TEST(HeifReader, AReducedPictureIsTheWholeOneShrunkAndKnowsItsTrueSize)
{
    QTemporaryDir dir;
    // Phone photos stored sideways with a rotation box and a profile, one
    // with a thumbnail as phones store; upright they are 192 x 256.
    const QString heic = dir.filePath("phone.heic"), thumbed = dir.filePath("thumbed.heic"),
                  avif = dir.filePath("phone.avif");
    ASSERT_TRUE(MakePhonePhoto(heic, "heic", AdobeRgbProfile(), 256, 192));
    ASSERT_TRUE(MakePhonePhoto(thumbed, "heic", AdobeRgbProfile(), 256, 192, 128));
    ASSERT_TRUE(MakePhonePhoto(avif, "avif", AdobeRgbProfile(), 256, 192));
    struct Case {
        QString path;
        QSize box;
        QSize shown;   // the picture decoded, upright
    } cases[] = {
        {heic, {60, 60}, {48, 64}},       // a quarter: its height still reaches the box
        {heic, {70, 400}, {96, 128}},     // a half: the box's width decides
        {heic, {400, 400}, {192, 256}},   // a box larger than the photo: the whole photo
        {thumbed, {60, 60}, {48, 64}},    // from the 96 x 128 thumbnail, halved
        {thumbed, {90, 120}, {96, 128}},  // the thumbnail as it is
        {avif, {60, 60}, {48, 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 in %2x%3").arg(c.path).arg(c.box.width()).arg(c.box.height()).toStdString());
        const Decoded whole = DecodePicture(c.path), reduced = DecodePicture(c.path, c.box);
        ASSERT_TRUE(whole.IsPicture());
        ASSERT_TRUE(reduced.IsPicture());
        EXPECT_EQ(whole.picture.Width(), 192);
        EXPECT_EQ(QSize(reduced.picture.Width(), reduced.picture.Height()), c.shown);
        EXPECT_EQ(reduced.picture.FullWidth(), 192);
        EXPECT_EQ(reduced.picture.FullHeight(), 256);
        EXPECT_EQ(reduced.picture.InDisplayColours(), whole.picture.InDisplayColours());
        // The red band runs down the right edge upright: a picture turned
        // or mirrored otherwise would differ by a hundred or more there.
        const Difference d = FromWholeShrunk(reduced.picture, whole.picture);
        EXPECT_LE(d.mean, 2.0);
        EXPECT_LE(d.largest, 40);
    }
}

TEST(HeifReader, PicturesAreLibheifsOwnAndDamagedOrOversizedFilesAreRefused)
{
    QTemporaryDir dir;
    // A phone's HEIC (turned by its rotation box, with a profile), one with
    // a colour box of its own, one that states no colours of its own as the
    // image library writes it, and an AVIF.
    const QString phone = dir.filePath("phone.heic"), plain = dir.filePath("plain.heic"), avif = dir.filePath("a.avif"),
                  boxed = dir.filePath("boxed.heic");
    ASSERT_TRUE(MakePhonePhoto(phone, "heic", AdobeRgbProfile(), 256, 192));
    ASSERT_TRUE(WriteWithColourBox(boxed, 256, 192));
    ASSERT_TRUE(MakePhonePhoto(avif, "avif", {}, 256, 192));
    Magick::Image gradient;
    gradient.size("256x192");
    gradient.read("gradient:orange-navy");
    gradient.write(plain.toStdString());

    const auto anySize = [](uint64_t, uint64_t) { return true; };
    for (const auto& [path, coding] : {std::pair{phone, HeifCoding::Hevc}, {boxed, HeifCoding::Hevc},
                                       {plain, HeifCoding::Hevc}, {avif, HeifCoding::Av1}}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray bytes = ReadAll(path);
        const std::optional<HeifPicture> picture = ReadHeif(bytes, coding, anySize);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width * picture->height, 256 * 192);
        EXPECT_LE(LargestDifferenceFromLibheif(bytes, *picture), 1);
        // Whatever a damaged picture gives, the decoder this thread keeps
        // reads the next one as before.
        QByteArray damaged = bytes;
        for (qsizetype i = damaged.size() / 2; i < damaged.size(); i += 97)
            damaged[i] = char(damaged[i] ^ 0x5A);
        ReadHeif(damaged, coding, anySize);
        const std::optional<HeifPicture> again = ReadHeif(bytes, coding, anySize);
        ASSERT_TRUE(again);
        EXPECT_LE(LargestDifferenceFromLibheif(bytes, *again), 1);
        EXPECT_FALSE(ReadHeif(bytes.left(bytes.size() * 2 / 3), coding, anySize));
        EXPECT_FALSE(ReadHeif(bytes, coding, [](uint64_t w, uint64_t h) { return w * h < 256 * 192; }));
    }
}
