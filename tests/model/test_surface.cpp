#include "TestUtil.h"
#include "model/Surface.h"

#include <QImage>
#include <gtest/gtest.h>

#include <functional>

#include <cstring>
#include <fstream>

#include <unistd.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {
uint32_t Le32(const QByteArray& b, int at)
{
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
bool IsBlack(const Surface& s, int x, int y)
{
    const uint8_t* p = s.RowPtr(y) + 3 * x;
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}
void FillWhite(Surface& s) { std::memset(s.DataPtr(), 255, size_t(s.RGBSize())); }
}  // namespace

TEST(Surface, RowsArePaddedToFourBytesAndStartBlack)
{
    Surface s;
    s.Create(3, 2);
    EXPECT_EQ(s.Stride(), 12);
    EXPECT_EQ(s.RGBSize(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(s.DataPtr()[i], 0);

    s.Create(4, 1);
    std::span<uint8_t> view;
    EXPECT_EQ(s.MapArray(view), 12);
    EXPECT_EQ(view.size(), 12u);
    EXPECT_EQ(view.data(), s.DataPtr());
    s.UnMapArray(view);
    EXPECT_TRUE(view.empty());
}

TEST(Surface, CreateAgainGivesABlackSurfaceOfTheNewSize)
{
    Surface s;
    s.Create(10, 10);
    FillWhite(s);
    s.Create(7, 3);
    EXPECT_EQ(s.Width(), 7);
    EXPECT_EQ(s.Height(), 3);
    EXPECT_EQ(s.RGBSize(), 24 * 3);
    for (int i = 0; i < s.RGBSize(); ++i)
        ASSERT_EQ(s.DataPtr()[i], 0);
}

TEST(Surface, BadSizesAndPicturesFailSayingWhyAndLeaveNothing)
{
    Surface s;
    const struct {
        std::function<Outcome()> make;
        const char* why;
    } cases[] = {
        {[&] { return s.Create(0, 5); }, "产生虚拟图片出错"},
        {[&] { return s.Create(800000000, 1); }, "溢出"},
        {[&] { return s.Create(40000, 40000); }, "溢出"},
        {[&] { return s.Clone(QImage()); }, "装入图片出错"},
    };
    for (const auto& c : cases) {
        const Outcome o = c.make();
        EXPECT_FALSE(o.ok) << c.why;
        EXPECT_EQ(o.message, QString::fromUtf8(c.why));
        EXPECT_FALSE(s.HasPixels()) << c.why;
    }
}

TEST(Surface, CloneStoresTheTopRowLastInMemory)
{
    QImage img(2, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 0, 0));   // top left red
    img.setPixel(1, 0, qRgb(0, 255, 0));
    img.setPixel(0, 1, qRgb(0, 0, 255));   // bottom left blue
    img.setPixel(1, 1, qRgb(1, 2, 3));
    Surface s;
    ASSERT_TRUE(s.Clone(img));
    const uint8_t* m = s.DataPtr();
    // Memory starts with the bottom row: blue pixel as B, G, R.
    EXPECT_EQ(m[0], 255);
    EXPECT_EQ(m[1], 0);
    EXPECT_EQ(m[2], 0);
    EXPECT_EQ(m[3], 3);
    EXPECT_EQ(m[4], 2);
    EXPECT_EQ(m[5], 1);
    // Second row (stride 8): the top row, red first.
    EXPECT_EQ(m[8 + 2], 255);
    EXPECT_EQ(m[8 + 0], 0);
    EXPECT_EQ(s.ToQImage().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(s.ToQImage().pixel(1, 1), qRgb(1, 2, 3));
}

TEST(Surface, DrawGeometryLeavesRightAndBottomEdgesOut)
{
    Surface s;
    s.Create(20, 20);
    FillWhite(s);
    s.DrawGeometry(1, 2, 3, 6, 8);
    int black = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 8;
            EXPECT_EQ(IsBlack(s, x, y), inside) << x << "," << y;
            black += IsBlack(s, x, y);
        }
    EXPECT_EQ(black, 4 * 5);

    // Other shape numbers draw nothing.
    FillWhite(s);
    s.DrawGeometry(4, 0, 0, 20, 20);
    s.DrawGeometry(0, 0, 0, 20, 20);
    for (int i = 0; i < s.RGBSize(); ++i)
        if ((i % s.Stride()) < 60)
            ASSERT_EQ(s.DataPtr()[i], 255);
}

TEST(Surface, EllipseIsSymmetricAndInsideItsBox)
{
    Surface s;
    s.Create(120, 90);
    FillWhite(s);
    s.DrawGeometry(2, 10, 20, 110, 80);   // 100 x 60 box
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            if (IsBlack(s, x, y)) {
                EXPECT_TRUE(x >= 10 && x < 110 && y >= 20 && y < 80) << x << "," << y;
            }
            // Mirror images across the box centre (59.5, 49.5).
            EXPECT_EQ(IsBlack(s, x, y), IsBlack(s, 119 - x, y)) << x << "," << y;
            if (y >= 10 && y < 90)
                EXPECT_EQ(IsBlack(s, x, y), IsBlack(s, x, 99 - y)) << x << "," << y;
        }
    // Extremes of the ellipse touch the box's edges, corners stay out.
    EXPECT_TRUE(IsBlack(s, 10, 49));
    EXPECT_TRUE(IsBlack(s, 109, 50));
    EXPECT_TRUE(IsBlack(s, 60, 20));
    EXPECT_TRUE(IsBlack(s, 60, 79));
    EXPECT_FALSE(IsBlack(s, 11, 21));
    EXPECT_FALSE(IsBlack(s, 108, 78));

    // Rounded rectangle: straight edges full, corners cut.
    FillWhite(s);
    s.DrawGeometry(3, 10, 20, 110, 80);
    EXPECT_TRUE(IsBlack(s, 10, 50));
    EXPECT_TRUE(IsBlack(s, 60, 20));
    EXPECT_FALSE(IsBlack(s, 10, 20));
    EXPECT_FALSE(IsBlack(s, 109, 79));
    EXPECT_TRUE(IsBlack(s, 13, 23));
}

