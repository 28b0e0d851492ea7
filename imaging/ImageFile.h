#pragma once
#include "platform/SafeWrite.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <span>

namespace tamsel {

class Surface;

// Output format codes by extension.
enum ImageFormatCode : int { kBmp = 0, kJpg = 1, kPcx = 2, kTga = 3, kIco = 4, kTif = 5, kPng = 6 };

// The formats the album writes, in code order: the one table that "照片另存",
// the batch conversion and their dialogs read.
struct OutputFormat {
    ImageFormatCode code;
    const char* ending;   // the name's last three characters that ask for it
};
std::span<const OutputFormat> OutputFormats();
// The code a name asks for by its last three characters, compared as they
// are (upper case and "jpeg" ask for none); -1 for none.
int OutputFormatOf(const QString& name);
// The ending of a code, "" for none.
QString OutputEnding(int code);

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
Outcome SaveImageFile(ImageHandle handle, const QString& path, int code, Keep keep = Keep::Durable);

// The same into out, synced under its temporary name, for a writer that
// looks at the file before committing it.
Outcome WriteImageFile(ImageHandle handle, SafeWrite& out, int code);

// Converts a photo of another format to the working BMP file tempDib. The old
// working file is removed first, so when the photo cannot be read tempDib is
// missing rather than still holding an earlier photo. True when written.
bool ConvertToBmp(const QString& photo, const QString& tempDib);

// Sets the resource limits that keep one bad file from exhausting the machine.
// Called once at start; LoadImageFile calls it itself when nobody has.
void InitImageLibrary();

}  // namespace tamsel
