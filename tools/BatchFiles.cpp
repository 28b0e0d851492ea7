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

QString MoveNoReplace(const QString& from, const QString& to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return ErrorText(errno);
    // A file system without the no-replace move: look first. Only another
    // program working in the same folder at the same instant could slip in.
    struct stat st {};
    if (::lstat(t.constData(), &st) == 0)
        return ErrorText(EEXIST);
    if (::rename(f.constData(), t.constData()) != 0)
        return ErrorText(errno);
    return {};
}

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

QString ErrorText(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘已满");
    case EACCES:
    case EPERM: return QStringLiteral("没有权限");
    case EROFS: return QStringLiteral("磁盘只读");
    case EEXIST:
    case ENOTEMPTY: return QStringLiteral("已有同名文件");
    case ENAMETOOLONG: return QStringLiteral("名字太长");
    case ENOENT: return QStringLiteral("文件不见了");
    case EXDEV: return QStringLiteral("不在同一磁盘");
    default: return QString::fromLocal8Bit(std::strerror(err));
    }
}

}  // namespace tamsel
