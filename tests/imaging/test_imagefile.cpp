// The image file library against real files and independent tools: what we
// write, ImageMagick and netpbm must read back; what they write, we must read.
#include "TestUtil.h"
#include "imaging/ImageFile.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <vector>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// A top-down RGB picture, the common ground of every reader in these tests.
struct Pixmap {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    bool operator==(const Pixmap&) const = default;
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * w + x) * 3]; }
};

// Failures name the size and the first pixel that differs from the pattern.
void PrintTo(const Pixmap& p, std::ostream* os)
{
    *os << p.w << "x" << p.h << " [";
    for (size_t i = 0; i < std::min<size_t>(p.rgb.size(), 9); ++i)
        *os << int(p.rgb[i]) << (i + 1 < 9 ? "," : "");
    *os << "...]";
}

// 37 x 23: an odd width gives BMP rows with padding, and every pixel differs.
Pixmap Pattern(int w = 37, int h = 23)
{
    Pixmap p{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p.rgb.push_back(uint8_t(x * 7));
            p.rgb.push_back(uint8_t(y * 11));
            p.rgb.push_back(uint8_t(x * y + 3));
        }
    return p;
}

// A smooth picture for the lossy format, where a fair comparison needs no edges.
Pixmap Smooth(int w = 48, int h = 32)
{
    Pixmap p{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p.rgb.push_back(uint8_t(40 + x * 3));
            p.rgb.push_back(uint8_t(60 + y * 4));
            p.rgb.push_back(uint8_t(200 - x - y));
        }
    return p;
}

Pixmap Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    Pixmap p{w, h, {}};
    for (int i = 0; i < w * h; ++i)
        p.rgb.insert(p.rgb.end(), {r, g, b});
    return p;
}

QByteArray Ppm(const Pixmap& p)
{
    QByteArray out = QByteArray("P6\n") + QByteArray::number(p.w) + " " + QByteArray::number(p.h) +
                     "\n255\n";
    out.append(reinterpret_cast<const char*>(p.rgb.data()), qsizetype(p.rgb.size()));
    return out;
}

// Reads binary PPM / PGM and PAM (RGB, RGB_ALPHA, GRAYSCALE) as netpbm and
// ImageMagick write them. A PAM alpha channel is dropped; callers check the
// transparency they care about separately.
Pixmap ParseNetpbm(const QByteArray& bytes)
{
    Pixmap p;
    qsizetype pos = 0;
    auto token = [&]() {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#')
                while (pos < bytes.size() && bytes[pos] != '\n')
                    ++pos;
            else if (QChar(bytes[pos]).isSpace())
                ++pos;
            else
                break;
        }
        const qsizetype start = pos;
        while (pos < bytes.size() && !QChar(bytes[pos]).isSpace())
            ++pos;
        return bytes.mid(start, pos - start);
    };
    const QByteArray magic = token();
    int depth = 3, maxval = 255;
    if (magic == "P6" || magic == "P5") {
        p.w = token().toInt();
        p.h = token().toInt();
        maxval = token().toInt();
        depth = magic == "P6" ? 3 : 1;
        ++pos;
    } else if (magic == "P7") {
        for (QByteArray t = token(); !t.isEmpty() && t != "ENDHDR"; t = token()) {
            if (t == "WIDTH") p.w = token().toInt();
            else if (t == "HEIGHT") p.h = token().toInt();
            else if (t == "DEPTH") depth = token().toInt();
            else if (t == "MAXVAL") maxval = token().toInt();
            else if (t == "TUPLTYPE") token();
        }
        ++pos;
    } else {
        return {};
    }
    const int bps = maxval > 255 ? 2 : 1;
    if (bytes.size() - pos < qsizetype(p.w) * p.h * depth * bps)
        return {};
    for (int i = 0; i < p.w * p.h; ++i)
        for (int c = 0; c < 3; ++c) {
            const int ch = depth >= 3 ? c : 0;
            const qsizetype at = pos + (qsizetype(i) * depth + ch) * bps;
            int v = uint8_t(bytes[at]);
            if (bps == 2)
                v = (v * 256 + uint8_t(bytes[at + 1])) * 255 / maxval;
            else if (maxval != 255)
                v = v * 255 / maxval;
            p.rgb.push_back(uint8_t(v));
        }
    return p;
}

