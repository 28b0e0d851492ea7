#pragma once
#include <QString>
#include <QStringList>

namespace tamsel {

// One reading of a folder: the names of its plain files (links followed)
// with one of the extensions (compared without case), sorted by name without
// regard to case; and how many such files were passed over because their
// names are not valid in the system's file-name encoding (bytes from old
// cameras and archives): no path made from such a name reaches the file.
struct FolderListing {
    QStringList names;
    int passedOver = 0;
    bool ok = false;   // the folder exists and could be read
};
FolderListing ListFolder(const QString& folder, const QStringList& extensions, bool withHidden);

// What the user is told about the photos a listing passed over.
QString PassedOverText(int count);

// The album's photos: names (without folder) of the image files of one folder,
// sorted by name without regard to case. Sub-folders are not listed.
class PhotoList {
public:
    // Lists the files with these extensions (compared without regard to
    // case): the album's formats, which the image floor's table names.
    explicit PhotoList(QStringList extensions) : extensions_(std::move(extensions)) {}

    // Lists the folder anew. A folder that does not exist fails: the list is
    // then empty and remembers no folder, so no name of one folder is ever
    // joined to the path of another.
    bool Point(const QString& folder);
    // Lists the same folder again after files were added, renamed or converted.
    bool Reread();
    void Clear();

    int Count() const { return int(names_.size()); }
    QString Name(int i) const { return (i >= 0 && i < names_.size()) ? names_.at(i) : QString(); }
    const QStringList& Names() const { return names_; }
    const QString& Folder() const { return folder_; }
    // Index of the entry equal to name compared upper-cased, or -1.
    int IndexOf(const QString& name) const;
    // Photos of the folder left out of the list because their names cannot
    // be decoded (see FolderListing).
    int PassedOver() const { return passedOver_; }

private:
    QStringList extensions_;
    QString folder_;
    QStringList names_;
    int passedOver_ = 0;
};

// A folder path with exactly one trailing "/", so that folder + name is a path.
QString WithTrailingSlash(const QString& folder);

}  // namespace tamsel
