// Composes one photo, for measuring the composition's peak memory with
// /usr/bin/time -v: compose_once [photo.jpg] [width height [times]]. A second
// time shows the show's case, where the previous photo is held meanwhile.
#include "show/TransitionEngine.h"
#include "ComposeBenchPhoto.h"

#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "album/Navigator.h"
#include "imaging/Composer.h"
#include "model/AlbumModel.h"
#include "model/AlbumView.h"
#include "platform/Paths.h"

#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

using namespace tamsel;

namespace {
struct PrintSink : AlbumView {
    void ShowInfo(const QString& text, bool) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        failed = true;
    }
    bool failed = false;
};
}  // namespace

int main(int argc, char** argv)
{
    const QString photo = argc > 1 ? QString::fromLocal8Bit(argv[1]) : bench::BenchPhoto();
    const int w = argc > 3 ? std::atoi(argv[2]) : 480;
    const int h = argc > 3 ? std::atoi(argv[3]) : 336;
    AlbumModel model(AppPaths::ForProgramDir(QFileInfo(photo).absolutePath()), AlbumExtensions(), PhoneExtensions());
    AlbumState& album = model.state;
    MainState& main = model.main;
    SurfacePool& dibs = model.dibs;
    PhotoList& photos = model.photos;
    PrintSink sink;
    Composer composer(model, ReportTo(sink));
    TransitionEngine engine(model, sink, [&](const QString& p) { return composer.DIBClonePicture(p); });
    Navigator nav(album, model.position, main, photos, sink);
    album.ShowWidth = w;
    album.ShowHeight = h;
    photos.Point(QFileInfo(photo).absolutePath() + "/");
    nav.ShowPhoto(photos.IndexOf(QFileInfo(photo).fileName()));
    ShowFace(engine, composer, w, h, false);
    main.SetView(View::BringingIn);
    for (int i = 1; i < (argc > 4 ? std::atoi(argv[4]) : 1); ++i)
        engine.ShowAtOnce(composer.DIBClonePicture(photo));
    std::printf("%s: %d x %d composed into %d x %d (decoded %d bytes)\n", qPrintable(photo),
                dibs.DibPhoto.Width(), dibs.DibPhoto.Height(), w, h, dibs.DibPhoto.RGBSize());
    return sink.failed ? 1 : 0;
}
