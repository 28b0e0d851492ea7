#include "imaging/ComposeFixture.h"
#include "imaging/ImageFile.h"
#include "platform/Fifo.h"
#include "imaging/JpegReader.h"
#include "model/Surface.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace tamsel;
using tamsel::testing::Quarters;

namespace {

QByteArray EncodeJpeg(const QImage& img)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "jpeg");
    w.setQuality(100);
    EXPECT_TRUE(w.write(img));
    return bytes;
}

// An APP1 block holding only an orientation tag, in either byte order.
QByteArray ExifBlock(int orientation, bool littleEndian)
{
    auto u16 = [&](int v) {
        QByteArray b(2, '\0');
        b[littleEndian ? 0 : 1] = char(v & 0xFF);
        b[littleEndian ? 1 : 0] = char((v >> 8) & 0xFF);
        return b;
    };
    auto u32 = [&](int v) { return littleEndian ? u16(v & 0xFFFF) + u16(v >> 16) : u16(v >> 16) + u16(v & 0xFFFF); };
    QByteArray tiff = littleEndian ? QByteArray("II") : QByteArray("MM");
    tiff += u16(42) + u32(8) + u16(1);
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0);
    tiff += u32(0);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int len = int(payload.size()) + 2;
    QByteArray block("\xFF\xE1\0\0", 4);
    block[2] = char(len >> 8);
    block[3] = char(len & 0xFF);
    return block + payload;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// Largest channel difference between a surface and a picture of the same size.
int MaxDiff(const Surface& s, const QImage& img)
{
    if (s.Width() != img.width() || s.Height() != img.height())
        return 1000;
    const QImage ref = img.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const QRgb c = ref.pixel(x, y);
            const uint8_t* p = s.RowPtr(y) + 3 * x;
            worst = std::max({worst, std::abs(p[0] - qBlue(c)), std::abs(p[1] - qGreen(c)),
                              std::abs(p[2] - qRed(c))});
        }
    return worst;
}

}  // namespace

TEST(JpegReader, EveryOrientationComesOutUprightLikeAnyViewer)
{
    QTemporaryDir dir;
    const QByteArray plain = EncodeJpeg(Quarters(40, 24));
    for (int o = 1; o <= 8; ++o)
        for (bool le : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "orientation " << o << (le ? " II" : " MM"));
            // The tag goes right after the start-of-image marker.
            const QByteArray tagged = plain.left(2) + ExifBlock(o, le) + plain.mid(2);
            const QString path = WriteFile(dir, QStringLiteral("o%1%2.jpg").arg(o).arg(le), tagged);
            QImageReader qt(path);
            qt.setAutoTransform(true);
            const QImage expected = qt.read();
            ASSERT_FALSE(expected.isNull());
            const Decoded d = ReadJpeg(path);
            ASSERT_TRUE(d.IsPicture());
            EXPECT_EQ(d.picture.Width(), o >= 5 ? 24 : 40);
            EXPECT_LE(MaxDiff(d.picture, expected), 3);
            // The album's own picture loading goes the same way.
            const Decoded loaded = DecodePicture(path);
            ASSERT_TRUE(loaded.IsPicture());
            EXPECT_LE(MaxDiff(loaded.picture, expected), 3);
        }
}

TEST(JpegReader, LeavesWhatIsNotItsOwnToTheNextReader)
{
    QTemporaryDir dir;
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::red);
    const QString pngPath = dir.filePath("really-a-png.jpg");
    ASSERT_TRUE(png.save(pngPath, "PNG"));
    EXPECT_TRUE(ReadJpeg(pngPath).IsNotMine());
    EXPECT_TRUE(ReadJpeg(dir.filePath("missing.jpg")).IsNotMine());
    // A start-of-image marker followed by rubbish.
    EXPECT_TRUE(ReadJpeg(WriteFile(dir, "junk.jpg", QByteArray("\xFF\xD8\x12\x34junkjunk", 12))).IsNotMine());
    // The general loader still reads the misnamed PNG.
    const Decoded d = DecodePicture(pngPath);
    ASSERT_TRUE(d.IsPicture());
    EXPECT_EQ(d.picture.Width(), 8);
    EXPECT_EQ(d.picture.RowPtr(0)[2], 255);
}

namespace {

// The text a refused file is reported with, or "" when it was not refused.
std::string RefusedWith(const Decoded& d) { return d.answer == Decoded::Answer::Refused ? d.refusal.toStdString() : ""; }

// A small real JPEG whose frame header claims another size.
QByteArray Claiming(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    EXPECT_GT(sof, 0);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

}  // namespace

// A file cut short or lying about its size is refused as the image file
// library refuses it: never shown as a grey "photo", never handed on to the
// general reader to be decoded a second time.
TEST(JpegReader, CutOffAndLyingFilesAreRefusedLikeTheImageLibraryDoes)
{
    QTemporaryDir dir;
    // Noise keeps the scan data far longer than the headers, so the cut
    // falls into the picture itself.
    QImage img = Quarters(256, 256);
    uint32_t v = 7;
    for (int y = 128; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            v = v * 1664525u + 1013904223u;
            img.setPixel(x, y, v >> 8);
        }
    const QByteArray whole = EncodeJpeg(img);
    const QByteArray small = EncodeJpeg(Quarters(16, 16));
    const struct {
        const char* name;
        QByteArray bytes;
        const char* refusal;
    } cases[] = {
        {"cut.jpg", whole.left(whole.size() / 2), kErrCutOff},
        {"liar.jpg", Claiming(small, 26000, 26000), kErrTooLarge},
        {"wide.jpg", Claiming(small, 16385, 8), kErrTooLarge},
        {"plausible-size.jpg", Claiming(small, 12000, 10000), kErrCutOff},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteFile(dir, c.name, c.bytes);
        EXPECT_EQ(RefusedWith(ReadJpeg(path)), c.refusal);
        EXPECT_EQ(RefusedWith(DecodePicture(path)), c.refusal);
        EXPECT_FALSE(LoadImageFile(path).IsValid());
    }
    EXPECT_TRUE(ReadJpeg(WriteFile(dir, "whole.jpg", whole)).IsPicture());
}

TEST(JpegReader, APipeNamedLikeAPhotoIsNotWaitedFor)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("y.jpg");
    ASSERT_TRUE(tamsel::testing::MakeFifo(fifo));
    // Refused outright, so the album's loader never hands it to the general reader.
    ASSERT_TRUE(tamsel::testing::ReturnsDespiteFifo(fifo, [&] { EXPECT_EQ(RefusedWith(ReadJpeg(fifo)), kErrLoad); }));
    ASSERT_TRUE(
        tamsel::testing::ReturnsDespiteFifo(fifo, [&] { EXPECT_EQ(RefusedWith(DecodePicture(fifo)), kErrLoad); }));
    ASSERT_TRUE(tamsel::testing::ReturnsDespiteFifo(fifo, [&] { EXPECT_FALSE(LoadImageFile(fifo).IsValid()); }));
}

