#pragma once
#include <QString>

namespace tamsel {

// Phones save HEIC (and AVIF), the web WebP: formats the album does not list
// (captions are kept by position in the list, which these would upset), but
// the batch conversion takes in. A folder of them would open as an empty
// album with no word of why. Which formats these are, and the label each is
// counted under, the formats table says (PhonePhotoKind).

// For the info line when folder is opened: how many such photos it holds and
// how to bring them in; with album photos beside them, how many were left out
// of the album. "" when it holds none. The same look counts the photos
// whose names cannot be listed.
struct PhonePhotoNote {
    QString text;
    int albumPhotos = 0;
    int passedOver = 0;   // photos whose names the system cannot spell
};
PhonePhotoNote NoteOnPhonePhotos(const QString& folder);

}  // namespace tamsel
