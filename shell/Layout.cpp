#include "shell/Layout.h"

#include "platform/Rounding.h"

namespace tamsel {

int WholeDiv(double a, double b)
{
    const int d = RoundHalfEven(b);
    return d == 0 ? 0 : RoundHalfEven(a) / d;
}

int ThumbLeft(int W, int SW, int n, int c)
{
    if (n <= 1)
        return 118;
    return 118 + WholeDiv(double(TrackLength(W, SW)) * c, n - 1);
}

FormLayout ComputeFormLayout(const LayoutInput& in)
{
    const int W = in.W;
    const int H = in.H;
    const int SW = in.SW;
    const int SH = in.SH;
    FormLayout L;
    L.ClientW = W;
    L.ClientH = H;
    L.T = TrackLength(W, SW);

    // Title bar buttons and the start of the info line.
    L.titleBar = QRect(10, 2, W - 100, 25);
    L.maximiseButton = QPoint(W - 54, 7);
    L.minimiseButton = QPoint(W - 75, 7);
    L.closeButton = QPoint(W - 33, 7);
    L.infoLabel = QPoint(20, 36);

    // Button bar; the stop button takes the play button's place.
    L.barButtons[0] = QPoint(17, H - 49);
    L.barButtons[1] = QPoint(60, H - 44);
    L.barButtons[2] = QPoint(84, H - 44);
    L.barButtons[3] = QPoint(W - 109, H - 44);
    L.barButtons[4] = QPoint(W - 85, H - 44);
    L.barButtons[kThumb] = QPoint(ThumbLeft(W, SW, in.n, in.c), H - 41);
    L.barButtons[6] = L.barButtons[0];
    L.photoNameLabel = QPoint(L.barButtons[kThumb].x(), H - 60);

    // The small tool buttons stand centred on the track, in two groups.
    static constexpr int kSteps[kQuickButtons] = {0, 32, 16, 32, 16, 16, 16, 32};
    int x = 126 + WholeDiv(L.T, 2) - 88;
    for (int i = 0; i < kQuickButtons; ++i) {
        x += kSteps[i];
        L.quickButtons[i] = QPoint(x, H - 64);
    }

    // Resize handles; the corner grip reaches one pixel past the window edge.
    L.bottomGrip = QRect(kBottomGripLeft, H - kBottomGripHeight, W - kBottomGripLeft - kCornerGripSize,
                      kBottomGripHeight);
    L.rightGrip = QRect(W - kRightGripWidth, kRightGripTop, kRightGripWidth, H - 16);
    L.cornerGrip = QPoint(W - kCornerGripSize + 1, H - kCornerGripSize + 1);

    // The skin: title strip, side borders, control strip. The bottom pieces are
    // drawn a row taller than their source so no background line shows under them.
    L.skin = {{
        {QRect(0, 0, 142, 56), QRect(0, 0, 142, 56)},
        {QRect(142, 0, W - 250, 56), QRect(150, 0, 60, 56)},
        {QRect(W - SW + 229, 0, SW - 228, 56), QRect(228, 0, SW - 228, 56)},
        {QRect(0, 56, 10, H), QRect(0, 56, 10, 10)},
        {QRect(W - 9, 56, 10, H), QRect(SW - 10, 56, 10, 8)},
        {QRect(0, H - 66, 126, 67), QRect(0, SH - 66, 126, 66)},
        {QRect(126, H - 66, W - 200, 67), QRect(126, SH - 66, 80, 66)},
        {QRect(W - SW + 207, H - 66, SW - 206, 67), QRect(206, SH - 66, SW - 206, 66)},
    }};

    L.icon = QPoint(20, 8);
    L.titleLabel = QPoint(36, 9);

    // Menu-bar labels spread over the title strip, but never closer than 30.
    const int m = kMenuLabels;
    L.menuPitch = WholeDiv((W - 200) - m * in.menuLabelWidth, m);
    if (L.menuPitch < 30)
        L.menuPitch = 30;
    for (int i = 0; i < m; ++i)
        L.menuLabels[i] = QPoint(136 + i * L.menuPitch, 10);

    L.aboutButton = QPoint(W - 140, 8);
    L.helpButton = QPoint(W - 122, 8);
    L.badge = QPoint(W - 79, 21);

    L.photoArea = QRect(9, 55, W - kFrameWidth, H - kFrameHeight);
    L.ShowWidth = L.photoArea.width();
    L.ShowHeight = L.photoArea.height();
    L.ShowAspect = L.ShowHeight != 0 ? double(L.ShowWidth) / L.ShowHeight : 0.0;
    return L;
}

QSize GripDragSize(Grip grip, QPoint pointer, QSize size)
{
    if (grip != Grip::Bottom && pointer.x() > kMinWidth)
        size.setWidth(pointer.x());
    if (grip != Grip::Right && pointer.y() > kMinHeight)
        size.setHeight(pointer.y());
    return size;
}

}  // namespace tamsel
