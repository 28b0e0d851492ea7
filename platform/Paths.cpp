#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <QDateTime>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel {

QString ExecutableDir()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return QString::fromStdString(exe.parent_path().string());
}

namespace {

bool DirWritable(const QString& dir)
{
    return ::access(QFile::encodeName(dir).constData(), W_OK) == 0;
}

// Whether path is a real folder (not a link to one) of this user. The
// working files hold the user's photos: another user's folder of the same
// name could read or swap them.
bool OwnDir(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid();
}

QString WorkDirPrefix() { return QStringLiteral("tamsel-%1-").arg(::getuid()); }

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
    p.workDir = QDir::tempPath() + '/' + WorkDirPrefix() + QString::number(::getpid());
    // A folder of that name that is not this user's own is left to whoever
    // made it.
    if (const QFileInfo there(p.workDir); (there.exists() || there.isSymLink()) && !OwnDir(p.workDir))
        p.workDir += '-' + QString::number(QRandomGenerator::system()->generate64(), 36);
    p.wallpaper = XdgDir("XDG_DATA_HOME", ".local/share") + "/tamsel/mytable.bmp";
    return p;
}

int AppPaths::RemoveStaleWorkDirs() const
{
    // A run of an earlier version that crashed or was killed left its
    // folder, perhaps with a retouched photo of tens of megabytes in it. Its process is gone; a day
    // without change rules out a run in another process namespace sharing
    // this temporary folder.
    const QDir temp(QFileInfo(workDir).path());
    const QString prefix = WorkDirPrefix();
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    int removed = 0;
    for (const QFileInfo& fi : temp.entryInfoList({prefix + '*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        bool isPid = false;
        const qint64 pid = fi.fileName().mid(prefix.size()).section('-', 0, 0).toLongLong(&isPid);
        if (!isPid || pid <= 0 || fi.absoluteFilePath() == QFileInfo(workDir).absoluteFilePath() ||
            !OwnDir(fi.absoluteFilePath()) || fi.lastModified() > dayAgo)
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        removed += QDir(fi.absoluteFilePath()).removeRecursively();
    }
    return removed;
}

}  // namespace tamsel
