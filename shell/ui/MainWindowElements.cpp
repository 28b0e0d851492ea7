// The main window's frame elements: made from the skin table in one loop,
// their looks under the pointer by their roles, and what their clicks call.
#include "shell/ui/MainWindow.h"

#include "album/Navigator.h"
#include "app/AlbumApp.h"
#include "imaging/QuickStrip.h"
#include "shell/ui/AboutBox.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/SkinArt.h"
#include "shell/ui/SkinWidgets.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMouseEvent>
#include <QUrl>

namespace tamsel {

namespace {

Grip GripOf(SkinElement element)
{
    return element == SkinElement::BottomGrip ? Grip::Bottom
           : element == SkinElement::RightGrip ? Grip::Right
                                               : Grip::Corner;
}

}  // namespace

void MainWindow::BuildElements()
{
    std::array<int, size_t(SkinElement::LogoFrame) + 1> next{};
    for (const SkinElementEntry& e : SkinElements()) {
        for (int k = 0; k < e.count; ++k) {
            Built b{&e, next[size_t(e.element)]++, nullptr};
            if (e.label) {
                auto* l = new SkinLabel(this, QString::fromUtf8(e.text));
                if (e.ink)
                    l->SetTextColor(QColor(e.ink));
                if (e.back)
                    l->SetBackColor(QColor(e.back));
                b.widget = l;
            } else {
                const QPixmap picture = Look(b, &ElementLooks::normal);
                const bool fit = (e.flags & SizedByPicture) && !picture.isNull();
                auto* p = new PictureElement(this, fit ? picture.deviceIndependentSize().toSize() : e.size);
                p->SetPicture(picture);
                b.widget = p;
            }
            QWidget* w = b.widget;
            const bool numbered = ElementCount(e.element) > 1;
            w->setObjectName(QString::fromLatin1(e.name) + (numbered ? QString::number(b.index) : QString()));
            if (e.looks.tooltip)
                w->setToolTip(QString::fromUtf8(e.looks.tooltip));
            if (e.cursor != Qt::ArrowCursor)
                w->setCursor(e.cursor);
            if (e.flags & MouseThrough)
                w->setAttribute(Qt::WA_TransparentForMouseEvents);
            if (e.flags & (StartsDisabled | NeedsAlbum))
                w->setEnabled(false);
            if (e.flags & StartsHidden)
                w->hide();
            elements_.push_back(b);
            Wire(b);
        }
    }
    ShowStripLooks();
}

void MainWindow::Wire(const Built& b)
{
    auto* p = qobject_cast<PictureElement*>(b.widget);
    auto* l = qobject_cast<SkinLabel*>(b.widget);
    const int i = b.index;
    switch (b.entry->role) {
    case ElementRole::Plain:
        break;
    case ElementRole::TitleBar:
        connect(p, &PictureElement::pressed, this, &MainWindow::TitlePressed);
        connect(p, &PictureElement::moved, this, &MainWindow::TitleMoved);
        connect(p, &PictureElement::moved, this, &MainWindow::ResetTitleStrip);
        connect(p, &PictureElement::released, this, [this] { moveState_ = MoveState::Idle; });
        connect(p, &PictureElement::doubleClicked, this, [this](QMouseEvent* e) {
            if (e->button() == Qt::LeftButton)
                ToggleMaximised();
        });
        break;
    case ElementRole::WindowButton:
        connect(p, &PictureElement::moved, this, [this, p, b] {
            if (!p->active) {
                p->SetPicture(Look(b, &ElementLooks::hover));
                p->active = true;
            }
        });
        connect(p, &PictureElement::pressed, this, [this, p, b] { p->SetPicture(Look(b, &ElementLooks::pressed)); });
        connect(p, &PictureElement::released, this, [p] {
            p->SetPicture(QPixmap());
            p->active = false;
        });
        break;
    case ElementRole::MenuLabel:
        connect(l, &SkinLabel::moved, this, [l] { l->SetTextColor(Qt::black); });
        break;
    case ElementRole::Link:
        connect(p, &PictureElement::moved, this, [this, p, b] { p->SetPicture(Look(b, &ElementLooks::hover)); });
        break;
    case ElementRole::BarButton:
    case ElementRole::Thumb: {
        const bool thumb = b.entry->role == ElementRole::Thumb;
        connect(p, &PictureElement::pressed, this, [this, p, b, thumb](QMouseEvent* e) {
            p->SetPicture(Look(b, &ElementLooks::pressed));
            p->active = true;
            if (thumb)
                ThumbPressed(e);
        });
        connect(p, &PictureElement::moved, this, [this, p, b, thumb](QMouseEvent* e) {
            if (!p->active)
                p->SetPicture(Look(b, &ElementLooks::hover));
            else if (thumb)
                ThumbMoved(e);
        });
        connect(p, &PictureElement::released, this, [this, p, b, thumb] {
            p->SetPicture(Look(b, &ElementLooks::normal));
            const bool wasPressed = p->active;
            p->active = false;
            if (thumb && wasPressed)
                ThumbReleased();
            if (thumb)
                PhotoNameLabel()->hide();
        });
        break;
    }
    case ElementRole::QuickButton:
        // The strip decides what they do and how they look.
        p->setToolTip(QuickStrip::Tooltip(i));
        connect(p, &PictureElement::moved, this, [this, i] { app_.StripHover(i); });
        connect(p, &PictureElement::released, this, [this, p, i](QMouseEvent* e) {
            if (p->rect().contains(e->position().toPoint()))
                app_.StripClick(i);
        });
        break;
    case ElementRole::Grip: {
        const Grip g = GripOf(b.entry->element);
        connect(p, &PictureElement::pressed, this, [this, p, g] { GripPressed(g, p); });
        connect(p, &PictureElement::moved, this, [this, p, g](QMouseEvent* e) { GripMoved(g, p, e); });
        connect(p, &PictureElement::released, this, [this, p] { GripReleased(p); });
        break;
    }
    }
    if (b.entry->click == ElementClick::None)
        return;
    const auto click = [this, c = b.entry->click, i] { Click(c, i); };
    if (p)
        connect(p, &PictureElement::clicked, this, click);
    else
        connect(l, &SkinLabel::clicked, this, click);
}

void MainWindow::Click(ElementClick click, int index)
{
    switch (click) {
    case ElementClick::None: break;
    case ElementClick::BarButton: app_.BtnClick(index); break;
    case ElementClick::MenuLabel:
        LeaveMenuBar();   // the pointer takes over from the keyboard
        app_.LabelClicked(index);
        break;
    case ElementClick::Minimise: showMinimized(); break;
    case ElementClick::Maximise: ToggleMaximised(); break;
    case ElementClick::Close: close(); break;
    case ElementClick::About: {
        AboutBox box(core_.paths, this);
        box.exec();
        break;
    }
    case ElementClick::Help:
        ShowHelp();
        break;
    case ElementClick::HomePage:
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(AboutBox::kHomePage)));
        break;
    case ElementClick::MakerMail:
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(AboutBox::kMakerMail)));
        break;
    }
}

