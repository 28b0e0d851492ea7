#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/Composer.h"
#include "imaging/ImageFile.h"
#include "model/Surface.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

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
    const QImage original = Shown(photos["src.jpg"]);
    for (const char* name : {"adobe.jpg", "prophoto.jpg", "cmyk.jpg", "wide.tif", "r03.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_LE(WorstDeltaE(Shown(photos[name]), original), 2.0);
        for (const auto& [target, code] : {std::pair{"saved.png", kPng}, {"saved.bmp", kBmp}}) {
            ASSERT_TRUE(SaveImageFile(LoadImageFile(photos[name]), d.filePath(target), code));
            EXPECT_LE(WorstDeltaE(Shown(d.filePath(target)), original), 2.0) << target;
        }
        SetColourManagement(false);
        EXPECT_GT(WorstDeltaE(Shown(photos[name]), original), 2.0) << "the same without colour management";
        SetColourManagement(true);
    }
    const QImage damaged = Shown(photos["damaged.jpg"]);
    SetColourManagement(false);
    EXPECT_EQ(damaged, Shown(photos["damaged.jpg"]));
    SetColourManagement(true);
}
