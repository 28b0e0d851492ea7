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

std::optional<Composition> Composer::ComposePicture(Surface picture, bool turn, const QString& name,
                                                    const QString& info)
{
    shown_.curFile_.clear();
    shown_.inMemory_ = true;
    ++shown_.serial_;
    if (!name.isEmpty()) {
        shown_.curFileName_ = name;
        shown_.curFileInfo_ = info;
    }
    // No file holds more of it: the picture is whole as it is.
    picture.SetFullSize(0, 0);
    const bool rotated = turn && album_.RotateAngle != 0;
    shown_.shownTurn_ = rotated ? album_.RotateAngle : 0;
    Outcome placed;
    if (rotated) {
        dibs_.DibScratch = std::move(picture);
        placed = TurnScratch();
        if (!placed)
            Report(LoadFailure(placed.message, shown_.curFileName_));
    } else {
        dibs_.DibPhoto = std::move(picture);
    }
    return Compose(rotated, placed.ok);
}

std::optional<Composition> Composer::ComposeRestored(Surface picture, const ShownFile& was)
{
    const unsigned serial = shown_.serial_ + 1;
    shown_ = was;
    shown_.serial_ = serial;
    // The picture is as that composition left DibPhoto: turned already.
    dibs_.DibPhoto = std::move(picture);
    return Compose(false, true);
}

std::optional<Composition> Composer::DIBClonePicture(const QString& sPathFile)
{
    shown_.inMemory_ = false;
    ++shown_.serial_;
    shown_.curFileName_ = QFileInfo(sPathFile).fileName();
    shown_.curFileInfo_ = FileInfoText(sPathFile);

    // Every photo is decoded into memory, perhaps ahead on the prefetch's
    // thread; the file shown is the photo itself.
    const bool rotated = TurnsOnLoad();
    const QSize size = DecodeSize(rotated);
    Decoded ahead = prefetch ? prefetch->Take(sPathFile, size) : Decoded::NotMine();
    shown_.curFile_ = sPathFile;
    auto failure = [&](const QString& why) { return LoadFailure(why, shown_.curFileName_); };

    return Compose(rotated, LoadPhoto(rotated, size, failure, ahead.IsNotMine() ? nullptr : &ahead));
}

std::optional<Composition> Composer::Compose(bool rotated, bool whole)
{
    shown_.loadFailed_ = !whole;
    // A turned photo that could not be read never reaches the canvas.
    if (rotated && !whole)
        return std::nullopt;
    Composition made = last_;
    made.stoppedShort = false;
    made.caption.clear();

    // From here a failing step is skipped and the next one runs; a turned
    // photo stops at its first failure, with the previous picture still whole
    // on the screen.
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
            if (rotated) {
                Report(done.message);
                made.stoppedShort = true;
            }
        }
    };
    step([&] { ChoosePanMode(made); });
    step([&] { SizeCanvas(made); });
    step([&] { FitPhoto(made); });
    step([&] {
        dibs_.DibCanvas.Cls();
        if (dibs_.DibPhoto.HasPixels())
            StretchRounded(dibs_.DibCanvas, made.PlaceX, made.PlaceY, made.PlaceW, made.PlaceH,
                           dibs_.DibPhoto, 0, 0, dibs_.DibPhoto.Width(), dibs_.DibPhoto.Height());
    });
    step([&] {
        // Colour and black-and-white photos each come in by a random
        // transition; the choice is the engine's, the setting stays the user's.
        switch (album_.FrameType) {
        case 0:
            made.ShowTransMode = 0;
            break;
        case 1: {
            Surface& c = dibs_.DibCanvas;
            PelGreyScale(c, 0, 0, c.Width(), c.Height(), c, 0, 0);
            made.ShowTransMode = 0;
            break;
        }
        case 2:
        case 3:
            // The effects that keep the outgoing picture would keep it in
            // DibMask, and the overlay would then lay that old picture over
            // the new one: a frame style brings photos in without one.
            made.ShowTransMode = kNoTransition;
            BuildFrameMask(album_.FrameType);
            break;
        default:
            made.ShowTransMode = album_.TransMode;
            break;
        }
    });
    // The caption goes on after the grey, so it keeps its colour.
    step([&] {
        if (main_.ViewMode() == View::Cover)
            return Outcome::Done();
        const QString caption = album_.CaptionOf(position_.CurPhoto());
        const Outcome drawn = DrawCaption(album_, caption, made.PanMode, dibs_, main_.PixelRatio);
        if (drawn)
            made.caption = caption;
        return drawn;
    });
    shown_.loadFailed_ = !whole;
    last_ = made;
    return made;
}

bool Composer::LoadPhoto(bool rotated, QSize atMost, const std::function<QString(const QString&)>& failure,
                         Decoded* ahead)
{
    // The new photo is built beside the old one and only then takes its
    // place: whatever fails, DibPhoto holds a whole photo.
    Outcome loaded;
    if (rotated) {
        loaded = Fetch(dibs_.DibScratch, shown_.curFile_, atMost, ahead);
        if (loaded)
            loaded = TurnScratch();
    } else {
        Surface picture;
        loaded = Fetch(picture, shown_.curFile_, atMost, ahead);
        if (loaded)
            dibs_.DibPhoto = std::move(picture);
    }
    if (!loaded)
        Report(failure(loaded.message));
    return loaded.ok;
}

