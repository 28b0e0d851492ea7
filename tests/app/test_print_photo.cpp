#include "TestUtil.h"
#include "app/ui/PrintPhoto.h"
#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/ComposeFixture.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(PrintPhoto, NaturalSizeUnlessThePageIsTooSmallOrFittedToThePage)
{
    const QSizeF letter(8.0, 10.5);
    constexpr PrintFit natural = PrintFit::NaturalSize, fit = PrintFit::FitToPage;
    const struct {
        QSize px;
        double dpiX, dpiY;
        PrintFit how;
        QRectF want;
    } cases[] = {
        {{192, 96}, 96, 96, natural, {0, 0, 2, 1}},
        {{600, 300}, 300, 150, natural, {0, 0, 2, 2}},
        {{1600, 480}, 96, 96, natural, {0, 0, 8, 2.4}},     // too wide: fits the width
        {{960, 2016}, 96, 96, natural, {0, 0, 5, 10.5}},    // too tall: fits the height
        {{192, 96}, 96, 96, fit, {0, 3.25, 8, 4}},          // wide: the width, centred up and down
        {{600, 300}, 300, 150, fit, {0, 1.25, 8, 8}},       // square at its resolutions
        {{96, 288}, 96, 96, fit, {2.25, 0, 3.5, 10.5}},     // tall: the height, centred across
        {{1920, 1260}, 96, 96, fit, {0, 2.625, 8, 5.25}},   // larger than the page: made smaller
    };
    for (const auto& c : cases)   // compared within rounding
        EXPECT_EQ(PrintPlacement(c.px, c.dpiX, c.dpiY, letter, c.how), c.want) << c.px.width() << " " << int(c.how);
}

TEST(PrintPhoto, TheResolutionIsTheFilesOwnOrNinetySix)
{
    QTemporaryDir dir;
    QImage img = Quarters(40, 30);
    img.setDotsPerMeterX(11811);   // 300 dpi
    img.setDotsPerMeterY(5906);    // 150 dpi
    img.save(dir.filePath("a.bmp"), "BMP");
    img.save(dir.filePath("a.jpg"), "JPEG");
    // The formats the image file library reads state theirs to it.
    img.save(dir.filePath("a.png"), "PNG");
    const bool converted = QProcess::execute("convert", {dir.filePath("a.png"), dir.filePath("a.pcx")}) == 0;
    Surface photo;
    EXPECT_TRUE(photo.Clone(img));
    for (const char* name : {"a.bmp", "a.jpg", "a.png", "a.pcx"}) {
        if (!converted && QByteArray(name) == "a.pcx")
            continue;
        const PrintJob job = MakePrintJob(photo, dir.filePath(name), 90);
        EXPECT_NEAR(job.dpiX, 150, 0.5) << name;   // turned with the photo
        EXPECT_NEAR(job.dpiY, 300, 0.5) << name;
    }
    EXPECT_TRUE(photo.SaveBMP(dir.filePath("plain.bmp").toStdString()));   // states none
    QProcess::execute("convert", {dir.filePath("plain.bmp"), dir.filePath("plain.tga")});   // a TGA states none
    for (const char* name : {"plain.bmp", "plain.tga"}) {
        if (!converted && QByteArray(name) == "plain.tga")
            continue;
        const PrintJob job = MakePrintJob(photo, dir.filePath(name), 0);
        EXPECT_EQ(job.dpiX, 96) << name;
        EXPECT_EQ(job.dpiY, 96) << name;
        EXPECT_EQ(job.picture.size(), QSize(40, 30));
    }
}

TEST(PrintPhoto, AnUnknownPrinterIsSaid)
{
    PrintJob job;
    job.picture = Quarters(20, 20);
    const Outcome r = PrintPicture(job, "no-such-printer-here");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.HasMessage());
}

