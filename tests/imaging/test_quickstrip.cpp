#include "ComposeFixture.h"

#include "imaging/Blit.h"
#include "imaging/QuickStrip.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

class QuickStripTest : public ComposeTest {
protected:
    void SetUp() override
    {
        ComposeTest::SetUp();
        strip = std::make_unique<QuickStrip>(album, main, dibs, *composer);
        strip->onLooksChanged = [this] { ++looks; };
        strip->onScreenChanged = [this] { ++screens; };
        strip->redrawScreen = [this](bool grey) {
            engine.Redraw();
            if (grey)
                engine.GreyScreen();
        };
        album.CoverFile = Photo("colour.bmp", Quarters(480, 336));
        SetFace();
        looks = screens = 0;
    }

    std::vector<int> PressedButtons() const
    {
        std::vector<int> on;
        for (int k = 0; k < QuickStrip::kButtons; ++k)
            if (strip->Pressed(k))
                on.push_back(k);
        return on;
    }

    bool ScreenIsGrey() const
    {
        for (int y = 0; y < 336; y += 4)
            for (int x = 0; x < 480; x += 4) {
                const Rgb c = At(engine.DibScreen(), x, y);
                if (c.r != c.g || c.g != c.b)
                    return false;
            }
        return true;
    }

    // What the album does when it shows its face: the strip follows the settings.
    void SetFace()
    {
        strip->Align();
        ShowFace(engine, *composer, 480, 336, true);
    }

    std::unique_ptr<QuickStrip> strip;
    int looks = 0, screens = 0;
};

}  // namespace

TEST_F(QuickStripTest, AlignsWithTheSettingsWhenTheFaceIsSet)
{
    EXPECT_EQ(PressedButtons(), (std::vector<int>{3}));
    album.LoopShow = 1;
    album.RotateAngle = 90;
    album.FrameType = 2;
    main.OrigView = -1;
    SetFace();
    EXPECT_EQ(PressedButtons(), (std::vector<int>{0, 2, 5, 7}));
    EXPECT_TRUE(strip->Pressed(5));
    EXPECT_FALSE(strip->Pressed(4));
    EXPECT_EQ(strip->LookOf(5), QuickStrip::Look::Pressed);
    album.RotateAngle = 270;
    album.LoopShow = 0;
    main.OrigView = 0;
    strip->Align();
    EXPECT_EQ(PressedButtons(), (std::vector<int>{1, 5}));
}

TEST_F(QuickStripTest, TogglesAndTheTwoTurnsExcludeEachOther)
{
    const auto screen = Bytes(engine.DibScreen());
    strip->Click(0);
    EXPECT_EQ(album.LoopShow, 1);
    strip->Click(0);
    EXPECT_EQ(album.LoopShow, 0);
    // Released under the mouse: the hover picture.
    EXPECT_EQ(strip->LookOf(0), QuickStrip::Look::Hover);

    strip->Click(1);
    EXPECT_EQ(album.RotateAngle, 270);
    strip->Click(2);
    EXPECT_FALSE(strip->Pressed(1));
    EXPECT_TRUE(strip->Pressed(2));
    EXPECT_EQ(album.RotateAngle, 90);
    strip->Click(2);
    EXPECT_EQ(album.RotateAngle, 0);
    EXPECT_TRUE(PressedButtons() == (std::vector<int>{3}));
    // The photo on screen is not turned; only the next composition is.
    EXPECT_EQ(Bytes(engine.DibScreen()), screen);
    EXPECT_EQ(screens, 0);
    EXPECT_EQ(looks, 5);
}

TEST_F(QuickStripTest, GreyShowsAtOnceAndColourComesBackFromTheCanvas)
{
    const auto colour = Bytes(engine.DibScreen());
    strip->Click(4);
    EXPECT_EQ(album.FrameType, 1);
    EXPECT_TRUE(ScreenIsGrey());
    EXPECT_EQ(PressedButtons(), (std::vector<int>{4}));
    strip->Click(3);
    EXPECT_EQ(album.FrameType, 0);
    EXPECT_EQ(Bytes(engine.DibScreen()), colour);

    // A photo composed in black and white has no colour left to show.
    strip->Click(4);
    SetFace();
    strip->Click(3);
    EXPECT_TRUE(ScreenIsGrey());
    EXPECT_EQ(screens, 4);
}

