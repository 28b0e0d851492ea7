#include "app/DataFile.h"

#include "album/ShowScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tamsel {

void RestartAlbum(AlbumState& s)
{
    s.CurPhoto = 0;
    s.MusicTrack = 0;
    s.CoverShowing = true;
}

StartupReport LoadAlbumData(AlbumModel& m)
{
    StartupReport report;
    const QString& dataFile = m.paths.dataFile;
    QDir().mkpath(QFileInfo(dataFile).absolutePath());

    if (!QFileInfo::exists(dataFile)) {
        report.firstRun = true;
        m.state = AlbumState::FirstRun(m.paths);
        if (!SaveScript(dataFile, m.state))
            report.message = QStringLiteral("  相册数据无法保存到 %1,本次设置将无法保留").arg(dataFile);
    } else {
        const Outcome r = ReadScript(dataFile, m.state, m.photos);
        if (!r) {
            // A damaged data file is kept aside rather than overwritten at exit,
            // so whatever it still holds can be recovered by hand.
            const QString kept = dataFile + ".bak";
            QFile::remove(kept);
            QFile::copy(dataFile, kept);
            m.state = AlbumState::FirstRun(m.paths);
            m.photos.Clear();
            report.message = QStringLiteral("  相册数据文件已损坏,已恢复默认设置(原文件保存为 %1)")
                                 .arg(QFileInfo(kept).fileName());
        } else {
            report.message = r.message;
        }
        RestartAlbum(m.state);
    }
    m.state.CoverShowing = true;
    return report;
}

Outcome SaveAlbumData(const AlbumModel& m)
{
    QDir().mkpath(QFileInfo(m.paths.dataFile).absolutePath());
    return SaveScript(m.paths.dataFile, m.state);
}

}  // namespace tamsel