// Needs a CUPS PDF printer as the default: the test run sets one up and
// names the folder its PDF files go to.
TEST(PrintPhoto, TheDefaultPrinterPrintsThePictureAtTheTopLeftInItsNaturalSize)
{
    const QString out = qEnvironmentVariable("TAMSEL_TEST_PDF_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "no PDF printer set up (TAMSEL_TEST_PDF_DIR)";
    QDir().mkpath(out);
    const QStringList before = QDir(out).entryList({"*.pdf"}, QDir::Files);

    PrintJob job;
    job.picture = Quarters(192, 96);
    job.title = "tamsel-print-test";
    Outcome result = Outcome::Failed("no answer");
    QEventLoop loop;
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    PrintInBackground(job, &loop, [&](const Outcome& o) {
        result = o;
        loop.quit();
    });
    loop.exec();
    ASSERT_TRUE(result.ok) << qPrintable(result.message);

    // The PDF appears when the queue has run the job.
    QString pdf;
    QElapsedTimer t;
    t.start();
    while (pdf.isEmpty() && t.elapsed() < 60000) {
        for (const QString& f : QDir(out).entryList({"*.pdf"}, QDir::Files))
            if (!before.contains(f) && f.contains("tamsel-print-test"))
                pdf = QDir(out).filePath(f);
        QThread::msleep(200);
    }
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF in " << qPrintable(out);
    QThread::msleep(500);
    QTemporaryDir dir;
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, dir.filePath("page")}), 0);
    const QImage page(dir.filePath("page.png"));
    QFile::remove(pdf);
    ASSERT_FALSE(page.isNull());

    // The picture's box: everything that is not paper white.
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (QColor(page.pixel(x, y)).hsvSaturation() > 20 || qGray(page.pixel(x, y)) < 245)
                box |= QRect(x, y, 1, 1);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(box.width(), 192, 3);
    EXPECT_NEAR(box.height(), 96, 3);
    EXPECT_LT(box.left(), 96);   // within the margins, at the top left
    EXPECT_LT(box.top(), 96);
    const QColor red = page.pixelColor(box.left() + 48, box.top() + 36);
    const QColor yellow = page.pixelColor(box.left() + 144, box.top() + 72);
    EXPECT_TRUE(Near({red.red(), red.green(), red.blue()}, QColor(220, 30, 30), 30));
    EXPECT_TRUE(Near({yellow.red(), yellow.green(), yellow.blue()}, QColor(230, 220, 60), 30));
}

// A photo shown in the colours of a wide-gamut display (converted into them,
// or already in them) goes to the printer as sRGB; an untagged one as it is.
TEST(PrintPhoto, APhotoInTheDisplaysColoursIsPrintedInSrgb)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QMap<QString, QString> photos = MakeColourPhotos(d, PatchPicture(400, 230));
    if (photos.isEmpty())
        GTEST_SKIP() << "lcms2's tools or the ICC profile packages are not installed";
    const QImage original = Shown(photos["src.jpg"]);
    const WideGamutDisplay display;
    ASSERT_FALSE(DisplayProfile().isEmpty());
    for (const char* name : {"adobe.jpg", "prophoto.jpg", "src.jpg"}) {
        const Decoded read = DecodePicture(photos[name]);
        ASSERT_TRUE(read.IsPicture()) << name;
        const Surface& photo = read.picture;
        EXPECT_LE(WorstDeltaE(MakePrintJob(photo, photos[name], 0).picture, original), 2.0) << name;
        if (QByteArray(name) != "src.jpg")
            EXPECT_GT(WorstDeltaE(photo.ToQImage(), original), 2.0) << name << " as shown";
    }
}

// The dialog's choice reaches the page: here a PDF file on A4 turned
// sideways, the picture fitted to it.
TEST(PrintPhoto, TheChosenPaperAndFitLayThePage)
{
    QTemporaryDir dir;
    PrintChoice choice;
    choice.outputFile = dir.filePath("page.pdf");
    choice.layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                QPageLayout::Millimeter);
    choice.fit = PrintFit::FitToPage;
    ASSERT_TRUE(PrintPicture(PrintJob{Quarters(100, 100)}, choice).ok);
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "20", "-png", "-singlefile", choice.outputFile, dir.filePath("p")}), 0);
    const QImage page(dir.filePath("p.png"));
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 245)
                box |= QRect(x, y, 1, 1);
    EXPECT_NEAR(page.width(), 297 / 25.4 * 20, 2);   // sideways
    EXPECT_NEAR(box.height(), 190 / 25.4 * 20, 2);   // the page's height within the margins
    EXPECT_NEAR(box.width(), box.height(), 2);
    EXPECT_NEAR(box.center().x(), page.width() / 2.0, 2);
}
