#pragma once
#include <cstdint>
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
    // Hands libheif the YCbCr planes, for it to convert by the file's matrix.
    const char* toYcbcr = nullptr;
    // YCbCr too, for a picture shown smaller than it is: the in-loop
    // deblocking and SAO filters are left out, whose few pixels of smoothing
    // along block edges average away when the picture is shrunk.
    const char* forReduced = nullptr;
};
HevcDecoders RegisterHevcDecoders();

// YCbCr to RGB by an H.273 matrix code and range: R = y * (Y - yOffset) +
// crToR * Cr and so on, Cb and Cr taken around their middle, all scaled by
// 65536. Nothing for the matrices that are no such sum (GBR, YCgCo...).
struct YcbcrMatrix {
    int32_t y = 0, crToR = 0, cbToG = 0, crToG = 0, cbToB = 0, yOffset = 0;
};
std::optional<YcbcrMatrix> MatrixOf(int matrixCode, bool fullRange);

}  // namespace tamsel
