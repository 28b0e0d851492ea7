#pragma once
#include "album/Settings.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QListWidget;

namespace tamsel {

// The caption font choice: face, size and colour in one dialog, the way a
// desktop font dialog with effects offers them. Sizes 14 to 26 are listed;
// another typed size is passed on for the caller to keep within them.
class FontDialog : public QDialog {
    Q_OBJECT
public:
    FontDialog(const FontChoice& initial, QWidget* parent = nullptr);

    // Shows the dialog; nothing when it is cancelled.
    static std::optional<FontChoice> Ask(const FontChoice& initial, QWidget* parent);
    // The faces offered: the names the album's scripts use for the installed
    // Kai and Song fonts first, then the fonts that write Chinese, then the rest.
    static QStringList Faces();

    FontChoice Choice() const;

    QListWidget* FaceList() const { return faces_; }
    QComboBox* SizeBox() const { return size_; }
    QComboBox* ColourBox() const { return colour_; }

private:
    void ColourActivated(int index);
    void ShowSample();

    FontChoice initial_;
    QListWidget* faces_;
    QComboBox* size_;
    QComboBox* colour_;
    QLabel* sample_;
    int lastColour_ = 0;
};

}  // namespace tamsel
