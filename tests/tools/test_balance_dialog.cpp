#include "model/AlbumState.h"
#include "tools/ui/BalanceDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace tamsel;

namespace {

QPushButton* Button(const BalanceDialog& d, const char* name)
{
    return d.findChild<QPushButton*>(QString::fromLatin1(name));
}

void Dirty(ColourBalance& s)
{
    s.BalBright = 77;
    s.BalHue = 1234;
    s.BalSat = 5;
}

}  // namespace

TEST(BalanceDialog, OpensNeutralAndCancelLeavesTheResultsNeutral)
{
    ColourBalance s;
    Dirty(s);
    BalanceDialog d(s);
    EXPECT_EQ(s.BalBright, 0);
    EXPECT_EQ(s.BalHue, 0);
    EXPECT_EQ(s.BalSat, 100);
    EXPECT_EQ(d.windowTitle(), "平衡");
    EXPECT_EQ(d.ValueLabel(2)->text(), "100");

    d.Slider(0)->setValue(-40);
    d.Slider(1)->setValue(900);
    d.Slider(2)->setValue(300);
    Button(d, "cancelButton")->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(s.BalBright, 0);
    EXPECT_EQ(s.BalHue, 0);
    EXPECT_EQ(s.BalSat, 100);
}

TEST(BalanceDialog, ConfirmTakesTheSlidersHeldToTheirRanges)
{
    ColourBalance s;
    BalanceDialog d(s);
    // Values beyond the ends stop at them; the labels follow every change.
    d.Slider(0)->setValue(-1000);
    d.Slider(1)->setValue(99999);
    d.Slider(2)->setValue(-5);
    EXPECT_EQ(d.ValueLabel(0)->text(), "-255");
    EXPECT_EQ(d.ValueLabel(1)->text(), "3600");
    EXPECT_EQ(d.ValueLabel(2)->text(), "0");
    d.Slider(1)->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(d.ValueLabel(1)->text(), "3240");
    Button(d, "okButton")->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(s.BalBright, -255);
    EXPECT_EQ(s.BalHue, 3240);
    EXPECT_EQ(s.BalSat, 0);
}
