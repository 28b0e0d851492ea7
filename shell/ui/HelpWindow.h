#pragma once
#include "shell/ui/SkinnedDialog.h"

class QTextBrowser;

namespace tamsel {

// The installation's help (readme.htm) in a window of the program, dressed
// like its dialogs: it needs no browser on the machine. Links within the
// help are followed in place; links to the web and mail go to the desktop.
class HelpWindow : public SkinnedDialog {
    Q_OBJECT
public:
    HelpWindow(const AppPaths& paths, QWidget* parent);

    // False when the installation has no help file.
    bool HasHelp() const { return hasHelp_; }
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    bool hasHelp_ = false;
};

}  // namespace tamsel
