#include "imaging/BmpReader.h"

#include "imaging/ColourProfile.h"

#include <QFile>

#include <fstream>
#include <limits>

namespace tamsel {

namespace {

uint32_t Get32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// The ICC profile a version 5 header embeds (colour space "MBED"), as other
// programs keep a photo's profile in a BMP.
QByteArray EmbeddedProfile(std::ifstream& in, uint32_t infoSize, int64_t fileSize)
{
    constexpr uint32_t kMaxProfile = 16 * 1024 * 1024;
    uint8_t v5[124];
    if (infoSize < sizeof v5 || !in.seekg(14) || !in.read(reinterpret_cast<char*>(v5), sizeof v5) ||
        Get32(v5 + 56) != 0x4D424544)
        return {};
    const int64_t at = 14 + int64_t(Get32(v5 + 112));
    const uint32_t size = Get32(v5 + 116);
    if (size == 0 || size > kMaxProfile || at + size > fileSize)
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (!in.seekg(at) || !in.read(icc.data(), size))
        return {};
    return icc;
}

Decoded Bmp24(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    uint8_t head[54];
    if (!in.read(reinterpret_cast<char*>(head), sizeof head))
        return Decoded::NotMine();
    const uint32_t offset = Get32(head + 10);
    const uint32_t infoSize = Get32(head + 14);
    const int32_t width = int32_t(Get32(head + 18));
    const int32_t height = int32_t(Get32(head + 22));
    if (head[0] != 'B' || head[1] != 'M' || infoSize < 40 || Get16(head + 26) != 1 ||
        Get16(head + 28) != 24 || Get32(head + 30) != 0 || width <= 0 || height == 0 ||
        height == std::numeric_limits<int32_t>::min() || offset < 14 + infoSize)
        return Decoded::NotMine();
    const int32_t rows = height < 0 ? -height : height;
    const int64_t stride = DibStride(width);
    in.seekg(0, std::ios::end);
    const int64_t size = int64_t(in.tellg());
    // A cut-off file is not a photo, though the general reader would show
    // it with its missing rows made up. Sides from the header can make the
    // pixel bytes exceed 64 bits; no file holds that many either.
    int64_t pixelBytes = 0;
    if (__builtin_mul_overflow(stride, int64_t(rows), &pixelBytes) || size - int64_t(offset) < pixelBytes)
        return Decoded::Refused(QString::fromUtf8(kErrLoad));
    Surface loaded;
    if (const Outcome made = loaded.Create(width, rows); !made)
        return Decoded::Refused(made.message);
    in.seekg(offset);
    if (height > 0) {
        in.read(reinterpret_cast<char*>(loaded.DataPtr()), stride * rows);
    } else {
        // Top-down rows: the first in the file is the top row on screen.
        for (int y = 0; y < rows && in; ++y)
            in.read(reinterpret_cast<char*>(loaded.RowPtr(y)), stride);
    }
    if (!in)
        return Decoded::NotMine();
    in.clear();
    ShowInDisplayColours(EmbeddedProfile(in, infoSize, size), loaded);
    return Decoded::Of(std::move(loaded));
}

}  // namespace

Decoded ReadBmp24(const QString& path, QSize)
{
    // The working files (a retouch, a scan) are all of this kind, and a
    // retouch reloads a whole camera photo this way.
    return ReadGuarded([&] { return Bmp24(path); });
}

}  // namespace tamsel
