#pragma once
#include "model/Surface.h"

#include <QSize>
#include <QString>

#include <memory>
#include <thread>
#include <vector>

namespace tamsel {

// Decodes the photo the album will show next on a thread of its own, so
// that the window's thread never waits for a decoder: "下一张" or the show's
// next photo finds its pixels ready and is only composed. One photo is kept
// ahead; a request for another one replaces it (a decode already running
// finishes unseen).
class PhotoPrefetch {
public:
    PhotoPrefetch() = default;
    ~PhotoPrefetch();
    PhotoPrefetch(const PhotoPrefetch&) = delete;
    PhotoPrefetch& operator=(const PhotoPrefetch&) = delete;

    // Starts decoding the photo at path (no larger than needed to cover
    // atMost, when given), unless it is already the one ahead. With a
    // working file named, the photo is first converted to a BMP beside it
    // (the way photos the album cannot read directly are shown) and the
    // pixels come from that BMP.
    void Start(const QString& path, QSize atMost = {}, const QString& workingFile = {});
    // Whether Take would return without waiting for the decoder: the photo
    // at path is decoded, or is not the one being decoded.
    bool Ready(const QString& path, QSize atMost) const;
    // The decoded photo at path, when it is the one ahead, decoded for the
    // same size and way, and the file has not changed since; waits for a
    // decode still running. A converted photo's BMP then takes the working
    // file's name. False otherwise (the caller then reads the file itself,
    // and meets any error there).
    bool Take(const QString& path, QSize atMost, Surface& out, const QString& workingFile = {});
    // The path being decoded or decoded ahead, "" for none.
    QString Ahead() const;

private:
    struct Slot;
    void Reap(bool all);

    std::shared_ptr<Slot> slot_;
    std::vector<std::pair<std::shared_ptr<Slot>, std::thread>> workers_;
    int made_ = 0;   // numbers the converted files, so no two decodes share one
};

}  // namespace tamsel
