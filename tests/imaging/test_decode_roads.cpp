// Photos the album reads through the image file library used to go through a
// BMP working file; they are now decoded straight into memory. The pixels,
// the size and the colour handling must be what the BMP road gave: one photo
// of each album format, with an ICC profile, with alpha, turned by its tag.
#include "TestUtil.h"
#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/Decode.h"
#include "imaging/ImageFormats.h"
#include "model/Surface.h"

#include <QColorSpace>
#include <QCryptographicHash>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iterator>
#include <optional>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// A picture whose every pixel differs, with an odd width (padded rows).
QImage Pattern(int w = 37, int h = 23)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x * y + 3) % 256));
    return img;
}

// Alpha from clear to opaque across, over a pattern.
QImage Translucent()
{
    QImage img(33, 17, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgba(200 - x * 3, 40 + y * 9, 90 + x * 4, x * 255 / 32));
    return img;
}

// What a decode gave, in short: size, colours flag and a digest of the rows.
std::string Summary(const Surface& s)
{
    if (!s.HasPixels())
        return "none";
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromRawData(reinterpret_cast<const char*>(s.DataPtr()), s.RGBSize()),
        QCryptographicHash::Sha1);
    return QStringLiteral("%1x%2%3 %4")
        .arg(s.Width())
        .arg(s.Height())
        .arg(s.InDisplayColours() ? " display" : "")
        .arg(QString::fromLatin1(digest.toHex().left(16)))
        .toStdString();
}

// The photos, made by netpbm and ImageMagick (and Qt) from the pattern, a
// profiled and a translucent picture; dir holds them. Empty without the tools.
QStringList MakePhotos(const QDir& dir)
{
    for (const char* tool : {"convert", "ppmtopcx", "ppmtotga", "pnmtotiff", "pnmtopng"})
        if (RunTool("sh", {"-c", QString("command -v %1").arg(tool)}).isNull())
            return {};
    Pattern().save(dir.filePath("pattern.ppm"), "PPM");
    for (const auto& [name, tool] : {std::pair{"photo.pcx", "ppmtopcx"}, {"photo.tga", "ppmtotga"},
                                     {"photo.tif", "pnmtotiff"}, {"photo.png", "pnmtopng"}})
        Touch(dir, name, RunTool(tool, {dir.filePath("pattern.ppm")}));
    Pattern().save(dir.filePath("UPPER.BMP"), "BMP");
    QFile::copy(QStringLiteral(TAMSEL_SOURCE_DIR "/tests/data/shapes.wmf"), dir.filePath("shapes.wmf"));
    QImage adobe = PatchPicture(64, 40), srgb = adobe;
    adobe.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    adobe.save(dir.filePath("adobe.png"), "PNG");
    srgb.setColorSpace(QColorSpace(QColorSpace::SRgb));
    srgb.save(dir.filePath("srgb.png"), "PNG");
    Translucent().save(dir.filePath("alpha.png"), "PNG");
    // A camera's JPEG stored sideways, read by the library for its name.
    Pattern().save(dir.filePath("upright.jpeg"), "JPEG", 90);
    const QByteArray turnClockwise("\xFF\xE1\x00\x22" "Exif\0\0" "MM\0*\0\0\0\x08" "\0\x01"
                                   "\x01\x12\0\x03\0\0\0\x01\0\x06\0\0" "\0\0\0\0", 36);
    Touch(dir, "CAMERA.JPG", ReadAll(dir.filePath("upright.jpeg")).insert(2, turnClockwise));
    const struct {
        const char* name;
        const char* from;
        QStringList options;
    } converted[] = {
        {"photo.ico", "photo.png", {}},          {"adobe.tif", "adobe.png", {}},
        {"alpha.tga", "alpha.png", {}},          {"icons.ico", "alpha.png", {"photo.png"}},
        {"turned.tif", "photo.png", {"-orient", "RightTop"}},
        {"grey.png", "photo.png", {"-colorspace", "Gray"}}, {"deep.png", "photo.png", {"-depth", "16"}},
    };
    for (const auto& c : converted) {
        QStringList args{dir.filePath(c.from)};
        for (const QString& o : c.options)
            args << (o.contains('.') ? dir.filePath(o) : o);
        RunTool("convert", args << dir.filePath(c.name));
    }
    return dir.entryList({"*.pcx", "*.tga", "*.tif", "*.png", "*.ico", "*.wmf", "*.BMP", "*.JPG"}, QDir::Files);
}

