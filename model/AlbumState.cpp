#include "model/AlbumState.h"
#include "model/AlbumView.h"

#include "platform/Paths.h"
#include "platform/Rounding.h"

namespace tamsel {

AlbumState AlbumState::FirstRun(const AppPaths& paths)
{
    AlbumState s;
    s.MusicList[0] = paths.InProgramDir(QStringLiteral("开始曲.wma"));
    s.CoverFile = paths.InProgramDir(QStringLiteral("face.jpg"));
    return s;
}

int AlbumState::MusicCount() const
{
    int m = 0;
    while (m < kMaxTunes && !MusicList[size_t(m)].isEmpty())
        ++m;
    return m;
}

int ToDevice(const MainState& m, double layoutLength)
{
    return RoundHalfEven(layoutLength * m.PixelRatio);
}

int DeviceShowWidth(const AlbumState& s, const MainState& m) { return ToDevice(m, s.ShowWidth); }

int DeviceShowHeight(const AlbumState& s, const MainState& m) { return ToDevice(m, s.ShowHeight); }

ColourBalance AlbumView::AskBalance() { return {}; }

}  // namespace tamsel
