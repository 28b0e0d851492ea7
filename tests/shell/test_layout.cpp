#include "shell/FormRegion.h"
#include "shell/InfoLine.h"
#include "shell/Layout.h"
#include "shell/ThumbTrack.h"

#include <gtest/gtest.h>

using namespace tamsel;

namespace {

FormLayout DefaultWindow(int n = 10, int c = 3)
{
    LayoutInput in;
    in.W = 498;
    in.H = 458;
    in.n = n;
    in.c = c;
    return ComputeFormLayout(in);
}

std::vector<int> Lefts(const auto& points)
{
    std::vector<int> v;
    for (const QPoint& p : points)
        v.push_back(p.x());
    return v;
}

}  // namespace

// The first-run window: a 480 x 336 photo area, ten photos, the fourth current.
TEST(Layout, DefaultWindowPlacesEveryElement)
{
    const FormLayout L = DefaultWindow();
    EXPECT_EQ(L.T, 239);
    EXPECT_EQ(L.barButtons[kThumb], QPoint(197, 417));
    EXPECT_EQ(L.photoNameLabel, QPoint(197, 398));
    EXPECT_EQ(Lefts(L.quickButtons), (std::vector<int>{157, 189, 205, 237, 253, 269, 285, 317}));
    for (const QPoint& p : L.quickButtons)
        EXPECT_EQ(p.y(), 394);
    EXPECT_EQ(L.menuPitch, 35);
    EXPECT_EQ(Lefts(L.menuLabels), (std::vector<int>{136, 171, 206, 241, 276}));
    EXPECT_EQ(L.barButtons[3], QPoint(389, 414));
    EXPECT_EQ(L.barButtons[4], QPoint(413, 414));
    EXPECT_EQ(L.barButtons[0], QPoint(17, 409));
    EXPECT_EQ(L.barButtons[6], L.barButtons[0]);
    EXPECT_EQ(L.minimiseButton, QPoint(423, 7));
    EXPECT_EQ(L.maximiseButton, QPoint(444, 7));
    EXPECT_EQ(L.closeButton, QPoint(465, 7));
    EXPECT_EQ(L.titleBar, QRect(10, 2, 398, 25));
    EXPECT_EQ(L.skin[2].dst, QRect(388, 0, 111, 56));
    EXPECT_EQ(L.skin[7].dst, QRect(366, 392, 133, 67));
    EXPECT_EQ(L.photoArea, QRect(9, 55, 480, 336));
    EXPECT_EQ(L.ShowWidth, 480);
    EXPECT_EQ(L.ShowHeight, 336);
    EXPECT_DOUBLE_EQ(L.ShowAspect, 480.0 / 336.0);
    // Grips: the bottom strip ends where the corner grip begins, and the grip
    // reaches one pixel past the window.
    EXPECT_EQ(L.bottomGrip, QRect(48, 450, 423, 8));
    EXPECT_EQ(L.rightGrip, QRect(492, 2, 6, 442));
    EXPECT_EQ(L.cornerGrip, QPoint(472, 432));
    EXPECT_EQ(L.badge, QPoint(419, 21));
}

TEST(Layout, SkinPiecesStretchOnlyTheSlices)
{
    const FormLayout L = DefaultWindow();
    // Ends of the title and control strips are copied 1:1 (the bottom ones a
    // row taller), the slices between them stretched to the width.
    EXPECT_EQ(L.skin[0].dst.size(), L.skin[0].src.size());
    EXPECT_EQ(L.skin[2].dst.size(), L.skin[2].src.size());
    EXPECT_EQ(L.skin[1].dst, QRect(142, 0, 248, 56));
    EXPECT_EQ(L.skin[1].src, QRect(150, 0, 60, 56));
    EXPECT_EQ(L.skin[6].dst, QRect(126, 392, 298, 67));
    EXPECT_EQ(L.skin[6].src, QRect(126, 63, 80, 66));
    EXPECT_EQ(L.skin[7].src, QRect(206, 63, 133, 66));
    // Both title-strip ends meet the right edge of the window, the control
    // strip's right end too.
    EXPECT_EQ(L.skin[2].dst.x() + L.skin[2].dst.width(), 499);
    EXPECT_EQ(L.skin[7].dst.x() + L.skin[7].dst.width(), 499);
    EXPECT_EQ(L.skin[4].dst, QRect(489, 56, 10, 458));
}

TEST(Layout, OtherSkinSizesMoveTheTrack)
{
    LayoutInput in;
    in.W = 600;
    in.H = 500;
    in.SW = 400;
    in.SH = 140;
    in.n = 5;
    in.c = 4;
    const FormLayout L = ComputeFormLayout(in);
    EXPECT_EQ(L.T, (600 - 126) - (400 - 206));
    EXPECT_EQ(L.barButtons[kThumb].x(), 118 + L.T);
    EXPECT_EQ(L.skin[2].dst, QRect(600 - 400 + 229, 0, 172, 56));
    EXPECT_EQ(L.skin[5].src, QRect(0, 74, 126, 66));
}

