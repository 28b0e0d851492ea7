#include "TestUtil.h"
#include "imaging/ComposeFixture.h"
#include "imaging/Decode.h"
#include "model/Surface.h"

#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

// 24-bit BMP files are read straight into the rows; every layout such a
// file may have must give the picture the general reader gives.
TEST(SurfaceBmp, UncompressedBmpFilesReadAsTheyShow)
{
    QTemporaryDir dir;
    const QImage img = Quarters(37, 23);   // odd width: padded rows
    Surface want;
    EXPECT_TRUE(want.Clone(img));

    const QString ours = dir.filePath("ours.bmp");
    EXPECT_TRUE(want.SaveBMP(ours.toStdString()));
    // The same rows stored top-down, as a negative height says.
    QByteArray bytes = ReadAll(ours);
    QByteArray flipped = bytes.left(54);
    const int stride = want.Stride();
    for (int y = want.Height() - 1; y >= 0; --y)
        flipped += bytes.mid(54 + y * stride, stride);
    const int32_t up = -want.Height();
    flipped.replace(22, 4, reinterpret_cast<const char*>(&up), 4);
    const QString topDown = dir.filePath("topdown.bmp");
    WriteAll(topDown, flipped);
    const QString byQt = dir.filePath("qt.bmp");
    img.save(byQt, "BMP");

    for (const QString& f : {ours, topDown, byQt}) {
        const Decoded d = DecodePicture(f);
        EXPECT_TRUE(d.IsPicture());
        EXPECT_EQ(Bytes(d.picture), Bytes(want)) << qPrintable(f);
    }

    // Cut short: not taken for a picture with black rows.
    const QString cut = dir.filePath("cut.bmp");
    WriteAll(cut, bytes.left(bytes.size() - stride * 3));
    EXPECT_EQ(DecodePicture(cut).refusal, QString::fromUtf8(kErrLoad));

    // A 63-byte file claiming 1.95e9 x 1.87e9 pixels: its row bytes times
    // its rows do not fit 64 bits.
    QByteArray huge = bytes.left(63);
    const int32_t side[2] = {1'950'000'000, 1'870'000'000};
    huge.replace(18, 8, reinterpret_cast<const char*>(side), 8);
    const QString lying = dir.filePath("lying.bmp");
    WriteAll(lying, huge);
    EXPECT_EQ(DecodePicture(lying).refusal, QString::fromUtf8(kErrLoad));
    // Nothing there at all.
    EXPECT_EQ(DecodePicture(dir.filePath("missing.bmp")).refusal, QString::fromUtf8(kErrLoad));
}
