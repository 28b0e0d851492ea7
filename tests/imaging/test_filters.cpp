#include "model/Surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace tamsel;

namespace {

uint8_t Clamp(int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// The filters written out as the plain byte walks they must equal, one byte at
// a time, so the tuned code is checked against the obvious version.
void PlainShift(std::vector<uint8_t>& b, int r, int g, int bl)
{
    const int n = int(b.size());
    for (int j = 0; j <= n - 3; j += 3) {
        b[j] = Clamp(b[j] + bl);
        b[j + 1] = Clamp(b[j + 1] + g);
        b[j + 2] = Clamp(b[j + 2] + r);
    }
}

void PlainSharpen(std::vector<uint8_t>& b, int s)
{
    const int n = int(b.size());
    for (int i = 0; i <= n - s - 6; i += 3)
        for (int k = 0; k < 3; ++k)
            b[i + k] = Clamp(2 * b[i + k] - b[i + k + s + 3]);
}

void PlainBlur(std::vector<uint8_t>& b, int s)
{
    const std::vector<uint8_t> o = b;
    const int n = int(b.size());
    for (int i = s + 3; i <= n - s - 6; i += 3)
        for (int k = 0; k < 3; ++k) {
            const int j = i + k;
            b[j] = uint8_t((o[j - s] + o[j - 3] + o[j + 3] + o[j + s] + 2 * o[j]) / 6);
        }
}

std::vector<uint8_t> Bytes(const Surface& s)
{
    return {s.DataPtr(), s.DataPtr() + s.RGBSize()};
}

void FillRandom(Surface& s, std::mt19937& rng)
{
    for (int i = 0; i < s.RGBSize(); ++i)
        s.DataPtr()[i] = uint8_t(rng());
}

void FillValue(Surface& s, uint8_t v) { std::memset(s.DataPtr(), v, size_t(s.RGBSize())); }

// Byte j of the pixel at screen (x, y), channel c.
uint8_t& Byte(Surface& s, int x, int y, int c) { return s.RowPtr(y)[3 * x + c]; }

}  // namespace

// Widths 1..5 give every row padding (3, 2, 1, 0 and 3 bytes), and the larger
// sizes run through the blocks of the vectorised loops and their tails.
TEST(Filters, EqualThePlainByteWalksOnRandomPictures)
{
    std::mt19937 rng(7);
    const int sizes[][2] = {{1, 1}, {1, 7}, {2, 3}, {3, 2}, {4, 4}, {5, 3},
                            {17, 5}, {33, 9}, {64, 3}, {101, 13}};
    for (const auto& sz : sizes) {
        Surface s;
        s.Create(sz[0], sz[1]);
        const int stride = s.Stride();

        for (const auto& amounts : {std::array<int, 3>{10, 10, 10}, std::array<int, 3>{-40, 7, 300},
                                    std::array<int, 3>{-1000, 0, 255}}) {
            FillRandom(s, rng);
            auto want = Bytes(s);
            PlainShift(want, amounts[0], amounts[1], amounts[2]);
            s.ShiftColors(amounts[0], amounts[1], amounts[2]);
            ASSERT_EQ(Bytes(s), want) << "shift " << sz[0] << "x" << sz[1];
        }

        FillRandom(s, rng);
        auto want = Bytes(s);
        PlainSharpen(want, stride);
        s.Sharpen();
        ASSERT_EQ(Bytes(s), want) << "sharpen " << sz[0] << "x" << sz[1];

        FillRandom(s, rng);
        want = Bytes(s);
        PlainBlur(want, stride);
        s.FastBlur();
        ASSERT_EQ(Bytes(s), want) << "blur " << sz[0] << "x" << sz[1];
    }
}

TEST(Filters, OneColourSurvivesSharpenAndBlur)
{
    Surface s;
    s.Create(9, 6);
    for (uint8_t v : {uint8_t(0), uint8_t(1), uint8_t(128), uint8_t(254), uint8_t(255)}) {
        FillValue(s, v);
        s.Sharpen();
        s.FastBlur();
        for (int i = 0; i < s.RGBSize(); ++i)
            ASSERT_EQ(s.DataPtr()[i], v) << int(v) << " at " << i;
    }
}

TEST(Filters, SharpenClampsAgainstTheDiagonalNeighbour)
{
    // 4 pixels wide: stride 12, no padding. Pixel (1, 2) on screen sits one row
    // below (in memory) pixel (2, 1): its diagonal up-right neighbour.
    Surface s;
    s.Create(4, 3);
    FillValue(s, 100);
    Byte(s, 1, 2, 0) = 200;   // 2 x 200 - 100 = 300 -> 255
    Byte(s, 1, 2, 1) = 50;
    Byte(s, 2, 1, 1) = 200;   // 2 x 50 - 200 < 0 -> 0
    s.Sharpen();
    EXPECT_EQ(Byte(s, 1, 2, 0), 255);
    EXPECT_EQ(Byte(s, 1, 2, 1), 0);
    EXPECT_EQ(Byte(s, 1, 2, 2), 100);
    // The top row on screen (the last in memory) is never written.
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(Byte(s, x, 0, 0), 100);
}

TEST(Filters, BlurWeighsTheCentreTwice)
{
    Surface s;
    s.Create(4, 3);
    FillValue(s, 255);
    Byte(s, 1, 1, 2) = 0;     // centre 0, four neighbours 255: 1020 / 6
    s.FastBlur();
    EXPECT_EQ(Byte(s, 1, 1, 2), 170);

    FillValue(s, 0);
    Byte(s, 1, 1, 2) = 255;   // centre 255, neighbours 0: 510 / 6
    s.FastBlur();
    EXPECT_EQ(Byte(s, 1, 1, 2), 85);
    // The bottom row on screen (the first in memory) keeps its bytes.
    EXPECT_EQ(Byte(s, 1, 2, 2), 0);
}

TEST(Filters, ShiftColorsClampsEachChannel)
{
    Surface s;
    s.Create(2, 1);
    Byte(s, 0, 0, 0) = 250;
    Byte(s, 0, 0, 1) = 3;
    Byte(s, 0, 0, 2) = 5;
    s.ShiftColors(10, 10, 10);
    EXPECT_EQ(Byte(s, 0, 0, 0), 255);
    EXPECT_EQ(Byte(s, 0, 0, 1), 13);
    EXPECT_EQ(Byte(s, 0, 0, 2), 15);
    s.ShiftColors(-20, 0, 0);    // red only
    EXPECT_EQ(Byte(s, 0, 0, 0), 255);
    EXPECT_EQ(Byte(s, 0, 0, 2), 0);
}

TEST(Filters, TooSmallOrEmptySurfacesAreLeftAlone)
{
    std::mt19937 rng(3);
    for (const auto& sz : {std::array<int, 2>{1, 1}, std::array<int, 2>{40, 1},
                           std::array<int, 2>{2, 2}}) {
        Surface s;
        s.Create(sz[0], sz[1]);
        FillRandom(s, rng);
        const auto before = Bytes(s);
        if (sz[1] == 1) {
            s.Sharpen();   // one row: no row above to compare with
            EXPECT_EQ(Bytes(s), before);
        }
        s.FastBlur();      // fewer than 2 rows + 9 bytes
        EXPECT_EQ(Bytes(s), before);
    }
    Surface empty;
    empty.ShiftColors(1, 2, 3);
    empty.Sharpen();
    empty.FastBlur();
    EXPECT_FALSE(empty.HasPixels());
}
