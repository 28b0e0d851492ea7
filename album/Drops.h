#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tamsel {

// What a drop of files on the main window opens: the first item the album
// opens as it opens a path named on the command line (a folder, a photo, a
// show script), or, when none can, the info line's words for it.
struct DropOpening {
    QString path;      // empty: nothing opens
    QString refusal;
    bool Opens() const { return !path.isEmpty(); }
};
DropOpening WhatDropOpens(const QList<QUrl>& urls);

// What a drop on the tune list adds: the music files among the items, in
// the order they were dropped (the list takes them as it takes a multiple
// selection), and the words for the first item that is not one.
struct DroppedTunes {
    QStringList tunes;
    QString refusal;   // empty: every item is a tune
};
DroppedTunes TunesDropped(const QList<QUrl>& urls);

}  // namespace tamsel
