#pragma once
#include "platform/Outcome.h"

#include <QByteArray>
#include <QString>

namespace tamsel {

// The one way this program writes a file. The bytes go to a hidden temporary
// file beside the target; Commit checks that every byte went out, syncs the
// file, renames it over the target and syncs the folder. Until Commit
// succeeds the target is untouched; whatever fails (a full disk, a file-size
// limit, a read-only or vanished folder) the temporary file is removed and the
// outcome says why in the program's words.
//
// The folder is held open from the start, so the file lands in the folder
// that was meant even if that folder is renamed meanwhile. The temporary file
// is locked while it is written: RemoveLeftoverTempFiles takes only the ones
// nobody holds any more.
class SafeWrite {
public:
    // tempName: the temporary file's name in the target's folder, for writers
    // that must recognise their own (it must match ".tamsel-*.part").
    explicit SafeWrite(const QString& target, const QString& tempName = {});
    ~SafeWrite();
    SafeWrite(const SafeWrite&) = delete;
    SafeWrite& operator=(const SafeWrite&) = delete;

    // False from the first failure on; the failure is reported by Commit.
    bool Write(const char* data, qint64 size);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }

    // The bytes written so far are on the disk under TempPath(), for a
    // writer that reads its file back before giving it its name.
    Outcome Finish();
    // Gives the file its name. Without replace, a file already holding the
    // name is never replaced and the commit fails.
    Outcome Commit(bool replace = true);

    const QString& TempPath() const { return tempPath_; }
    // The system's error number of the failure, 0 when none (yet).
    int Error() const { return error_; }

private:
    Outcome Fail();
    void Discard();

    QString target_;
    QString tempPath_;
    QByteArray name_;       // target's name inside its folder
    QByteArray tempName_;   // temporary file's name inside the folder
    int dir_ = -1;
    int fd_ = -1;
    int error_ = 0;
    bool synced_ = false;
    bool done_ = false;
};

// Writes bytes as the whole of path (see SafeWrite).
Outcome WriteFileWhole(const QString& path, const QByteArray& bytes);

// Copies the file from whole to to (see SafeWrite): the copy appears complete
// or not at all, never half over an older one that a reader may be using.
Outcome CopyFileWhole(const QString& from, const QString& to);

// Removes the temporary files that writes cut short by a crash, a kill or a
// power cut left in folder; files still being written (by any process) are
// kept. Returns how many went.
int RemoveLeftoverTempFiles(const QString& folder);

// Moves from to to within one file system, never replacing a file at to;
// a failure says the system's reason.
Outcome MoveNoReplace(const QString& from, const QString& to);

// Why writing path failed with the system's error number err, for the info
// label: a full disk, a file-size limit, a read-only or missing folder, or
// the system's own reason.
QString WriteFailure(int err, const QString& path);

// The system's error text for err in a few words, in the user's language.
QString ErrorText(int err);

}  // namespace tamsel
