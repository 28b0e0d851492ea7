#pragma once
#include "model/Outcome.h"
#include "model/PhotoList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tamsel {

// The three fields of the rename dialog as typed: the stem, the start number
// and the width pattern (only its length counts).
struct RenameFields {
    QString stem;
    QString start = QStringLiteral("1");
    QString width = QStringLiteral("###");
};

// The start number, or nothing when the text is empty, not a whole number or
// outside -32768..32767.
std::optional<int> ParseStartNumber(const QString& text);

// The number written in decimal and made exactly width characters long: the
// last width characters of "0000000000" followed by the number.
QString NumberText(int number, int width);

// stem + number text + "." + the extension of name (the text after its last
// ".", kept in its own letters and case; "" when it has none).
QString NewPhotoName(const QString& stem, int number, int width, const QString& name);

// The files of a folder with their new names, and whatever stands in the way.
struct RenamePlan {
    QString folder;          // with a trailing "/"
    QStringList oldNames;    // the folder's photos in list order
    QStringList newNames;    // one per old name; empty when the fields give none
    QList<bool> clash;       // per entry: the new name cannot be used
    QString problem;         // why there is no preview or why it cannot run

    bool HasPreview() const { return !newNames.isEmpty(); }
    bool Runnable() const { return HasPreview() && problem.isEmpty(); }
};

// The photos of folder that the rename works on (the album's formats).
FolderListing ListRenameSources(const QString& folder);

// Builds the new names and checks them: two new names equal without regard to
// case, a new name held by a file of the folder that is not being renamed, a
// name the file system cannot take. Names of other batch files are no
// obstacle: the renaming goes through temporary names.
RenamePlan PlanRename(const QString& folder, const QStringList& names, const RenameFields& fields);

// Called after every move with the moves done and the moves in all (two per
// renamed file); may come from a worker thread.
using RenameProgress = std::function<void(int done, int total)>;

// Renames the plan's files: first every file to a unique temporary name, then
// every temporary name to its new name, with a journal beside the photos
// from before the first move until after the last. A failure on the way puts
// every file back under its old name. Nothing is copied and nothing replaced.
Outcome RunRename(const RenamePlan& plan, const RenameProgress& progress = {});

}  // namespace tamsel
