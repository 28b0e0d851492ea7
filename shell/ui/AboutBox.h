#pragma once
#include "shell/ui/SkinnedDialog.h"

namespace tamsel {

// The about box: the program's name, icon and version, a link to its page
// and one that writes to its maker, and 确定.
class AboutBox : public SkinnedDialog {
    Q_OBJECT
public:
    AboutBox(const AppPaths& paths, QWidget* parent);

    // " V " and the program's version, major.minor.revision.
    static QString VersionText();
    static const char* const kHomePage;
    static const char* const kMakerMail;
};

}  // namespace tamsel
