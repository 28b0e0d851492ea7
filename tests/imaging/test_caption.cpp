#include "TestAccess.h"
#include "ComposeFixture.h"

#include "imaging/Caption.h"

#include <QFontInfo>

using namespace tamsel;
using namespace tamsel::testing;

TEST(CaptionPosition, NineCellsAndThePanShifts)
{
    const int tw = CaptionTextWidth(QStringLiteral("天空"), 22);
    ASSERT_EQ(tw, 44);
    auto x = [&](int cell, int pan) { return CaptionPosition(cell, 480, 336, tw, 22, pan).x; };
    auto y = [&](int cell, int pan) { return CaptionPosition(cell, 480, 336, tw, 22, pan).y; };
    EXPECT_DOUBLE_EQ(x(7, 0), 218);
    EXPECT_DOUBLE_EQ(x(7, 1), 278);
    EXPECT_DOUBLE_EQ(x(2, 0), 388);
    EXPECT_DOUBLE_EQ(x(3, 0), 48);
    EXPECT_DOUBLE_EQ(x(3, 5), 78);
    EXPECT_DOUBLE_EQ(y(1, 0), 33.6);
    EXPECT_DOUBLE_EQ(y(4, 0), 168 - 11);
    EXPECT_DOUBLE_EQ(y(8, 0), 336 * 0.9 - 22);
    EXPECT_DOUBLE_EQ(y(8, 3), 336 * 0.9 - 22 + 60);
    // Pans that end at the canvas's left or top edge move nothing.
    for (int pan : {0, 2, 4}) {
        EXPECT_DOUBLE_EQ(x(5, pan), 388);
        EXPECT_DOUBLE_EQ(y(5, pan), 157);
    }
    // An odd line height halves truncating; a caption wider than the area
    // gives a negative centre, truncated toward zero.
    EXPECT_DOUBLE_EQ(CaptionPosition(4, 480, 336, 44, 23, 0).y, 168 - 11);
    EXPECT_DOUBLE_EQ(CaptionPosition(1, 480, 336, 501, 22, 0).x, -10);
    // A cell outside the grid stays at the corner, shifted only by the pan.
    EXPECT_DOUBLE_EQ(CaptionPosition(9, 480, 336, 44, 22, 0).x, 0);
    EXPECT_DOUBLE_EQ(CaptionPosition(-1, 480, 336, 44, 22, 1).x, 60);
    EXPECT_DOUBLE_EQ(CaptionPosition(-1, 480, 336, 44, 22, 1).y, 0);
}

TEST(CaptionPosition, WidthCountsGbkBytes)
{
    EXPECT_EQ(CaptionTextWidth(QStringLiteral("abcdef天空"), 22), 110);
    EXPECT_EQ(CaptionTextWidth(QStringLiteral("a"), 23), 11);
    EXPECT_EQ(CaptionTextWidth(QString(), 22), 0);
    // Full-width punctuation is two bytes like any Chinese character.
    EXPECT_EQ(CaptionTextWidth(QStringLiteral("！，"), 20), 40);
}

namespace {

// Columns and rows of a surface holding pixels other than the given colour.
struct Extent {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};
Extent InkOf(const Surface& s, Rgb paper)
{
    Extent e;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (!(At(s, x, y) == paper)) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

}  // namespace

TEST(DrawTextStrip, DrawsTheKaiFaceAtTheAlbumsCellSize)
{
    const QFont f = CaptionFont(QStringLiteral("楷体_GB2312"), 11, 22);
    EXPECT_TRUE(QFontInfo(f).family().contains(QStringLiteral("UKai"))) << qPrintable(QFontInfo(f).family());

    Surface strip;
    strip.Create(480, 30);
    ASSERT_TRUE(DrawTextStrip(strip, QStringLiteral("天空海阔"), 0xFFFFFF, 0, QStringLiteral("楷体_GB2312"), 11, 22));
    const Extent e = InkOf(strip, Rgb{0, 0, 0});
    // Four characters the width the caption position estimates: 4 x 22.
    EXPECT_LE(e.left, 3);
    EXPECT_GE(e.right, 80);
    EXPECT_LE(e.right, 90);
    EXPECT_LE(e.bottom, 23);
    EXPECT_GE(e.bottom - e.top, 14);
    // Strokes are in the text colour.
    int white = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            white += At(strip, x, y).g > 200;
    EXPECT_GT(white, 60);
}

TEST(DrawTextStrip, FillsTheCellsOpaqueAndLeavesTheRestAlone)
{
    Surface s;
    s.Create(200, 30);
    for (int y = 0; y < 30; ++y)
        std::memset(s.RowPtr(y), 0x40, 200 * 3);
    // Blue text (0x00BBGGRR) on a green background.
    ASSERT_TRUE(DrawTextStrip(s, QStringLiteral("字"), 0xFF0000, 0x00FF00, QStringLiteral("宋体"), 10, 20));
    int green = 0, blue = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x) {
            const Rgb c = At(s, x, y);
            green += c == (Rgb{0, 255, 0});
            blue += c.b > 128 && c.b > c.g;
        }
    EXPECT_GT(green, 60);
    EXPECT_GT(blue, 10);
    // Beyond the one character cell nothing changed.
    EXPECT_EQ(At(s, 60, 5), (Rgb{0x40, 0x40, 0x40}));
    EXPECT_EQ(At(s, 10, 29), (Rgb{0x40, 0x40, 0x40}));

