#include "app/DataFile.h"

#include "album/ShowScript.h"
#include "platform/SafeOpen.h"
#include "platform/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>

namespace tamsel {
namespace {

// The window around the photo area: frame and bars.
constexpr int kFrameW = 18;
constexpr int kFrameH = 122;
// The settings dialog's range for the photo area.
constexpr int kMinShowW = 400, kMaxShowW = 782;
constexpr int kMinShowH = 288, kMaxShowH = 478;

// Where the album keeps its data when the program directory's file cannot be used.
QString PerUserDataFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/tamsel/tamsel.tmf";
}

QString Joined(const QString& first, const QString& then)
{
    if (then.isEmpty())
        return first;
    return first + QStringLiteral("；") + then.trimmed();
}

// Keeps a damaged data file aside. False when no copy could be made.
bool KeepAside(const QString& dataFile, const QString& kept)
{
    return CopyFileWhole(dataFile, kept).ok;
}

AlbumData Load(AppPaths& paths, PhotoList& photos, QSize screen, bool mayMove);

// The defaults of a first run, with no album folder.
AlbumData Defaults(const AppPaths& paths, PhotoList& photos, StartupReport report = {})
{
    photos.Clear();
    return {std::move(report), AlbumState::FirstRun(paths)};
}

// The data file in the program directory cannot be used: leave it as it is
// and take the per-user one. When that is where we already are, the run goes
// on with the defaults and nothing is written over the file at exit.
AlbumData MoveToPerUser(AppPaths& paths, PhotoList& photos, QSize screen, bool mayMove, const QString& what)
{
    const QString perUser = PerUserDataFile();
    if (!mayMove || QFileInfo(perUser).absoluteFilePath() == QFileInfo(paths.dataFile).absoluteFilePath()) {
        paths.dataFile.clear();
        return Defaults(paths, photos,
                        {false, Joined(what, QStringLiteral("已使用默认设置,本次设置将无法保留")), {}});
    }
    paths.dataFile = perUser;
    AlbumData d = Load(paths, photos, screen, false);
    d.report.message = Joined(what + QStringLiteral(",相册数据改存于 %1").arg(perUser), d.report.message);
    return d;
}

AlbumData Load(AppPaths& paths, PhotoList& photos, QSize screen, bool mayMove)
{
    const QString dataFile = paths.dataFile;
    QDir().mkpath(QFileInfo(dataFile).absolutePath());

    if (!QFileInfo::exists(dataFile)) {
        AlbumData d = Defaults(paths, photos);
        d.report.firstRun = true;
        if (!SaveScript(dataFile, d.state, photos))
            d.report.message = QStringLiteral("  相册数据无法保存到 %1,本次设置将无法保留").arg(dataFile);
        return d;
    }
    // A folder, a pipe or a device of that name is never opened: a pipe would
    // keep the program waiting before its window ever shows.
    if (!IsRegularFile(dataFile))
        return MoveToPerUser(paths, photos, screen, mayMove, QStringLiteral("  %1 不是普通文件").arg(dataFile));
    {
        QFile probe;
        if (OpenRegularFile(dataFile, probe) != OpenResult::Opened)
            return MoveToPerUser(paths, photos, screen, mayMove, QStringLiteral("  无法读取 %1").arg(dataFile));
    }

    // What the file lacks, the defaults fill.
    const ScriptRead r = ReadScript(dataFile, AlbumState::FirstRun(paths), photos);
    AlbumData d{{}, r.state};
    if (r.outcome && !r.damaged) {
        d.report.message = r.outcome.message;
    } else {
        // A damaged data file is kept aside rather than overwritten at exit,
        // so whatever it still holds can be recovered by hand. When it cannot
        // be, the file itself stays untouched and the album moves elsewhere.
        const QString kept = dataFile + ".bak";
        if (!KeepAside(dataFile, kept)) {
            const QString what = r.outcome ? QStringLiteral("  相册数据文件不完整") : QStringLiteral("  相册数据文件已损坏");
            photos.Clear();
            return MoveToPerUser(paths, photos, screen, mayMove, what + QStringLiteral(",且无法另存副本"));
        }
        if (r.outcome) {
            // What the file held is kept; the defaults fill the rest.
            d.report.message = QStringLiteral("  相册数据文件不完整,缺少的设置已用默认值(原文件保存为 %1)")
                                   .arg(QFileInfo(kept).fileName());
        } else {
            d = Defaults(paths, photos,
                         {false,
                          QStringLiteral("  相册数据文件已损坏,已恢复默认设置(原文件保存为 %1)")
                              .arg(QFileInfo(kept).fileName()),
                          {}});
        }
    }
    const QSize show = ClampShowSize(QSize(d.state.ShowWidth, d.state.ShowHeight), screen);
    d.state.ShowWidth = show.width();
    d.state.ShowHeight = show.height();
    return d;
}

}  // namespace

QSize AvailableScreenSize()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

QSize ClampShowSize(QSize wanted, QSize screen)
{
    const int maxW = screen.isEmpty() ? kMaxShowW : std::max(kMinShowW, screen.width() - kFrameW);
    const int maxH = screen.isEmpty() ? kMaxShowH : std::max(kMinShowH, screen.height() - kFrameH);
    return {std::clamp(wanted.width(), kMinShowW, maxW), std::clamp(wanted.height(), kMinShowH, maxH)};
}

AlbumData LoadAlbumData(AppPaths& paths, PhotoList& photos, QSize screen)
{
    return Load(paths, photos, screen, true);
}

Outcome SaveAlbumData(const QString& dataFile, const AlbumState& state, const PhotoList& photos)
{
    if (dataFile.isEmpty())
        return Outcome::Failed(QStringLiteral("  本次设置无处保存"));
    QDir().mkpath(QFileInfo(dataFile).absolutePath());
    // The old file stays as it was when the new one cannot be written whole.
    const Outcome saved = SaveScript(dataFile, state, photos);
    if (!saved)
        return Outcome::Failed(QStringLiteral("  相册数据未能保存:") + saved.message.trimmed());
    return saved;
}

}  // namespace tamsel
