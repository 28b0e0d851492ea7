#pragma once
#include <QFile>
#include <QString>

namespace tamsel {

// What opening a file for reading found.
enum class OpenResult {
    Opened,       // a regular file, open for reading
    Missing,      // nothing of that name
    NotAFile,     // a folder, a pipe, a device or a socket: never read
    Unreadable,   // there, but not ours to read
};

// Opens path for reading only when it is a regular file. A pipe or a device
// named like a photo or a script would make a plain open or read wait forever
// (or never end), so the file is opened without waiting, checked with fstat on
// the very descriptor that is then read, and only then handed to file.
OpenResult OpenRegularFile(const QString& path, QFile& file);

// True when path names a regular file (following links), without opening it.
bool IsRegularFile(const QString& path);

}  // namespace tamsel
