#pragma once
#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct heif_image;

namespace tamsel {

// The primary picture of a HEIF (HEIC) or AVIF file, decoded by libheif on
// every core: 8-bit RGB, turned and mirrored by the file's own rotation and
// mirror boxes (of which a phone's EXIF orientation is only a copy), cropped
// by its clean aperture.
struct HeifPicture {
    int width = 0;
    int height = 0;
    // Rows of width * 3 bytes, top to bottom.
    const uint8_t* Rgb() const { return packed.empty() ? plane : packed.data(); }
    std::shared_ptr<heif_image> pixels;   // libheif's picture, holding plane
    const uint8_t* plane = nullptr;
    std::vector<uint8_t> packed;          // the rows of plane packed, where libheif pads them
    QByteArray icc;             // the file's ICC profile, or empty
    QByteArray exif;            // "Exif\0\0" and the TIFF structure, or empty
};

enum class HeifCoding { Hevc, Av1 };

// Whether the libheif here has a decoder for pictures coded so.
bool CanDecodeHeif(HeifCoding coding);

// Nothing when libheif cannot read the file, when its picture has
// transparency (left to a reader that lays it on a background), or when
// sizeAllowed refuses the picture's width and height.
std::optional<HeifPicture> ReadHeif(const QByteArray& file, HeifCoding likely,
                                    const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed);

}  // namespace tamsel
