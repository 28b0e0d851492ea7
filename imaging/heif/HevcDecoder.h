#pragma once

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
};
HevcDecoders RegisterHevcDecoders();

}  // namespace tamsel
