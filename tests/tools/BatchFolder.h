#pragma once
// A real folder of files for the batch tools, and ways to make its disk fail.
#include "TestUtil.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tamsel::testing {

// Every entry of a folder (hidden ones too) with its bytes.
inline QMap<QString, QByteArray> Snapshot(const QString& folder)
{
    QMap<QString, QByteArray> m;
    const QDir d(folder);
    for (const QString& n : d.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        m.insert(n, ReadAll(d.filePath(n)));
    return m;
}

// Each file holds its own first name, so a rename can be traced byte for byte.
inline void MakeNamedFiles(const QString& folder, const QStringList& names)
{
    for (const QString& n : names)
        Touch(QDir(folder), n, n.toUtf8());
}

// A small picture with some detail, written by Qt in the format of the
// path's extension (bmp, jpg, png).
inline void WritePicture(const QString& path, int w = 40, int h = 30, int seed = 1)
{
    QImage img(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + seed * 31) & 255, (y * 5 + seed) & 255, ((x ^ y) * 3) & 255));
    img.save(path);
}

// Makes a folder whose disk takes (almost) nothing more: a 64 KiB tmpfs
// mounted on it when we may mount, otherwise (or when asked to) a file-size
// limit of 4 KiB for this process, which makes every larger write fail.
class TinyDisk {
public:
    explicit TinyDisk(const QString& folder, bool sizeLimitOnly = false) : folder_(folder)
    {
        mounted_ = !sizeLimitOnly && ::geteuid() == 0 &&
                   ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted_) {
            ::getrlimit(RLIMIT_FSIZE, &saved_);
            rlimit small = saved_;
            small.rlim_cur = 4096;
            // Past the limit the program's own writes must fail, not end it:
            // the signal is theirs to handle.
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
    }
    ~TinyDisk()
    {
        if (mounted_) {
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
        } else {
            ::setrlimit(RLIMIT_FSIZE, &saved_);
        }
    }

    bool Mounted() const { return mounted_; }
    // Takes what is left of the tmpfs, so that not one more page fits.
    void Fill() const
    {
        QFile filler(QDir(folder_).filePath(".filler"));
        const QByteArray page(4096, 'f');
        if (mounted_ && filler.open(QIODevice::WriteOnly))
            while (filler.write(page) == page.size() && filler.flush()) {
            }
    }

private:
    QString folder_;
    bool mounted_ = false;
    rlimit saved_{};
};

// A folder holding the named files (see MakeNamedFiles) that then takes no
// change: a tmpfs remounted read-only when we may mount, else no write
// permission on the folder (which binds everyone but root).
class ReadOnlyFolder {
public:
    ReadOnlyFolder(const QString& folder, const QStringList& names) : folder_(folder)
    {
        const QByteArray path = QFile::encodeName(folder);
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0;
        MakeNamedFiles(folder, names);
        if (mounted_ && ::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            ::umount2(path.constData(), MNT_DETACH);
            mounted_ = false;
            MakeNamedFiles(folder, names);
        }
        if (!mounted_)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
        else
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Root without the right to mount writes anywhere: the test cannot be made.
    bool Effective() const { return mounted_ || ::geteuid() != 0; }

private:
    QString folder_;
    bool mounted_ = false;
};

}  // namespace tamsel::testing
