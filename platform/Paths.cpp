#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <unistd.h>

namespace tamsel {
namespace {

QString ExecutableDir()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return QString::fromStdString(exe.parent_path().string());
}

bool DirWritable(const QString& dir)
{
    return ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
}

QString XdgDir(const char* var, const char* fallback)
{
    const QByteArray v = qgetenv(var);
    if (!v.isEmpty())
        return QString::fromLocal8Bit(v);
    return QDir::homePath() + "/" + fallback;
}

}  // namespace

AppPaths AppPaths::Resolve()
{
    QString dir = QString::fromLocal8Bit(qgetenv("TAMSEL_HOME"));
    if (dir.isEmpty()) {
        const QString exeDir = ExecutableDir();
        if (!exeDir.isEmpty() && QFileInfo::exists(exeDir + "/face.jpg"))
            dir = exeDir;
        else
            dir = QStringLiteral(TAMSEL_INSTALLED_DATA_DIR);
    }
    return ForProgramDir(QDir::cleanPath(dir));
}

AppPaths AppPaths::ForProgramDir(const QString& programDir)
{
    AppPaths p;
    p.programDir = programDir;
    // The album data file lives beside the program when the user may write
    // there (a build tree, a portable copy); a system install keeps it with
    // the user's own settings.
    if (DirWritable(programDir))
        p.dataFile = programDir + "/tamsel.tmf";
    else
        p.dataFile = XdgDir("XDG_CONFIG_HOME", ".config") + "/tamsel/tamsel.tmf";
    p.workDir = QDir::tempPath() + QStringLiteral("/tamsel-%1-%2").arg(::getuid()).arg(::getpid());
    p.tempDib = p.workDir + "/TempDib.bmp";
    p.tempPic = p.workDir + "/TempPic.bmp";
    p.wallpaper = XdgDir("XDG_DATA_HOME", ".local/share") + "/tamsel/mytable.bmp";
    return p;
}

bool AppPaths::EnsureWorkDir() const { return QDir().mkpath(workDir); }

void AppPaths::RemoveWorkFiles() const
{
    QFile::remove(tempDib);
    QFile::remove(tempPic);
    QDir().rmdir(workDir);
}

}  // namespace tamsel
