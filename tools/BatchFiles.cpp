#include "tools/BatchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel {

FolderListing ListBatchFiles(const QString& folder, const QStringList& extensions)
{
    // Hidden files are left out: the rename journal and its kind live there.
    return ListFolder(folder, extensions, false);
}

QStringList ListAllNames(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::NoSort);
}

QString NameKey(const QString& name) { return name.toCaseFolded(); }

bool SameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    auto plain = [](QString s) {
        while (s.size() > 1 && s.endsWith('/'))
            s.chop(1);
        return s;
    };
    return !a.isEmpty() && plain(a) == plain(b);
}

QString ShortList(const QStringList& names, int most)
{
    if (names.size() <= most)
        return names.join(QStringLiteral("、"));
    return names.mid(0, most).join(QStringLiteral("、")) +
           QStringLiteral(" 等 %1 个").arg(names.size());
}

}  // namespace tamsel
