#pragma once
#include "shell/Layout.h"

#include <QIcon>
#include <QPixmap>

#include <array>

namespace tamsel {

struct AppPaths;

// The pictures of the skin's elements, loaded from the program directory. A
// missing one leaves its element bare: the layout places it all the same.
struct SkinArt {
    std::array<QPixmap, kBtnCount> btnUp, btnMove, btnDown;
    // The quick-effect buttons: normal, hover and pressed looks at 16 x 16.
    std::array<std::array<QPixmap, 3>, kSBtnCount> imgs;
    std::array<QPixmap, 30> pel;
    QPixmap ico, bigIcon, mail, mailMove, ques, quesMove, star, jiao;
    QPixmap minHover, minDown, maxHover, maxDown, usHover, usDown, us0, closeHover, closeDown;

    static SkinArt Load(const AppPaths& paths);
    // The window's icon from the small and the large picture; null when both are missing.
    QIcon WindowIcon() const;
};

}  // namespace tamsel
