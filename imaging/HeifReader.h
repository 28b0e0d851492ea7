#pragma once
#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

struct heif_image;

namespace tamsel {

// The primary picture of a HEIF (HEIC) or AVIF file, decoded by libheif on
// every core: RGB planes, turned and mirrored by the file's own rotation and
// mirror boxes (of which a phone's EXIF orientation is only a copy), cropped
// by its clean aperture.
struct HeifPicture {
    int width = 0;
    int height = 0;
    // The red, green and blue planes, of bits (8 to 16) a sample: one byte
    // a sample at 8 bits, two in machine order above.
    const uint8_t* planes[3] = {};
    int strides[3] = {};            // bytes from one row to the next
    int bits = 8;
    std::shared_ptr<heif_image> pixels;   // libheif's picture, holding the planes
    QByteArray icc;                 // the file's ICC profile, or empty
    QByteArray exif;                // "Exif\0\0" and the TIFF structure, or empty
};

// Runs band(from, to) over the rows [0, rows), a band on each core.
void OnEveryCore(int rows, const std::function<void(int from, int to)>& band);

enum class HeifCoding { Hevc, Av1 };

// Whether the libheif here has a decoder for pictures coded so.
bool CanDecodeHeif(HeifCoding coding);

// likely: how the file's brand or name says its pictures are coded; HEVC
// goes to the album's decoder first, libheif's own when that gives up.
// Nothing when libheif cannot read the file, when its picture has
// transparency (left to a reader that lays it on a background), or when
// sizeAllowed refuses the picture's width and height, before decoding.
std::optional<HeifPicture> ReadHeif(const QByteArray& file, HeifCoding likely,
                                    const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed);

}  // namespace tamsel
