#include "imaging/Composer.h"
#include "imaging/Prefetch.h"

#include "platform/FileInfo.h"
#include "model/AlbumModel.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "imaging/Blit.h"
#include "imaging/Caption.h"
#include "imaging/Decode.h"
#include "imaging/PelOps.h"
#include "platform/Paths.h"
#include "platform/Rounding.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>
#include <type_traits>

namespace tamsel {
namespace {

constexpr const char* kErrNotFound = "文件未找到";

// Loads a picture file the way the album loads its pictures. A missing
// file says so, rather than the general "装入图片出错".
Outcome LoadPicture(Surface& dst, const QString& path, QSize atMost)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return Outcome::Failed(QString::fromUtf8(kErrNotFound));
    Decoded decoded = DecodePicture(path, atMost);
    if (!decoded.IsPicture())
        return Outcome::Failed(decoded.refusal);
    dst = std::move(decoded.picture);
    return Outcome::Done();
}

// What the user reads when a picture could not be loaded: the reason and the
// name of the file he knows.
QString LoadFailure(const QString& why, const QString& name)
{
    return QStringLiteral("%1: %2").arg(why, name);
}

// Stretch with each real coordinate rounded to its pixel, halves to even.
void StretchRounded(Surface& dst, double dx, double dy, double dw, double dh, const Surface& src,
                    double sx, double sy, double sw, double sh)
{
    StretchBlt(dst, RoundHalfEven(dx), RoundHalfEven(dy), RoundHalfEven(dw), RoundHalfEven(dh),
               src, RoundHalfEven(sx), RoundHalfEven(sy), RoundHalfEven(sw), RoundHalfEven(sh));
}

}  // namespace

Composer::Composer(AlbumModel& model, Reporter report)
    : album_(model.state),
      position_(model.position),
      shown_(model.shown),
      main_(model.main),
      dibs_(model.dibs),
      photos_(model.photos),
      paths_(model.paths),
      report_(std::move(report))
{
}

void Composer::Report(const QString& text)
{
    if (report_)
        report_(Outcome::Failed(text));
}

bool Composer::DIBClonePicture(const QString& sPathFile)
{
    shown_.loadFailed_ = !ClonePicture(sPathFile);
    return !shown_.loadFailed_;
}

bool Composer::ClonePicture(const QString& sPathFile)
{
    // A retouched or scanned picture is kept in its working file only while
    // it is the one shown: save as, print and further retouches read it.
    if (sPathFile != paths_.tempPic)
        QFile::remove(paths_.tempPic);
    // A retouch result is still the same photo: the info line keeps its name.
    if (sPathFile != paths_.tempPic || !main_.Retouched || shown_.curFileName_.isEmpty()) {
        shown_.curFileName_ = QFileInfo(sPathFile).fileName();
        shown_.curFileInfo_ = FileInfoText(sPathFile);
    }

    // Every photo is decoded into memory, perhaps ahead on the prefetch's
    // thread; the file shown is the photo itself.
    const bool rotated = TurnsOnLoad();
    const QSize size = DecodeSize(rotated);
    Decoded ahead = prefetch ? prefetch->Take(sPathFile, size) : Decoded::NotMine();
    shown_.curFile_ = sPathFile;
    auto failure = [&](const QString& why) { return LoadFailure(why, shown_.curFileName_); };

    bool whole = LoadPhoto(rotated, size, failure, ahead.IsNotMine() ? nullptr : &ahead);
    if (rotated && !whole)
        return false;

    // From here a failing step is skipped and the next one runs; a turned
    // photo stops at its first failure, with the previous picture still whole
    // on the canvas and the screen.
    auto step = [&](auto&& f) {
        if (!whole && rotated)
            return;
        Outcome done;
        try {
            if constexpr (std::is_void_v<decltype(f())>)
                f();
            else
                done = f();
        } catch (const std::bad_alloc&) {
            done = Outcome::Failed(QStringLiteral("内存不足"));
        }
        if (!done) {
            whole = false;
            if (rotated)
                Report(done.message);
        }
    };
    step([&] { ChoosePanMode(); });
    step([&] { SizeCanvas(); });
    step([&] { FitPhoto(); });
    step([&] {
        dibs_.DibCanvas.Cls();
        if (dibs_.DibPhoto.HasPixels())
            StretchRounded(dibs_.DibCanvas, main_.PlaceX, main_.PlaceY, main_.PlaceW, main_.PlaceH,
                           dibs_.DibPhoto, 0, 0, dibs_.DibPhoto.Width(), dibs_.DibPhoto.Height());
    });
    step([&] {
        // Colour and black-and-white photos each come in by a random
        // transition; the choice is the engine's, the setting stays the user's.
        switch (album_.FrameType) {
        case 0:
            main_.ShowTransMode = 0;
            break;
        case 1: {
            Surface& c = dibs_.DibCanvas;
            PelGreyScale(c, 0, 0, c.Width(), c.Height(), c, 0, 0);
            main_.ShowTransMode = 0;
            break;
        }
        case 2:
        case 3:
            BuildFrameMask(album_.FrameType);
            break;
        default:
            main_.ShowTransMode = album_.TransMode;
            break;
        }
    });
    // The caption goes on after the grey, so it keeps its colour.
    step([&] {
        if (main_.ViewMode() == View::Cover)
            return Outcome::Done();
        return DrawCaption(album_, album_.CaptionOf(position_.CurPhoto()), main_.PanMode, dibs_,
                           main_.PixelRatio);
    });
    step([&] {
        StretchRounded(dibs_.DibNew, 0, 0, DeviceShowWidth(album_, main_),
                       DeviceShowHeight(album_, main_), dibs_.DibCanvas, main_.ViewX, main_.ViewY, main_.ViewW, main_.ViewH);
    });
    return whole;
}

