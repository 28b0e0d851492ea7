#include "imaging/Prefetch.h"

#include <QDateTime>
#include <QFileInfo>

#include <condition_variable>
#include <mutex>

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
    bool ok = false;
    CLSDIB pic;
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

void PhotoPrefetch::Start(const QString& path, QSize atMost)
{
    Reap(false);
    const QFileInfo fi(path);
    if (!fi.isFile())
        return;
    if (slot_ && slot_->path == path && slot_->atMost == atMost &&
        SameFile(fi, slot_->size, slot_->modified))
        return;
    auto slot = std::make_shared<Slot>();
    slot->path = path;
    slot->atMost = atMost;
    slot->size = fi.size();
    slot->modified = fi.lastModified();
    slot_ = slot;
    workers_.emplace_back(slot, std::thread([slot] {
        CLSDIB pic;
        bool ok = false;
        try {
            pic.CloneFile(slot->path.toStdString(), slot->atMost.width(), slot->atMost.height());
            ok = true;
        } catch (const std::exception&) {
            // The composition reads the file again and reports what went wrong.
        }
        std::lock_guard<std::mutex> lock(slot->m);
        slot->pic = std::move(pic);
        slot->ok = ok;
        slot->done = true;
        slot->cv.notify_all();
    }));
}

bool PhotoPrefetch::Take(const QString& path, QSize atMost, CLSDIB& out)
{
    if (!slot_ || slot_->path != path || slot_->atMost != atMost)
        return false;
    const std::shared_ptr<Slot> slot = std::move(slot_);
    std::unique_lock<std::mutex> lock(slot->m);
    slot->cv.wait(lock, [&] { return slot->done; });
    if (!slot->ok || !SameFile(QFileInfo(path), slot->size, slot->modified))
        return false;
    out = std::move(slot->pic);
    return true;
}

}  // namespace tamsel
