#include "app/Retouch.h"

#include "imaging/Composer.h"
#include "imaging/PelOps.h"
#include "model/AlbumModel.h"
#include "show/TransitionEngine.h"

namespace tamsel {
namespace {

void Apply(const ColourBalance& s, Surface& pic, int code)
{
    const int w = pic.Width();
    const int h = pic.Height();
    switch (code) {
    case kCmdBalance: {
        if (s.BalBright != 0)
            pic.ShiftColors(s.BalBright, s.BalBright, s.BalBright);
        if (s.BalHue != 0 || s.BalSat != 100)
            PelHSL(pic, 0, 0, w, h, pic, 0, 0, float(s.BalHue) / 10.0f, float(s.BalSat) / 100.0f);
        break;
    }
    case kCmdSharpen:
        pic.Sharpen();
        break;
    case kCmdSoften:
        pic.FastBlur();
        break;
    case kCmdNegative:
        PelInvert(pic, 0, 0, w, h, pic, 0, 0);
        break;
    }
}

}  // namespace

Outcome RunRetouch(AlbumModel& model, Composer& composer, TransitionEngine& engine, int code,
                   const ColourBalance& balance)
{
    if (code < kCmdBalance || code > kCmdNegative)
        return Outcome::Failed(QStringLiteral("  不认识的修饰命令"));
    Surface& pic = model.dibs.DibPhoto;
    if (!pic.HasPixels())
        return Outcome::Failed(QStringLiteral("  对不起,没有可以修饰的照片"));
    Apply(balance, pic, code);
    engine.ShowAtOnce(composer.ComposePicture(std::move(pic), false));
    model.main.MarkLabelsDirty();
    return Outcome::Done();
}

}  // namespace tamsel
