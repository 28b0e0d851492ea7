#pragma once
#include <QByteArray>
#include <QSize>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

struct heif_image;

namespace tamsel {

// The primary picture of a HEIF (HEIC) or AVIF file, decoded by libheif on
// every core: RGB planes, turned and mirrored by the file's own rotation and
// mirror boxes (of which a phone's EXIF orientation is only a copy), cropped
// by its clean aperture. Read for a size to cover, it may be smaller than
// the photo.
struct HeifPicture {
    int width = 0;
    int height = 0;
    int fullWidth = 0;              // the photo's own size, upright
    int fullHeight = 0;
    // The red, green and blue planes, of bits (8 to 16) a sample: one byte
    // a sample at 8 bits, two in machine order above.
    const uint8_t* planes[3] = {};
    int strides[3] = {};            // bytes from one row to the next
    int bits = 8;
    std::shared_ptr<heif_image> pixels;   // libheif's picture, holding the planes
    QByteArray icc;                 // the file's ICC profile, or empty
    QByteArray exif;                // "Exif\0\0" and the TIFF structure, or empty
};

inline int CoreCount() { return int(std::max(1u, std::thread::hardware_concurrency())); }

// Runs band(from, to) over the rows [0, rows), a band on each core.
inline void OnEveryCore(int rows, const std::function<void(int from, int to)>& band)
{
    const int bands = std::min(CoreCount(), std::max(1, rows / 64));
    std::vector<std::thread> helpers;
    for (int i = 1; i < bands; ++i)
        helpers.emplace_back(band, int(int64_t(rows) * i / bands), int(int64_t(rows) * (i + 1) / bands));
    band(0, rows / bands);
    for (std::thread& t : helpers)
        t.join();
}

enum class HeifCoding { Hevc, Av1 };

// The reader is a module of its own, loaded the first time a phone photo is
// read or the conversion's formats are listed: libheif and libavcodec bring
// some sixty libraries and ten megabytes with them, which a run that never
// meets such a photo should not carry.
struct HeifModule {
    bool (*canDecode)(HeifCoding coding);
    std::optional<HeifPicture> (*read)(const QByteArray& file, HeifCoding likely,
                                       const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed,
                                       QSize atMost);
};
inline constexpr const char* kHeifModuleFile = "tamsel-heif.so";
// Named anew whenever HeifModule changes, so that a program never takes an
// older installed module for its own.
inline constexpr const char* kHeifModuleEntry = "tamsel_heif_module_2";

// The module, loaded once; nullptr when it is not installed or will not
// load (its libraries missing), and the image library reads these files.
const HeifModule* LoadHeifModule();

// Whether the libheif here has a decoder for pictures coded so.
bool CanDecodeHeif(HeifCoding coding);

// likely: how the file's brand or name says its pictures are coded; HEVC
// goes to the album's decoder first, libheif's own when that gives up.
// Nothing when libheif cannot read the file, when its picture has
// transparency (left to a reader that lays it on a background), or when
// sizeAllowed refuses the picture's width and height, before decoding.
// With atMost given, the picture may come smaller, just large enough that
// its fit into atMost loses no pixel, in 8 bits: from the file's thumbnail
// when that is large enough, else the photo shrunk by a whole factor, its
// YCbCr averaged before it turns RGB (and its HEVC decoded without the
// in-loop filters, whose work averages away) when it is a single HEVC
// picture, else its RGB averaged.
std::optional<HeifPicture> ReadHeif(const QByteArray& file, HeifCoding likely,
                                    const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed,
                                    QSize atMost = {});

}  // namespace tamsel
