#pragma once
#include <QString>

class QWidget;

namespace tamsel {

// The "照片另存" dialog: one filter per output format, each shown by its own
// pattern. Returns the chosen name, or "" when cancelled. No extension is
// added to a typed name: the name says the format, and SaveAs tells the user
// when it says none.
QString AskSaveAsName(QWidget* parent, const QString& startFolder);

}  // namespace tamsel
