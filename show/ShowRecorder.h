#pragma once
#include "model/Surface.h"

#include <QSize>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

namespace tamsel {

struct AlbumState;
struct AppPaths;
class PhotoList;

// Plays an album's slide show without a window, on a clock of its own, and
// samples it at a frame rate: every photo from the first, brought in by its
// transition, panned, held for its pause, as the photo area would show it. A
// step lasts exactly its pause here (the window's steps last at least that),
// so the same album and seed always give the same frames, however fast the
// machine is. Surfaces, composer and engine are its own: it may run on any
// thread beside the window's.
class ShowRecorder {
public:
    // size: the picture drawn; the show is composed at that size. seed: the
    // random transitions and block sizes.
    ShowRecorder(const AlbumState& album, const PhotoList& photos, const AppPaths& paths, QSize size,
                 int fps, uint32_t seed);
    ~ShowRecorder();

    // Draws the next output frame; false once the show is over.
    bool NextFrame();
    // The frame NextFrame drew last (24-bit, bottom-up).
    const Surface& Screen() const;
    // Whether the show moved on for the last frame; false: nothing has been
    // drawn since the frame before, which it repeats (a photo's pause).
    bool Redrawn() const { return redrawn_; }
    // Frames drawn so far; frame n stands for show time n / fps.
    int64_t Frames() const { return frames_; }
    // The show's length in seconds (the end of the last photo's pause), known
    // once the show has reached its last pause.
    std::optional<double> Length() const { return end_; }
    // How far the show has come, 0..1, for a progress bar.
    double Progress() const;
    // The photos that could not be read, as the info line said it ("reason: name").
    QStringList Problems() const;

private:
    void RunStep();

    struct Parts;
    std::unique_ptr<Parts> parts_;
    int fps_;
    int64_t frames_ = 0;
    bool redrawn_ = true;
    double nextStep_ = 0;        // show time at which the next engine step starts
    std::optional<double> end_;
    int photosDone_ = 0;
    double lastPhotoDone_ = 0;   // show time at which the last pan ended
    int64_t stalledSteps_ = 0;
};

}  // namespace tamsel