TEST_F(QuickStripTest, FrameButtonsBuildTheMaskEvenWhenAlreadyPressed)
{
    strip->Click(5);
    EXPECT_EQ(album.FrameType, 2);
    EXPECT_TRUE(IsBlack(At(dibs.DibMask, 240, 168)));
    EXPECT_TRUE(Near(At(dibs.DibMask, 5, 5), kMaskColour, 8));
    dibs.DibMask.Cls();
    strip->Click(5);
    EXPECT_TRUE(Near(At(dibs.DibMask, 5, 5), kMaskColour, 8));
    EXPECT_EQ(PressedButtons(), (std::vector<int>{5}));

    strip->Click(6);
    EXPECT_EQ(album.FrameType, 3);
    EXPECT_EQ(PressedButtons(), (std::vector<int>{6}));
    EXPECT_TRUE(Near(At(dibs.DibMask, 63, 45), kMaskColour, 8));
    EXPECT_TRUE(sink.infos.isEmpty());
}

TEST_F(QuickStripTest, MissingMaskStillSetsTheStyleAndKeepsTheButtonDown)
{
    QFile::remove(dir.filePath("mask1.jpg"));
    strip->Click(5);
    EXPECT_EQ(sink.infos.size(), 1);
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_EQ(album.FrameType, 2);
    EXPECT_TRUE(strip->Pressed(5));
    // Nothing of a frame is laid over the photo, and no transition keeps its
    // outgoing picture in the mask.
    for (int y = 0; y < 336; y += 3)
        for (int x = 0; x < 480; x += 3)
            ASSERT_TRUE(IsBlack(At(dibs.DibMask, x, y)));
    main.SetView(View::BringingIn);
    Compose(Photo("next.bmp", Solid(64, 48, Qt::red)));
    EXPECT_EQ(shown().ShowTransMode, kNoTransition);
}

TEST_F(QuickStripTest, OriginalViewAndTheGreyOrFramedStylesExcludeEachOther)
{
    strip->Click(4);
    strip->Click(7);
    // Pressing the lens presses the colour style first.
    EXPECT_EQ(PressedButtons(), (std::vector<int>{3, 7}));
    EXPECT_EQ(album.FrameType, 0);
    EXPECT_TRUE(main.OrigView);
    EXPECT_FALSE(ScreenIsGrey());

    strip->Click(6);
    EXPECT_FALSE(main.OrigView);
    EXPECT_EQ(PressedButtons(), (std::vector<int>{6}));
    EXPECT_EQ(album.FrameType, 3);
    EXPECT_EQ(strip->LookOf(7), QuickStrip::Look::Hover);

    strip->Click(7);
    EXPECT_EQ(PressedButtons(), (std::vector<int>{3, 7}));
    strip->Click(7);
    EXPECT_FALSE(main.OrigView);
    EXPECT_EQ(PressedButtons(), (std::vector<int>{3}));
    // Each click tells the widget once, however many buttons it moved.
    EXPECT_EQ(looks, 5);
}

TEST_F(QuickStripTest, HoverLightsOnlyTheButtonUnderTheMouse)
{
    strip->Click(0);
    strip->Click(0);
    ASSERT_EQ(strip->LookOf(0), QuickStrip::Look::Hover);
    strip->Hover(2);
    EXPECT_EQ(strip->LookOf(2), QuickStrip::Look::Hover);
    EXPECT_EQ(strip->LookOf(0), QuickStrip::Look::Normal);
    strip->Hover(3);   // pressed: keeps its pressed picture
    EXPECT_EQ(strip->LookOf(3), QuickStrip::Look::Pressed);
    EXPECT_EQ(strip->LookOf(2), QuickStrip::Look::Normal);
    strip->Hover(1);
    strip->LeaveAll();
    for (int k = 0; k < QuickStrip::kButtons; ++k)
        EXPECT_EQ(strip->LookOf(k), k == 3 ? QuickStrip::Look::Pressed : QuickStrip::Look::Normal);
    strip->Click(42);   // no such button
    EXPECT_EQ(PressedButtons(), (std::vector<int>{3}));
}

