#pragma once
#include "imaging/Decoded.h"
#include "imaging/ImageFormats.h"
#include "platform/SafeWrite.h"

#include <QDateTime>
#include <QSize>
#include <QString>

#include <memory>

namespace tamsel {

class Surface;

// An image read by LoadImageFile, handed to exactly one SaveImageFile. Move-only; the
// picture is released when the handle goes away. An empty handle claims no image.
class ImageHandle {
public:
    ImageHandle();
    ~ImageHandle();
    ImageHandle(ImageHandle&&) noexcept;
    ImageHandle& operator=(ImageHandle&&) noexcept;
    ImageHandle(const ImageHandle&) = delete;
    ImageHandle& operator=(const ImageHandle&) = delete;

    bool IsValid() const { return impl_ != nullptr; }
    int Width() const;
    int Height() const;
    // When the photo was taken, by its EXIF block: in the camera's zone when
    // it gives one, else in China time, the zone the info line shows dates
    // in. Invalid when the photo does not say.
    QDateTime TakenAt() const;

    struct Impl;
    explicit ImageHandle(std::unique_ptr<Impl> impl);
    Impl* impl() const { return impl_.get(); }

private:
    std::unique_ptr<Impl> impl_;
};

// Any file of the album's formats and the phone formats, through the image
// file library, at its own size: upright, alpha laid over black, its
// profile applied as it is shown.
Decoded ReadWithImageLibrary(const QString& path, QSize atMost = {});

// Reads any album image file (bmp jpg pcx tga tif png ico wmf, in any letter
// case), and the phone and web photos the batch conversion takes in (heic
// heif avif webp), upright. An unreadable file gives an empty handle.
ImageHandle LoadImageFile(const QString& path);

// A picture the album holds in memory (a retouch, a scan) as an image to
// write, its pixels in the colours of profile icc (empty: sRGB): what is
// written of it is what would be of its BMP file with that profile.
ImageHandle ImageOfPicture(const Surface& picture, const QByteArray& icc);

// Writes the image in the format of code (0..6) to path, replacing a file of
// that name, and releases the image. Fails, writing nothing and leaving a file
// already there as it was, for an empty handle, an unknown code or a write
// that did not go through; the message says why.
Outcome SaveImageFile(ImageHandle handle, const QString& path, int code);

// The same into out, synced under its temporary name, for a writer that
// looks at the file before committing it.
Outcome WriteImageFile(ImageHandle handle, SafeWrite& out, int code);

// The resolution the image file library reads in the photo at path, in
// pixels per metre as its BMP writer states it (the inch converted and cut
// to whole pixels); 0 x 0 when the file states none. Reads the header only.
QSize StatedPixelsPerMetre(const QString& path);

// Whether the photo formats of the batch conversion can be read here: the
// image file library has a reader for format (or libheif one for HEIF and AVIF).
bool CanRead(const ImageFormat& format);

// Sets the resource limits that keep one bad file from exhausting the machine.
// Called once at start; LoadImageFile calls it itself when nobody has.
void InitImageLibrary();

}  // namespace tamsel
