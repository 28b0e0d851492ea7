#pragma once
#include "shell/Layout.h"

#include <array>

namespace tamsel {

// The menu-bar label the keyboard goes to from label `from`, `step` places
// on (-1 left, +1 right), round the ends and over the disabled labels; from
// -1 with step +1 it is the first usable one. -1 when none is usable.
int NextMenuLabel(const std::array<bool, kMenuLabels>& enabled, int from, int step);

}  // namespace tamsel
