#pragma once
#include "model/Surface.h"

#include <QSize>
#include <QString>

#include <memory>
#include <thread>
#include <vector>

namespace tamsel {

// Decodes the photo the album will most likely show next on a thread of its
// own, so that "下一张" or the show's next photo finds its pixels ready and
// the window's thread only composes. One photo is kept ahead; a request for
// another one replaces it (a decode already running finishes unseen).
class PhotoPrefetch {
public:
    PhotoPrefetch() = default;
    ~PhotoPrefetch();
    PhotoPrefetch(const PhotoPrefetch&) = delete;
    PhotoPrefetch& operator=(const PhotoPrefetch&) = delete;

    // Starts decoding the photo at path (no larger than needed to cover
    // atMost, when given), unless it is already the one ahead.
    void Start(const QString& path, QSize atMost = {});
    // The decoded photo at path, when it is the one ahead, decoded for the
    // same size, and the file has not changed since; waits for a decode
    // still running. False otherwise (the caller then reads the file itself,
    // and meets any error there).
    bool Take(const QString& path, QSize atMost, CLSDIB& out);
    // The path being decoded or decoded ahead, "" for none.
    QString Ahead() const;

private:
    struct Slot;
    void Reap(bool all);

    std::shared_ptr<Slot> slot_;
    std::vector<std::pair<std::shared_ptr<Slot>, std::thread>> workers_;
};

}  // namespace tamsel
