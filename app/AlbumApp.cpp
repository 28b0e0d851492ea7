#include "app/AlbumApp.h"

namespace tamsel {

StartupReport AlbumApp::Startup()
{
    model.paths.EnsureWorkDir();
    StartupReport r = LoadAlbumData(model);
    model.main.WipeStep = 4;
    return r;
}

Outcome AlbumApp::Shutdown()
{
    if (shutDown_)
        return Outcome::Done();
    shutDown_ = true;
    model.dibs.ReleaseAll();
    model.paths.RemoveWorkFiles();
    return SaveAlbumData();
}

}  // namespace tamsel
