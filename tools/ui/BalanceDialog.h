#pragma once
#include <QDialog>

#include <array>

class QLabel;
class QScrollBar;

namespace tamsel {

struct ColourBalance;

// "平衡": three sliders for brightness, hue (tenths of a degree) and
// saturation (percent). Opening it sets BalBright, BalHue and BalSat to the
// neutral 0, 0 and 100; "确定" stores the sliders' values, "取消" leaves them
// neutral. Made anew for every use, so the sliders always start neutral.
class BalanceDialog : public QDialog {
    Q_OBJECT
public:
    explicit BalanceDialog(ColourBalance& balance, QWidget* parent = nullptr);

    // Shows the dialog modally; true when it was closed with "确定".
    static bool Ask(ColourBalance& balance, QWidget* parent);

    QScrollBar* Slider(int i) const { return sliders_.at(i); }
    QLabel* ValueLabel(int i) const { return values_.at(i); }

private:
    void Confirm();

    ColourBalance& balance_;
    std::array<QScrollBar*, 3> sliders_{};
    std::array<QLabel*, 3> values_{};
};

}  // namespace tamsel
