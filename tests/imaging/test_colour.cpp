#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/Composer.h"
#include "imaging/ImageFile.h"
#include "model/Surface.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// A photo read the way the album shows it, at most about 400 x 230.
QImage Shown(const QString& path, const QDir& work)
{
    Surface s;
    QString file = path;
    if (!Composer::ReadsDirectly(path)) {
        file = work.filePath("working.bmp");
        if (!ConvertToBmp(path, file))
            return {};
    }
    s.CloneFile(file.toStdString(), 400, 230);
    return s.ToQImage();
}

// The worst CIEDE2000 over an 8 x 8 grid of cell averages: the same for
// any decoded size, and deaf to the codec's noise at the patches' edges.
double WorstDeltaE(const QImage& a, const QImage& b)
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

}  // namespace

// Each photo comes back within ΔE2000 2 of its sRGB original, shown and
// after "照片另存..." as PNG (the profile kept) and BMP (converted to sRGB);
// with colour management off it would not; a damaged profile is passed over.
TEST(ColourManagement, PhotosInOtherSpacesLookLikeTheirSrgbOriginal)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QMap<QString, QString> photos = MakeColourPhotos(d, PatchPicture(800, 460));
    if (photos.isEmpty())
        GTEST_SKIP() << "lcms2's tools or the ICC profile packages are not installed";
    const QImage original = Shown(photos["src.jpg"], d);
    for (const char* name : {"adobe.jpg", "prophoto.jpg", "cmyk.jpg", "wide.tif", "r03.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_LE(WorstDeltaE(Shown(photos[name], d), original), 2.0);
        for (const auto& [target, code] : {std::pair{"saved.png", kPng}, {"saved.bmp", kBmp}}) {
            ASSERT_TRUE(SaveImageFile(LoadImageFile(photos[name]), d.filePath(target), code));
            EXPECT_LE(WorstDeltaE(Shown(d.filePath(target), d), original), 2.0) << target;
        }
        SetColourManagement(false);
        EXPECT_GT(WorstDeltaE(Shown(photos[name], d), original), 2.0) << "the same without colour management";
        SetColourManagement(true);
    }
    const QImage damaged = Shown(photos["damaged.jpg"], d);
    SetColourManagement(false);
    EXPECT_EQ(damaged, Shown(photos["damaged.jpg"], d));
    SetColourManagement(true);
}
