#include "platform/SaneTestBackend.h"
#include "tools/ui/ScanDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

template <class Pred>
bool WaitFor(Pred done, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

TEST(ScanDialog, ScansWithTheChosenSettingsAndHandsThePictureBack)
{
    UseSaneTestBackend();
    ScanDialog d;
    d.show();
    ASSERT_TRUE(WaitFor([&] { return d.DevicesListed(); }));
    ASSERT_GE(d.DeviceBox()->count(), 1) << qPrintable(d.Message());
    ASSERT_TRUE(d.ScanButton()->isEnabled());
    d.ModeBox()->setCurrentIndex(d.ModeBox()->findData("Gray"));
    d.ResolutionBox()->setCurrentIndex(d.ResolutionBox()->findData(100));
    d.ScanButton()->click();
    ASSERT_TRUE(WaitFor([&] { return d.result() == QDialog::Accepted; }));
    // 80 x 100 mm at 100 dpi, the backend's default area.
    EXPECT_EQ(d.Picture().size(), QSize(314, 393));
    EXPECT_EQ(d.Progress()->value(), 1000);
}

TEST(ScanDialog, CancelStopsAScanAndHandsNothingBack)
{
    UseSaneTestBackend();
    ScanDialog d;
    d.show();
    ASSERT_TRUE(WaitFor([&] { return d.DevicesListed(); }));
    ASSERT_TRUE(d.ScanButton()->isEnabled());
    // Slow enough to be caught in the middle: many small, delayed reads.
    d.ResolutionBox()->setCurrentIndex(d.ResolutionBox()->findData(1200));
    ASSERT_TRUE(d.Device().SetOption("read-limit", "yes"));
    ASSERT_TRUE(d.Device().SetOption("read-limit-size", "1000"));
    ASSERT_TRUE(d.Device().SetOption("read-delay", "yes"));
    ASSERT_TRUE(d.Device().SetOption("read-delay-duration", "20000"));
    d.ScanButton()->click();
    ASSERT_TRUE(WaitFor([&] { return d.Progress()->value() > 0; }));
    d.CancelButton()->click();
    ASSERT_TRUE(WaitFor([&] { return !d.IsScanning() && d.result() == QDialog::Rejected && !d.isVisible(); }));
    EXPECT_TRUE(d.Picture().isNull());
    EXPECT_TRUE(d.Message().isEmpty());
}
