#include "platform/SafeWrite.h"

#include "platform/SafeOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel {
namespace {

// Creates the temporary file under its name already locked, so that a sweep
// of leftovers (which removes only files whose lock it gets) never takes a
// file still being written: the file is made nameless, locked, and only then
// linked in. Where the file system cannot make a nameless file it is created
// by name and locked at once.
int CreateLocked(int dir, const char* name)
{
    const int fd = ::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::flock(fd, LOCK_EX);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), dir, name, AT_SYMLINK_FOLLOW) == 0)
            return fd;
        const int err = errno;
        ::close(fd);
        if (err != ENOENT && err != EXDEV && err != EPERM) {
            errno = err;   // the name is taken, the folder is full, ...
            return -1;
        }
    }
    const int named = ::openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (named >= 0)
        ::flock(named, LOCK_EX);
    return named;
}

// Past a file-size limit the system stops the process with SIGXFSZ unless the
// signal is ignored; then the write fails with EFBIG and is reported like a
// full disk.
void IgnoreFileSizeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

// Renames within the folder dir, refusing to replace when asked to.
int RenameIn(int dir, const char* from, const char* to, bool replace)
{
    if (replace)
        return ::renameat(dir, from, dir, to) == 0 ? 0 : errno;
    if (::renameat2(dir, from, dir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the no-replace rename: look first. Only another
    // program working in the same folder at the same instant could slip in.
    struct stat st {};
    if (::fstatat(dir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(dir, from, dir, to) == 0 ? 0 : errno;
}

constexpr char kTempPrefix[] = ".tamsel-";
constexpr char kTempSuffix[] = ".part";

}  // namespace

SafeWrite::SafeWrite(const QString& target, const QString& tempName)
{
    IgnoreFileSizeSignal();
    QFileInfo info(target);
    // A link is written through: the file it names gets the new bytes and
    // the link stays a link.
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        info = QFileInfo(info.canonicalFilePath());
    target_ = info.absoluteFilePath();
    const QString folder = info.absolutePath();
    name_ = QFile::encodeName(info.fileName());
    const QString temp = tempName.isEmpty()
        ? QString::fromLatin1(kTempPrefix) + QString::number(QRandomGenerator::global()->generate64(), 36) +
              QString::fromLatin1(kTempSuffix)
        : tempName;
    tempName_ = QFile::encodeName(temp);
    tempPath_ = QDir(folder).filePath(temp);
    if (target.isEmpty() || name_.isEmpty()) {
        error_ = ENOENT;
        return;
    }
    dir_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_ < 0) {
        error_ = errno;
        return;
    }
    fd_ = CreateLocked(dir_, tempName_.constData());
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    // A replaced file keeps who may read it; a new one gets the usual mode.
    struct stat st {};
    if (::fstatat(dir_, name_.constData(), &st, 0) == 0 && S_ISREG(st.st_mode))
        ::fchmod(fd_, st.st_mode & 07777);
}

SafeWrite::~SafeWrite()
{
    if (!done_)
        Discard();
    if (dir_ >= 0)
        ::close(dir_);
}

void SafeWrite::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlinkat(dir_, tempName_.constData(), 0);
    }
}

bool SafeWrite::Write(const char* data, qint64 size)
{
    if (error_ != 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = errno;
            return false;
        }
        // A short write says no more than that part went out: try the rest,
        // which reports the reason.
        data += n;
        size -= n;
    }
    return true;
}

Outcome SafeWrite::Fail()
{
    Discard();
    return Outcome::Failed(WriteFailure(error_, target_));
}

Outcome SafeWrite::Finish()
{
    if (error_ != 0)
        return Fail();
    if (!synced_ && ::fsync(fd_) != 0) {
        error_ = errno;
        return Fail();
    }
    synced_ = true;
    return Outcome::Done();
}

Outcome SafeWrite::Commit(bool replace)
{
    if (done_)
        return Outcome::Done();
    if (const Outcome synced = Finish(); !synced)
        return synced;
    // Renamed while still open and locked, so no cleaner can take it first.
    if (const int err = RenameIn(dir_, tempName_.constData(), name_.constData(), replace); err != 0) {
        error_ = err;
        return Fail();
    }
    done_ = true;
    const int closed = ::close(fd_);
    const int closeErr = errno;
    fd_ = -1;
    if (closed != 0 && closeErr != EINTR)
        return Outcome::Failed(WriteFailure(closeErr, target_));
    // The new name itself is on the disk only when the folder is.
    if (::fsync(dir_) != 0)
        return Outcome::Failed(WriteFailure(errno, target_));
    return Outcome::Done();
}

Outcome WriteFileWhole(const QString& path, const QByteArray& bytes)
{
    SafeWrite out(path);
    out.Write(bytes);
    return out.Commit();
}

Outcome CopyFileWhole(const QString& from, const QString& to)
{
    QFile in;
    if (OpenRegularFile(from, in) != OpenResult::Opened)
        return Outcome::Failed(QStringLiteral("无法读取 %1").arg(from));
    SafeWrite out(to);
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty())
        if (!out.Write(chunk))
            break;
    if (in.error() != QFileDevice::NoError)
        return Outcome::Failed(QStringLiteral("无法读取 %1").arg(from));
    return out.Commit();
}

int RemoveLeftoverTempFiles(const QString& folder)
{
    if (folder.isEmpty())
        return 0;
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return 0;
    int removed = 0;
    const QStringList names = QDir(folder).entryList(
        {QString::fromLatin1(kTempPrefix) + '*' + QString::fromLatin1(kTempSuffix)},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : names) {
        const QByteArray name = QFile::encodeName(n);
        const int fd = ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A writer holds its lock until the file has its name: a file whose
        // lock we get was left by a writer that is gone. It is removed only
        // if the name still is that very file.
        struct stat held {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::fstatat(dir, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino && ::unlinkat(dir, name.constData(), 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::close(dir);
    return removed;
}

Outcome MoveNoReplace(const QString& from, const QString& to)
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    const int err = RenameIn(AT_FDCWD, f.constData(), t.constData(), false);
    return err == 0 ? Outcome::Done() : Outcome::Failed(ErrorText(err));
}

QString WriteFailure(int err, const QString& path)
{
    // The info label has one short line: the file's own name, and the folder
    // only where the folder is the trouble.
    const QFileInfo file(path);
    const QString name = file.fileName();
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足,无法写入 %1").arg(name);
    case EFBIG:
        return QStringLiteral("文件超过系统允许的大小,无法写入 %1").arg(name);
    case EROFS:
        return QStringLiteral("磁盘只读,无法写入 %1").arg(name);
    case EACCES:
    case EPERM:
        return QStringLiteral("文件夹 %1 只读,无法写入 %2").arg(file.absolutePath(), name);
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹 %1 不存在,无法写入 %2").arg(file.absolutePath(), name);
    default:
        return QStringLiteral("无法写入 %1: %2").arg(name, ErrorText(err));
    }
}

QString ErrorText(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT: return QStringLiteral("磁盘空间不足");
    case EFBIG: return QStringLiteral("文件超过系统允许的大小");
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
