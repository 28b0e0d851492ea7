#include "model/PhotoList.h"

#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace tamsel {

const QStringList& AlbumExtensions()
{
    static const QStringList ext = [] {
        QStringList e;
        for (const QString& p : QString::fromLatin1(kPhotoPattern).split(';'))
            e.push_back(p.mid(2));
        return e;
    }();
    return ext;
}

QString AlbumFileFilter()
{
    QStringList globs;
    for (const QString& e : AlbumExtensions())
        globs.push_back(QStringLiteral("*.") + e);
    return globs.join(',') + QStringLiteral(" (") + globs.join(' ') + ')';
}

bool PhotoList::IsAlbumFile(const QString& name)
{
    const int dot = int(name.lastIndexOf('.'));
    if (dot < 0)
        return false;
    return AlbumExtensions().contains(name.mid(dot + 1), Qt::CaseInsensitive);
}

QString WithTrailingSlash(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder;
    return folder + '/';
}

void PhotoList::Clear()
{
    folder_.clear();
    names_.clear();
}

bool PhotoList::Point(const QString& folder)
{
    namespace fs = std::filesystem;
    Clear();
    if (folder.isEmpty())
        return false;
    std::error_code ec;
    const fs::path dir(folder.toStdString());
    if (!fs::is_directory(dir, ec))
        return false;
    QStringList names;
    for (fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code fe;
        if (!it->is_regular_file(fe))
            continue;
        const QString name = QString::fromStdString(it->path().filename().string());
        if (IsAlbumFile(name))
            names.push_back(name);
    }
    if (ec)
        return false;
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        // Names equal but for case can both exist here; keep their order fixed.
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    folder_ = WithTrailingSlash(folder);
    names_ = std::move(names);
    return true;
}

bool PhotoList::Reread()
{
    const QString folder = folder_;
    return Point(folder);
}

int PhotoList::IndexOf(const QString& name) const
{
    const QString up = name.toUpper();
    for (int i = 0; i < names_.size(); ++i)
        if (names_.at(i).toUpper() == up)
            return i;
    return -1;
}

}  // namespace tamsel
