#include "tools/RenameJournal.h"

#include "model/PhotoList.h"
#include "tools/BatchFiles.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

namespace tamsel {

namespace {

constexpr char kHeader[] = "tamsel rename journal 1";

// Names on Linux may hold tabs and line breaks; each field is percent-encoded.
QByteArray Encode(const QString& s) { return QUrl::toPercentEncoding(s); }
QString Decode(const QByteArray& b) { return QUrl::fromPercentEncoding(b); }

}  // namespace

QString JournalPath(const QString& folder)
{
    return WithTrailingSlash(folder) + QStringLiteral(".tamsel-rename.journal");
}

bool HasJournal(const QString& folder) { return QFile::exists(JournalPath(folder)); }

Outcome WriteJournal(const QString& folder, const RenameJournal& journal)
{
    QByteArray text = QByteArray(kHeader) + '\n' + "phase " + QByteArray::number(journal.phase) + '\n';
    for (const auto& e : journal.entries)
        text += Encode(e.oldName) + '\t' + Encode(e.tempName) + '\t' + Encode(e.newName) + '\n';
    return WriteFileWhole(JournalPath(folder), text);
}

std::optional<RenameJournal> ReadJournal(const QString& folder)
{
    QFile in(JournalPath(folder));
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = in.readAll().split('\n');
    if (lines.size() < 2 || lines[0] != kHeader)
        return std::nullopt;
    RenameJournal j;
    if (lines[1] == "phase 1")
        j.phase = 1;
    else if (lines[1] == "phase 2")
        j.phase = 2;
    else
        return std::nullopt;
    for (int i = 2; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> f = lines[i].split('\t');
        if (f.size() != 3)
            return std::nullopt;
        RenameJournal::Entry e{Decode(f[0]), Decode(f[1]), Decode(f[2])};
        // A name with a folder in it would let a damaged journal move files
        // out of the folder.
        for (const QString* n : {&e.oldName, &e.tempName, &e.newName})
            if (n->isEmpty() || n->contains('/') || *n == "." || *n == "..")
                return std::nullopt;
        j.entries.push_back(std::move(e));
    }
    return j;
}

Outcome RecoverRenames(const QString& folder)
{
    if (folder.isEmpty() || !HasJournal(folder))
        return Outcome::Done();
    const QString dir = WithTrailingSlash(folder);
    const std::optional<RenameJournal> j = ReadJournal(folder);
    if (!j)
        return Outcome::Failed(QStringLiteral("改名记录 %1 无法读懂，请查看该文件夹中以 .tamsel-rename 开头的文件")
                                   .arg(JournalPath(folder)));

    // Phase 1 stopped before every file had left its old name: undo, since
    // the old names are all still free. Phase 2: every file had its temporary
    // name and the new names were checked free, so finish.
    const bool finish = j->phase == 2;
    int moved = 0;
    QStringList stuck;
    for (const auto& e : j->entries) {
        const QString temp = dir + e.tempName;
        if (!QFile::exists(temp))
            continue;   // never moved, or already where it belongs
        const QString target = dir + (finish ? e.newName : e.oldName);
        if (MoveNoReplace(temp, target))
            ++moved;
        else
            stuck.push_back(e.tempName + QStringLiteral(" (原名 ") + e.oldName + ')');
    }
    if (!stuck.isEmpty())
        return Outcome::Failed(QStringLiteral("上次批量改名没有做完，有 %1 张照片仍在临时名下: %2")
                                   .arg(stuck.size())
                                   .arg(ShortList(stuck, 3)));
    QFile::remove(JournalPath(folder));
    if (finish)
        return Outcome::Done(QStringLiteral("上次批量改名没有做完，现已改完 (%1 张照片)").arg(moved));
    return Outcome::Done(QStringLiteral("上次批量改名没有做完，%1 张照片已改回原名").arg(moved));
}

}  // namespace tamsel