void MainWindow::ShowHelp()
{
    // One help window, kept: it opens again where the reader left it.
    if (!help_)
        help_ = new HelpWindow(core_.paths, this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

QWidget* MainWindow::Element(SkinElement element, int index) const
{
    for (const Built& b : elements_)
        if (b.entry->element == element && b.index == index)
            return b.widget;
    return nullptr;
}

PictureElement* MainWindow::Picture(SkinElement element, int index) const
{
    return static_cast<PictureElement*>(Element(element, index));
}

SkinLabel* MainWindow::Label(SkinElement element, int index) const
{
    return static_cast<SkinLabel*>(Element(element, index));
}

QPixmap MainWindow::Look(const Built& b, const char* ElementLooks::*look) const
{
    const SkinElementEntry& e = *b.entry;
    const char* name = isMaximized() && e.maximised.*look ? e.maximised.*look : e.looks.*look;
    return name ? art_->Picture(PictureName(name, b.index)) : QPixmap();
}

void MainWindow::ClearHoverLooks()
{
    // The bare background clears every hover look; pressed bar buttons and
    // latched quick-effect buttons stay pressed.
    for (const Built& b : elements_) {
        auto* p = qobject_cast<PictureElement*>(b.widget);
        if (p && b.entry->role == ElementRole::WindowButton && p->active) {
            p->SetPicture(QPixmap());
            p->active = false;
        }
        const bool bar = b.entry->role == ElementRole::BarButton || b.entry->role == ElementRole::Thumb;
        if (p && bar && !p->active)
            p->SetPicture(Look(b, &ElementLooks::normal));
    }
    app_.StripLeaveAll();
}

void MainWindow::ResetTitleStrip()
{
    for (const Built& b : elements_) {
        if (b.entry->role == ElementRole::MenuLabel)
            static_cast<SkinLabel*>(b.widget)->SetTextColor(QColor(b.entry->ink));
        else if (b.entry->role == ElementRole::Link)
            static_cast<PictureElement*>(b.widget)->SetPicture(Look(b, &ElementLooks::normal));
    }
}

void MainWindow::ShowStripLooks()
{
    for (const Built& b : elements_) {
        if (b.entry->role != ElementRole::QuickButton)
            continue;
        auto* p = static_cast<PictureElement*>(b.widget);
        p->SetPicture(art_->quick[size_t(b.index)][int(app_.Strip().LookOf(b.index))]);
        p->active = app_.Strip().Pressed(b.index);
    }
}

void MainWindow::SetBtnState(bool enabled)
{
    for (const Built& b : elements_)
        if (b.entry->flags & LockedByShow)
            b.widget->setEnabled(enabled);
}

void MainWindow::ShowStopButton(bool running)
{
    PictureElement* stop = BarButton(Navigator::Stop);
    BarButton(Navigator::Play)->setVisible(!running);
    stop->setEnabled(running);
    stop->setVisible(running);
    if (running)
        stop->raise();
}

void MainWindow::EnableAlbumLabels()
{
    for (const Built& b : elements_)
        if (b.entry->flags & NeedsAlbum)
            b.widget->setEnabled(true);
}

bool MainWindow::ResizeDragging() const
{
    for (const Built& b : elements_)
        if (b.entry->role == ElementRole::Grip && static_cast<PictureElement*>(b.widget)->active)
            return true;
    return false;
}

}  // namespace tamsel
