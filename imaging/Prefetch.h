#pragma once
#include "imaging/Decode.h"

#include <QSize>
#include <QString>

#include <memory>
#include <thread>
#include <vector>

namespace tamsel {

// Decodes the photo the album will show next on a thread of its own, so
// that the window's thread never waits for a decoder: "下一张" or the show's
// next photo finds its pixels ready and is only composed. One photo is kept
// ahead, as a decoded picture in memory; a request for another one replaces
// it (a decode already running finishes unseen).
class PhotoPrefetch {
public:
    PhotoPrefetch() = default;
    ~PhotoPrefetch();
    PhotoPrefetch(const PhotoPrefetch&) = delete;
    PhotoPrefetch& operator=(const PhotoPrefetch&) = delete;

    // Starts decoding the photo at path (no larger than needed to cover
    // atMost, when given) as DecodePicture reads it, unless it is already
    // the one ahead.
    void Start(const QString& path, QSize atMost = {});
    // Whether Take would return without waiting for the decoder: the photo
    // at path is decoded, or is not the one being decoded.
    bool Ready(const QString& path, QSize atMost) const;
    // What decoding the photo at path gave, when it is the one ahead, decoded
    // for the same size, and the file has not changed since: its picture or
    // its refusal, handed over once; waits for a decode still running. "Not
    // mine" otherwise: the caller then reads the file itself.
    Decoded Take(const QString& path, QSize atMost);
    // The path being decoded or decoded ahead, "" for none.
    QString Ahead() const;

private:
    struct Slot;
    void Reap(bool all);

    std::shared_ptr<Slot> slot_;
    std::vector<std::pair<std::shared_ptr<Slot>, std::thread>> workers_;
};

}  // namespace tamsel
