#pragma once

namespace tamsel {

// An HEVC decoder for libheif built on libavcodec, which decodes a phone
// photo's picture about twice as fast as libheif's own libde265 and spreads
// the rows of one picture (wavefront entry points) over every core.
// Registered once at a priority below libheif's own decoders, so that it is
// used only when asked for by the name returned here; nullptr when
// libavcodec has no HEVC decoder.
const char* RegisterHevcDecoder();

}  // namespace tamsel
