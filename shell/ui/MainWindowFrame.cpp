// The main window as a window: its size from the window system, keys, drops, the
// position thumb, the title bar, the window buttons, full screen and the grips.
#include "shell/ui/MainWindow.h"

#include "album/Drops.h"
#include "app/AlbumApp.h"
#include "imaging/Decoded.h"
#include "platform/ui/DropCopy.h"
#include "platform/Rounding.h"
#include "app/Commands.h"
#include "shell/MenuKeys.h"
#include "shell/ThumbTrack.h"
#include "shell/ui/FormShape.h"
#include "shell/ui/SkinWidgets.h"
#include "show/ui/PhotoArea.h"
#include "tools/ui/BackgroundTask.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

namespace tamsel {

namespace {

Qt::Edges GripEdges(Grip grip)
{
    switch (grip) {
    case Grip::Bottom: return Qt::BottomEdge;
    case Grip::Right: return Qt::RightEdge;
    case Grip::Corner: break;
    }
    return Qt::BottomEdge | Qt::RightEdge;
}

}  // namespace

void MainWindow::resizeEvent(QResizeEvent*)
{
    FormResize();
    // A size the window system gave (maximise, restore, a tiling window
    // manager) is composed for as soon as it has arrived; a grip drag
    // composes once, at its release.
    const Surface& screen = app_.Screen();
    const bool fits = screen.Width() == DeviceShowWidth(core_.state, core_.main) &&
                      screen.Height() == DeviceShowHeight(core_.state, core_.main);
    if (!ResizeDragging() && !fits)
        Recompose();
}

void MainWindow::Recompose()
{
    app_.ShowFace();
    ResetLogo();
    Element(SkinElement::LogoFrame)->show();
}

void MainWindow::changeEvent(QEvent* e)
{
    // However the state changed (our button, a double-click on the title or
    // the window manager's own), the frame follows it.
    if (e->type() == QEvent::WindowStateChange) {
        const bool maximised = isMaximized();
        for (const Built& b : elements_) {
            if (b.entry->flags & HiddenWhenMaximised)
                b.widget->setVisible(!maximised);
            if (const char* tip = b.entry->maximised.tooltip)
                b.widget->setToolTip(QString::fromUtf8(maximised ? tip : b.entry->looks.tooltip));
        }
        PaintSkin();
    }
    QWidget::changeEvent(e);
}

void MainWindow::QuitWhenIdle()
{
    // The quit waits for the work in the background and for every dialog to
    // close: a dialog still open would refuse the windows' closing and the
    // quit with it. Each dialog is asked once: a conversion stops after the
    // photos in flight, a rename goes on to its end or undoes itself, a
    // video export cancels, cleans up and then closes.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal != askedToClose_) {
            askedToClose_ = modal;
            modal->close();
        } else if (!BackgroundTask::AnyRunning()) {
            // Asked and nothing left to wait for, yet still open: a question
            // with no way out but its buttons is answered "no".
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->hide();
        }
    }
    if (BackgroundTask::AnyRunning() || QApplication::activeModalWidget()) {
        QTimer::singleShot(50, this, &MainWindow::QuitWhenIdle);
        return;
    }
    QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    // The album is saved while the window still shows. When that fails (a
    // full disk) the old data file is kept, the info line says why and the
    // window stays once, so that room can be made; the next close ends.
    if (const Outcome saved = app_.SaveAlbumData(); !saved && !toldUnsaved_) {
        toldUnsaved_ = true;
        // The program stays: photos decode again.
        StopDecodes(false);
        ShowInfo(saved.message + QStringLiteral("；再次退出将不保存本次设置"), true);
        e->ignore();
        return;
    }
    Q_EMIT closing();
    e->accept();
}

void MainWindow::mouseMoveEvent(QMouseEvent*) { ClearHoverLooks(); }

// A drag is taken only when something in it opens, so the pointer tells the
// user before he lets go. While a dialog of the album is open, the album stays
// as the dialog knows it.
void MainWindow::dragEnterEvent(QDragEnterEvent* e)
{
    e->ignore();
    if (QApplication::activeModalWidget())
        return;
    const DropOpening what = WhatDropOpens(e->mimeData()->urls());
    if (what.Opens())
        TakeAsCopy(e);
    else if (!what.refusal.isEmpty())
        ShowInfo(what.refusal, false);   // the drop will not come: the line says why now
}

