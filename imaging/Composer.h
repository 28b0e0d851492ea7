#pragma once
#include "model/Outcome.h"

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>

#include <exception>
#include <functional>

namespace tamsel {

struct AlbumModel;
struct AlbumState;
class MainState;
struct SurfacePool;
struct AppPaths;
class PhotoList;
class PhotoPosition;
class ShownFile;
class Surface;
class PhotoPrefetch;
struct Decoded;

// Turns an image file into the composed picture: the photo at its own size in
// DibPhoto (turned by RotateAngle), fitted with its pan or zoom allowance into
// DibCanvas, greyed or given its frame mask in DibMask, captioned, and its
// first view stretched into DibNew. It sets the variables the transition
// engine, the lens and the info line read (PanMode, the view, the placement,
// the transition it chose) and is the one writer of the shown file (CurFile).
// It reads the album settings and the photo position, never writes them.
// Headless: the window only passes its info sink in.
class Composer {
public:
    // report: where a failure the user must see goes (the owner shows it).
    using Reporter = std::function<void(const Outcome&)>;
    Composer(AlbumModel& model, Reporter report);

    // Composes the image file at sPathFile. A photo that cannot be loaded is
    // reported and the previous photo is composed again; nothing is thrown.
    // Returns false when the composition stopped or fell back to the previous
    // photo; LoadFailed keeps that until the next composition.
    bool DIBClonePicture(const QString& sPathFile);

    // Remakes the display-sized surfaces at width x height and shows the cover
    // (cover) or the current photo at once, without a transition.
    void SetFace(int width, int height, bool cover);

    // Loads mask n + ... for frameType 2 (rectangle) or 3 (oval), stretches it
    // over DibMask and punches its black window. On failure the user is told,
    // and DibMask is left black so the overlay covers nothing. Returns whether
    // the frame was built; the photo comes in without a transition either way
    // (ShowTransMode), so none uses DibMask for the outgoing picture while a
    // frame style is on.
    bool BuildFrameMask(int frameType);
    // Files of the album folder were given new names (old full path → new):
    // the shown file follows its photo.
    void FilesRenamed(const QList<QPair<QString, QString>>& renamed);

    // DibPhoto at the photo's own resolution, for what must see every pixel
    // (the lens, retouching, printing): a photo composed from a reduced
    // decode is read again whole. The composition on the screen stays.
    bool EnsureFullPhoto();
    // The largest the photo's pixels can be shown at (the canvas), in the
    // orientation they are read in (turned: before a quarter turn).
    QSize DecodeSize(bool turned) const;

    // Starts reading the photo at path on the prefetch's thread, the way
    // and at the size its composition will ask for.
    void LoadAhead(const QString& path);
    // Whether the photo at path can be composed without waiting for its
    // decoder; starts the decode when nobody has. True without a prefetch.
    bool PhotoReady(const QString& path);

    // Stretches the view rectangle of DibCanvas over the whole of DibScreen.
    void Redraw();

    // Runs first in SetFace: brings the quick-effect strip into line with the settings.
    std::function<void()> alignStrip;
    // Photos decoded ahead of time; when it holds the one asked for, its
    // pixels are taken instead of reading the file.
    PhotoPrefetch* prefetch = nullptr;

private:
    bool ClonePicture(const QString& sPathFile);
    // The photo's pixels, decoded ahead (or refused there) or read from the
    // file just large enough to cover atMost (an empty size: the whole photo).
    Outcome Fetch(Surface& dst, const QString& path, QSize atMost, Decoded* ahead);
    // The photo is turned by RotateAngle as it is read.
    bool TurnsOnLoad() const;
    bool LoadPhoto(bool rotated, QSize atMost,
                   const std::function<QString(const QString&)>& failure,
                   Decoded* ahead = nullptr);
    void ChoosePanMode();
    void SizeCanvas();
    void FitPhoto();
    void Report(const QString& text);

    const AlbumState& album_;
    const PhotoPosition& position_;
    ShownFile& shown_;
    MainState& main_;
    SurfacePool& dibs_;
    const PhotoList& photos_;
    const AppPaths& paths_;
    Reporter report_;
};

}  // namespace tamsel
