// The skin table and the frame painted from the skin, without a window.
#include "shell/FrameBackground.h"
#include "shell/SkinElements.h"
#include "show/Music.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace tamsel;

namespace {

// A skin whose every pixel tells where it came from.
Surface PatternSkin(int k)
{
    Surface s;
    EXPECT_TRUE(s.Create(kSkinWidth * k, kSkinHeight * k));
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            uint8_t* p = s.RowPtr(y) + 3 * x;
            p[0] = uint8_t(x / k);
            p[1] = uint8_t(y / k);
            p[2] = uint8_t(x / k >> 8 | 0x80);
        }
    return s;
}

QRgb At(const Surface& s, int x, int y)
{
    const uint8_t* p = s.RowPtr(y) + 3 * x;
    return qRgb(p[2], p[1], p[0]);
}

}  // namespace

// A picture the table names but the installation lacks would leave its
// element bare without a word; the numbered rows must match what the layout
// places and the logo clock counts.
TEST(SkinElements, EveryNamedPictureIsInstalledAndEveryRowIsPlaced)
{
    const QDir data(QStringLiteral(TAMSEL_SOURCE_DIR "/assets/data"));
    const QStringList names = SkinPictureNames();
    EXPECT_TRUE(names.contains(QStringLiteral("logo_29")));
    for (const QString& name : names)
        EXPECT_TRUE(QFile::exists(data.filePath(name + QStringLiteral(".png")))) << qPrintable(name);
    EXPECT_EQ(ElementCount(SkinElement::BarButton), kBarButtons);
    EXPECT_EQ(ElementCount(SkinElement::MenuLabel), kMenuLabels);
    EXPECT_EQ(ElementCount(SkinElement::QuickButton), kQuickButtons);
    EXPECT_EQ(ElementCount(SkinElement::LogoFrame), LogoClock::kFrames);
    LayoutInput in;
    in.W = 498;
    in.H = 458;
    const FormLayout L = ComputeFormLayout(in);
    EXPECT_EQ(PlaceOf(L, SkinElement::BarButton, kBarButtons).how, ElementPlace::How::None);
    EXPECT_EQ(PlaceOf(L, SkinElement::BottomGrip, 0).at, L.bottomGrip);
}

// The background is kept only around the photo area: the pieces must cover
// everything else exactly once, whatever the window's size.
TEST(FrameBackground, PiecesCoverTheWindowAroundThePhotoAreaOnce)
{
    for (const QSize size : {QSize(498, 458), QSize(60, 140), QSize(30, 20)}) {
        LayoutInput in;
        in.W = size.width();
        in.H = size.height();
        const FormLayout L = ComputeFormLayout(in);
        const QRect hole = L.photoArea.intersected(QRect(QPoint(), size));
        std::vector<int> covered(size_t(size.width() * size.height()), 0);
        for (const QRect& r : AroundPhotoArea(L)) {
            ASSERT_FALSE(r.isEmpty());
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    ++covered[size_t(y * size.width() + x)];
        }
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                ASSERT_EQ(covered[size_t(y * size.width() + x)], hole.contains(x, y) ? 0 : 1)
                    << size.width() << "x" << size.height() << " at " << x << "," << y;
    }
}

// The dense screen's skin is cut at twice the layout's places: each copied
// piece shows the same skin pixels as at 1x, four device pixels for each.
TEST(FrameBackground, TheDenseFrameIsTheSameSkinAtTwiceTheSize)
{
    LayoutInput in;
    in.W = 498;
    in.H = 458;
    const FormLayout L = ComputeFormLayout(in);
    const Surface one = PaintFrame(PatternSkin(1), L, 1);
    const Surface two = PaintFrame(PatternSkin(2), L, 2);
    ASSERT_EQ(two.Width(), 2 * 498);
    ASSERT_EQ(two.Height(), 2 * 458);
    for (const int piece : {0, 2}) {   // the title strip's ends, copied 1:1
        const QRect d = L.skin[size_t(piece)].dst.intersected(QRect(0, 0, 498, 458));
        for (int y = d.top(); y <= d.bottom(); ++y)
            for (int x = d.left(); x <= d.right(); ++x)
                ASSERT_EQ(At(two, 2 * x + 1, 2 * y + 1), At(one, x, y)) << piece << " at " << x << "," << y;
    }
    // Where no skin lies, and without a skin at all, the background colour.
    EXPECT_EQ(At(one, 200, 200), kFrameBackColour);
    EXPECT_EQ(At(PaintFrame(Surface(), L, 1), 60, 20), kFrameBackColour);
    EXPECT_FALSE(PaintFrame(PatternSkin(1), ComputeFormLayout(LayoutInput{}), 1).HasPixels());
}
