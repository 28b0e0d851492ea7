#include "shell/MenuKeys.h"

namespace tamsel {

int NextMenuLabel(const std::array<bool, kMenuLabels>& enabled, int from, int step)
{
    int i = from;
    for (int tried = 0; tried < kMenuLabels; ++tried) {
        i = ((i + step) % kMenuLabels + kMenuLabels) % kMenuLabels;
        if (enabled[size_t(i)])
            return i;
    }
    return -1;
}

}  // namespace tamsel
