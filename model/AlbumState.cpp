#include "model/AlbumState.h"

#include "platform/Paths.h"

namespace tamsel {

AlbumState AlbumState::FirstRun(const AppPaths& paths)
{
    AlbumState s;
    s.MusicList[0] = paths.InProgramDir(QStringLiteral("开始曲.wma"));
    s.CoverFile = paths.InProgramDir(QStringLiteral("face.jpg"));
    return s;
}

bool AdvanceShow(AlbumState& s)
{
    if (s.CurPhoto < s.PhotoCount - 1)
        s.CurPhoto += 1;
    else if (s.LoopShow)
        s.CurPhoto = 0;
    else
        return false;
    return true;
}

int AlbumState::MusicCount() const
{
    int m = 0;
    while (m < kMaxTunes && !MusicList[size_t(m)].isEmpty())
        ++m;
    return m;
}

}  // namespace tamsel
