#include "imaging/Prefetch.h"

#include "imaging/ImageFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <condition_variable>
#include <mutex>
#include <new>

namespace tamsel {

// One decode: what file it is (by name, size and time, so a photo replaced
// on the disk is not shown from an older decode) and, once done, its pixels.
struct PhotoPrefetch::Slot {
    ~Slot()
    {
        // A conversion nobody took is of no more use.
        if (!converted.isEmpty())
            QFile::remove(converted);
    }
    QString path;
    QSize atMost;
    QString working;     // the working file a converted photo is meant for
    QString converted;   // the BMP it was converted to, until taken
    qint64 size = -1;
    QDateTime modified;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    bool ok = false;
    Surface pic;
};

namespace {

bool SameFile(const QFileInfo& fi, qint64 size, const QDateTime& modified)
{
    return fi.isFile() && fi.size() == size && fi.lastModified() == modified;
}

}  // namespace

PhotoPrefetch::~PhotoPrefetch() { Reap(true); }

void PhotoPrefetch::Reap(bool all)
{
    for (auto it = workers_.begin(); it != workers_.end();) {
        bool done = all;
        if (!done) {
            std::lock_guard<std::mutex> lock(it->first->m);
            done = it->first->done;
        }
        if (done) {
            it->second.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

QString PhotoPrefetch::Ahead() const { return slot_ ? slot_->path : QString(); }

bool PhotoPrefetch::Ready(const QString& path, QSize atMost) const
{
    if (!slot_ || slot_->path != path || slot_->atMost != atMost)
        return true;
    std::lock_guard<std::mutex> lock(slot_->m);
    return slot_->done;
}

void PhotoPrefetch::Start(const QString& path, QSize atMost, const QString& workingFile)
{
    Reap(false);
    const bool same = slot_ && slot_->path == path && slot_->atMost == atMost && slot_->working == workingFile;
    // The load step asks every few milliseconds while this photo is being
    // decoded: no need to look at the disk each time, Take checks the file.
    if (same) {
        std::lock_guard<std::mutex> lock(slot_->m);
        if (!slot_->done)
            return;
    }
    const QFileInfo fi(path);
    if (!fi.isFile())
        return;
    if (same && SameFile(fi, slot_->size, slot_->modified))
        return;
    auto slot = std::make_shared<Slot>();
    slot->path = path;
    slot->atMost = atMost;
    slot->working = workingFile;
    if (!workingFile.isEmpty())
        slot->converted = QStringLiteral("%1.ahead%2.bmp").arg(workingFile).arg(++made_);
    slot->size = fi.size();
    slot->modified = fi.lastModified();
    slot_ = slot;
    workers_.emplace_back(slot, std::thread([slot] {
        // On failure the composition reads the file again and reports what
        // went wrong.
        Surface pic;
        bool ok = false;
        try {
            const QString& file = slot->working.isEmpty() ? slot->path : slot->converted;
            if (file == slot->path || ConvertToBmp(slot->path, file))
                ok = pic.CloneFile(file.toStdString(), slot->atMost.width(), slot->atMost.height()).ok;
        } catch (const std::bad_alloc&) {
            // Nothing may leave the thread; the composition says "内存不足".
        }
        std::lock_guard<std::mutex> lock(slot->m);
        slot->pic = std::move(pic);
        slot->ok = ok;
        slot->done = true;
        slot->cv.notify_all();
    }));
}

bool PhotoPrefetch::Take(const QString& path, QSize atMost, Surface& out, const QString& workingFile)
{
    if (!slot_ || slot_->path != path || slot_->atMost != atMost || slot_->working != workingFile)
        return false;
    const std::shared_ptr<Slot> slot = std::move(slot_);
    std::unique_lock<std::mutex> lock(slot->m);
    slot->cv.wait(lock, [&] { return slot->done; });
    if (!slot->ok || !SameFile(QFileInfo(path), slot->size, slot->modified))
        return false;
    if (!workingFile.isEmpty()) {
        QFile::remove(workingFile);
        if (!QFile::rename(slot->converted, workingFile))
            return false;
        slot->converted.clear();
    }
    out = std::move(slot->pic);
    return true;
}

}  // namespace tamsel