bool Composer::LoadPhoto(bool rotated, QSize atMost, const std::function<QString(const QString&)>& failure,
                         Decoded* ahead)
{
    // The new photo is built beside the old one and only then takes its
    // place: whatever fails, DibPhoto holds a whole photo.
    Outcome loaded;
    if (rotated) {
        Surface& source = dibs_.DibScratch;
        Surface turned;
        loaded = Fetch(source, shown_.curFile_, atMost, ahead);
        if (loaded)
            loaded = turned.Create(source.Height(), source.Width());
        if (loaded) {
            PelRotate(turned, RoundHalfEven(turned.Width() / 2.0),
                      RoundHalfEven(turned.Height() / 2.0), source.Width(), source.Height(),
                      source, 0, 0, double(album_.RotateAngle));
            turned.SetFullSize(source.FullHeight(), source.FullWidth());
            turned.SetInDisplayColours(source.InDisplayColours());
            dibs_.DibPhoto = std::move(turned);
        }
    } else {
        main_.Retouched = 0;
        Surface picture;
        loaded = Fetch(picture, shown_.curFile_, atMost, ahead);
        if (loaded)
            dibs_.DibPhoto = std::move(picture);
    }
    if (!loaded)
        Report(failure(loaded.message));
    return loaded.ok;
}

QSize Composer::DecodeSize(bool turned) const
{
    // Nothing of the photo is ever shown larger than its fit into the canvas
    // part in use: the photo area with its pan allowance one way, or the
    // zoom's start, whichever is taller.
    const int SW = DeviceShowWidth(album_, main_);
    const int SH = DeviceShowHeight(album_, main_);
    const int w = SW + kPanAllowance;
    const int zoomH = SW > 0 ? RoundHalfEven(double(w) * SH / SW) : SH;
    const int h = std::max(SH + kPanAllowance, zoomH);
    return turned ? QSize(h, w) : QSize(w, h);
}

Outcome Composer::Fetch(Surface& dst, const QString& path, QSize atMost, Decoded* ahead)
{
    if (!ahead)
        return LoadPicture(dst, path, atMost);
    if (!ahead->IsPicture())
        return Outcome::Failed(ahead->refusal);
    dst = std::move(ahead->picture);
    return Outcome::Done();
}

void Composer::LoadAhead(const QString& path)
{
    if (prefetch && path != paths_.tempPic)
        prefetch->Start(path, DecodeSize(TurnsOnLoad()));
}

bool Composer::PhotoReady(const QString& path)
{
    if (!prefetch || path == paths_.tempPic)
        return true;
    const QSize size = DecodeSize(TurnsOnLoad());
    prefetch->Start(path, size);
    return prefetch->Ready(path, size);
}

bool Composer::TurnsOnLoad() const
{
    // A retouch result was saved already turned.
    return !main_.Retouched && album_.RotateAngle != 0;
}

bool Composer::EnsureFullPhoto()
{
    if (!dibs_.DibPhoto.HasPixels() || !dibs_.DibPhoto.Reduced())
        return true;
    return LoadPhoto(TurnsOnLoad(), QSize(), [this](const QString& why) {
        return LoadFailure(why, shown_.curFileName_);
    });
}

void Composer::ChoosePanMode()
{
    const int SW = DeviceShowWidth(album_, main_);
    const double SH = DeviceShowHeight(album_, main_);
    if (main_.ViewMode() == View::Cover) {
        main_.PanMode = PanNone;
    } else {
        const double W = dibs_.DibPhoto.FullWidth();
        const double H = dibs_.DibPhoto.FullHeight();
        if (H > 0 && SH > 0 && W / H >= (SW + kPanAllowance) / SH) {
            // Successive wide photos pan in turn to the right and to the left.
            main_.PanMode = main_.PanAltH ? PanLeft : PanRight;
            main_.PanAltH = main_.PanAltH ? 0 : 1;
        } else if (W > 0 && SW > 0 && H / W >= (SH + kPanAllowance) / SW) {
            main_.PanMode = main_.PanAltV ? PanUp : PanDown;
            main_.PanAltV = main_.PanAltV ? 0 : 1;
        } else {
            main_.PanMode = PanZoom;
        }
    }
    main_.PanDone = false;
}

