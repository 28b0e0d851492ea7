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

namespace {

bool IsHidden(const QString& name) { return name.startsWith('.'); }

bool HasExtension(const QString& name, const QStringList& extensions)
{
    const int dot = int(name.lastIndexOf('.'));
    return dot >= 0 && extensions.contains(name.mid(dot + 1), Qt::CaseInsensitive);
}

}  // namespace

QStringList ListBatchFiles(const QString& folder, const QStringList& extensions)
{
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    // QDir leaves hidden files out unless asked; plain files only, links
    // followed as the album's own list does.
    QStringList names;
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort)) {
        const QString name = fi.fileName();
        if (!IsHidden(name) && HasExtension(name, extensions))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    return names;
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