TEST(JpegReader, CmykAndGreyFilesStillLoadThroughTheSurface)
{
    QTemporaryDir dir;
    const QString rgb = WriteFile(dir, "rgb.jpg", EncodeJpeg(Quarters(40, 24)));
    const QString cmyk = dir.filePath("cmyk.jpg");
    if (QProcess::execute("convert", {rgb, "-colorspace", "CMYK", cmyk}) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    EXPECT_TRUE(ReadJpeg(cmyk).IsNotMine());   // libjpeg gives no BGR for CMYK: Qt's reader takes it
    const Decoded d = DecodePicture(cmyk);
    ASSERT_TRUE(d.IsPicture());
    EXPECT_EQ(d.picture.Width(), 40);
    // Red top-left quadrant (below the white corner).
    const uint8_t* p = d.picture.RowPtr(8) + 3 * 10;
    EXPECT_GT(p[2], 150);
    EXPECT_LT(p[1], 100);

    const QString grey = dir.filePath("grey.jpg");
    ASSERT_EQ(QProcess::execute("convert", {rgb, "-colorspace", "Gray", grey}), 0);
    const Decoded greyRead = ReadJpeg(grey);
    ASSERT_TRUE(greyRead.IsPicture());
    const uint8_t* g = greyRead.picture.RowPtr(8) + 3 * 10;
    EXPECT_EQ(g[0], g[1]);
    EXPECT_EQ(g[1], g[2]);
}

TEST(JpegReader, OrientationTagIsReadOnlyWhenWellFormed)
{
    const QByteArray good = ExifBlock(6, false).mid(4);
    auto at = [](const QByteArray& b) {
        return ExifOrientation(reinterpret_cast<const unsigned char*>(b.constData()), unsigned(b.size()));
    };
    EXPECT_EQ(at(good), 6);
    EXPECT_EQ(at(ExifBlock(9, true).mid(4)), 1);        // no such orientation
    EXPECT_EQ(at(good.left(20)), 1);                    // entry cut off
    QByteArray badOffset = good;
    badOffset[13] = char(0x7F);                         // first directory far outside
    EXPECT_EQ(at(badOffset), 1);
    QByteArray badOrder = good;
    badOrder[6] = 'X';
    EXPECT_EQ(at(badOrder), 1);
}

// A download cut short into a preallocated file: the photo's start, then
// zeros to the end. Beyond any photo's size it is refused before a byte is
// decoded; a whole photo with a tail of zeros is shown without reading the
// tail. And a decode the watch stops (the time allowed has passed, or the
// program is quitting) refuses its file on every road.
TEST(JpegReader, EndlessFilesAndStoppedDecodesAreGivenUp)
{
    QTemporaryDir dir;
    const QByteArray whole = EncodeJpeg(Quarters(64, 48));
    auto padded = [&](const char* name, qint64 size) {
        const QString path = WriteFile(dir, name, whole);
        QFile f(path);
        EXPECT_TRUE(f.resize(size));   // sparse: no disk taken
        return path;
    };
    const QString endless = padded("endless.jpg", qint64(3) << 30);
    EXPECT_EQ(RefusedWith(ReadJpeg(endless)), kErrLoad);
    EXPECT_EQ(RefusedWith(DecodePicture(endless)), kErrLoad);
    const Decoded tail = ReadJpeg(padded("tail.jpg", qint64(64) << 20));
    ASSERT_TRUE(tail.IsPicture());
    EXPECT_EQ(tail.picture.Width(), 64);

    const QString jpeg = WriteFile(dir, "photo.jpg", whole);
    const QString png = dir.filePath("photo.png");
    ASSERT_TRUE(Quarters(64, 48).save(png));
    for (const bool quitting : {false, true}) {
        SCOPED_TRACE(quitting ? "quitting" : "time is up");
        if (quitting)
            StopDecodes();
        else
            SetDecodeTimeLimit(std::chrono::milliseconds(-1));
        EXPECT_EQ(RefusedWith(DecodePicture(jpeg)), kErrLoad);
        EXPECT_EQ(RefusedWith(DecodePicture(png)), kErrLoad);
        StopDecodes(false);
        SetDecodeTimeLimit(kDecodeTimeLimit);
        EXPECT_TRUE(DecodePicture(png).IsPicture());
    }
}