// Qt's own reader, independent of ImageMagick: used for the BMP files we make.
Pixmap ReadWithQt(const QString& path)
{
    QImage img(path);
    if (img.isNull())
        return {};
    img = img.convertToFormat(QImage::Format_RGB888);
    Pixmap p{img.width(), img.height(), {}};
    for (int y = 0; y < img.height(); ++y)
        p.rgb.insert(p.rgb.end(), img.constScanLine(y), img.constScanLine(y) + img.width() * 3);
    return p;
}

double MeanAbsDiff(const Pixmap& a, const Pixmap& b)
{
    if (a.w != b.w || a.h != b.h || a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / double(a.rgb.size());
}

bool ToolsPresent()
{
    for (const char* t : {"convert", "pcxtoppm", "tgatoppm", "tifftopnm", "pngtopnm", "winicontopam",
                          "ppmtopcx", "ppmtotga", "pnmtotiff", "pnmtopng", "pamtopng"})
        if (RunTool("sh", {"-c", QString("command -v %1").arg(t)}).isNull())
            return false;
    return true;
}

class ImageFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        if (!ToolsPresent())
            GTEST_SKIP() << "ImageMagick or netpbm tools missing";
    }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Writes a picture through a netpbm or ImageMagick converter that reads PPM.
    QString MadeBy(const QString& tool, QStringList args, const Pixmap& p, const QString& name)
    {
        const QString ppm = Path(name + ".src.ppm");
        WriteAll(ppm, Ppm(p));
        args << ppm;
        const QByteArray bytes = RunTool(tool, args);
        const QString out = Path(name);
        EXPECT_FALSE(bytes.isEmpty()) << tool.toStdString();
        WriteAll(out, bytes);
        return out;
    }

    // Loads with LoadImageFile and writes a BMP, read back by Qt.
    Pixmap ThroughBmp(const QString& path)
    {
        const QString bmp = Path(QFileInfo(path).fileName() + ".out.bmp");
        QFile::remove(bmp);
        if (!SaveImageFile(LoadImageFile(path), bmp, kBmp))
            return {};
        return ReadWithQt(bmp);
    }

    QTemporaryDir dir_;
};

}  // namespace

// ---- reading what other programs wrote --------------------------------------

TEST_F(ImageFileTest, ReadsFilesWrittenByNetpbmWithEqualPixels)
{
    const Pixmap src = Pattern();
    EXPECT_EQ(ThroughBmp(MadeBy("ppmtopcx", {}, src, "a.pcx")), src);
    EXPECT_EQ(ThroughBmp(MadeBy("ppmtotga", {}, src, "rle.tga")), src);
    EXPECT_EQ(ThroughBmp(MadeBy("ppmtotga", {"-norle"}, src, "raw.tga")), src);
    EXPECT_EQ(ThroughBmp(MadeBy("pnmtotiff", {}, src, "a.tif")), src);
    EXPECT_EQ(ThroughBmp(MadeBy("pnmtopng", {}, src, "a.png")), src);
}

TEST_F(ImageFileTest, ReadsFilesWrittenByImageMagick)
{
    const Pixmap src = Pattern();
    const QString ppm = Path("src.ppm");
    WriteAll(ppm, Ppm(src));
    // Not TGA: ImageMagick writes top-down TGA rows labelled bottom-up, so
    // every other reader sees its files upside down (netpbm covers TGA).
    for (const char* name : {"m.bmp", "m.pcx", "m.tif", "m.png", "m.ico"}) {
        ASSERT_FALSE(RunTool("convert", {ppm, Path(name)}).isNull()) << name;
        EXPECT_EQ(ThroughBmp(Path(name)), src) << name;
    }
    // Palette BMP and grey PNG still come out as the same colours.
    const Pixmap grey = Solid(5, 4, 90, 90, 90);
    WriteAll(Path("grey.ppm"), Ppm(grey));
    ASSERT_FALSE(RunTool("convert", {Path("grey.ppm"), "-type", "Grayscale", Path("g.png")}).isNull());
    EXPECT_EQ(ThroughBmp(Path("g.png")), grey);
    ASSERT_FALSE(RunTool("convert", {ppm, "-colors", "16", "BMP3:" + Path("pal.bmp")}).isNull());
    const Pixmap pal = ThroughBmp(Path("pal.bmp"));
    EXPECT_EQ(pal.w, src.w);
    EXPECT_LT(MeanAbsDiff(pal, src), 40.0);

    const Pixmap smooth = Smooth();
    WriteAll(Path("smooth.ppm"), Ppm(smooth));
    ASSERT_FALSE(RunTool("cjpeg", {"-quality", "95", "-outfile", Path("c.jpg"), Path("smooth.ppm")}).isNull());
    EXPECT_LT(MeanAbsDiff(ThroughBmp(Path("c.jpg")), smooth), 3.0);
    // Print shops hand out CMYK JPEGs; they must come out in their own colours.
    ASSERT_FALSE(RunTool("convert", {Path("smooth.ppm"), "-colorspace", "CMYK", "-quality", "98",
                                     Path("cmyk.jpg")}).isNull());
    EXPECT_LT(MeanAbsDiff(ThroughBmp(Path("cmyk.jpg")), smooth), 3.0);
}

