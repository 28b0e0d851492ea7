#pragma once
#include "platform/SafeWrite.h"
#include "model/PhotoList.h"

#include <QString>
#include <QStringList>

namespace tamsel {

// File-system pieces shared by the two batch tools. Both work on a user's
// only copies of their photos, so every move here refuses to replace a file.

// The photos of a folder whose extension (compared without case) is one of
// extensions: plain files only, hidden ones left out, sorted by name without
// regard to case (names equal but for case keep a fixed order), with the
// count of those whose names cannot be decoded.
FolderListing ListBatchFiles(const QString& folder, const QStringList& extensions);

// Every name in a folder, of any kind, hidden ones included: what a new name
// must not collide with.
QStringList ListAllNames(const QString& folder);

// The key two names are compared by: many users' cards and shares ignore
// case, so "A.JPG" and "a.jpg" are one file there.
QString NameKey(const QString& name);

// True when both paths name the same folder (symbolic links and a trailing
// "/" do not matter); for folders that do not exist, the texts are compared.
bool SameFolder(const QString& a, const QString& b);

// At most `most` entries of names joined with "、", then "等 n 个" for the rest:
// lists that fit the one-line info label.
QString ShortList(const QStringList& names, int most = 5);

}  // namespace tamsel
