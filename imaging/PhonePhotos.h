#pragma once
#include <QString>

namespace tamsel {

// Phones save HEIC (and AVIF), the web WebP. A folder of nothing else is an
// album of them; beside the album's own photos they are not listed (captions
// are kept by position in the list, which these would upset), and the user is
// told of them and of the batch conversion that brings them in. Which formats
// these are, and the label each is counted under, the formats table says
// (PhonePhotoKind).

// For the info line when folder is opened: how many such photos it holds
// beside the album's own photos (or beside photos of the album's own that
// could not be listed) and how to bring them in. "" when it holds none, or
// when they are the album. The same look counts the photos
// whose names cannot be listed.
struct PhonePhotoNote {
    QString text;
    int albumPhotos = 0;   // the photos the album lists there
    int passedOver = 0;   // photos whose names the system cannot spell
};
PhonePhotoNote NoteOnPhonePhotos(const QString& folder);

}  // namespace tamsel
