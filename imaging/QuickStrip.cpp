#include "imaging/QuickStrip.h"

#include "model/AlbumState.h"
#include "model/SurfacePool.h"
#include "imaging/Composer.h"
#include "imaging/PelOps.h"

namespace tamsel {

QuickStrip::QuickStrip(AlbumState& album, MainState& main, SurfacePool& dibs, Composer& composer)
    : album_(album), main_(main), dibs_(dibs), composer_(composer)
{
    look_.fill(Look::Normal);
}

QString QuickStrip::PictureName(int k, Look look)
{
    static const char* const kKinds[kButtons] = {"loop",  "rotleft",   "rotright",  "colour",
                                                 "grey",  "rectframe", "ovalframe", "original"};
    static const char* const kLooks[3] = {"normal", "hover", "pressed"};
    if (k < 0 || k >= kButtons)
        return {};
    return QStringLiteral("quick_%1_%2.png").arg(QLatin1String(kKinds[k]), QLatin1String(kLooks[int(look)]));
}

QString QuickStrip::Tooltip(int k)
{
    static const char* const kTips[kButtons] = {
        "设置循环(播放)", "逆转90度", "顺转90度", "彩色原照",
        "黑白欣赏",       "矩形像框", "椭圆像框", "原相查看",
    };
    return Valid(k) ? QString::fromUtf8(kTips[k]) : QString();
}

void QuickStrip::LooksChanged()
{
    if (depth_ == 0 && onLooksChanged)
        onLooksChanged();
}

void QuickStrip::Press(int k)
{
    tag_[size_t(k)] = 1;
    look_[size_t(k)] = Look::Pressed;
}

void QuickStrip::Release(int k, Look look)
{
    tag_[size_t(k)] = 0;
    look_[size_t(k)] = look;
}

void QuickStrip::Hover(int k)
{
    for (int i = 0; i < kButtons; ++i)
        if (!Pressed(i))
            look_[size_t(i)] = Look::Normal;
    if (Valid(k) && !Pressed(k))
        look_[size_t(k)] = Look::Hover;
    LooksChanged();
}

void QuickStrip::LeaveAll() { Hover(-1); }

void QuickStrip::Align()
{
    for (int i = 0; i < kButtons; ++i)
        Release(i);
    if (album_.LoopShow == 1)
        Press(kLoop);
    if (album_.RotateAngle == 270)
        Press(kTurnLeft);
    if (album_.RotateAngle == 90)
        Press(kTurnRight);
    if (album_.FrameType >= 0 && album_.FrameType <= 3)
        Press(kColour + album_.FrameType);
    if (main_.OrigView)
        Press(kOrigView);
    LooksChanged();
}

void QuickStrip::Click(int k)
{
    if (!Valid(k))
        return;
    ++depth_;
    UpdateButtons(k);
    Act(k);
    --depth_;
    LooksChanged();
}

void QuickStrip::UpdateButtons(int k)
{
    if (!Pressed(k)) {
        if (k == kTurnLeft || k == kTurnRight) {
            Release(kTurnLeft);
            Release(kTurnRight);
        }
        if (k >= kColour && k <= kOvalFrame) {
            for (int i = kColour; i <= kOvalFrame; ++i)
                Release(i);
            // The lens and the grey or framed styles exclude each other.
            if (k > kColour && Pressed(kOrigView))
                Click(kOrigView);
        }
        Press(k);
        if (k == kOrigView)
            Click(kColour);
    } else if (k == kLoop || k == kTurnLeft || k == kTurnRight || k == kOrigView) {
        // The mouse is still over it: released, it shows its hover picture.
        Release(k, Look::Hover);
    }
    // A pressed style button stays pressed; its click only acts again.
}

void QuickStrip::Act(int k)
{
    const int tag = tag_[size_t(k)];
    switch (k) {
    case kLoop:
        album_.LoopShow = tag;
        break;
    // A new angle applies from the next photo composed; the one on screen stays.
    case kTurnLeft:
        album_.RotateAngle = tag * 270;
        break;
    case kTurnRight:
        album_.RotateAngle = tag * 90;
        break;
    case kColour:
        album_.FrameType = tag - 1;
        Redraw();
        break;
    case kGrey: {
        album_.FrameType = tag;
        Redraw(true);
        break;
    }
    case kRectFrame:
    case kOvalFrame:
        album_.FrameType = tag * (k - 3);
        Redraw();
        if (album_.FrameType == 2 || album_.FrameType == 3)
            composer_.BuildFrameMask(album_.FrameType);
        break;
    case kOrigView:
        main_.OrigView = tag;
        Redraw();
        break;
    default:
        return;
    }
    if (k >= kColour && onScreenChanged)
        onScreenChanged();
}

void QuickStrip::Redraw(bool grey)
{
    if (redrawScreen)
        redrawScreen(grey);
}

}  // namespace tamsel
