// Phone photos (HEIC, AVIF, WebP) brought into the album by the batch conversion.
#include "BatchFolder.h"
#include "PhonePhotoFiles.h"
#include "imaging/ColourProfile.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "imaging/JpegReader.h"
#include "model/PhotoList.h"
#include "platform/FileInfo.h"
#include "tools/ui/ConvertDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

TEST(PhonePhotos, OnlyFormatsTheLibraryReadsAreOffered)
{
    const std::pair<QStringList, QStringList> cases[] = {   // unreadable, offered after the album's
        {{}, {"*.heic", "*.avif", "*.webp", "*.heic;*.avif;*.webp"}},
        {{"AVIF"}, {"*.heic", "*.webp", "*.heic;*.webp"}},
        {{"AVIF", "WEBP"}, {"*.heic"}},
        {{"HEIC", "AVIF", "WEBP"}, {}}};
    for (const auto& [unreadable, added] : cases)
        EXPECT_EQ(ConvertSourceEntries([&](const char* f) { return !unreadable.contains(f); }),
                  ConvertFormatEntries() + added);
}

// The dialog opens on a phone's folder ready for its most common kind, to
// JPG beside the originals; all kinds at once are one entry.
TEST(PhonePhotos, ConvertedThroughTheDialogTheyStandUprightKeepingDateAndProfile)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QByteArray icc = AdobeRgbProfile();
    QStringList made;
    for (const QString& name : {"IMG_heic.heic", "IMG_avif.avif", "IMG_webp.webp", "saved.webp"}) {
        ASSERT_TRUE(MakePhonePhoto(d.filePath(name), QFileInfo(name).suffix().toLatin1(), icc));
        made << QFileInfo(name).completeBaseName() + ".jpg";
    }
    ConvertDialog dialog(nullptr, dir.path(), dir.path());
    dialog.show();
    EXPECT_EQ(dialog.Combo(0)->currentText(), "*.webp");
    EXPECT_EQ(dialog.Combo(1)->currentIndex(), kJpg);
    EXPECT_TRUE(dialog.Option(0)->isChecked());
    dialog.Combo(0)->setCurrentIndex(dialog.Combo(0)->count() - 1);   // all of them
    EXPECT_EQ(dialog.Sources().size(), 4);
    dialog.Button(0)->click();
    while (dialog.isVisible())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(dialog.Result().message, QStringLiteral("已转换 4 张"));
    made.sort();
    PhotoList album{AlbumExtensions()};
    ASSERT_TRUE(album.Point(dir.path()));
    EXPECT_EQ(album.Names(), made);
    for (const QString& name : made) {
        SCOPED_TRACE(name.toStdString());
        const QString path = d.filePath(name);
        const QImage shown(path);   // upright: the band runs down the right edge
        ASSERT_EQ(shown.size(), QSize(48, 64));
        EXPECT_GT(qRed(shown.pixel(46, 32)), 180);
        EXPECT_LT(qRed(shown.pixel(1, 32)), 100);
        Magick::Image written(path.toStdString());
        const Magick::Blob exif = written.profile("exif"), profile = written.profile("icc");
        const auto* bytes = static_cast<const unsigned char*>(exif.data());
        EXPECT_EQ(ExifOrientation(bytes, unsigned(exif.length())), 1);
        EXPECT_EQ(ExifDateTaken(bytes, unsigned(exif.length())).local, QLatin1String(kTaken));
        EXPECT_TRUE(FileInfoText(path).endsWith(QStringLiteral("修改 19-5-4 13:22"))) << FileInfoText(path).toStdString();
        EXPECT_EQ(QByteArray(static_cast<const char*>(profile.data()), qsizetype(profile.length())), icc);
    }
}
