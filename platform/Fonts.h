#pragma once
#include <QFont>

namespace tamsel {

// Show scripts name their fonts by the Chinese face names "宋体" and
// "楷体_GB2312"; here they are drawn by the AR PL Song and Kai fonts.
void RegisterFontSubstitutions();

// The window's own font: the Song face at 10.5 points.
QFont WindowFont();

}  // namespace tamsel
