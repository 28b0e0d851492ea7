#include "tools/BatchRename.h"

#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"
#include "tools/BatchFiles.h"
#include "tools/RenameJournal.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

namespace tamsel {

namespace {

// Longest file name (in bytes) Linux file systems take.
constexpr int kMaxNameBytes = 255;

}  // namespace

std::optional<int> ParseStartNumber(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < -32768 || n > 32767)
        return std::nullopt;
    return n;
}

QString NumberText(int number, int width)
{
    if (width <= 0)
        return {};
    return (QStringLiteral("0000000000") + QString::number(number)).right(width);
}

QString NewPhotoName(const QString& stem, int number, int width, const QString& name)
{
    const int dot = int(name.lastIndexOf('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    return stem + NumberText(number, width) + '.' + ext;
}

FolderListing ListRenameSources(const QString& folder)
{
    return ListBatchFiles(folder, AlbumExtensions());
}

RenamePlan PlanRename(const QString& folder, const QStringList& names, const RenameFields& fields)
{
    RenamePlan plan;
    plan.folder = WithTrailingSlash(folder);
    plan.oldNames = names;
    if (names.isEmpty())
        return plan;
    const std::optional<int> start = ParseStartNumber(fields.start);
    if (!start) {
        plan.problem = QStringLiteral("起始编号应为 -32768 到 32767 之间的整数");
        return plan;
    }
    const int width = int(fields.width.size());
    for (int i = 0; i < names.size(); ++i)
        plan.newNames.push_back(NewPhotoName(fields.stem, *start + i, width, names.at(i)));
    plan.clash = QList<bool>(names.size(), false);

    // Two new names that a case-blind card would take for one file.
    QHash<QString, QList<int>> byKey;
    for (int i = 0; i < plan.newNames.size(); ++i)
        byKey[NameKey(plan.newNames.at(i))].push_back(i);
    QStringList twins;
    for (int i = 0; i < plan.newNames.size(); ++i) {
        const QList<int>& same = byKey.value(NameKey(plan.newNames.at(i)));
        if (same.size() > 1) {
            plan.clash[i] = true;
            if (same.constFirst() == i)
                twins.push_back(plan.newNames.at(i));
        }
    }

    // Files that stay where they are: other formats, hidden files, folders.
    const QSet<QString> moving(names.cbegin(), names.cend());
    QSet<QString> staying;
    for (const QString& n : ListAllNames(plan.folder))
        if (!moving.contains(n))
            staying.insert(NameKey(n));
    QStringList taken, badNames;
    for (int i = 0; i < plan.newNames.size(); ++i) {
        const QString& n = plan.newNames.at(i);
        if (staying.contains(NameKey(n))) {
            plan.clash[i] = true;
            taken.push_back(n);
        } else if (n.startsWith('.') || n.contains('/') || n.contains(QChar(0)) ||
                   QFile::encodeName(n).size() > kMaxNameBytes) {
            plan.clash[i] = true;
            badNames.push_back(n);
        }
    }

    if (!twins.isEmpty())
        plan.problem = QStringLiteral("新名重复: %1，请改动照片拟改名、起始编号或编号位").arg(ShortList(twins));
    else if (!taken.isEmpty())
        plan.problem = QStringLiteral("新名已被文件夹中其他文件占用: %1").arg(ShortList(taken));
    else if (!badNames.isEmpty())
        plan.problem = QStringLiteral("新名不能用 (不能以 \".\" 开头、不能含 \"/\"、不能太长): %1")
                           .arg(ShortList(badNames, 2));
    return plan;
}

namespace {

// Moves the files of entries [0, count) from their temporary names back to
// their old ones. True when all are back.
bool UndoPhaseOne(const QString& dir, const RenameJournal& j, int count)
{
    bool clean = true;
    for (int k = 0; k < count; ++k) {
        const auto& e = j.entries.at(k);
        clean = MoveNoReplace(dir + e.tempName, dir + e.oldName).ok && clean;
    }
    return clean;
}

}  // namespace

Outcome RunRename(const RenamePlan& plan, const RenameProgress& progress)
{
    const QString& dir = plan.folder;
    // Never start over photos that still sit under temporary names.
    if (!dir.isEmpty() && HasJournal(dir))
        return Outcome::Failed(QStringLiteral("此文件夹中有一次没做完的批量改名，请重新打开本窗口以恢复"));
    if (!plan.HasPreview())
        return Outcome::Done();
    if (!plan.problem.isEmpty())
        return Outcome::Failed(plan.problem);

    RenameJournal j;
    const QString token = QString::number(QRandomGenerator::global()->generate64(), 36);
    for (int i = 0; i < plan.oldNames.size(); ++i)
        if (plan.oldNames.at(i) != plan.newNames.at(i))
            j.entries.push_back({plan.oldNames.at(i),
                                 QStringLiteral(".tamsel-rename-%1-%2").arg(token).arg(i),
                                 plan.newNames.at(i)});
    const int count = int(j.entries.size());
    if (count == 0)
        return Outcome::Done(QStringLiteral("照片名没有变化"));
    const int total = 2 * count;
    int done = 0;
    auto step = [&] {
        ++done;
        if (progress)
            progress(done, total);
    };
    const QString unfinished = QStringLiteral("，部分照片仍在临时名下，重新打开本窗口可恢复");

    // Nothing moves before the whole journal is on the disk: a crash from
    // here on finds every name it needs.
    if (const Outcome written = WriteJournal(dir, j); !written)
        return Outcome::Failed(QStringLiteral("无法写改名记录: %1，照片都没有改名").arg(written.message));

    // Phase 1: every file leaves its old name, so that no new name can meet a
    // file still waiting for its turn (swaps and cycles included).
    for (int k = 0; k < count; ++k) {
        const auto& e = j.entries.at(k);
        const Outcome moved = MoveNoReplace(dir + e.oldName, dir + e.tempName);
        if (!moved) {
            const QString& err = moved.message;
            if (!UndoPhaseOne(dir, j, k))
                return Outcome::Failed(QStringLiteral("无法为 %1 改名: %2").arg(e.oldName, err) + unfinished);
            QFile::remove(JournalPath(dir));
            return Outcome::Failed(QStringLiteral("无法为 %1 改名: %2，照片都保持原名").arg(e.oldName, err));
        }
        step();
    }

    j.phase = 2;
    if (const Outcome written = WriteJournal(dir, j); !written) {
        // The journal on the disk still says phase 1: undoing is what a
        // crash now would do too.
        if (!UndoPhaseOne(dir, j, count))
            return Outcome::Failed(QStringLiteral("无法写改名记录: %1").arg(written.message) + unfinished);
        QFile::remove(JournalPath(dir));
        return Outcome::Failed(QStringLiteral("无法写改名记录: %1，照片都保持原名").arg(written.message));
    }

    // Phase 2: every file takes its new name, which no other file holds.
    for (int k = 0; k < count; ++k) {
        const auto& e = j.entries.at(k);
        const Outcome moved = MoveNoReplace(dir + e.tempName, dir + e.newName);
        if (!moved) {
            const QString& err = moved.message;
            // Back the way it came: the files already renamed return to their
            // temporary names, then the journal turns to undoing.
            bool clean = true;
            for (int l = 0; l < k; ++l) {
                const auto& d = j.entries.at(l);
                clean = MoveNoReplace(dir + d.newName, dir + d.tempName).ok && clean;
            }
            j.phase = 1;
            clean = WriteJournal(dir, j).ok && clean;
            clean = UndoPhaseOne(dir, j, count) && clean;
            if (!clean)
                return Outcome::Failed(QStringLiteral("无法改名为 %1: %2").arg(e.newName, err) + unfinished);
            QFile::remove(JournalPath(dir));
            return Outcome::Failed(QStringLiteral("无法改名为 %1: %2，照片都保持原名").arg(e.newName, err));
        }
        step();
    }
    QFile::remove(JournalPath(dir));
    return Outcome::Done(QStringLiteral("已为 %1 张照片改名").arg(count));
}

}  // namespace tamsel
