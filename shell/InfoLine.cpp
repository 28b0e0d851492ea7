#include "shell/InfoLine.h"

namespace tamsel {

InfoLinePlacement ArrangeInfoLine(const InfoLineInput& in)
{
    InfoLinePlacement p;
    const int e = in.infoLeft + in.infoWidth;
    if (e + 20 + in.musicWidth + 15 + in.badgeWidth < in.clientW) {
        p.musicVisible = true;
        p.music = QPoint(e + 20, in.infoTop);
    }
    if (e + 20 + in.musicWidth + 20 + in.countWidth + 15 + in.badgeWidth < in.clientW) {
        p.countVisible = true;
        p.count = QPoint(in.clientW - in.countWidth - 15 - in.badgeWidth, in.infoTop);
    }
    return p;
}

QString OneLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line) {
        // Controls, and the Unicode line and paragraph separators.
        const QChar::Category k = c.category();
        if (k == QChar::Other_Control || k == QChar::Separator_Line || k == QChar::Separator_Paragraph)
            c = u'?';
    }
    return line;
}

QString PositionText(int curPhoto, int photoCount)
{
    return QStringLiteral(" 位置 %1 / %2").arg(curPhoto + 1).arg(photoCount);
}

QString PhotoInfoText(const QString& fileName, int width, int height, int showWidth,
                      const QString& fileInfo)
{
    QString s = QStringLiteral("照片 %1  尺寸 %2x%3").arg(fileName).arg(width).arg(height);
    if (showWidth >= 460)
        s += fileInfo;
    return s;
}

}  // namespace tamsel
