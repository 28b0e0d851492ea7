#pragma once
#include "imaging/Decoded.h"

namespace tamsel {

// An uncompressed 24-bit BMP (the layout of the surface, and of every file
// the album writes for itself) straight into the rows, with the profile a
// version 5 header embeds; anything else is not its own.
Decoded ReadBmp24(const QString& path, QSize atMost = {});

}  // namespace tamsel
