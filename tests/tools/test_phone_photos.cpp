// Phone photos (HEIC, AVIF, WebP) brought into the album by the batch conversion.
#include "BatchFolder.h"
#include "PhonePhotoFiles.h"
#include "imaging/ColourProfile.h"
#include "imaging/ImageFile.h"
#include "imaging/JpegReader.h"
#include "model/PhotoList.h"
#include "platform/FileInfo.h"
#include "tools/ui/ConvertDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(PhonePhotos, OnlyFormatsTheLibraryReadsAreOffered)
{
    const struct {
        QStringList unreadable;
        QStringList added;
    } cases[] = {
        {{}, {"*.heic", "*.avif", "*.webp"}},
        {{"AVIF"}, {"*.heic", "*.webp"}},
        {{"HEIC", "AVIF", "WEBP"}, {}},
    };
    for (const auto& c : cases) {
        const QStringList entries =
            ConvertSourceEntries([&](const char* format) { return !c.unreadable.contains(format); });
        EXPECT_EQ(entries, ConvertFormatEntries() + c.added) << c.unreadable.join(',').toStdString();
    }
}

TEST(PhonePhotos, ConvertedThroughTheDialogTheyStandUprightKeepingDateAndProfile)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QByteArray icc = AdobeRgbProfile();
    QStringList made;
    for (const char* kind : {"heic", "avif", "webp"}) {
        if (!ConvertSourceEntries().contains(QStringLiteral("*.") + kind))
            continue;   // this library cannot read it, and it is not offered
        ASSERT_TRUE(MakePhonePhoto(d.filePath(QStringLiteral("IMG_%1.%1").arg(kind)), kind, 64, 48, icc)) << kind;
        made << QStringLiteral("IMG_%1.jpg").arg(kind);
    }
    for (const QString& entry : ConvertSourceEntries().mid(ConvertFormatEntries().size())) {
        ConvertDialog dialog(nullptr, dir.path(), dir.path());
        dialog.show();
        dialog.Combo(0)->setCurrentIndex(int(ConvertSourceEntries().indexOf(entry)));
        dialog.Combo(1)->setCurrentIndex(kJpg);
        ASSERT_EQ(dialog.Sources().size(), 1) << entry.toStdString();
        dialog.Button(0)->click();
        while (dialog.isVisible())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(dialog.Result().ok) << dialog.Result().message.toStdString();
    }

    made.sort();
    PhotoList album;
    ASSERT_TRUE(album.Point(dir.path()));
    EXPECT_EQ(album.Names(), made);
    for (const QString& name : made) {
        SCOPED_TRACE(name.toStdString());
        const QString path = d.filePath(name);
        // Upright: the band along the stored top runs down the right edge.
        const QImage shown(path);
        ASSERT_EQ(shown.size(), QSize(48, 64));
        EXPECT_GT(qRed(shown.pixel(46, 32)), 180);
        EXPECT_LT(qRed(shown.pixel(1, 32)), 100);
        Magick::Image written(path.toStdString());
        const Magick::Blob exif = written.profile("exif");
        const auto* bytes = static_cast<const unsigned char*>(exif.data());
        EXPECT_EQ(ExifOrientation(bytes, unsigned(exif.length())), 1);
        EXPECT_EQ(ExifDateTaken(bytes, unsigned(exif.length())).local, QLatin1String(kTaken));
        EXPECT_TRUE(FileInfoText(path).endsWith(QStringLiteral("修改 19-5-4 13:22"))) << FileInfoText(path).toStdString();
        const Magick::Blob profile = written.profile("icc");
        EXPECT_EQ(QByteArray(static_cast<const char*>(profile.data()), qsizetype(profile.length())), icc);
    }
}
