#pragma once
#include <QString>
#include <QStringList>

namespace tamsel {

// A folder path with exactly one trailing "/", so that folder + name is a path.
QString WithTrailingSlash(const QString& folder);

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
// sorted by name without regard to case. Sub-folders are not listed. The list
// is the one place that knows the album's folder and how many photos it has.
class PhotoList {
public:
    // Lists the files with these extensions (compared without regard to
    // case): the album's formats, which the image floor's table names. A
    // folder holding none of them, not even under a name the system cannot
    // spell, lists the files with the extensions of otherwise instead (phone
    // photos): captions go by position, so only a folder without a photo of
    // the album's own may become an album of these, or its list would shift
    // under the captions kept for it.
    explicit PhotoList(QStringList extensions, QStringList otherwise = {})
        : extensions_(std::move(extensions)), otherwise_(std::move(otherwise))
    {
    }
    // Whether a folder listed with the album's own extensions gives way to
    // the others.
    static bool GivesWay(const FolderListing& own) { return own.ok && own.names.isEmpty() && own.passedOver == 0; }

    // The album's folder becomes this one, and it is listed anew. A folder
    // that cannot be listed (not there: an unplugged card, a share not
    // mounted) fails: the list is then empty, so no name of one folder is ever
    // joined to the path of another, but the folder stays the album's, so
    // that the show script and the captions keep to it until it returns.
    bool Point(const QString& folder);
    // Lists the same folder again after files were added, renamed or converted.
    bool Reread();
    // No folder and no photos: the album of a first run.
    void Clear();

    int Count() const { return int(names_.size()); }
    QString Name(int i) const { return (i >= 0 && i < names_.size()) ? names_.at(i) : QString(); }
    const QStringList& Names() const { return names_; }
    // The album's folder as the album names it and a show script keeps it,
    // byte for byte: with its trailing "/" when the album chose it, or "".
    const QString& Folder() const { return folder_; }
    // Full path of photo i: the folder and the name, with a "/" between
    // them when the folder's name lacks one.
    QString Path(int i) const { return WithTrailingSlash(folder_) + Name(i); }
    // The folder could be read when it was last listed.
    bool Listed() const { return listed_; }
    // Index of the entry equal to name compared upper-cased, or -1.
    int IndexOf(const QString& name) const;
    // Photos of the folder left out of the list because their names cannot
    // be decoded (see FolderListing).
    int PassedOver() const { return passedOver_; }

private:
    friend struct TestAccess;   // tests set up a list of photos that are no files
    QStringList extensions_;
    QStringList otherwise_;
    QString folder_;
    QStringList names_;
    int passedOver_ = 0;
    bool listed_ = false;
};

}  // namespace tamsel
