#pragma once
#include "model/Outcome.h"

#include <QList>
#include <QString>

#include <optional>

namespace tamsel {

// The record a batch rename keeps beside the photos while files sit under
// temporary names, so that a rename cut short by a crash or a power cut can
// be finished or undone at the next chance, and no photo stays hidden.
struct RenameJournal {
    // 1: files are being moved to their temporary names (undo on recovery);
    // 2: all are under temporary names and go on to their new names (finish).
    int phase = 1;
    struct Entry {
        QString oldName, tempName, newName;
    };
    QList<Entry> entries;
};

// The journal's file name inside the photo folder; hidden, and not a photo.
QString JournalPath(const QString& folder);

// Written whole or not at all, and on the disk (synced, its folder too) when
// this succeeds; a journal already there stays as it was when it fails.
Outcome WriteJournal(const QString& folder, const RenameJournal& journal);
// Nothing when there is no journal or it cannot be understood.
std::optional<RenameJournal> ReadJournal(const QString& folder);
bool HasJournal(const QString& folder);

// Finishes or undoes a rename left unfinished in folder and removes its
// journal; says what it did. Without a journal there is nothing to say. A
// file that cannot be moved back keeps the journal, and the message names it.
Outcome RecoverRenames(const QString& folder);

}  // namespace tamsel
