#include "model/PhotoList.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace tamsel {

QString WithTrailingSlash(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder;
    return folder + '/';
}

FolderListing ListFolder(const QString& folder, const QStringList& extensions, bool withHidden)
{
    namespace fs = std::filesystem;
    FolderListing out;
    if (folder.isEmpty())
        return out;
    std::error_code ec;
    const fs::path dir(QFile::encodeName(folder).toStdString());
    if (!fs::is_directory(dir, ec))
        return out;
    for (fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code fe;
        if (!it->is_regular_file(fe))
            continue;
        const QByteArray bytes = QByteArray::fromStdString(it->path().filename().native());
        const QString name = QFile::decodeName(bytes);
        const int dot = int(name.lastIndexOf('.'));
        if ((!withHidden && name.startsWith('.')) || dot < 0 ||
            !extensions.contains(name.mid(dot + 1), Qt::CaseInsensitive))
            continue;
        if (QFile::encodeName(name) != bytes) {
            ++out.passedOver;
            continue;
        }
        out.names.push_back(name);
    }
    if (ec) {
        out.names.clear();
        out.passedOver = 0;
        return out;
    }
    std::sort(out.names.begin(), out.names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        // Names equal but for case can both exist here; keep their order fixed.
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    out.ok = true;
    return out;
}

QString PassedOverText(int count)
{
    return QStringLiteral("另有 %1 张照片的文件名不是系统能识别的文字编码,未能列出").arg(count);
}

void PhotoList::Clear()
{
    folder_.clear();
    names_.clear();
    passedOver_ = 0;
    listed_ = false;
}

bool PhotoList::Point(const QString& folder)
{
    Clear();
    folder_ = folder;
    FolderListing listing = ListFolder(folder, extensions_, true);
    if (!otherwise_.isEmpty() && GivesWay(listing))
        listing = ListFolder(folder, otherwise_, true);
    if (!listing.ok)
        return false;
    names_ = std::move(listing.names);
    passedOver_ = listing.passedOver;
    listed_ = true;
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
