#pragma once
#include <QMouseEvent>
#include <QWidget>

#include <memory>

namespace tamsel {

struct AlbumModel;
class TransitionEngine;

// The photo area photoArea: shows DibScreen and runs the transition engine's
// step chain on a timer. The engine belongs to the application.
class PhotoArea : public QWidget {
    Q_OBJECT
public:
    PhotoArea(AlbumModel& model, TransitionEngine& engine, QWidget* parent = nullptr);
    ~PhotoArea() override;

    // Starts the step chain again when it has stopped (after a flag change, a
    // closed menu or dialog).
    void Kick();
    // The chain is broken (by PaintHold) or has not started yet.
    bool Stopped() const;

Q_SIGNALS:
    // Mouse on the photo area, for the lens and the context menu.
    void mousePressed(QMouseEvent* e);
    void mouseMoved(QMouseEvent* e);
    void mouseReleased(QMouseEvent* e);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { Q_EMIT mousePressed(e); }
    void mouseMoveEvent(QMouseEvent* e) override { Q_EMIT mouseMoved(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Q_EMIT mouseReleased(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            Q_EMIT doubleClicked();
    }

private:
    void RunStep();
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace tamsel
