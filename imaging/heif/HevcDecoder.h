#pragma once
#include <libheif/heif.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace tamsel {

// HEVC decoders for libheif built on libavcodec, which decodes a phone
// photo's picture about twice as fast as libheif's own libde265 and spreads
// the rows of one picture (wavefront entry points) over every core.
// Registered once at a priority below libheif's own decoders, so that they
// are used only when asked for by name; a name is nullptr when libavcodec
// has no HEVC decoder.
struct HevcDecoders {
    // Hands libheif RGB made by the colour matrix the stream states: for
    // files that state none of their own.
    const char* toRgb = nullptr;
    // Hands libheif the YCbCr planes, for it to convert by the file's matrix;
    // or RGB as a RequestPicture on this thread asks.
    const char* toYcbcr = nullptr;
    // The same, for a picture shown smaller than it is: the in-loop
    // deblocking and SAO filters are left out, whose few pixels of smoothing
    // along block edges average away when the picture is shrunk.
    const char* forReduced = nullptr;
};
HevcDecoders RegisterHevcDecoders();

using ImagePtr = std::unique_ptr<heif_image, decltype(&heif_image_release)>;

// Three 8-bit planes of libheif's, which it clears as it makes them (36 MB
// for a phone's photo); null when they cannot be made.
ImagePtr RgbPlanes(int w, int h);
// The first rows of such planes, red, green and blue, and their strides.
void RgbRows(heif_image* image, uint8_t* (&planes)[3], int (&strides)[3]);

// YCbCr to RGB by an H.273 matrix code and range: R = y * (Y - yOffset) +
// crToR * Cr and so on, Cb and Cr taken around their middle, all scaled by
// 65536. Nothing for the matrices that are no such sum (GBR, YCgCo...).
struct YcbcrMatrix {
    int32_t y = 0, crToR = 0, cbToG = 0, crToG = 0, cbToB = 0, yOffset = 0;
};
std::optional<YcbcrMatrix> MatrixOf(int matrixCode, bool fullRange);

// How the reader wants the picture it is about to have libheif decode on
// this thread. libheif 1.15 turns every YCbCr picture into full-size RGB
// planes on one core, and back again when YCbCr was asked for; given RGB it
// converts nothing, and turns, mirrors and crops what it is given. So the
// decoder hands it RGB made on every core, shrunk by factor first when the
// picture is not cropped (its rotation and mirror work as well on the
// smaller picture). Only a frame of width x height, upright or turned a
// quarter, is taken so: not a picture libheif then crops by its clean
// aperture (phones' odd sizes are coded a little larger), nor a tile of a
// grid, decoded on libheif's threads and pasted at full size.
struct PictureRequest {
    int width = 0;    // the picture's, upright
    int height = 0;
    int factor = 1;
    std::optional<YcbcrMatrix> matrix;   // the file's; the stream's when none
};
class RequestPicture {
public:
    explicit RequestPicture(const PictureRequest& request);
    ~RequestPicture();
    RequestPicture(const RequestPicture&) = delete;
    RequestPicture& operator=(const RequestPicture&) = delete;

private:
    const PictureRequest* previous_;
    PictureRequest request_;
};

// YCbCr planes of bits (8 to 16) a sample, the chroma halved across when
// sx, down when sy.
struct YcbcrPlanes {
    const uint8_t* planes[3] = {};
    int strides[3] = {};
    int width = 0, height = 0, sx = 0, sy = 0, bits = 8;
};
// The picture as 8-bit RGB planes a factor f smaller on each side: each
// pixel the average of its f x f block (and of the chroma samples under
// it), then converted, a band of rows on each core. Averaging before the
// conversion reads each sample once and converts f * f times fewer pixels.
heif_image* ShrinkToRgb(const YcbcrPlanes& in, int f, const YcbcrMatrix& m);

}  // namespace tamsel
