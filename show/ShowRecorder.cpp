#include "show/ShowRecorder.h"

#include "album/Navigator.h"
#include "imaging/Composer.h"
#include "imaging/ImageFormats.h"
#include "imaging/Prefetch.h"
#include "model/AlbumModel.h"
#include "model/AlbumView.h"
#include "show/StepPlan.h"
#include "show/TransitionEngine.h"

#include <algorithm>

namespace tamsel {
namespace {
// A show whose clock stands still this many steps in a row would never end:
// every step of a real show either waits or moves a photo on.
constexpr int64_t kMostStillSteps = 1'000'000;
// Time-stamp rounding must not move a frame across a step that starts exactly on it.
constexpr double kSameInstant = 1e-9;
}  // namespace

// The recorder's own album: copies of the settings and the photo list, its
// own surfaces, composer and engine, so that nothing is shared with the window.
struct ShowRecorder::Parts : AlbumView {
    Parts(const AppPaths& paths)
        : model(paths, AlbumExtensions(), PhoneExtensions()),
          composer(model, ReportTo(*this)),
          engine(model, *this,
                 [this](const QString& p) {
                     std::optional<Composition> made = composer.DIBClonePicture(p);
                     // The next photo is read on the prefetch's thread while
                     // this one's frames are made and encoded.
                     if (const int next = model.PhotoAfterCurrent(); next >= 0)
                         composer.LoadAhead(model.PhotoPath(next));
                     return made;
                 }),
          nav(model.state, model.position, model.main, model.photos, *this)
    {
        engine.advanceShow = [this] { return nav.AdvanceShow(); };
        composer.prefetch = &prefetch;
    }
    void ShowInfo(const QString& text, bool beep) override
    {
        if (beep)
            problems << text.trimmed();
    }

    AlbumModel model;
    // Declared before the composer that holds it, so that it goes after it.
    PhotoPrefetch prefetch;
    Composer composer;
    TransitionEngine engine;
    Navigator nav;
    QStringList problems;
    bool ended = false;
};

ShowRecorder::ShowRecorder(const AlbumState& album, const PhotoList& photos, const AppPaths& paths,
                           QSize size, int fps, uint32_t seed)
    : parts_(std::make_unique<Parts>(paths)), fps_(std::max(1, fps))
{
    AlbumModel& m = parts_->model;
    m.photos = photos;
    m.state = album;
    AlbumState& s = m.state;
    s.ShowWidth = size.width();
    s.ShowHeight = size.height();
    s.LoopShow = 0;   // a video ends; a looping show would not
    m.main.HoldPaint(false);
    m.main.ShowAspect = double(size.width()) / double(size.height());

    // The album as it opens: the cover on the screen, from which the first
    // photo is brought in.
    parts_->nav.Restart();
    ShowFace(parts_->engine, parts_->composer, s.ShowWidth, s.ShowHeight, true);
    parts_->nav.LeaveCover();
    // Only the photos count: an installation without its cover picture
    // starts the video on the plain background.
    parts_->problems.clear();

    TransitionEngine& e = parts_->engine;
    e.reseedFromClock = false;
    e.rng.Seed(seed);
    e.showEnded = [this] { parts_->ended = true; };
    e.onFrame = [this](bool effectFrame) {
        if (!effectFrame && parts_->engine.PanDone()) {
            ++photosDone_;
            lastPhotoDone_ = nextStep_;
        }
    };
    MainState& w = m.main;
    w.SetView(View::BringingIn);
    w.RequestPhoto();
    w.StartShow();
    // The first step brings in the current photo: its decode starts now.
    if (const int first = m.CurPhoto(); first >= 0 && first < m.photos.Count())
        parts_->composer.LoadAhead(m.PhotoPath(first));
}

ShowRecorder::~ShowRecorder() = default;

const Surface& ShowRecorder::Screen() const { return parts_->engine.DibScreen(); }

QStringList ShowRecorder::Problems() const { return parts_->problems; }

void ShowRecorder::RunStep()
{
    TransitionEngine& e = parts_->engine;
    const double t0 = nextStep_;
    TransitionEngine::StepResult r = e.Step();
    double next = t0 + r.wait;
    if (r.splitFrame) {
        // The second half of a split frame follows after its short pause;
        // the frame's own pause still counts from the step's start.
        r = e.FinishSplitFrame();
        next = std::max(t0 + kSplitPause, t0 + r.wait);
    }
    stalledSteps_ = next > t0 ? 0 : stalledSteps_ + 1;
    nextStep_ = next;
    // The last photo's closing step waits its pause; the show ends with it.
    if (parts_->ended || stalledSteps_ > kMostStillSteps ||
        parts_->model.main.ViewMode() != View::BringingIn)
        end_ = next;
}

bool ShowRecorder::NextFrame()
{
    const double t = double(frames_) / fps_;
    redrawn_ = frames_ == 0;
    while (!end_ && nextStep_ <= t + kSameInstant) {
        RunStep();
        redrawn_ = true;
    }
    if (end_ && t >= *end_ - kSameInstant)
        return false;
    ++frames_;
    return true;
}

double ShowRecorder::Progress() const
{
    const int count = std::max(1, parts_->model.photos.Count());
    if (end_)
        return std::min(1.0, double(frames_) / fps_ / std::max(*end_, kSameInstant));
    // Within a photo, guess its length from the ones before (or a pause
    // and a pan for the first) and never claim it whole before it is.
    const double perPhoto = photosDone_ ? lastPhotoDone_ / photosDone_
                                        : parts_->model.state.PauseSecs + 2.0;
    const double within = std::clamp((nextStep_ - lastPhotoDone_) / std::max(perPhoto, 0.001), 0.0, 0.95);
    return std::min(1.0, (photosDone_ + within) / count);
}

}  // namespace tamsel