void MainWindow::dropEvent(QDropEvent* e)
{
    const DropOpening what = WhatDropOpens(e->mimeData()->urls());
    if (!what.Opens()) {
        e->ignore();
        ShowInfo(what.refusal, true);
        return;
    }
    TakeAsCopy(e);
    // Opened once the drop is answered: the program that dragged is not kept
    // waiting on a folder being read or a photo decoded.
    QMetaObject::invokeMethod(this, [this, path = what.path] { app_.OpenPath(path); }, Qt::QueuedConnection);
}

void MainWindow::keyPressEvent(QKeyEvent* e)
{
    if (keyLabel_ >= 0) {
        MenuBarKey(e);
        return;
    }
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::NoModifier) {
        MenuBarByKeys(NextMenuLabel(LabelsEnabled(), -1, 1));
        return;
    }
    if (e->key() == Qt::Key_F1 && e->modifiers() == Qt::NoModifier) {
        Click(ElementClick::Help, 0);
        return;
    }
    if (RunShortcut(e))
        return;
    // A key is its button: what the button may not do now, the key does not do.
    int button = -1;
    switch (e->key()) {
    case Qt::Key_Left: button = Navigator::Previous; break;
    case Qt::Key_Right: button = Navigator::Next; break;
    case Qt::Key_Home: button = Navigator::First; break;
    case Qt::Key_End: button = Navigator::Last; break;
    case Qt::Key_Space:
        button = BarButton(Navigator::Stop)->isVisible() ? Navigator::Stop : Navigator::Play;
        break;
    case Qt::Key_F11:
        ToggleFullScreen();
        return;
    case Qt::Key_Escape:
        if (isFullScreen())
            ToggleFullScreen();
        return;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    if (BarButton(button)->isVisible() && BarButton(button)->isEnabled())
        app_.BtnClick(button);
}

bool MainWindow::RunShortcut(QKeyEvent* e)
{
    const QKeySequence pressed(e->keyCombination());
    for (const CommandEntry& c : CommandTable()) {
        if (!c.shortcut || pressed != QKeySequence(QString::fromLatin1(c.shortcut)))
            continue;
        // What the label may not open now (no album yet, a show running),
        // its shortcut does not run either.
        const int label = MenuLabelOf(c.command);
        if (label >= 0 && MenuLabel(label)->isEnabled())
            app_.DoCommand(c.command);
        return true;
    }
    return false;
}

// ---- the menu bar by keyboard -------------------------------------------

std::array<bool, kMenuLabels> MainWindow::LabelsEnabled() const
{
    std::array<bool, kMenuLabels> on{};
    for (int i = 0; i < kMenuLabels; ++i)
        on[size_t(i)] = MenuLabel(i)->isEnabled() && MenuLabel(i)->isVisible();
    return on;
}

void MainWindow::MenuBarByKeys(int label)
{
    while (label >= 0) {
        if (keyLabel_ >= 0)
            ResetTitleStrip();
        keyLabel_ = label;
        MenuLabel(label)->SetTextColor(Qt::black);
        if (!LabelOpensMenu(label))
            return;   // "设置" or "退出" waits for Enter, or a move on
        keyStep_ = 0;
        app_.LabelClicked(label);
        label = keyStep_ != 0 ? NextMenuLabel(LabelsEnabled(), label, keyStep_) : -1;
    }
    LeaveMenuBar();
}

void MainWindow::LeaveMenuBar()
{
    if (keyLabel_ < 0)
        return;
    keyLabel_ = -1;
    ResetTitleStrip();
}

void MainWindow::MenuBarKey(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        MenuBarByKeys(NextMenuLabel(LabelsEnabled(), keyLabel_, e->key() == Qt::Key_Left ? -1 : 1));
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
    case Qt::Key_Space: {
        const int label = keyLabel_;
        LeaveMenuBar();
        app_.LabelClicked(label);   // "退出" may end the window here
        return;
    }
    default:
        LeaveMenuBar();   // Esc, F10 or any other key leaves the menu bar
        return;
    }
}

