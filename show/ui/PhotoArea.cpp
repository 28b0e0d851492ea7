#include "show/ui/PhotoArea.h"

#include "app/AlbumApp.h"
#include "model/AlbumModel.h"
#include "show/StepPlan.h"
#include "show/TransitionEngine.h"
#include "tools/Lens.h"

#include <QPaintEngine>
#include <QPaintEvent>
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

// Converts the screen surface's rows straight into the window's own buffer
// where the painter draws into one (the raster backing store of every
// desktop platform): a window-sized copy of each frame in between would
// cost as much memory as the screen itself and a second pass over it. The
// surface is in device pixels, so its pixels land one to one from the
// area's top left; whatever of the region lies beyond it is black.
// The lens, when there is one, lands over the screen's pixels the same way.
// False where the painter draws elsewhere (a grab into a pixmap, a printer).
bool PaintInPlace(QPainter& p, const Surface& screen, const LensOverlay* lens, const QRegion& region)
{
    QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return false;
    // Written through the pointer the engine draws through: never detached.
    const QImage& out = *static_cast<const QImage*>(engine->paintDevice());
    const QImage::Format f = out.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxScale)
        return false;
    const QPoint origin = t.map(QPointF(0, 0)).toPoint();
    const QRect surface(origin, QSize(screen.Width(), screen.Height()));
    auto* bits = const_cast<uint8_t*>(out.constBits());
    const qsizetype stride = out.bytesPerLine();
    for (const QRect& logical : region) {
        const QRect r = t.mapRect(QRectF(logical)).toAlignedRect().intersected(out.rect());
        if (r.isEmpty())
            continue;
        const QRect inside = r.intersected(surface);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits + qsizetype(y) * stride);
            if (inside.isEmpty() || y < inside.top() || y > inside.bottom()) {
                std::fill(row + r.left(), row + r.right() + 1, 0xFF000000u);
                continue;
            }
            std::fill(row + r.left(), row + inside.left(), 0xFF000000u);
            std::fill(row + inside.right() + 1, row + r.right() + 1, 0xFF000000u);
        }
        auto copy = [&](const Surface& from, const QRect& to, QPoint at) {
            if (!to.isEmpty())
                from.CopyRectToRgb32(to.translated(-at), bits + qsizetype(to.top()) * stride + qsizetype(to.left()) * 4,
                                     stride);
        };
        copy(screen, inside, origin);
        if (lens) {
            const QPoint at = origin + lens->TopLeft();
            copy(lens->Picture(), inside.intersected(QRect(at, QSize(lens->Picture().Width(), lens->Picture().Height()))),
                 at);
        }
    }
    return true;
}
}  // namespace

struct PhotoArea::Impl {
    AlbumApp& app;
    QTimer timer;
    NextStep::Kind pending = NextStep::Step;
    double t0 = 0;          // start of the step in progress (kept across a split frame)
    bool inStep = false;
    bool stopped = true;    // the chain is broken (PaintHold) or not yet started
    bool shown = false;     // a frame has been drawn into DibScreen

    explicit Impl(AlbumApp& a) : app(a) {}
};

PhotoArea::PhotoArea(AlbumApp& app, QWidget* parent)
    : QWidget(parent), d_(std::make_unique<Impl>(app))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    d_->timer.setSingleShot(true);
    d_->timer.setTimerType(Qt::PreciseTimer);
    d_->timer.setObjectName(QStringLiteral("showStep"));   // named for the busy meter
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
        d.shown = true;
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

void PhotoArea::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const Surface& screen = d_->app.Screen();
    const LensOverlay* lens = d_->app.Lens();
    if (!d_->shown || !screen.HasPixels()) {
        p.fillRect(rect(), Qt::black);
    } else if (!PaintInPlace(p, screen, lens, e->region())) {
        // The surfaces are in device pixels: shown one to one on the screen.
        const double ratio = d_->app.Model().main.PixelRatio;
        QImage frame = screen.ToQImage();
        frame.setDevicePixelRatio(ratio);
        p.drawImage(0, 0, frame);
        if (lens) {
            QImage over = lens->Picture().ToQImage();
            over.setDevicePixelRatio(ratio);
            p.setClipRect(QRectF(0, 0, screen.Width() / ratio, screen.Height() / ratio));
            p.drawImage(QPointF(lens->TopLeft()) / ratio, over);
        }
    }
    if (d_->stopped && !d_->inStep)
        Kick();
}

}  // namespace tamsel
