#pragma once
#include "model/Surface.h"
#include "shell/Layout.h"

#include <QHash>
#include <QIcon>
#include <QPixmap>

#include <array>

namespace tamsel {

struct AppPaths;

// The picture fileName ("grip.png") of the program directory for a screen of
// the given device pixel ratio: from 1.5 up its "@2x" drawing when there is one,
// with the pixmap's ratio set so that it keeps the 1x picture's logical size.
QPixmap LoadSkinPicture(const AppPaths& paths, const QString& fileName, double ratio);

// The pictures of the skin's elements, loaded from the program directory. A
// missing one leaves its element bare: the layout places it all the same.
struct SkinArt {
    // The skin the frame is painted from, and on a dense screen its
    // double-size drawing; no pixels when missing.
    Surface skin, denseSkin;
    // The pictures the element table names, by their base names.
    QHash<QString, QPixmap> pictures;
    // The quick-effect buttons: normal, hover and pressed looks at 16 x 16.
    std::array<std::array<QPixmap, 3>, kQuickButtons> quick;
    QPixmap bigIcon;

    static SkinArt Load(const AppPaths& paths, double ratio);
    // A picture of the table by its base name; null for none or a missing one.
    QPixmap Picture(const QString& name) const { return pictures.value(name); }
    // The window's icon from the small and the large picture; null when both are missing.
    QIcon WindowIcon() const;
};

}  // namespace tamsel