TEST(Layout, ThumbStandsAtTheTrackStartWithoutAChoice)
{
    for (int n : {0, 1}) {
        const FormLayout L = DefaultWindow(n, 0);
        EXPECT_EQ(L.barButtons[kThumb].x(), 118) << n;
    }
    EXPECT_EQ(DefaultWindow(10, 9).barButtons[kThumb].x(), 118 + 239);
}

TEST(Layout, MenuLabelsKeepTheirSmallestPitch)
{
    LayoutInput in;
    in.H = 458;
    // (W - 200 - 120) \ 5 = 29 at 465: under 30, so 30.
    for (int W : {300, 465}) {
        in.W = W;
        const FormLayout L = ComputeFormLayout(in);
        EXPECT_EQ(L.menuPitch, 30) << W;
        EXPECT_EQ(Lefts(L.menuLabels), (std::vector<int>{136, 166, 196, 226, 256}));
    }
    in.W = 470;  // exactly 30
    EXPECT_EQ(ComputeFormLayout(in).menuPitch, 30);
    in.W = 475;
    EXPECT_EQ(ComputeFormLayout(in).menuPitch, 31);
    // Wider labels (a larger font) leave less room between them.
    in.W = 498;
    in.menuLabelWidth = 28;
    EXPECT_EQ(ComputeFormLayout(in).menuPitch, 31);
}

TEST(Layout, ATinyWindowStillGivesEveryElementAPlace)
{
    LayoutInput in;
    in.W = 50;
    in.H = 40;
    const FormLayout L = ComputeFormLayout(in);
    EXPECT_LT(L.photoArea.height(), 0);  // left unapplied by the window
    EXPECT_EQ(L.menuPitch, 30);
    in.H = kFrameHeight;  // a photo area of no height must not divide by zero
    in.W = 498;
    EXPECT_EQ(ComputeFormLayout(in).ShowAspect, 0.0);
}

TEST(Layout, WholeDivRoundsItsOperandsFirst)
{
    EXPECT_EQ(WholeDiv(7.5, 2), 4);    // 8 / 2
    EXPECT_EQ(WholeDiv(6.5, 2), 3);    // 6 / 2
    EXPECT_EQ(WholeDiv(-7, 2), -3);    // toward zero
    EXPECT_EQ(WholeDiv(10, 2.5), 5);   // 10 / 2
    EXPECT_EQ(WholeDiv(5, 0.4), 0);    // divisor rounds to 0: no crash
}

TEST(ThumbTrack, DragFollowsThePointerWithinTheTrack)
{
    // x = 206 in a 498-pixel window with ten photos.
    ThumbDrag d = DragThumb(206, 498, kSkinWidth, 10, 0);
    EXPECT_EQ(d.CurPhoto, 3);
    EXPECT_EQ(d.left, 198);
    // Far left and far right, and beyond.
    d = DragThumb(-40, 498, kSkinWidth, 10, 5);
    EXPECT_EQ(d.CurPhoto, 0);
    EXPECT_EQ(d.left, 118);
    for (int x : {365, 400, 2000}) {
        d = DragThumb(x, 498, kSkinWidth, 10, 0);
        EXPECT_EQ(d.CurPhoto, 9) << x;
        EXPECT_EQ(d.left, 357) << x;
    }
    // The last photo is reached a pixel before the thumb stops.
    d = DragThumb(364, 498, kSkinWidth, 10, 0);
    EXPECT_EQ(d.CurPhoto, 9);
    EXPECT_EQ(d.left, 356);
    EXPECT_EQ(DragThumb(363, 498, kSkinWidth, 10, 0).CurPhoto, 8);
}

TEST(ThumbTrack, IndexStaysInTheListForLargeAlbumsAndNoAlbum)
{
    // More photos than track pixels: the far right is still the last photo.
    const ThumbDrag big = DragThumb(2000, 498, kSkinWidth, 500, 0);
    EXPECT_EQ(big.CurPhoto, 499);
    // One photo: the thumb moves, the photo stays.
    const ThumbDrag one = DragThumb(300, 498, kSkinWidth, 1, 0);
    EXPECT_EQ(one.CurPhoto, 0);
    EXPECT_EQ(one.left, 292);
    // No photos: nothing to choose.
    const ThumbDrag none = DragThumb(300, 498, kSkinWidth, 0, 0);
    EXPECT_EQ(none.CurPhoto, 0);
    EXPECT_EQ(none.left, 292);
}

TEST(ThumbTrack, ReleaseSnapsToThePhotosExactPlace)
{
    EXPECT_NEAR(ThumbRestLeft(498, kSkinWidth, 10, 3), 197.6667, 1e-3);
    EXPECT_EQ(ThumbRestLeft(498, kSkinWidth, 1, 0), 118);
    EXPECT_EQ(ThumbRestLeft(498, kSkinWidth, 10, 9), 118 + 239);
    // At rest the layout truncates where the release rounds.
    EXPECT_EQ(ThumbLeft(498, kSkinWidth, 10, 3), 197);
}

