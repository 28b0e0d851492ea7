#pragma once
#include <QString>

namespace tamsel {

class AlbumApp;

// "照片另存" through the program's one file dialog: one filter per output
// format, each shown by its own pattern. Returns the chosen name, or "" when
// cancelled. No extension is added to a typed name: the name says the
// format, and SaveAs tells the user when it says none.
QString AskSaveAsName(AlbumApp& app);

}  // namespace tamsel
