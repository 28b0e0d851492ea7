#pragma once
#include <QString>

class QDateTime;

namespace tamsel {

// The file part of the info line: "  文件 121KB  修改 05-3-7 14:5" — the size
// in KB (rounded, halves to even) and the last-write time in China time
// (UTC + 8), each number without leading zeros, the year as its last two
// digits. A file that cannot be found reads as size 0 written at the zero
// time stamp, so the line keeps its shape.
QString FileInfoText(const QString& path);
// The same for a picture held in memory: the bytes a file of it would hold,
// made at the given time.
QString FileInfoText(qint64 bytes, const QDateTime& written);

}  // namespace tamsel
