// Hands out the rectangle transitions by effect number.
#include "show/EffectsRectSteps.h"

#include <array>

namespace tamsel {
namespace {

using namespace rect;

constexpr int kLast = 70;

constexpr std::array<EffectStep, kLast + 1> BuildTable()
{
    std::array<EffectStep, kLast + 1> t{};
    t[7] = InterleavedRows;
    t[8] = InterleavedColumns;
    t[9] = BlindsDown;
    t[10] = BlindsRight;
    t[11] = PushFromLeft;
    t[12] = SlideFromLeft;
    t[13] = SlideFromTop;
    t[14] = PushFromTop;
    t[15] = SlideFromTopLeft;
    t[16] = SlideFromTopRight;
    t[17] = SlideFromRight;
    t[18] = PushFromRight;
    t[19] = SlideFromBottom;
    t[20] = PushFromBottom;
    t[21] = SlideFromBottomLeft;
    t[22] = SlideFromBottomRight;
    t[23] = BoxFromCentreLine;
    t[24] = BandFromHorizontalLine;
    t[25] = BandFromVerticalLine;
    t[26] = WipeDown;
    t[27] = WipeRight;
    t[28] = WipeUp;
    t[29] = WipeLeft;
    t[30] = LatticeBlinds;
    t[37] = CropToCentre;
    t[38] = CropToHorizontalLine;
    t[39] = CropToVerticalLine;
    t[42] = SplitDownUp;
    t[43] = SplitUpDown;
    t[44] = SplitRightLeft;
    t[45] = SplitLeftRight;
    t[47] = PinwheelIn;
    t[48] = PinwheelOut;
    t[51] = SqueezeFromLeft;
    t[52] = SqueezeFromTop;
    t[53] = SqueezeFromRight;
    t[54] = SqueezeFromBottom;
    t[55] = GrowFromVerticalLine;
    t[56] = GrowFromHorizontalLine;
    t[57] = ShrinkToVerticalLine;
    t[58] = ShrinkToHorizontalLine;
    t[69] = QuadrantsIn;
    t[70] = QuadrantsOut;
    return t;
}

constexpr std::array<EffectStep, kLast + 1> kSteps = BuildTable();

}  // namespace

EffectStep RectEffect(int effect)
{
    if (effect < 0 || effect > kLast)
        return nullptr;
    return kSteps[size_t(effect)];
}

}  // namespace tamsel
