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
    L.IMBar = QRect(10, 2, W - 100, 25);
    L.Immax = QPoint(W - 54, 7);
    L.Immin = QPoint(W - 75, 7);
    L.Imclose = QPoint(W - 33, 7);
    L.LabInfo = QPoint(20, 36);

    // Button bar; the stop button takes the play button's place.
    L.Btn[0] = QPoint(17, H - 49);
    L.Btn[1] = QPoint(60, H - 44);
    L.Btn[2] = QPoint(84, H - 44);
    L.Btn[3] = QPoint(W - 109, H - 44);
    L.Btn[4] = QPoint(W - 85, H - 44);
    L.Btn[kThumb] = QPoint(ThumbLeft(W, SW, in.n, in.c), H - 41);
    L.Btn[6] = L.Btn[0];
    L.LabAnyPhoto = QPoint(L.Btn[kThumb].x(), H - 60);

    // The small tool buttons stand centred on the track, in two groups.
    static constexpr int kSteps[kSBtnCount] = {0, 32, 16, 32, 16, 16, 16, 32};
    int x = 126 + WholeDiv(L.T, 2) - 88;
    for (int i = 0; i < kSBtnCount; ++i) {
        x += kSteps[i];
        L.ImgSBtn[i] = QPoint(x, H - 64);
    }

    // Resize handles; the corner grip reaches one pixel past the window edge.
    L.Pbottom = QRect(kPbottomLeft, H - kPbottomHeight, W - kPbottomLeft - kPjiaoSize,
                      kPbottomHeight);
    L.Pright = QRect(W - kPrightWidth, kPrightTop, kPrightWidth, H - 16);
    L.Pjiao = QPoint(W - kPjiaoSize + 1, H - kPjiaoSize + 1);

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

    L.Imico = QPoint(20, 8);
    L.LabTitle = QPoint(36, 9);

    // Menu-bar labels spread over the title strip, but never closer than 30.
    const int m = kFolderLabels;
    L.folderPitch = WholeDiv((W - 200) - m * in.folderLabelW, m);
    if (L.folderPitch < 30)
        L.folderPitch = 30;
    for (int i = 0; i < m; ++i)
        L.LabFolder[i] = QPoint(136 + i * L.folderPitch, 10);

    L.Imgmail = QPoint(W - 140, 8);
    L.Imgques = QPoint(W - 122, 8);
    L.Img4star = QPoint(W - 79, 21);

    L.picphotoshow = QRect(9, 55, W - kFrameWidth, H - kFrameHeight);
    L.ShowWidth = L.picphotoshow.width();
    L.ShowHeight = L.picphotoshow.height();
    L.ShowAspect = L.ShowHeight != 0 ? double(L.ShowWidth) / L.ShowHeight : 0.0;
    return L;
}

}  // namespace tamsel
