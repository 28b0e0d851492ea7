#include "platform/SafeOpen.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel {

OpenResult OpenRegularFile(const QString& path, QFile& file)
{
    if (path.isEmpty())
        return OpenResult::Missing;
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: opening a pipe with no writer returns at once instead of
    // waiting for one; O_NOCTTY: a terminal never becomes ours.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? OpenResult::Missing
               : errno == ENXIO                      ? OpenResult::NotAFile
                                                     : OpenResult::Unreadable;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenResult::NotAFile;
    }
    // A regular file never blocks, but reads should not see EAGAIN semantics.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OpenResult::Unreadable;
    }
    return OpenResult::Opened;
}

bool IsRegularFile(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

}  // namespace tamsel