// ---- the position thumb ---------------------------------------------------

void MainWindow::ThumbPressed(QMouseEvent*)
{
    SkinLabel* name = PhotoNameLabel();
    name->SetCaption(core_.photos.Name(core_.CurPhoto()));
    name->move(BarButton(kThumb)->x(), name->y());
    name->show();
    name->raise();
}

void MainWindow::ThumbMoved(QMouseEvent* e)
{
    const int x = int(e->globalPosition().x()) - mapToGlobal(QPoint(0, 0)).x();
    const ThumbDrag d = DragThumb(x, client_.width(), SkinWidth(), core_.photos.Count(),
                                  core_.CurPhoto());
    app_.ThumbOver(d.CurPhoto);
    PictureElement* thumb = BarButton(kThumb);
    thumb->move(d.left, thumb->y());
    SkinLabel* name = PhotoNameLabel();
    name->SetCaption(core_.photos.Name(d.CurPhoto));
    name->move(d.left, name->y());
}

void MainWindow::ThumbReleased()
{
    app_.ThumbReleased();
    const double left = ThumbRestLeft(client_.width(), SkinWidth(), core_.photos.Count(),
                                      core_.CurPhoto());
    BarButton(kThumb)->move(RoundHalfEven(left), BarButton(kThumb)->y());
}

// ---- title bar, window buttons and grips ------------------------------------

void MainWindow::TitlePressed(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    // The move starts with the first drag, not the press: a window manager
    // that takes the pointer for a move would swallow a double-click.
    moveState_ = MoveState::Pressed;
    pressAt_ = e->globalPosition().toPoint();
    moveOffset_ = pressAt_ - frameGeometry().topLeft();
}

void MainWindow::TitleMoved(QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton)) {
        moveState_ = MoveState::Idle;
        return;
    }
    const QPoint at = e->globalPosition().toPoint();
    if (moveState_ == MoveState::Pressed &&
        (at - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
        // The window system moves the window; without one that can, we do.
        const bool system = windowHandle() && windowHandle()->startSystemMove();
        moveState_ = system ? MoveState::Idle : MoveState::ByHand;
    }
    if (moveState_ == MoveState::ByHand)
        move(at - moveOffset_);
}

void MainWindow::ToggleFullScreen()
{
    if (isFullScreen()) {
        app_.KeepWindowArea({});
        pointerTimer_.stop();
        area_->unsetCursor();
        area_->lower();
        showNormal();
        setGeometry(normalGeometry_);
    } else {
        // The album keeps the window's photo area, not the screen's.
        app_.KeepWindowArea(QSize(core_.state.ShowWidth, core_.state.ShowHeight));
        normalGeometry_ = geometry();
        showFullScreen();
        pointerTimer_.start();
    }
    // The new size arrives as a resize event and is composed for there.
}

void MainWindow::ToggleMaximised()
{
    if (!Element(SkinElement::MaximiseButton)->isEnabled())
        return;
    // The new size arrives later, as a resize event, and is composed for there.
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWindow::GripPressed(Grip grip, PictureElement* g)
{
    // The corner cannot start a resize while the show runs; the edges are
    // disabled then.
    if (grip == Grip::Corner && (core_.main.ShowRunning() || isMaximized()))
        return;
    // Under a compositor that places the windows the pointer's place on the
    // screen is not known: the compositor sizes the window, within the
    // smallest size the window told it, and each size arrives as a resize.
    if (CompositorPlacesWindows() && windowHandle() && windowHandle()->startSystemResize(GripEdges(grip)))
        return;
    g->active = true;
}

void MainWindow::GripMoved(Grip grip, PictureElement* g, QMouseEvent* e)
{
    if (!g->active)
        return;
    const QPoint pointer = e->globalPosition().toPoint() - mapToGlobal(QPoint(0, 0));
    const QSize wanted = GripDragSize(grip, pointer, size());
    if (wanted != size())
        resize(wanted);  // the resize event lays the window out
    else
        FormResize();
}

void MainWindow::GripReleased(PictureElement* g)
{
    if (!g->active)
        return;
    g->active = false;
    // The photo is composed once, at the final size.
    Recompose();
}

}  // namespace tamsel