    Surface empty;
    EXPECT_FALSE(DrawTextStrip(empty, QStringLiteral("字"), 0xFFFFFF, 0, QStringLiteral("宋体"), 10, 20));
    EXPECT_FALSE(DrawTextStrip(s, QStringLiteral("字"), 0xFFFFFF, 0, QStringLiteral("宋体"), 10, 0));
}

TEST(DrawTextStrip, LongTextAndLongFaceNamesAreCut)
{
    Surface s;
    s.Create(100, 30);
    // Wider and taller than the strip: clipped, nothing outside it is touched.
    EXPECT_TRUE(DrawTextStrip(s, QString(60, QChar(0x6C34)), 0xFFFFFF, 0, QStringLiteral("楷体_GB2312"), 20, 40));
    EXPECT_FALSE(IsBlack(At(s, 95, 15)));

    // A face name holds 31 bytes: 20 Chinese characters are cut to 15.
    const QString longName(20, QChar(0x6977));
    EXPECT_EQ(CaptionFont(longName, 11, 22).family(), longName.left(15));
    EXPECT_EQ(CaptionFont(QString(40, 'a'), 11, 22).family(), QString(31, 'a'));
}

class CaptionStep : public ComposeTest {};

TEST_F(CaptionStep, NothingForEmptyCaptionsOvalFramesOrPhotosWithoutOne)
{
    dibs.DibCanvas.Cls();
    album.PhotoCaption = {QString(), QStringLiteral("第二张")};
    TestAccess::SetCurPhoto(position, 0);
    DrawCaption(album, model.CurCaption(), PanNone, dibs);
    TestAccess::SetCurPhoto(position, 5);
    DrawCaption(album, model.CurCaption(), PanNone, dibs);
    TestAccess::SetCurPhoto(position, 1);
    album.FrameType = 3;
    DrawCaption(album, model.CurCaption(), PanNone, dibs);
    for (int y = 0; y < dibs.DibCanvas.Height(); y += 3)
        for (int x = 0; x < dibs.DibCanvas.Width(); x += 3)
            ASSERT_TRUE(IsBlack(At(dibs.DibCanvas, x, y)));

    album.FrameType = 2;
    DrawCaption(album, model.CurCaption(), PanNone, dibs);
    EXPECT_EQ(dibs.DibCaption.Width(), 480);
    EXPECT_EQ(dibs.DibCaption.Height(), 30);
    int lit = 0;
    for (int y = 0; y < dibs.DibCanvas.Height(); ++y)
        for (int x = 0; x < dibs.DibCanvas.Width(); ++x)
            lit += !IsBlack(At(dibs.DibCanvas, x, y));
    EXPECT_GT(lit, 50);
}

// A character the caption's face lacks (an emoji) comes from a face that has
// it, in its own colours, never as an empty box in the caption's colour.
TEST(DrawTextStrip, ACharacterTheFaceLacksComesFromAFaceThatHasIt)
{
    Surface strip;
    ASSERT_TRUE(strip.Create(120, 40).ok);
    ASSERT_TRUE(DrawTextStrip(strip, QStringLiteral("花🌸"), 0xFFFFFF, 0, QStringLiteral("楷体_GB2312"), 11, 22));
    int coloured = 0;
    for (int y = 0; y < strip.Height(); ++y)
        for (int x = 0; x < strip.Width(); ++x) {
            const uint8_t* p = strip.RowPtr(y) + 3 * x;
            coloured += QColor(p[2], p[1], p[0]).hsvSaturation() > 100;
        }
    EXPECT_GT(coloured, 20);
}
