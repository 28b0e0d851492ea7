#pragma once
#include <QWidget>

#include <functional>

namespace tamsel {

struct AlbumModel;
class EngineHost;
class TransitionEngine;

// The photo area picphotoshow: shows DibScreen and runs the transition engine's
// step chain on a timer.
class PhotoArea : public QWidget {
    Q_OBJECT
public:
    using ComposeFn = std::function<void(const QString& path)>;
    PhotoArea(AlbumModel& core, EngineHost& host, ComposeFn compose, QWidget* parent = nullptr);
    ~PhotoArea() override;

    // Starts the step chain again when it has stopped (after a flag change, a
    // closed menu or dialog).
    void Kick();
    TransitionEngine& Engine();

Q_SIGNALS:
    // Mouse on the photo area, for the lens and the context menu.
    void mousePressed(QMouseEvent* e);
    void mouseMoved(QMouseEvent* e);
    void mouseReleased(QMouseEvent* e);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { Q_EMIT mousePressed(e); }
    void mouseMoveEvent(QMouseEvent* e) override { Q_EMIT mouseMoved(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Q_EMIT mouseReleased(e); }

private:
    void RunStep();
    struct Impl;
    Impl* d_;
};

}  // namespace tamsel
