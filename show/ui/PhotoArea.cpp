#include "show/ui/PhotoArea.h"

#include "app/AlbumCore.h"
#include "show/EngineHost.h"

#include <QPainter>

namespace tamsel {

struct PhotoArea::Impl {
    AlbumCore& core;
    EngineHost& host;
    ComposeFn compose;
};

PhotoArea::PhotoArea(AlbumCore& core, EngineHost& host, ComposeFn compose, QWidget* parent)
    : QWidget(parent), d_(new Impl{core, host, std::move(compose)})
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

PhotoArea::~PhotoArea() { delete d_; }

void PhotoArea::Kick() { update(); }

void PhotoArea::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage img = d_->core.dibs.DibScreen.ToQImage();
    if (img.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(0, 0, img);
}

}  // namespace tamsel
