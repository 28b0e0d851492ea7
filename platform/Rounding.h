#pragma once
#include <cmath>
#include <cstdint>

namespace tamsel {

// Every real that becomes a pixel coordinate is rounded to the nearest integer,
// halves going to the even neighbour (2.5 -> 2, 3.5 -> 4), so that pictures
// land on the same pixels everywhere they are placed.
inline int RoundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));  // default FE_TONEAREST is half-to-even
}

// "\" of the album's arithmetic: integer division truncating toward zero.
inline int IntDiv(int a, int b) { return a / b; }

// Int(x) of the effects: the largest integer not above x.
inline int IntFloor(double v) { return static_cast<int>(std::floor(v)); }

}  // namespace tamsel