TEST_F(ImageFileTest, ExtensionCaseAndMisnamedFilesDoNotMatter)
{
    const Pixmap src = Pattern();
    EXPECT_EQ(ThroughBmp(MadeBy("ppmtopcx", {}, src, "UPPER.PCX")), src);
    EXPECT_EQ(ThroughBmp(MadeBy("ppmtotga", {}, src, "Mixed.Tga")), src);
    EXPECT_EQ(ThroughBmp(MadeBy("pnmtotiff", {}, src, "long.TIFF")), src);
    // A PNG that someone named .jpg is still a PNG.
    EXPECT_EQ(ThroughBmp(MadeBy("pnmtopng", {}, src, "really-png.jpg")), src);
    // Names the library could mistake for options are just names.
    EXPECT_EQ(ThroughBmp(MadeBy("pnmtopng", {}, src, "photo[1]%d.png")), src);
}

TEST_F(ImageFileTest, ReadsAMetafile)
{
    // shapes.wmf: a 64 x 48 placeable metafile at 72 units per inch, a white
    // page with a red box (4, 8)-(30, 40) and a blue box (34, 8)-(60, 40).
    const QString wmf = QString(TAMSEL_SOURCE_DIR) + "/tests/data/shapes.wmf";
    const ImageHandle h = LoadImageFile(wmf);
    ASSERT_TRUE(h.IsValid());
    EXPECT_EQ(h.Width(), 64);
    EXPECT_EQ(h.Height(), 48);
    QFile::copy(wmf, Path("SHAPES.WMF"));
    const Pixmap p = ThroughBmp(Path("SHAPES.WMF"));
    ASSERT_EQ(p.w, 64);
    auto rgb = [&](int x, int y) {
        const uint8_t* c = p.At(x, y);
        return std::vector<int>{c[0], c[1], c[2]};
    };
    EXPECT_EQ(rgb(2, 2), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(rgb(15, 20), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(rgb(45, 20), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(rgb(32, 45), (std::vector<int>{255, 255, 255}));
}

// ---- writing for other programs ---------------------------------------------

TEST_F(ImageFileTest, EveryOutputFormatIsReadBackByAnIndependentReader)
{
    const Pixmap src = Pattern();
    const QString png = MadeBy("pnmtopng", {}, src, "src.png");
    struct Case {
        int code;
        const char* name;
        const char* reader;
    };
    const Case cases[] = {{kBmp, "o.bmp", "convert"},   {kPcx, "o.pcx", "pcxtoppm"},
                          {kTga, "o.tga", "tgatoppm"},  {kIco, "o.ico", "winicontopam"},
                          {kTif, "o.tif", "tifftopnm"}, {kPng, "o.png", "pngtopnm"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(SaveImageFile(LoadImageFile(png), Path(c.name), c.code)) << c.name;
        QStringList args{Path(c.name)};
        if (QString(c.reader) == "convert")
            args = QStringList{Path(c.name), "ppm:-"};
        EXPECT_EQ(ParseNetpbm(RunTool(c.reader, args)), src) << c.name;
        // And our own reader agrees with our own writer.
        EXPECT_EQ(ThroughBmp(Path(c.name)), src) << c.name;
    }

    const Pixmap smooth = Smooth();
    ASSERT_TRUE(SaveImageFile(LoadImageFile(MadeBy("pnmtopng", {}, smooth, "smooth.png")), Path("o.jpg"), kJpg));
    EXPECT_LT(MeanAbsDiff(ParseNetpbm(RunTool("djpeg", {"-ppm", Path("o.jpg")})), smooth), 3.0);
    EXPECT_LT(MeanAbsDiff(ParseNetpbm(RunTool("convert", {Path("o.jpg"), "ppm:-"})), smooth), 3.0);
}

TEST_F(ImageFileTest, BmpOutputIsTheClassic24BitLayout)
{
    // The BMP every reader knows, the album's own too: a 40-byte info
    // header, 24 bits a pixel, uncompressed, bottom-up.
    const Pixmap src = Pattern();
    ASSERT_TRUE(SaveImageFile(LoadImageFile(MadeBy("pnmtopng", {}, src, "s.png")), Path("o.bmp"), kBmp));
    const QByteArray b = ReadAll(Path("o.bmp"));
    ASSERT_GE(b.size(), 54);
    auto le16 = [&](int at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; };
    auto le32 = [&](int at) { return int32_t(uint32_t(le16(at)) | uint32_t(le16(at + 2)) << 16); };
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(le32(14), 40);
    EXPECT_EQ(le32(18), 37);
    EXPECT_EQ(le32(22), 23);
    EXPECT_EQ(le16(28), 24);
    EXPECT_EQ(le32(30), 0);
    // Bottom row first: the first pixel stored is (0, 22) of the picture, in BGR.
    const int off = le32(10);
    const uint8_t* want = src.At(0, 22);
    EXPECT_EQ(uint8_t(b[off]), want[2]);
    EXPECT_EQ(uint8_t(b[off + 1]), want[1]);
    EXPECT_EQ(uint8_t(b[off + 2]), want[0]);
}

TEST_F(ImageFileTest, TransparencyBecomesBlack)
{
    // A PAM with alpha: opaque red, transparent white, half-covered white.
    QByteArray pam = "P7\nWIDTH 3\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    pam.append("\xFF\x00\x00\xFF" "\xFF\xFF\xFF\x00" "\xFF\xFF\xFF\x80", 12);
    WriteAll(Path("a.pam"), pam);
    const QByteArray png = RunTool("pamtopng", {Path("a.pam")});
    ASSERT_FALSE(png.isEmpty());
    WriteAll(Path("alpha.png"), png);
    for (const char* name : {"alpha.png", "alpha.tga", "alpha.ico"}) {
        if (QString(name) != "alpha.png")
            ASSERT_FALSE(RunTool("convert", {Path("alpha.png"), Path(name)}).isNull());
        const Pixmap p = ThroughBmp(Path(name));
        ASSERT_EQ(p.w, 3) << name;
        EXPECT_EQ(p.rgb[0], 255) << name;
        EXPECT_EQ(p.rgb[3], 0) << name;
        EXPECT_EQ(p.rgb[4], 0) << name;
        EXPECT_NEAR(p.rgb[6], 128, 1) << name;
    }
}

// ---- pictures inside pictures -----------------------------------------------

TEST_F(ImageFileTest, MultiImageFilesGiveTheLargestIconAndTheFirstPage)
{
    const QString a = Path("16.ppm"), b = Path("48.ppm"), c = Path("32.ppm");
    WriteAll(a, Ppm(Solid(16, 16, 255, 0, 0)));
    WriteAll(b, Ppm(Solid(48, 48, 0, 255, 0)));
    WriteAll(c, Ppm(Solid(32, 32, 0, 0, 255)));
    ASSERT_FALSE(RunTool("convert", {a, b, c, Path("multi.ico")}).isNull());
    const Pixmap icon = ThroughBmp(Path("multi.ico"));
    EXPECT_EQ(icon, Solid(48, 48, 0, 255, 0));

    ASSERT_FALSE(RunTool("convert", {c, b, Path("pages.tif")}).isNull());
    EXPECT_EQ(ThroughBmp(Path("pages.tif")), Solid(32, 32, 0, 0, 255));
}

TEST_F(ImageFileTest, IconsUpTo256PixelsAndNoLarger)
{
    const QString png = MadeBy("pnmtopng", {}, Solid(256, 256, 10, 200, 30), "256.png");
    ASSERT_TRUE(SaveImageFile(LoadImageFile(png), Path("256.ico"), kIco));
    EXPECT_EQ(ParseNetpbm(RunTool("winicontopam", {Path("256.ico")})), Solid(256, 256, 10, 200, 30));

    const QString wide = MadeBy("pnmtopng", {}, Solid(257, 8, 1, 2, 3), "257.png");
    EXPECT_FALSE(SaveImageFile(LoadImageFile(wide), Path("257.ico"), kIco));
    EXPECT_FALSE(QFile::exists(Path("257.ico")));
}

TEST_F(ImageFileTest, OrientationTagIsApplied)
{
    const QString ppm = Path("o.ppm");
    WriteAll(ppm, Ppm(Pattern()));
    ASSERT_FALSE(RunTool("convert", {ppm, "-orient", "RightTop", Path("turned.tif")}).isNull());
    const Pixmap p = ThroughBmp(Path("turned.tif"));
    ASSERT_EQ(p.w, 23);
    ASSERT_EQ(p.h, 37);
    // RightTop: the stored first row is the picture's right column.
    const Pixmap src = Pattern();
    EXPECT_TRUE(std::equal(p.At(22, 0), p.At(22, 0) + 3, src.At(0, 0)));
}

TEST_F(ImageFileTest, CameraOrientationAgreesWithTheAlbumsJpegLoader)
{
    // photo.jpg is shown through Qt's reader, photo.JPG through ours: both
    // must stand a camera's sideways photo upright, and a JPEG we write must
    // not be turned a second time by the next reader.
    const Pixmap smooth = Smooth(48, 32);
    WriteAll(Path("s.ppm"), Ppm(smooth));
    ASSERT_FALSE(RunTool("cjpeg", {"-quality", "95", "-outfile", Path("plain.jpg"), Path("s.ppm")}).isNull());
    QByteArray jpeg = ReadAll(Path("plain.jpg"));
    // An Exif block whose only tag is Orientation = 6 (turn a quarter clockwise).
    const QByteArray exif("\xFF\xE1\x00\x22" "Exif\0\0" "MM\0*\0\0\0\x08" "\0\x01"
                          "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0" "\0\0\0\0", 36);
    jpeg.insert(2, exif);
    WriteAll(Path("CAMERA.JPG"), jpeg);

    auto qtUpright = [](const QString& path) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage img = reader.read().convertToFormat(QImage::Format_RGB888);
        Pixmap p{img.width(), img.height(), {}};
        for (int y = 0; y < img.height(); ++y)
            p.rgb.insert(p.rgb.end(), img.constScanLine(y), img.constScanLine(y) + img.width() * 3);
        return p;
    };
    const Pixmap upright = qtUpright(Path("CAMERA.JPG"));
    ASSERT_EQ(upright.w, 32);
    const Pixmap ours = ThroughBmp(Path("CAMERA.JPG"));
    EXPECT_LT(MeanAbsDiff(ours, upright), 1.0);

    ASSERT_TRUE(SaveImageFile(LoadImageFile(Path("CAMERA.JPG")), Path("again.jpg"), kJpg));
    EXPECT_LT(MeanAbsDiff(qtUpright(Path("again.jpg")), upright), 3.0);
}

// ---- failures -----------------------------------------------------------------

TEST_F(ImageFileTest, UnreadableFilesClaimNoImageAndSaveWritesNothing)
{
    const Pixmap src = Pattern();
    const QString good = MadeBy("pnmtopng", {}, src, "good.png");
    QDir(dir_.path()).mkdir("folder.png");
    QStringList bad{Path("missing.png"), Path("folder.png"), "/dev/zero",
                    Touch(QDir(dir_.path()), "empty.jpg"),
                    Touch(QDir(dir_.path()), "text.png", "this is not a picture\n"),
                    Touch(QDir(dir_.path()), "text.tga", "this is not a picture either\n"),
                    Touch(QDir(dir_.path()), "noext", "GIF89a....")};
    // Cut-off files of every kind, the JPEG one included (its decoder would
    // fill the missing rows with grey and call it a warning).
    const QString smoothPpm = Path("smooth.ppm");
    WriteAll(smoothPpm, Ppm(Smooth(200, 120)));
    for (const char* ext : {"jpg", "png", "bmp", "tga", "pcx", "tif", "ico"}) {
        const QString whole = Path(QString("whole.") + ext);
        ASSERT_FALSE(RunTool("convert", {smoothPpm, whole}).isNull()) << ext;
        const QByteArray bytes = ReadAll(whole);
        bad << Touch(QDir(dir_.path()), QString("cut.") + ext, bytes.left(bytes.size() * 6 / 10));
    }

    WriteAll(Path("keep.bmp"), "old contents");
    for (const QString& path : bad) {
        ImageHandle h = LoadImageFile(path);
        EXPECT_FALSE(h.IsValid()) << path.toStdString();
        EXPECT_FALSE(SaveImageFile(std::move(h), Path("never.bmp"), kBmp)) << path.toStdString();
        EXPECT_FALSE(QFile::exists(Path("never.bmp"))) << path.toStdString();
        EXPECT_FALSE(SaveImageFile(LoadImageFile(path), Path("keep.bmp"), kBmp));
    }
    // A failed save leaves an existing file as it was.
    EXPECT_EQ(ReadAll(Path("keep.bmp")), QByteArray("old contents"));

    // Wrong format codes and an unwritable place report failure too.
    EXPECT_FALSE(SaveImageFile(LoadImageFile(good), Path("x.bmp"), 7));
    EXPECT_FALSE(SaveImageFile(LoadImageFile(good), Path("x.bmp"), -1));
    EXPECT_FALSE(SaveImageFile(LoadImageFile(good), Path("no/such/folder/x.bmp"), kBmp));
    EXPECT_FALSE(QFile::exists(Path("x.bmp")));
}

TEST_F(ImageFileTest, AHandleIsUsedOnce)
{
    ImageHandle h = LoadImageFile(MadeBy("pnmtopng", {}, Pattern(), "p.png"));
    ASSERT_TRUE(h.IsValid());
    ImageHandle moved = std::move(h);
    EXPECT_FALSE(h.IsValid());   // NOLINT: the moved-from handle claims nothing
    EXPECT_TRUE(SaveImageFile(std::move(moved), Path("first.png"), kPng));
    EXPECT_FALSE(moved.IsValid());   // NOLINT
    EXPECT_FALSE(SaveImageFile(std::move(moved), Path("second.png"), kPng));
    EXPECT_FALSE(QFile::exists(Path("second.png")));
}

TEST_F(ImageFileTest, PicturesBeyondTheLimitsFailCleanly)
{
    // Tiny files that claim enormous pictures: wider than any side allowed,
    // and within the side limit but with more pixels than memory, map and
    // disk together may hold.
    QImage wide(20000, 2, QImage::Format_Mono);
    wide.fill(0);
    ASSERT_TRUE(wide.save(Path("wide.png")));
    QImage huge(16000, 16000, QImage::Format_Mono);
    huge.fill(0);
    ASSERT_TRUE(huge.save(Path("huge.png")));
    ASSERT_LT(QFileInfo(Path("huge.png")).size(), 200000);
    EXPECT_FALSE(LoadImageFile(Path("wide.png")).IsValid());
    EXPECT_FALSE(LoadImageFile(Path("huge.png")).IsValid());

    // Within every limit, but far more pixels than the bytes can carry: a
    // whole 120-megapixel page in a few kilobytes, and a run-length TGA whose
    // 22 bytes claim 36 megapixels. Refused from the header, never decoded.
    QImage bomb(12000, 10000, QImage::Format_Mono);
    bomb.fill(0);
    ASSERT_TRUE(bomb.save(Path("bomb.png")));
    QByteArray tga(18, '\0');
    tga[2] = 10;                                         // run-length true colour
    tga[12] = char(12000 & 0xFF), tga[13] = char(12000 >> 8);
    tga[14] = char(3000 & 0xFF), tga[15] = char(3000 >> 8);
    tga[16] = 24;
    tga += QByteArray("\xFF\x10\x20\x30", 4);          // one run of 128 pixels
    WriteAll(Path("liar.tga"), tga);
    EXPECT_FALSE(LoadImageFile(Path("bomb.png")).IsValid());
    EXPECT_FALSE(LoadImageFile(Path("liar.tga")).IsValid());
}

TEST_F(ImageFileTest, ReadingIntoMemoryGivesEachPhotoOrARefusalNeverAnOlderOne)
{
    auto pixels = [](const Decoded& d) {
        const QImage img = d.picture.ToQImage().convertToFormat(QImage::Format_RGB888);
        Pixmap p{img.width(), img.height(), {}};
        for (int y = 0; y < img.height(); ++y)
            p.rgb.insert(p.rgb.end(), img.constScanLine(y), img.constScanLine(y) + img.width() * 3);
        return p;
    };
    const Pixmap first = Pattern();
    EXPECT_EQ(pixels(ReadWithImageLibrary(MadeBy("ppmtopcx", {}, first, "first.pcx"))), first);

    // A photo that cannot be read is refused as the album always refused it.
    const Decoded broken = ReadWithImageLibrary(Touch(QDir(dir_.path()), "broken.tga", "junk"));
    EXPECT_EQ(broken.answer, Decoded::Answer::Refused);
    EXPECT_EQ(broken.refusal, QString::fromUtf8(kErrLoad));
    EXPECT_FALSE(broken.picture.HasPixels());

    const Pixmap second = Solid(9, 7, 1, 2, 3);
    EXPECT_EQ(pixels(ReadWithImageLibrary(MadeBy("pnmtotiff", {}, second, "second.TIF"))), second);
}
