#pragma once
#include "imaging/Decoded.h"

#include <QSize>
#include <QString>

namespace tamsel {

// Reads the picture file at path the way the album shows it: a name ending in
// the listed ending of a format the album reads itself (exactly "bmp" or
// "jpg") goes to those readers, and to the platform's picture loading when
// they do not take it; every other one to the image file library. The answer
// is a picture or a refusal, never "not mine": a file nobody reads, or what
// is not a regular file, is refused with "装入图片出错".
Decoded DecodePicture(const QString& path, QSize atMost = {});

// The platform's picture loading alone, upright by its orientation tag: for
// the installation's own pictures, which need no image file library.
Decoded ReadWithPlatform(const QString& path);

}  // namespace tamsel
