#include "shell/MenuKeys.h"

#include <gtest/gtest.h>

using namespace tamsel;

// The keyboard walks the menu-bar labels round the ends and over the
// disabled ones (no album yet, or a show running).
TEST(MenuKeys, ArrowsPassOverDisabledLabelsAndWrapRound)
{
    const std::array<bool, kMenuLabels> all{true, true, true, true, true};
    const std::array<bool, kMenuLabels> noAlbum{true, false, false, false, true};
    const std::array<bool, kMenuLabels> none{};
    const struct {
        const std::array<bool, kMenuLabels>& enabled;
        int from, step, want;
    } cases[] = {
        {all, -1, 1, 0}, {all, 0, -1, 4}, {all, 4, 1, 0}, {all, 1, 1, 2},
        {noAlbum, 0, 1, 4}, {noAlbum, 4, 1, 0}, {noAlbum, 0, -1, 4}, {none, -1, 1, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextMenuLabel(c.enabled, c.from, c.step), c.want) << c.from << " " << c.step;
}
