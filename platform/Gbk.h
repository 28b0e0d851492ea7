#pragma once
#include <QString>
#include <QByteArray>

namespace tamsel {

// Text in the album's files is code page 936 (GBK). A character GBK cannot hold
// is written in its GB18030 four-byte form instead of being dropped, so nothing
// the user typed is lost, and every GBK reader still reads the rest unchanged.
QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);

// Length of a text in GBK bytes: 2 per Chinese character, 1 per ASCII one.
int GbkLength(const QString& text);

}  // namespace tamsel
