#pragma once
#include <QString>

#include <cstddef>
#include <stdexcept>

namespace tamsel {

class Surface;

inline constexpr const char* kErrTooLarge = "图片太大";
inline constexpr const char* kErrCutOff = "文件不完整";

// Why a reader refused a picture that no other reader may take either. It is
// thrown and caught inside the image floor only: Surface::CloneFile turns it
// into its outcome.
class PictureRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes a JPEG file with libjpeg-turbo straight into the rows of a surface,
// at the photo's own size, turned upright by its EXIF orientation tag. On
// success out is replaced by the picture; on failure out is left untouched and
// the result is false (a missing file, not a JPEG, a colour model the decoder
// cannot give as BGR such as CMYK, broken data), so the caller can try the
// general reader. What is not a regular file (a pipe, a device, a folder)
// throws PictureRefused("装入图片出错"), so that no reader opens it. A JPEG
// beyond the image file library's limits throws PictureRefused("图片太大"); one
// whose data ends before its picture does (or is far too little for the size
// it claims) throws PictureRefused("文件不完整"), as the image file library
// refuses such a file too; a surface that cannot be made, its reason.
// With minW x minH given, a photo larger than that is decoded smaller by the
// decoder's own scaling (k/8, the smallest k at which it still reaches
// minW or minH upright, so its fit into minW x minH loses no pixel); out
// then keeps the true size as its
// FullWidth/FullHeight. A photo with an ICC profile (or the EXIF Adobe RGB
// index) comes out in the display's colours; a CMYK photo is read only when
// it carries a profile to read it through.
bool ReadJpeg(const QString& path, Surface& out, int minW = 0, int minH = 0);

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
