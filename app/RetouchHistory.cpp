#include "app/RetouchHistory.h"

#include "imaging/Blit.h"

namespace tamsel {

void RetouchHistory::Record(unsigned from, unsigned to, Before before)
{
    Follow(from);
    steps_.push_back(std::move(before));
    while (int(steps_.size()) > kDepth)
        steps_.pop_front();
    serial_ = to;
}

void RetouchHistory::Follow(unsigned serial)
{
    if (serial != serial_)
        steps_.clear();
    serial_ = serial;
}

std::optional<RetouchHistory::Before> RetouchHistory::TakeBack(unsigned serial)
{
    Follow(serial);
    if (steps_.empty())
        return std::nullopt;
    Before b = std::move(steps_.back());
    steps_.pop_back();
    return b;
}

Surface CopyPicture(const Surface& picture)
{
    Surface copy;
    if (!picture.HasPixels() || !copy.Create(picture.Width(), picture.Height()))
        return copy;
    CopyWhole(copy, picture);
    copy.SetFullSize(picture.FullWidth(), picture.FullHeight());
    copy.SetInDisplayColours(picture.InDisplayColours());
    return copy;
}

}  // namespace tamsel
