#pragma once
#include <QPoint>
#include <QString>

namespace tamsel {

// The info line under the title: info text, then the tune, and the
// position right-aligned before the award badge.
struct InfoLineInput {
    int infoLeft = 0;
    int infoTop = 0;
    int infoWidth = 0;
    int musicWidth = 0;
    int countWidth = 0;
    int badgeWidth = 0;
    int clientW = 0;
};

struct InfoLinePlacement {
    bool musicVisible = false;
    QPoint music;
    bool countVisible = false;
    QPoint count;
};

// Places the tune and position texts after the info text, or hides them when
// they would run into the badge. The position is hidden whenever the tune text
// would not also fit, so it never stands alone in the tune's place.
InfoLinePlacement ArrangeInfoLine(const InfoLineInput& in);

// text as one line for a label: a file name may hold line breaks, tabs and
// other control characters, which would otherwise spill over the photo. Each
// becomes "?".
QString OneLine(const QString& text);

// " 位置 3 / 12" on the third of twelve photos.
QString PositionText(int curPhoto, int photoCount);

// "照片 name  尺寸 wxh", with the file information from a 460-pixel photo area on.
QString PhotoInfoText(const QString& fileName, int width, int height, int showWidth,
                      const QString& fileInfo);

}  // namespace tamsel
