#pragma once
#include <QPoint>
#include <QSize>
#include <QRect>

#include <array>

namespace tamsel {

// Size of the skin picture delivered with the program; used when it is missing,
// so the elements are placed all the same.
inline constexpr int kSkinWidth = 339;
inline constexpr int kSkinHeight = 129;

// The frame around the photo area: the window is the photo area plus this.
inline constexpr int kFrameWidth = 18;
inline constexpr int kFrameHeight = 122;

inline constexpr int kBarButtons = 7;
inline constexpr int kQuickButtons = 8;
inline constexpr int kMenuLabels = 5;
inline constexpr int kThumb = 5;  // bar button 5, the position thumb

// Sizes of the pictures and strips the layout reads back from the window.
inline constexpr QSize kBarButtonSize[kBarButtons] = {{30, 30}, {20, 20}, {20, 20}, {20, 20},
                                              {20, 20}, {14, 14}, {30, 30}};
inline constexpr int kCornerGripSize = 27;
inline constexpr int kBottomGripLeft = 48;
inline constexpr int kBottomGripHeight = 8;
inline constexpr int kRightGripWidth = 6;
inline constexpr int kRightGripTop = 2;

// What the layout is computed from: the client size, the skin size, the album's
// position and the width of the first menu-bar label.
struct LayoutInput {
    int W = 0;
    int H = 0;
    int SW = kSkinWidth;
    int SH = kSkinHeight;
    int n = 0;               // PhotoCount
    int c = 0;               // CurPhoto
    int menuLabelWidth = 24;   // width of the first menu label
};

// One piece of the skin: where it goes on the window and where it comes from.
// Pieces of different sizes are stretched.
struct SkinPiece {
    QRect dst;
    QRect src;
};

// Every element's place for one client size. Rectangles carry the sizes the
// layout sets; points only move an element that keeps its own size.
struct FormLayout {
    int ClientW = 0;
    int ClientH = 0;
    int T = 0;  // length of the position track

    QRect titleBar;
    QPoint minimiseButton, maximiseButton, closeButton;
    QPoint infoLabel;
    std::array<QPoint, kBarButtons> barButtons;
    QPoint photoNameLabel;
    std::array<QPoint, kQuickButtons> quickButtons;
    QRect bottomGrip, rightGrip;
    QPoint cornerGrip;
    std::array<SkinPiece, 8> skin;
    QPoint icon, titleLabel;
    int menuPitch = 0;
    std::array<QPoint, kMenuLabels> menuLabels;
    QPoint aboutButton, helpButton, badge;
    QRect photoArea;

    int ShowWidth = 0;
    int ShowHeight = 0;
    double ShowAspect = 0;
};

// The album's "a ÷ b": both operands rounded to whole numbers, then the
// quotient truncated toward zero. A zero divisor gives 0 rather than a crash.
int WholeDiv(double a, double b);

// T = (W - 126) - (SW - 206): the thumb's centre runs over this many pixels.
inline int TrackLength(int W, int SW) { return (W - 126) - (SW - 206); }

// Thumb left edge for photo c of n at rest on the track.
int ThumbLeft(int W, int SW, int n, int c);

FormLayout ComputeFormLayout(const LayoutInput& in);

// The logo's place in the bottom-right corner of a client area.
inline QPoint LogoPlace(int clientW, int clientH) { return {clientW - 46, clientH - 52}; }

// The resize grips: the bottom edge, the right edge and the corner.
enum class Grip { Bottom, Right, Corner };

// A dragged window is wider and taller than these, or keeps that side.
inline constexpr int kMinWidth = 418;
inline constexpr int kMinHeight = 410;

// The window size a grip dragged to pointer (in window coordinates) asks
// for: each edge changes only its own side, the corner both.
QSize GripDragSize(Grip grip, QPoint pointer, QSize size);

}  // namespace tamsel
