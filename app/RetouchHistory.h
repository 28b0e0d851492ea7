#pragma once
#include "model/AlbumState.h"
#include "model/AlbumView.h"
#include "model/Surface.h"

#include <deque>
#include <optional>

namespace tamsel {

// The retouches of the picture on the screen, so that they can be taken
// back one by one: for each, the picture as it was before it (DibPhoto at
// full size, with the shown file of then) and which retouch it was. Only
// the last kDepth are kept, the oldest going first, since every one is a
// whole photo in memory. The history belongs to one picture, known by the
// shown file's serial: once another picture has been composed (another
// photo, the cover, a scan) it is dropped.
class RetouchHistory {
public:
    static constexpr int kDepth = 8;

    struct Before {
        Surface photo;
        ShownFile shown;
        Command retouch = Command::None;
    };

    // A retouch turned picture `from` into picture `to`; before is `from`.
    void Record(unsigned from, unsigned to, Before before);
    // The picture `serial` was composed: a history of another one goes.
    void Follow(unsigned serial);
    bool CanTakeBack(unsigned serial) const { return serial == serial_ && !steps_.empty(); }
    // The picture before the last retouch of picture `serial`, taken out of
    // the history; nothing when it has none. Settle() with the serial of
    // the picture put back keeps the rest for it.
    std::optional<Before> TakeBack(unsigned serial);
    void Settle(unsigned serial) { serial_ = serial; }
    int Depth() const { return int(steps_.size()); }

private:
    std::deque<Before> steps_;
    unsigned serial_ = 0;
};

// A copy of the picture with its sizes and colours, for the history; empty
// when memory ran out.
Surface CopyPicture(const Surface& picture);

}  // namespace tamsel
