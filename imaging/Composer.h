#pragma once
#include "model/Composition.h"
#include "model/Outcome.h"

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

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

// Turns an image file, or a picture held in memory (a retouch, a scan), into
// the composed picture: the photo at its own size in DibPhoto (turned by
// RotateAngle), fitted with its pan or zoom allowance into DibCanvas, greyed
// or given its frame mask in DibMask, and captioned. What it made besides
// the pixels (the pan mode, the view, the placement, the transition it
// chose, the caption) it returns as a Composition, which the engine takes;
// it is the one writer of the shown file (CurFile).
// It reads the album settings and the photo position, never writes them.
// Headless: the window only passes its info sink in.
class Composer {
public:
    // report: where a failure the user must see goes (the owner shows it).
    using Reporter = std::function<void(const Outcome&)>;
    Composer(AlbumModel& model, Reporter report);

    // Composes the image file at sPathFile. A photo that cannot be loaded is
    // reported and the previous photo is composed again; nothing is thrown.
    // A turned photo that cannot be loaded leaves the canvas as it was and
    // gives nothing. LoadFailed says until the next composition whether it
    // stopped or fell back to the previous photo.
    std::optional<Composition> DIBClonePicture(const QString& sPathFile);
    // Composes a picture held in memory, with no file behind it: a retouch
    // result, turned already (turn false), or a scan, turned by RotateAngle
    // like any photo. Nothing is written or read back. A retouch goes on
    // naming the photo it was made of; a picture of its own gives its name
    // and file information for the info line.
    std::optional<Composition> ComposePicture(Surface picture, bool turn, const QString& name = {},
                                              const QString& info = {});

    // Puts back a picture as an earlier composition left it, with the shown
    // file as it was then (a retouch taken back), and composes it again.
    std::optional<Composition> ComposeRestored(Surface picture, const ShownFile& was);

    // The face of the album on display surfaces just made: the cover (cover)
    // or the current photo, composed to be shown at once.
    std::optional<Composition> ComposeFace(bool cover);

    // Loads mask n + ... for frameType 2 (rectangle) or 3 (oval), stretches it
    // over DibMask and punches its black window. On failure the user is told,
    // and DibMask is left black so the overlay covers nothing. Returns whether
    // the frame was built. A photo composed with a frame comes in without a
    // transition either way, so none uses DibMask for the outgoing picture
    // while a frame style is on.
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

    // Photos decoded ahead of time; when it holds the one asked for, its
    // pixels are taken instead of reading the file.
    PhotoPrefetch* prefetch = nullptr;

private:
    friend struct TestAccess;   // tests restart the turn of the pans
    // The steps after the photo is in DibPhoto: pan mode, canvas, fit,
    // frame, caption. Nothing when a turned photo could not be placed.
    std::optional<Composition> Compose(bool rotated, bool whole);
    // DibPhoto made from DibScratch turned by RotateAngle.
    Outcome TurnScratch();
    // The photo's pixels, decoded ahead (or refused there) or read from the
    // file just large enough to cover atMost (an empty size: the whole photo).
    Outcome Fetch(Surface& dst, const QString& path, QSize atMost, Decoded* ahead);
    // The photo is turned by RotateAngle as it is read.
    bool TurnsOnLoad() const;
    bool LoadPhoto(bool rotated, QSize atMost,
                   const std::function<QString(const QString&)>& failure,
                   Decoded* ahead = nullptr);
    void ChoosePanMode(Composition& c);
    void SizeCanvas(Composition& c) const;
    void FitPhoto(Composition& c) const;
    void Report(const QString& text);

    const AlbumState& album_;
    const PhotoPosition& position_;
    ShownFile& shown_;
    MainState& main_;
    SurfacePool& dibs_;
    const PhotoList& photos_;
    const AppPaths& paths_;
    Reporter report_;
    // What the last composition made: a step that fails or has nothing to
    // do leaves its part of the next one as it was.
    Composition last_;
    // Successive wide (tall) photos pan in turn one way and the other.
    bool panBackH_ = false;
    bool panBackV_ = false;
};

}  // namespace tamsel
