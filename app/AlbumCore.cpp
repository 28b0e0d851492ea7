#include "app/AlbumCore.h"

#include "album/ShowScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tamsel {

AlbumCore::AlbumCore(AppPaths p) : paths(std::move(p)), state(AlbumState::FirstRun(paths)) {}

StartupReport AlbumCore::Startup()
{
    StartupReport report;
    paths.EnsureWorkDir();
    QDir().mkpath(QFileInfo(paths.dataFile).absolutePath());

    if (!QFileInfo::exists(paths.dataFile)) {
        report.firstRun = true;
        state = AlbumState::FirstRun(paths);
        const ScriptResult w = SaveScript(paths.dataFile, state);
        if (!w.ok)
            report.message = QStringLiteral("  相册数据无法保存到 %1,本次设置将无法保留").arg(paths.dataFile);
    } else {
        const ScriptResult r = ReadScript(paths.dataFile, state, photos);
        if (!r.ok) {
            // A damaged data file is kept aside rather than overwritten at exit,
            // so whatever it still holds can be recovered by hand.
            const QString kept = paths.dataFile + ".bak";
            QFile::remove(kept);
            QFile::copy(paths.dataFile, kept);
            state = AlbumState::FirstRun(paths);
            photos.Clear();
            report.message = QStringLiteral("  相册数据文件已损坏,已恢复默认设置(原文件保存为 %1)")
                                 .arg(QFileInfo(kept).fileName());
        } else {
            if (!state.PhotoFolder.isEmpty())
                state.PhotoCount = photos.Count();
            if (r.folderMissing)
                report.message = r.message;
        }
        state.CurPhoto = 0;
    }
    state.CoverShowing = -1;
    main.WipeStep = 4;
    return report;
}

bool AlbumCore::Shutdown()
{
    if (shutDown_)
        return true;
    shutDown_ = true;
    dibs.ReleaseAll();
    paths.RemoveWorkFiles();
    return SaveAlbumData();
}

bool AlbumCore::SaveAlbumData()
{
    QDir().mkpath(QFileInfo(paths.dataFile).absolutePath());
    return SaveScript(paths.dataFile, state).ok;
}

}  // namespace tamsel
