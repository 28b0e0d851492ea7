#include "shell/ComposeStandIn.h"

#include "app/AlbumCore.h"
#include "imaging/Blit.h"
#include "platform/Rounding.h"

#include <QFileInfo>

namespace tamsel::standin {

namespace {

void Ensure(CLSDIB& s, int w, int h)
{
    if (s.Width() != w || s.Height() != h || !s.HasPixels())
        s.Create(w, h);
}

}  // namespace

QString DIBClonePicture(AlbumCore& core, const QString& path)
{
    MainState& m = core.main;
    const int sw = core.state.ShowWidth;
    const int sh = core.state.ShowHeight;
    m.CurFileName = QFileInfo(path).fileName();
    m.CurFileInfo.clear();
    m.CurFile = path;
    QString error;
    try {
        core.dibs.DibPhoto.CloneFile(path.toStdString());
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    m.PanMode = 0;
    m.PanDone = false;
    m.ViewX = 0;
    m.ViewY = 0;
    m.ViewW = sw;
    m.ViewH = sh;
    if (sw <= 0 || sh <= 0)
        return error;
    try {
        Ensure(core.dibs.DibCanvas, sw, sh);
        Ensure(core.dibs.DibNew, sw, sh);
        core.dibs.DibCanvas.Cls();
        const CLSDIB& ph = core.dibs.DibPhoto;
        if (ph.HasPixels()) {
            const double pa = double(ph.Width()) / ph.Height();
            const double ca = double(sw) / sh;
            double pw = sw, phh = sh, px = 0, py = 0;
            if (pa > ca) {
                phh = sw / pa;
                py = (sh - phh) / 2;
            } else {
                pw = pa * sh;
                px = (sw - pw) / 2;
            }
            StretchBlt(core.dibs.DibCanvas, RoundHalfEven(px), RoundHalfEven(py), RoundHalfEven(pw),
                       RoundHalfEven(phh), ph, 0, 0, ph.Width(), ph.Height());
        }
        core.state.CanvasWidth = sw;
        core.state.CanvasHeight = sh;
        CopyWhole(core.dibs.DibNew, core.dibs.DibCanvas);
    } catch (const std::exception& e) {
        if (error.isEmpty())
            error = QString::fromUtf8(e.what());
    }
    return error;
}

QString SetFace(AlbumCore& core, int width, int height, bool cover)
{
    if (width <= 0 || height <= 0)
        return QString();
    try {
        core.dibs.DibScreen.Create(width, height);
        core.dibs.DibMask.Create(width, height);
        core.dibs.DibNew.Create(width, height);
        core.dibs.DibCanvas.Create(width + 240, height + 240);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    QString file;
    if (cover) {
        file = core.state.CoverFile;
        core.main.ViewMode = 1;
    } else {
        file = core.PhotoPath(core.state.CurPhoto);
        core.main.ViewMode = 2;
    }
    const QString error = DIBClonePicture(core, file);
    StretchBlt(core.dibs.DibScreen, 0, 0, width, height, core.dibs.DibCanvas, 0, 0,
               RoundHalfEven(core.main.ViewW), RoundHalfEven(core.main.ViewH));
    return error;
}

}  // namespace tamsel::standin