TEST(Surface, SaveBmpWritesHeaderAndBytesAsHeld)
{
    QTemporaryDir dir;
    Surface s;
    s.Create(3, 2);
    s.RowPtr(0)[0] = 7;   // top-left blue
    const QString path = dir.filePath("small.bmp");
    ASSERT_TRUE(s.SaveBMP(path.toStdString()));
    const QByteArray b = ReadAll(path);
    ASSERT_EQ(b.size(), 78);
    EXPECT_EQ(b.left(2), QByteArray("BM"));
    EXPECT_EQ(Le32(b, 2), 78u);
    EXPECT_EQ(Le32(b, 6), 0u);
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 3u);
    EXPECT_EQ(Le32(b, 22), 2u);
    EXPECT_EQ(uint8_t(b[26]), 1);
    EXPECT_EQ(uint8_t(b[28]), 24);
    EXPECT_EQ(Le32(b, 30), 0u);
    EXPECT_EQ(Le32(b, 34), 24u);
    EXPECT_EQ(b.mid(54), QByteArray(reinterpret_cast<const char*>(s.DataPtr()), 24));

    Surface empty;
    EXPECT_FALSE(empty.SaveBMP(dir.filePath("none.bmp").toStdString()));
    const Outcome refused = s.SaveBMP("/nonexistent-dir/x.bmp");
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.message.isEmpty());
}

TEST(Surface, SavedBmpReadsBackInIndependentTools)
{
    QTemporaryDir dir;
    Surface s;
    s.Create(5, 3);   // odd width: rows carry padding
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            uint8_t* p = s.RowPtr(y) + 3 * x;
            p[0] = uint8_t(10 * x);        // blue
            p[1] = uint8_t(50 * y);        // green
            p[2] = uint8_t(200 + x + y);   // red
        }
    const QString path = dir.filePath("peer.bmp");
    ASSERT_TRUE(s.SaveBMP(path.toStdString()));

    // netpbm's reader, plain PPM text: "P3 5 3 255" then R G B per pixel, top row first.
    const QByteArray ppm = RunTool("sh", {"-c", "bmptopnm " + path + " | pnmtoplainpnm"});
    ASSERT_FALSE(ppm.isNull()) << "bmptopnm failed";
    QList<QByteArray> tok = ppm.simplified().split(' ');
    ASSERT_GE(tok.size(), 4 + 45);
    EXPECT_EQ(tok[1].toInt(), 5);
    EXPECT_EQ(tok[2].toInt(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const int i = 4 + (y * 5 + x) * 3;
            EXPECT_EQ(tok[i].toInt(), 200 + x + y);
            EXPECT_EQ(tok[i + 1].toInt(), 50 * y);
            EXPECT_EQ(tok[i + 2].toInt(), 10 * x);
        }

    // ImageMagick's reader.
    const QByteArray txt = RunTool("convert", {path, "-depth", "8", "txt:-"});
    ASSERT_FALSE(txt.isNull()) << "convert failed";
    EXPECT_TRUE(txt.contains("4,2: (206,100,40)")) << txt.constData();
    EXPECT_TRUE(txt.contains("0,0: (200,0,0)")) << txt.constData();
}

TEST(Surface, ShownPictureIsTheSurfaceInTheWindowSystemsFormat)
{
    Surface s;
    s.Create(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            uint8_t* p = s.RowPtr(y) + 3 * x;
            p[0] = uint8_t(x * 40);       // blue
            p[1] = uint8_t(y * 90);       // green
            p[2] = uint8_t(255 - x * 9);  // red
        }
    QImage out(1, 1, QImage::Format_ARGB32);   // wrong size and format: remade
    s.CopyToRgb32(out);
    ASSERT_EQ(out.size(), QSize(5, 3));
    ASSERT_EQ(out.format(), QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(out.pixel(x, y), qRgb(255 - x * 9, y * 90, x * 40)) << x << "," << y;
    EXPECT_EQ(out, s.ToQImage().convertToFormat(QImage::Format_RGB32));
    // A part, into a buffer of its own (as the window paints) or as a picture.
    QImage part(2, 2, QImage::Format_RGB32);
    s.CopyRectToRgb32(QRect(3, 1, 2, 2), part.bits(), part.bytesPerLine());
    EXPECT_EQ(part, out.copy(3, 1, 2, 2));
    EXPECT_EQ(s.ToQImage(QRect(3, 1, 2, 2)), s.ToQImage().copy(3, 1, 2, 2));
    Surface empty;
    empty.CopyToRgb32(out);
    EXPECT_TRUE(out.isNull());
}

// Every photo of a show makes and drops a photo-sized surface: its memory
// must go back to the system then, not stay with the allocator.
TEST(Surface, ABigSurfaceGivesItsMemoryBackWhenReleased)
{
    const auto residentMb = [] {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
    };
    for (int width : {4000, 3700, 3400}) {   // 36, 33 and 30 MB
        Surface s;
        s.Create(width, 3000);
        std::memset(s.DataPtr(), 0x55, size_t(s.RGBSize()));
        const double held = residentMb();
        s.Release();
        EXPECT_GT(held - residentMb(), 25.0) << width;
    }
}
