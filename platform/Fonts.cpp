#include "platform/Fonts.h"

#include <QStringList>

namespace tamsel {

void RegisterFontSubstitutions()
{
    const QStringList song = {"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC"};
    const QStringList kai = {"AR PL UKai CN", "AR PL UKai TW", "AR PL UKai HK"};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    QFont::insertSubstitutions(QStringLiteral("新宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"), kai);
    QFont::insertSubstitutions(QStringLiteral("楷体"), kai);
    QFont::insertSubstitutions(QStringLiteral("KaiTi"), kai);
    QFont::insertSubstitutions(QStringLiteral("KaiTi_GB2312"), kai);
}

QFont WindowFont()
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(10.5);
    return f;
}

}  // namespace tamsel
