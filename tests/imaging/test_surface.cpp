#include "imaging/Surface.h"

#include <gtest/gtest.h>

using namespace tamsel;

TEST(Surface, CreateLaysOutPaddedBlackRows)
{
    CLSDIB s;
    s.Create(3, 2);
    EXPECT_EQ(s.Stride(), 12);
    EXPECT_EQ(s.RGBSize(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(s.DataPtr()[i], 0);
}
