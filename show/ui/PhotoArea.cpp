#include "show/ui/PhotoArea.h"

#include "app/AlbumApp.h"
#include "model/AlbumModel.h"
#include "show/StepPlan.h"
#include "show/TransitionEngine.h"

#include <QPainter>
#include <QTimer>

#include <chrono>

namespace tamsel {
namespace {
double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

struct PhotoArea::Impl {
    AlbumApp& app;
    QTimer timer;
    NextStep::Kind pending = NextStep::Step;
    double t0 = 0;          // start of the step in progress (kept across a split frame)
    bool inStep = false;
    bool stopped = true;    // the chain is broken (PaintHold) or not yet started
    QImage frame;           // DibScreen as last shown

    explicit Impl(AlbumApp& a) : app(a) {}
};

PhotoArea::PhotoArea(AlbumApp& app, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Impl>(app))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    d_->timer.setSingleShot(true);
    d_->timer.setTimerType(Qt::PreciseTimer);
    connect(&d_->timer, &QTimer::timeout, this, [this] { RunStep(); });
}

PhotoArea::~PhotoArea() = default;

bool PhotoArea::Stopped() const { return d_->stopped; }

void PhotoArea::Kick()
{
    // A step already waiting out its pause keeps it; a resting or broken
    // chain starts at once.
    if (d_->inStep)
        return;
    if (d_->stopped || d_->pending == NextStep::Rest) {
        d_->stopped = false;
        d_->pending = NextStep::Step;
        d_->timer.start(0);
    }
}

void PhotoArea::RunStep()
{
    Impl& d = *d_;
    d.inStep = true;
    TransitionEngine::StepResult r;
    if (d.pending == NextStep::FinishSplit) {
        r = d.app.FinishSplitFrame();
    } else {
        d.t0 = Now();
        r = d.app.Step();
    }
    if (!r.splitFrame && !r.unchanged) {
        d.app.Model().dibs.DibScreen.CopyToRgb32(d.frame);
        // The surfaces are in device pixels: shown one to one on the screen.
        d.frame.setDevicePixelRatio(d.app.Model().main.PixelRatio);
        repaint();
    }
    d.inStep = false;

    if (!r.splitFrame && d.app.TakePaintHold()) {
        // A menu or dialog is opening over the area: break the chain once; the
        // area's next exposure starts it again.
        d.stopped = true;
        return;
    }
    const NextStep next = PlanNextStep(d.t0, Now(), r, d.app.Moving());
    d.pending = next.kind;
    d.timer.start(int(next.delay * 1000.0 + 0.5));
}

void PhotoArea::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (d_->frame.isNull())
        p.fillRect(rect(), Qt::black);
    else if (d_->frame.devicePixelRatio() == 1)
        p.drawImage(0, 0, d_->frame);
    else   // over the whole area, where a fractional ratio would leave part of a device pixel
        p.drawImage(QRectF(rect()), d_->frame);
    if (d_->stopped && !d_->inStep)
        Kick();
}

}  // namespace tamsel
