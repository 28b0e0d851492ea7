#pragma once
#include <QString>

namespace tamsel {

class CLSDIB;

// Decodes a JPEG file with libjpeg-turbo straight into the rows of a surface,
// at the photo's own size, turned upright by its EXIF orientation tag. On
// success out is replaced by the picture; on failure out is left untouched and
// the result is false (not a JPEG, a colour model the decoder cannot give as
// BGR such as CMYK, broken data), so the caller can try the general reader.
// Throws SurfaceError / std::overflow_error when the surface cannot be made.
bool ReadJpeg(const QString& path, CLSDIB& out);

// The EXIF orientation (1..8) of a JPEG or TIFF file's APP1 block given as
// its payload (starting at "Exif\0\0"); 1 when absent or unreadable.
int ExifOrientation(const unsigned char* data, unsigned size);

}  // namespace tamsel
