#include "imaging/Prefetch.h"

#include <QDateTime>
#include <QFileInfo>

#include <condition_variable>
#include <mutex>
#include <new>

namespace tamsel {

// One decode: what file it is (by name, size and time, so a photo replaced
// on the disk is not shown from an older decode) and, once done, its pixels.
struct PhotoPrefetch::Slot {
    QString path;
    QSize atMost;
    qint64 size = -1;
    QDateTime modified;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    Decoded decoded;
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

void PhotoPrefetch::Start(const QString& path, QSize atMost)
{
    Reap(false);
    const bool same = slot_ && slot_->path == path && slot_->atMost == atMost;
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
    slot->size = fi.size();
    slot->modified = fi.lastModified();
    slot_ = slot;
    workers_.emplace_back(slot, std::thread([slot] {
        // Nothing may leave the thread: when even the refusal cannot be
        // made, the composition reads the file itself and says why.
        Decoded decoded;
        try {
            decoded = DecodePicture(slot->path, slot->atMost);
        } catch (const std::bad_alloc&) {
            decoded = Decoded::NotMine();
        }
        std::lock_guard<std::mutex> lock(slot->m);
        slot->decoded = std::move(decoded);
        slot->done = true;
        slot->cv.notify_all();
    }));
}

Decoded PhotoPrefetch::Take(const QString& path, QSize atMost)
{
    if (!slot_ || slot_->path != path || slot_->atMost != atMost)
        return Decoded::NotMine();
    const std::shared_ptr<Slot> slot = std::move(slot_);
    std::unique_lock<std::mutex> lock(slot->m);
    slot->cv.wait(lock, [&] { return slot->done; });
    // A photo replaced on the disk is read again, not shown from an older decode.
    if (!SameFile(QFileInfo(path), slot->size, slot->modified))
        return Decoded::NotMine();
    return std::move(slot->decoded);
}

}  // namespace tamsel
