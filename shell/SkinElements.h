#pragma once
#include "shell/Layout.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <span>

namespace tamsel {

// The elements of the main window's frame, each standing for one widget or a
// numbered row of them (the bar buttons, the menu-bar labels...).
enum class SkinElement {
    TitleBar,
    TitleIcon,
    TitleLabel,
    MinimiseButton,
    MaximiseButton,
    CloseButton,
    MenuLabel,
    AboutButton,
    HelpButton,
    Badge,
    InfoLabel,
    MusicLabel,
    CountLabel,
    BarButton,
    PhotoNameLabel,
    QuickButton,
    BottomGrip,
    RightGrip,
    CornerGrip,
    LogoFrame,
};

// How the pointer works an element.
enum class ElementRole {
    Plain,         // shows its picture or text; only a click may act
    TitleBar,      // drags the window, maximises on a double-click; crossing it
                   // turns the menu-bar labels and the links back
    WindowButton,  // a glyph over the bare skin while hovered or pressed
    MenuLabel,     // black under the pointer until the title bar is crossed
    Link,          // its hover picture until the title bar is crossed
    BarButton,     // hover and pressed pictures; normal at release or over the background
    Thumb,         // a bar button dragged along the track
    QuickButton,   // the quick-effect strip gives its looks, tooltip and click
    Grip,          // resizes the window
};

// What a click on an element does.
enum class ElementClick {
    None,
    BarButton,   // the application's button of the element's index
    MenuLabel,   // the application's menu label of the element's index
    Minimise,
    Maximise,
    Close,
    About,
    Help,
    HomePage,
    MakerMail,
};

enum ElementFlag : unsigned {
    MouseThrough = 1u << 0,         // the title bar under it takes the pointer
    StartsHidden = 1u << 1,
    StartsDisabled = 1u << 2,
    NeedsAlbum = 1u << 3,           // disabled until the album has photos
    LockedByShow = 1u << 4,         // disabled while the slide show runs
    HiddenWhenMaximised = 1u << 5,
    SizedByPicture = 1u << 6,       // its picture's size; the given size only without one
};

// The pictures (base names of the program directory's PNG files, "%1" standing
// for the element's two-digit index) and the tooltip of an element. No
// picture lets the skin painted on the window show through.
struct ElementLooks {
    const char* normal = nullptr;
    const char* hover = nullptr;
    const char* pressed = nullptr;
    const char* tooltip = nullptr;
};

// One row of the frame: count widgets of one element, made alike.
struct SkinElementEntry {
    SkinElement element;
    const char* name;           // by role, for accessibility tools and tests; a
                                // numbered element's widgets carry their index
    int count = 1;
    bool label = false;         // a text label, else a picture element
    ElementRole role = ElementRole::Plain;
    ElementClick click = ElementClick::None;
    QSize size{};               // none: the layout or the text sizes it
    ElementLooks looks{};
    ElementLooks maximised{};   // looks while the window is maximised, where they differ
    Qt::CursorShape cursor = Qt::ArrowCursor;
    const char* text = nullptr;
    QRgb ink = 0;               // text colour; 0 keeps the style's
    QRgb back = 0;              // background colour; 0 shows the window's
    unsigned flags = 0;
};

// The frame's elements in the order they are stacked, the lowest first.
std::span<const SkinElementEntry> SkinElements();
// How many widgets an element has.
int ElementCount(SkinElement element);
// A picture base name of the table for the element's index-th widget.
QString PictureName(const char* name, int index);
// Every picture the table names, once each.
QStringList SkinPictureNames();

// Where the layout puts an element's index-th widget: a rectangle sets its
// size too, a point only moves it. The window places the tune and position
// texts after the info text and the logo in its corner itself.
struct ElementPlace {
    enum class How { None, Move, Set } how = How::None;
    QRect at;
};
ElementPlace PlaceOf(const FormLayout& L, SkinElement element, int index);

}  // namespace tamsel