TEST(InfoLine, TextsOfThePosition)
{
    EXPECT_EQ(PositionText(2, 12), QStringLiteral(" 位置 3 / 12"));
    const QString info = QStringLiteral("  文件 121KB  修改 05-3-7 14:5");
    EXPECT_EQ(PhotoInfoText("b.jpg", 800, 600, 459, info), QStringLiteral("照片 b.jpg  尺寸 800x600"));
    EXPECT_EQ(PhotoInfoText("b.jpg", 800, 600, 460, info),
              QStringLiteral("照片 b.jpg  尺寸 800x600") + info);
}

TEST(InfoLine, NarrowingHidesThePositionFirstThenTheTune)
{
    InfoLineInput in;
    in.infoLeft = 20;
    in.infoTop = 36;
    in.infoWidth = 200;
    in.musicWidth = 80;
    in.countWidth = 70;
    in.badgeWidth = 70;
    // Both fit: tune after the info text, position right-aligned before the badge.
    in.clientW = 498;
    InfoLinePlacement p = ArrangeInfoLine(in);
    ASSERT_TRUE(p.musicVisible);
    ASSERT_TRUE(p.countVisible);
    EXPECT_EQ(p.music, QPoint(240, 36));
    EXPECT_EQ(p.count, QPoint(498 - 70 - 15 - 70, 36));
    // Needed: 220 + 20 + 80 + 20 + 70 + 15 + 70 = 495 < W for the position,
    // 220 + 20 + 80 + 15 + 70 = 405 < W for the tune.
    in.clientW = 495;
    p = ArrangeInfoLine(in);
    EXPECT_TRUE(p.musicVisible);
    EXPECT_FALSE(p.countVisible);
    in.clientW = 405;
    p = ArrangeInfoLine(in);
    EXPECT_FALSE(p.musicVisible);
    EXPECT_FALSE(p.countVisible);
    // No tune text: its room still counts, so the position never stands alone
    // where the tune would not fit.
    in.musicWidth = 0;
    in.clientW = 406;
    p = ArrangeInfoLine(in);
    EXPECT_TRUE(p.musicVisible);
    EXPECT_FALSE(p.countVisible);
}

TEST(FormRegion, MainWindowHasOneNearlySquareCorner)
{
    const int w = 498, h = 458;
    const QRegion r = FormRegion(w, h, true);
    EXPECT_EQ(r.boundingRect(), QRect(0, 0, w, h));
    // Three corners rounded by about 26 pixels.
    for (const QPoint& p : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(6, 6)})
        EXPECT_FALSE(r.contains(p)) << p.x() << "," << p.y();
    // The grip's corner is cut by a 9 x 9 ellipse only.
    EXPECT_TRUE(r.contains(QPoint(w - 3, h - 3)));
    EXPECT_FALSE(r.contains(QPoint(w - 1, h - 1)));
    EXPECT_TRUE(r.contains(QPoint(w - 1, h - 7)));   // the side rectangle (23,52)-(W,H-6)
    EXPECT_TRUE(r.contains(QPoint(w - 7, h - 1)));   // the bottom one (52,52)-(W-6,H)
    // Straight edges between the corners, all around.
    for (const QPoint& p : {QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(w - 1, h / 2),
                            QPoint(w / 2, h - 1), QPoint(25, 25), QPoint(w - 26, 25)})
        EXPECT_TRUE(r.contains(p)) << p.x() << "," << p.y();
    // The top-right ellipse reaches past the window; the outline does not.
    EXPECT_FALSE(r.contains(QPoint(w, 26)));
}

TEST(FormRegion, DialogsHaveFourRoundedCorners)
{
    const int w = 300, h = 200;
    const QRegion r = FormRegion(w, h, false);
    for (const QPoint& p : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3)})
        EXPECT_FALSE(r.contains(p)) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(24, 0), QPoint(0, 24), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1),
                            QPoint(8, 8), QPoint(w - 9, h - 9)})
        EXPECT_TRUE(r.contains(p)) << p.x() << "," << p.y();
    // Nothing to shape, nothing shown (a minimised window reports no size).
    EXPECT_TRUE(FormRegion(0, 200, true).isEmpty());
    EXPECT_TRUE(FormRegion(300, -1, false).isEmpty());
}

TEST(Layout, GripsResizeTheirOwnSidesBeyondTheSmallestWindow)
{
    const QSize now(600, 500);
    struct Case {
        Grip grip;
        QPoint pointer;
        QSize wanted;
    } const cases[] = {
        {Grip::Bottom, {700, 520}, {600, 520}},
        {Grip::Right, {700, 520}, {700, 500}},
        {Grip::Corner, {700, 520}, {700, 520}},
        // At the smallest size a side stays where it is; the other still follows.
        {Grip::Corner, {kMinWidth, 520}, {600, 520}},
        {Grip::Corner, {700, kMinHeight}, {700, 500}},
        {Grip::Corner, {kMinWidth + 1, kMinHeight + 1}, {kMinWidth + 1, kMinHeight + 1}},
        {Grip::Right, {-50, 900}, {600, 500}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GripDragSize(c.grip, c.pointer, now), c.wanted) << int(c.grip) << " " << c.pointer.x();
}