void Composer::SizeCanvas()
{
    const int SW = DeviceShowWidth(album_, main_);
    const int SH = DeviceShowHeight(album_, main_);
    auto view = [&](double x, double y, double w, double h) {
        main_.ViewX = x;
        main_.ViewY = y;
        main_.ViewW = w;
        main_.ViewH = h;
    };
    switch (main_.PanMode) {
    case PanNone:
        main_.CanvasWidth = SW;
        main_.CanvasHeight = SH;
        return;   // the view stays where the caller put it
    case PanRight:
    case PanLeft:
        main_.CanvasWidth = SW + kPanAllowance;
        main_.CanvasHeight = SH;
        // A pan back starts one pixel short of the allowance.
        view(main_.PanMode == PanRight ? 0 : kPanAllowance - 1, 0, SW, SH);
        break;
    case PanDown:
    case PanUp:
        main_.CanvasWidth = SW;
        main_.CanvasHeight = SH + kPanAllowance;
        view(0, main_.PanMode == PanDown ? 0 : kPanAllowance - 1, SW, SH);
        break;
    default:
        main_.CanvasWidth = SW + kPanAllowance;
        main_.CanvasHeight = SW > 0 ? RoundHalfEven(double(SW + kPanAllowance) * SH / SW) : SH;
        view(0, 0, main_.CanvasWidth, main_.CanvasHeight);
        main_.ZoomX = SW > 0 ? double(main_.CanvasWidth) / SW : 1;
        main_.ZoomY = SH > 0 ? double(main_.CanvasHeight) / SH : 1;
        return;
    }
    main_.ZoomX = 1;
    main_.ZoomY = 1;
}

void Composer::FitPhoto()
{
    const double W = dibs_.DibPhoto.FullWidth();
    const double H = dibs_.DibPhoto.FullHeight();
    const double CW = main_.CanvasWidth;
    const double CH = main_.CanvasHeight;
    if (W <= 0 || H <= 0 || CW <= 0 || CH <= 0)
        return;   // no photo to place
    main_.PhotoAspect = W / H;
    main_.CanvasAspect = CW / CH;
    if (main_.PhotoAspect > main_.CanvasAspect) {
        main_.PlaceW = CW;
        main_.PlaceH = CW / main_.PhotoAspect;
        main_.PlaceX = 0;
        main_.PlaceY = (CH - main_.PlaceH) / 2;
    } else {
        main_.PlaceH = CH;
        main_.PlaceW = main_.PhotoAspect * CH;
        main_.PlaceY = 0;
        main_.PlaceX = (CW - main_.PlaceW) / 2;
    }
}

bool Composer::BuildFrameMask(int frameType)
{
    const int n = frameType - 1;
    Surface& mask = dibs_.DibMask;
    // A frame style always brings photos in without a transition: the
    // effects that keep the outgoing picture would keep it in DibMask, and
    // the overlay would then lay that old picture over the new one.
    main_.ShowTransMode = kNoTransition;
    const QString name = QStringLiteral("mask%1.jpg").arg(n);
    if (const Outcome loaded = LoadPicture(dibs_.DibScratch, paths_.InProgramDir(name), {}); !loaded) {
        Report(LoadFailure(loaded.message, name));
        // No frame: an all-black mask lays nothing over the photo.
        mask.Cls();
        return false;
    }
    const Surface& picture = dibs_.DibScratch;
    StretchBlt(mask, 0, 0, mask.Width(), mask.Height(), picture, 0, 0, picture.Width(),
               picture.Height());
    const double W = mask.Width();
    const double H = mask.Height();
    mask.DrawGeometry(int16_t(n), int16_t(RoundHalfEven(W * 0.13)), int16_t(RoundHalfEven(H * 0.132)),
                      int16_t(RoundHalfEven(W * 0.867)), int16_t(RoundHalfEven(H * 0.865)));
    return true;
}

void Composer::FilesRenamed(const QList<QPair<QString, QString>>& renamed)
{
    for (const auto& [from, to] : renamed)
        if (shown_.curFile_ == from) {
            shown_.curFile_ = to;
            shown_.curFileName_ = QFileInfo(to).fileName();
            return;
        }
}

void Composer::Redraw()
{
    StretchRounded(dibs_.DibScreen, 0, 0, DeviceShowWidth(album_, main_),
                   DeviceShowHeight(album_, main_), dibs_.DibCanvas, main_.ViewX, main_.ViewY, main_.ViewW, main_.ViewH);
}

void Composer::SetFace(int width, int height, bool cover)
{
    if (alignStrip)
        alignStrip();
    if (const Outcome made = dibs_.MakeDisplaySurfaces(width, height); !made) {
        Report(made.message);
        return;
    }
    QString file;
    if (cover) {
        file = album_.CoverFile;
        main_.SetView(View::Cover);
        main_.ViewX = 0;
        main_.ViewY = 0;
        main_.ViewW = DeviceShowWidth(album_, main_);
        main_.ViewH = DeviceShowHeight(album_, main_);
    } else {
        file = album_.PhotoFolder + photos_.Name(position_.CurPhoto());
        main_.SetView(View::Still);
    }
    DIBClonePicture(file);
    Redraw();
}

}  // namespace tamsel
