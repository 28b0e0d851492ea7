#pragma once
// Photos in other colour spaces, made from one sRGB picture by lcms2's own
// tools with the profiles Debian ships, and the CIEDE2000 distance that
// judges what comes back.
#include "TestUtil.h"
#include "imaging/ColourProfile.h"
#include "imaging/Decode.h"
#include "imaging/ImageFile.h"
#include "model/Surface.h"

#include <QColor>
#include <QImage>
#include <QMap>
#include <QStandardPaths>

#include <lcms2.h>

namespace tamsel::testing {

inline const QString kColordIcc = QStringLiteral("/usr/share/color/icc/colord/");
inline const QRgb kPatches[4] = {qRgb(200, 150, 120), qRgb(100, 150, 200), qRgb(90, 140, 70), qRgb(128, 128, 128)};

// Four solid patches side by side (from kPatches[shift] on) over a band of gradients.
inline QImage PatchPicture(int w, int h, int shift = 0)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, y < h / 2 ? kPatches[(x * 4 / w + shift) % 4]
                                         : qRgb(80 + 120 * x / w, 90 + 90 * (y - h / 2) / h, 140 - 40 * x / w));
    return img;
}

inline double DeltaE2000(QRgb a, QRgb b)
{
    static const cmsHTRANSFORM toLab = [] {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile(), lab = cmsCreateLab4Profile(nullptr);
        cmsHTRANSFORM t = cmsCreateTransform(srgb, TYPE_RGB_8, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
        return t;
    }();
    const uint8_t rgb[6] = {uint8_t(qRed(a)), uint8_t(qGreen(a)), uint8_t(qBlue(a)),
                            uint8_t(qRed(b)), uint8_t(qGreen(b)), uint8_t(qBlue(b))};
    cmsCIELab lab[2];
    cmsDoTransform(toLab, rgb, lab, 2);
    return cmsCIE2000DeltaE(&lab[0], &lab[1], 1, 1, 1);
}

// The worst CIEDE2000 over an 8 x 8 grid of cell averages: the same for
// any decoded size, and deaf to the codec's noise at the patches' edges.
inline double WorstDeltaE(const QImage& a, const QImage& b)
{
    auto cell = [](const QImage& img, int i, int j) {
        const QImage c = img.copy(img.width() * i / 8 + 1, img.height() * j / 8 + 1, img.width() / 8 - 2,
                                  img.height() / 8 - 2).scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return c.pixel(0, 0);
    };
    if (a.isNull() || b.isNull())
        return 999;
    double worst = 0;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            worst = std::max(worst, DeltaE2000(cell(a, i, j), cell(b, i, j)));
    return worst;
}

// A photo read the way the album shows it, at most about 400 x 230. (The
// folder, once needed for a working copy, is not used.)
inline QImage Shown(const QString& path, const QDir& = {})
{
    const Decoded read = DecodePicture(path, QSize(400, 230));
    return read.IsPicture() ? read.picture.ToQImage() : QImage();
}

// A wide-gamut display while it lives: photos with a profile are then shown
// in its colours. The plain sRGB display comes back even when a test stops.
struct WideGamutDisplay {
    WideGamutDisplay() { SetDisplayProfile(ReadAll(kColordIcc + "ProPhotoRGB.icc")); }
    ~WideGamutDisplay() { SetDisplayProfile({}); }
    WideGamutDisplay(const WideGamutDisplay&) = delete;
    WideGamutDisplay& operator=(const WideGamutDisplay&) = delete;
};

// The photo set made from picture in dir, by name: Adobe RGB, ProPhoto and
// CMYK JPEGs and a wide-gamut TIFF with their profiles embedded, an Adobe RGB
// JPEG that says so only by its EXIF index "R03", and one whose profile is
// damaged. Empty when a tool or profile is missing.
inline QMap<QString, QString> MakeColourPhotos(const QDir& dir, const QImage& picture)
{
    const QString cmykIcc = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
    if (QStandardPaths::findExecutable("jpgicc").isEmpty() || !QFile::exists(kColordIcc + "ProPhotoRGB.icc") ||
        !QFile::exists(cmykIcc))
        return {};
    QMap<QString, QString> made;
    const QString src = dir.filePath("src.jpg"), tif = dir.filePath("src.tif");
    picture.save(src, "JPG", 100);
    RunTool("convert", {src, tif});
    auto make = [&](const char* name, const QString& tool, const QString& profile, const QString& from, bool embed) {
        const QString out = dir.filePath(name);
        QStringList args{"-o" + profile};
        if (embed)
            args.prepend("-e");
        if (tool == "jpgicc")
            args.prepend("-q98");
        if (profile == cmykIcc)
            args << "-t1" << "-b";
        args << from << out;
        if (!RunTool(tool, args).isNull())
            made[name] = out;
    };
    make("adobe.jpg", "jpgicc", kColordIcc + "AdobeRGB1998.icc", src, true);
    make("prophoto.jpg", "jpgicc", kColordIcc + "ProPhotoRGB.icc", src, true);
    make("cmyk.jpg", "jpgicc", cmykIcc, src, true);
    make("wide.tif", "tificc", kColordIcc + "WideGamutRGB.icc", tif, true);
    make("r03.jpg", "jpgicc", kColordIcc + "AdobeRGB1998.icc", src, false);
    if (made.size() != 5)
        return {};
    // Exif: IFD0 -> Exif IFD -> interoperability IFD with index "R03".
    const QByteArray tiff = QByteArray::fromHex("49492a000800000001006987040001000000"
                                                "1a0000000000000001"
                                                "0005a0040001000000"
                                                "2c000000000000000100010002000400000052303300000000000000");
    const QByteArray app1 = QByteArray("\xFF\xE1", 2) + char((tiff.size() + 8) >> 8) +
                            char((tiff.size() + 8) & 0xFF) + QByteArray("Exif\0\0", 6) + tiff;
    WriteAll(made["r03.jpg"], ReadAll(made["r03.jpg"]).insert(2, app1));
    QByteArray damaged = ReadAll(made["adobe.jpg"]);
    damaged.replace(damaged.indexOf("acsp"), 4, "xxxx");
    made["damaged.jpg"] = Touch(dir, "damaged.jpg", damaged);
    made["src.jpg"] = src;
    return made;
}

}  // namespace tamsel::testing
