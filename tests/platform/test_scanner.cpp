#include "SaneTestBackend.h"
#include "TestUtil.h"
#include "platform/Scanner.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseSaneTestBackend();
        const Outcome opened = scanner.Open("test:0");
        ASSERT_TRUE(opened.ok) << qPrintable(opened.message);
        ASSERT_TRUE(scanner.SetOption("test-picture", "Color pattern"));
    }
    Scanner scanner;
};

}  // namespace

TEST_F(ScannerTest, TheDevicesAndTheirChoicesAreListed)
{
    QList<ScanDevice> devices;
    const Outcome listed = Scanner::Devices(devices);
    ASSERT_GE(devices.size(), 1) << qPrintable(listed.message);
    EXPECT_EQ(devices.front().name, "test:0");
    const ScanChoices c = scanner.Choices();
    EXPECT_TRUE(c.modes.contains("Color"));
    EXPECT_TRUE(c.modes.contains("Gray"));
    EXPECT_TRUE(c.sources.contains("Flatbed"));
    EXPECT_TRUE(c.resolutions.contains(c.resolution));
    EXPECT_FALSE(Scanner().Open("test:99").ok);
}

// What scanimage, SANE's own frontend, makes of the same scan.
TEST_F(ScannerTest, ColourAndGreyScansArriveAsTheBackendSendsThem)
{
    if (QStandardPaths::findExecutable("scanimage").isEmpty())
        GTEST_SKIP() << "scanimage is not installed";
    for (const char* mode : {"Color", "Gray"}) {
        SCOPED_TRACE(mode);
        int last = -1;
        const ScanResult r = scanner.Scan({"Flatbed", mode, 75}, [&](int p) { last = p; });
        ASSERT_FALSE(r.image.isNull()) << qPrintable(r.why);
        EXPECT_EQ(last, 1000);
        const QByteArray pnm = RunTool("scanimage", {"-d", "test:0", "--mode", mode, "--resolution", "75",
                                                     "--test-picture", "Color pattern", "--format=pnm"});
        QImage want;
        ASSERT_TRUE(want.loadFromData(pnm));
        EXPECT_EQ(r.image.size(), want.size());
        EXPECT_EQ(r.image, want.convertToFormat(QImage::Format_RGB888));
    }
}

TEST_F(ScannerTest, ACancelOrAFailingDeviceGivesNoPicture)
{
    int calls = 0;
    ScanResult r = scanner.Scan({{}, "Color", 300}, [&](int) {
        if (++calls == 1)
            scanner.Cancel();
    });
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.image.isNull());

    // Unplugged in the middle: the device's reads fail.
    ASSERT_TRUE(scanner.SetOption("read-return-value", "SANE_STATUS_IO_ERROR"));
    r = scanner.Scan({{}, "Color", 75});
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.image.isNull());
    EXPECT_FALSE(r.why.isEmpty());

    // The same scanner scans again afterwards.
    ASSERT_TRUE(scanner.SetOption("read-return-value", "Default"));
    EXPECT_FALSE(scanner.Scan({{}, "Gray", 50}).image.isNull());
}

// SANE's test device reports 0 dpi as its own resolution, outside its range
// of 1..1200: the nearest resolution it offers is preselected, and the
// picture of a pixel that the device's own setting gives is refused.
TEST_F(ScannerTest, AResolutionTheDeviceOffersIsPreselectedAndATinyPictureRefused)
{
    const ScanChoices c = scanner.Choices();
    EXPECT_GE(c.resolution, 1);
    EXPECT_TRUE(c.resolutions.contains(c.resolution));
    const ScanResult tiny = scanner.Scan({{}, "Gray", 0});
    EXPECT_TRUE(tiny.image.isNull()) << tiny.image.width() << "x" << tiny.image.height();
    EXPECT_FALSE(tiny.cancelled);
    EXPECT_FALSE(tiny.why.isEmpty());
    const ScanResult r = scanner.Scan({{}, "Gray", c.resolution});
    EXPECT_GT(r.image.width(), 1) << qPrintable(r.why);
}