// What the road through the working BMP (the image file library writing the
// photo as a BMP that keeps its profile, the album's BMP reader reading it
// back) gave for each photo: size, whether in the display's colours, and the
// start of the SHA-1 of its rows; on an sRGB display, then on a wide-gamut
// one. "pattern": the pattern's own pixels, exactly.
struct Expected {
    const char* name;
    const char* srgb;
    const char* wide;
};
constexpr const char* kPatternPixels = "pattern";
const Expected kWorkingBmpRoad[] = {
    {"CAMERA.JPG", "23x37 5f65541e031cca42", "23x37 5f65541e031cca42"},
    {"UPPER.BMP", kPatternPixels, kPatternPixels},
    {"adobe.png", "64x40 490a86214567c2e7", "64x40 display cf2c358bd5691c9c"},
    {"adobe.tif", "64x40 490a86214567c2e7", "64x40 display cf2c358bd5691c9c"},
    {"alpha.png", "33x17 5e0f6e33664baf56", "33x17 5e0f6e33664baf56"},
    {"alpha.tga", "33x17 59fc2915510f1e6f", "33x17 59fc2915510f1e6f"},
    {"deep.png", kPatternPixels, kPatternPixels},
    {"grey.png", "37x23 00e5289f37d710ca", "37x23 00e5289f37d710ca"},
    {"icons.ico", kPatternPixels, kPatternPixels},
    {"photo.ico", kPatternPixels, kPatternPixels},
    {"photo.pcx", kPatternPixels, kPatternPixels},
    {"photo.png", kPatternPixels, kPatternPixels},
    {"photo.tga", kPatternPixels, kPatternPixels},
    {"photo.tif", kPatternPixels, kPatternPixels},
    {"shapes.wmf", "64x48 3969a58e13c1b4b7", "64x48 3969a58e13c1b4b7"},
    {"srgb.png", "64x40 9f073b0c7b27d4e2", "64x40 9f073b0c7b27d4e2"},
    {"turned.tif", "23x37 e099ad3b15c711de", "23x37 e099ad3b15c711de"},
};

}  // namespace

TEST(DecodeRoads, PhotosOfOtherFormatsDecodeAsTheirWorkingBmpDid)
{
    QTemporaryDir dir;
    const QStringList names = MakePhotos(QDir(dir.path()));
    if (names.isEmpty())
        GTEST_SKIP() << "ImageMagick or netpbm tools missing";
    ASSERT_EQ(names.size(), int(std::size(kWorkingBmpRoad)));
    Surface pattern;
    ASSERT_TRUE(pattern.Clone(Pattern()));
    for (bool wide : {false, true}) {
        std::optional<WideGamutDisplay> display;
        if (wide)
            display.emplace();
        for (const Expected& e : kWorkingBmpRoad) {
            SCOPED_TRACE(::testing::Message() << e.name << (wide ? " on a wide-gamut display" : ""));
            ASSERT_TRUE(names.contains(QLatin1String(e.name)));
            ASSERT_FALSE(ReadsDirectly(dir.filePath(e.name)));
            // A size to fit does not make the image file library decode smaller.
            const Decoded d = DecodePicture(dir.filePath(e.name), QSize(20, 12));
            ASSERT_TRUE(d.IsPicture()) << d.refusal.toStdString();
            const char* want = wide ? e.wide : e.srgb;
            EXPECT_EQ(Summary(d.picture), want == kPatternPixels ? Summary(pattern) : std::string(want));
        }
    }
}
