#pragma once
#include "imaging/Decoded.h"

#include <QString>

#include <cstddef>

namespace tamsel {

inline constexpr const char* kErrTooLarge = "图片太大";
inline constexpr const char* kErrCutOff = "文件不完整";

// Decodes a JPEG file with libjpeg-turbo straight into the rows of a surface,
// at the photo's own size, turned upright by its EXIF orientation tag. Not
// its own: a missing file, not a JPEG, a colour model the decoder cannot give
// as BGR (CMYK without a profile), broken data; another reader may try. What
// is not a regular file (a pipe, a device, a folder) is refused with
// "装入图片出错", so that no reader opens it; a JPEG beyond the image file
// library's limits with "图片太大"; one whose data ends before its picture
// does (or is far too little for the size it claims) with "文件不完整", as the
// image file library refuses such a file too; a surface that cannot be made,
// with its reason.
// With atMost given, a photo larger than that is decoded smaller by the
// decoder's own scaling (k/8, the smallest k at which it still reaches the
// width or the height upright, so its fit into atMost loses no pixel); the
// picture then keeps the true size as its FullWidth/FullHeight. A photo with
// an ICC profile (or the EXIF Adobe RGB index) comes out in the display's
// colours; a CMYK photo is read only when it carries a profile to read it
// through.
Decoded ReadJpeg(const QString& path, QSize atMost = {});

// What a JPEG's header claims, judged against the album's limits (16384 a
// side, 128 megapixels) and against what its data can hold (a header claiming
// far more pixels than the file has bytes for). Reads the header only.
enum class JpegClaim { Fits, TooLarge, CutOff, NotJpeg };
JpegClaim CheckJpegClaim(const unsigned char* data, size_t size);

// The EXIF orientation (1..8) of a JPEG or TIFF file's APP1 block given as
// its payload (starting at "Exif\0\0"); 1 when absent or unreadable.
int ExifOrientation(const unsigned char* data, unsigned size);
// Whether that EXIF block's interoperability index is "R03": the camera
// wrote Adobe RGB without embedding a profile.
bool ExifSaysAdobeRgb(const unsigned char* data, unsigned size);
// Marks that EXIF block's picture as upright (orientation 1), for a copy
// whose pixels have been turned; a block without the tag is left as it is.
void ClearExifOrientation(unsigned char* data, unsigned size);
// The camera's "taken" time (DateTimeOriginal, else the IFD0 DateTime) as
// its 19 characters "YYYY:MM:DD HH:MM:SS", and the offset from UTC the camera
// gave with it ("+08:00", "" when none); both empty when absent.
struct ExifTaken {
    QString local;
    QString offset;
};
ExifTaken ExifDateTaken(const unsigned char* data, unsigned size);

}  // namespace tamsel
