#pragma once
#include <QByteArray>
#include <QImage>

#include <cstddef>

namespace tamsel {

class Surface;

// Colour management: a photo that carries an ICC profile (or says by its EXIF
// index that it is Adobe RGB) is brought into the display's colours once, as
// it is decoded. sRGB photos and photos without a profile are shown as they
// are; a profile that lcms2 cannot use is passed over silently, and the photo
// is then shown as it would be without one.

// How pixel bytes handed to ConvertPixels are laid out.
enum class PixelFormat {
    Bgr8,           // the surfaces' own order
    Rgb16,          // the image library's export
    Cmyk8,          // ink amounts, 0 = no ink
    Cmyk8Inverted,  // as Adobe's applications store CMYK in JPEG files
    Cmyk16,
};

// The display's profile, empty for sRGB. Set at start from what the colour
// manager published on the screen; read from any thread.
void SetDisplayProfile(const QByteArray& icc);
QByteArray DisplayProfile();
// Off: every photo is shown with its numbers taken as they are.
void SetColourManagement(bool on);
bool ColourManagementOn();

// An Adobe RGB (1998) compatible profile, made by lcms2 from the space's
// primaries, white point and gamma: what the EXIF index "R03" stands for.
const QByteArray& AdobeRgbProfile();
// lcms2's own sRGB, as profile bytes.
const QByteArray& SrgbProfile();

// Whether a profile describes sRGB closely enough (within one step on every
// channel) that converting into sRGB would change nothing. False for a
// profile lcms2 cannot use.
bool IsSrgb(const QByteArray& icc);

// Converts width x height pixels from the space of profile `from` to that of
// `to` (an empty one: sRGB), row by row with the given strides; src and dst
// may be the same memory when both formats have the same pixel size. Photos
// with a perceptual table are mapped perceptually, the others relative
// colorimetric with black-point compensation. Transforms are kept by the
// profiles' bytes, so a folder of photos from one camera builds one. False,
// with dst untouched, when a profile is unusable or does not suit the format.
bool ConvertPixels(const QByteArray& from, const QByteArray& to, PixelFormat in, PixelFormat out,
                   const void* src, size_t srcStride, void* dst, size_t dstStride, int width,
                   int height);

// Brings a decoded photo, in the space of icc, into the display's colours in
// place. Does nothing (and returns false) for an empty, sRGB or unusable
// profile, for one that is the display's own, or with colour management off.
// The photo is then marked as holding the display's colours, as it is when
// its profile is the display's own.
bool ShowInDisplayColours(const QByteArray& icc, Surface& photo);

// The profile the photo's pixels are in: the display's for a photo brought
// into the display's colours, else empty (sRGB).
QByteArray PixelProfile(const Surface& photo);
// The photo as an sRGB picture (RGB888), for what leaves the screen for a
// device of its own, such as a printer. Pixels in the display's colours are
// converted back; the others are copied as they are.
QImage SrgbPicture(const Surface& photo);

}  // namespace tamsel
