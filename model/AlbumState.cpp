#include "model/AlbumState.h"
#include "model/AlbumView.h"

#include "platform/Paths.h"

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

ColourBalance AlbumView::AskBalance() { return {}; }

}  // namespace tamsel
