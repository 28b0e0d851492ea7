#pragma once
#include "imaging/Decoded.h"

#include <QString>
#include <QStringList>

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace tamsel {

// The image formats the album knows, in one table: every list of formats
// (the photo list and its file dialogs, save as, the batch conversion, the
// phone-photo note) and every choice of a reader or writer is read from it.
// A new format is a new row (and its reader, when the image file library
// does not read it).

// Writer codes: fixed numbers, the position of each format in the batch
// conversion's list and the code save as writes a name's ending with.
enum ImageFormatCode : int { kBmp = 0, kJpg = 1, kPcx = 2, kTga = 3, kIco = 4, kTif = 5, kPng = 6 };

// What a format is to the album; a format may have several roles.
enum FormatRole : unsigned {
    kAlbumPhoto = 1,   // listed in the album, by its first ending
    kPhonePhoto = 2,   // not listed (captions go by position), but noted and converted
    kOutput = 4,       // written by save as and the batch conversion, by its code
};

enum class FormatId { Bmp, Jpeg, Pcx, Tga, Tiff, Png, Ico, Wmf, Heic, Avif, WebP };

// How surely a file's first bytes tell its format. A sure signature wins over
// the file's name (a PNG called .jpg is read as a PNG); a weak one, too short
// to trust, only decides for a name that says nothing.
enum class Recognised { No, Weakly, Surely };

struct ImageFormat {
    FormatId id;
    const char* decoder;                  // the image file library's name for it
    const char* label;                    // what the user reads it as
    std::array<const char*, 3> endings;   // lower case; the first is the one listed and written
    Recognised (*recognise)(std::string_view head);   // from the file's first 16 bytes
    PictureReader reader;                 // the album's own, straight into a surface; none: the library's
    int code;                             // writer code, -1 for a format never written
    unsigned roles;

    bool Is(FormatRole role) const { return (roles & role) != 0; }
    QString Ending() const { return QString::fromLatin1(endings[0]); }
    QStringList Endings() const;
    bool HasEnding(const QString& ending) const;   // any of them, in any letter case
};

// The table: the album's formats first, in the order the album lists them.
std::span<const ImageFormat> ImageFormats();

// The format of a file: by a sure signature, else by any of the endings of
// its name (in any letter case), else by a weak signature; nullptr for none.
const ImageFormat* FormatOfFile(const QString& path, std::string_view head);
// The format one of whose endings is ending (any letter case), or nullptr.
const ImageFormat* FormatWithEnding(const QString& ending);

// ---- the album's photos
// The first endings of the album formats, in the table's order ("bmp", "jpg", ...).
const QStringList& AlbumExtensions();
// The album's file dialog filter: "*.bmp,*.jpg,…" as the label, the same
// patterns as the filter.
QString AlbumFileFilter();
// Whether a file name is one the album lists (its ending, in any letter case).
bool IsAlbumPhoto(const QString& name);
// Whether the album's own readers take the photo at path: its name ends in
// exactly (letter case too) the listed ending of a format with a reader of
// its own. Every other photo is read through the image file library.
bool ReadsDirectly(const QString& path);

// ---- phone and web photos
std::vector<const ImageFormat*> PhoneFormats();
// Every ending of the phone formats: what the album lists in a folder that
// holds none of its own photos.
const QStringList& PhoneExtensions();
// The file dialog's filter for them, offered after the album's own.
QString PhoneFileFilter();
// The label a phone photo is counted under ("HEIC" for .heic and .heif,
// "AVIF", "WebP"), "" for any other name.
QString PhonePhotoKind(const QString& name);

// ---- what the album writes
// The output formats in code order.
std::vector<const ImageFormat*> OutputFormats();
// The code a name asks for by its last three characters, compared as they
// are (upper case and "jpeg" ask for none); -1 for none.
int OutputFormatOf(const QString& name);
// The ending a code writes, "" for none.
QString OutputEnding(int code);

}  // namespace tamsel