Outcome Composer::TurnScratch()
{
    const Surface& source = dibs_.DibScratch;
    Surface turned;
    const Outcome made = turned.Create(source.Height(), source.Width());
    if (!made)
        return made;
    PelRotate(turned, RoundHalfEven(turned.Width() / 2.0), RoundHalfEven(turned.Height() / 2.0), source.Width(),
              source.Height(), source, 0, 0, double(album_.RotateAngle));
    turned.SetFullSize(source.FullHeight(), source.FullWidth());
    turned.SetInDisplayColours(source.InDisplayColours());
    dibs_.DibPhoto = std::move(turned);
    return made;
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
    if (prefetch)
        prefetch->Start(path, DecodeSize(TurnsOnLoad()));
}

bool Composer::PhotoReady(const QString& path)
{
    if (!prefetch)
        return true;
    const QSize size = DecodeSize(TurnsOnLoad());
    prefetch->Start(path, size);
    return prefetch->Ready(path, size);
}

bool Composer::TurnsOnLoad() const { return album_.RotateAngle != 0; }

bool Composer::EnsureFullPhoto()
{
    // A picture in memory has no file to read it again from, nor needs one.
    if (!dibs_.DibPhoto.HasPixels() || !dibs_.DibPhoto.Reduced() || shown_.inMemory_)
        return true;
    return LoadPhoto(TurnsOnLoad(), QSize(), [this](const QString& why) {
        return LoadFailure(why, shown_.curFileName_);
    });
}

void Composer::ChoosePanMode(Composition& c)
{
    const int SW = DeviceShowWidth(album_, main_);
    const double SH = DeviceShowHeight(album_, main_);
    if (main_.ViewMode() == View::Cover) {
        c.PanMode = PanNone;
    } else {
        const double W = dibs_.DibPhoto.FullWidth();
        const double H = dibs_.DibPhoto.FullHeight();
        if (H > 0 && SH > 0 && W / H >= (SW + kPanAllowance) / SH) {
            // Successive wide photos pan in turn to the right and to the left.
            c.PanMode = panBackH_ ? PanLeft : PanRight;
            panBackH_ = !panBackH_;
        } else if (W > 0 && SW > 0 && H / W >= (SH + kPanAllowance) / SW) {
            c.PanMode = panBackV_ ? PanUp : PanDown;
            panBackV_ = !panBackV_;
        } else {
            c.PanMode = PanZoom;
        }
    }
}

void Composer::SizeCanvas(Composition& c) const
{
    const int SW = DeviceShowWidth(album_, main_);
    const int SH = DeviceShowHeight(album_, main_);
    auto view = [&](double x, double y, double w, double h) {
        c.ViewX = x;
        c.ViewY = y;
        c.ViewW = w;
        c.ViewH = h;
    };
    switch (c.PanMode) {
    case PanNone:
        // Only the cover stands still, and it is seen whole.
        c.CanvasWidth = SW;
        c.CanvasHeight = SH;
        view(0, 0, SW, SH);
        return;
    case PanRight:
    case PanLeft:
        c.CanvasWidth = SW + kPanAllowance;
        c.CanvasHeight = SH;
        // A pan back starts one pixel short of the allowance.
        view(c.PanMode == PanRight ? 0 : kPanAllowance - 1, 0, SW, SH);
        break;
    case PanDown:
    case PanUp:
        c.CanvasWidth = SW;
        c.CanvasHeight = SH + kPanAllowance;
        view(0, c.PanMode == PanDown ? 0 : kPanAllowance - 1, SW, SH);
        break;
    default:
        c.CanvasWidth = SW + kPanAllowance;
        c.CanvasHeight = SW > 0 ? RoundHalfEven(double(SW + kPanAllowance) * SH / SW) : SH;
        view(0, 0, c.CanvasWidth, c.CanvasHeight);
        c.ZoomX = SW > 0 ? double(c.CanvasWidth) / SW : 1;
        c.ZoomY = SH > 0 ? double(c.CanvasHeight) / SH : 1;
        return;
    }
    c.ZoomX = 1;
    c.ZoomY = 1;
}

void Composer::FitPhoto(Composition& c) const
{
    const double W = dibs_.DibPhoto.FullWidth();
    const double H = dibs_.DibPhoto.FullHeight();
    const double CW = c.CanvasWidth;
    const double CH = c.CanvasHeight;
    if (W <= 0 || H <= 0 || CW <= 0 || CH <= 0)
        return;   // no photo to place
    c.PhotoAspect = W / H;
    c.CanvasAspect = CW / CH;
    if (c.PhotoAspect > c.CanvasAspect) {
        c.PlaceW = CW;
        c.PlaceH = CW / c.PhotoAspect;
        c.PlaceX = 0;
        c.PlaceY = (CH - c.PlaceH) / 2;
    } else {
        c.PlaceH = CH;
        c.PlaceW = c.PhotoAspect * CH;
        c.PlaceY = 0;
        c.PlaceX = (CW - c.PlaceW) / 2;
    }
}

bool Composer::BuildFrameMask(int frameType)
{
    const int n = frameType - 1;
    Surface& mask = dibs_.DibMask;
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

std::optional<Composition> Composer::ComposeFace(bool cover)
{
    QString file;
    if (cover) {
        file = album_.CoverFile;
        main_.SetView(View::Cover);
    } else {
        file = photos_.Path(position_.CurPhoto());
        main_.SetView(View::Still);
    }
    return DIBClonePicture(file);
}

}  // namespace tamsel
