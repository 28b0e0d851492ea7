#include "app/Retouch.h"

#include "imaging/ColourProfile.h"
#include "imaging/Composer.h"
#include "imaging/PelOps.h"
#include "model/AlbumModel.h"
#include "show/TransitionEngine.h"
#include "platform/SafeWrite.h"

#include <QFile>

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

// The working file may hold the retouches so far, which a failed write must
// not destroy: the surface writes whole or not at all.
Outcome WriteWorkingFile(const Surface& pic, const AppPaths& paths)
{
    if (!paths.EnsureWorkDir())
        return Outcome::Failed(QStringLiteral("工作文件夹无法建立"));
    // A photo in the display's colours keeps that profile with it, so that
    // saving the retouch elsewhere keeps the colours as shown.
    const QByteArray profile = PixelProfile(pic);
    return pic.SaveBMP(QFile::encodeName(paths.tempPic).toStdString(), Keep::Scratch,
                       std::string_view(profile.constData(), size_t(profile.size())));
}

}  // namespace

RetouchResult ApplyRetouch(AlbumModel& model, int code, const ColourBalance& balance)
{
    if (code < kCmdBalance || code > kCmdNegative)
        return {Outcome::Failed(QStringLiteral("  不认识的修饰命令")), {}};
    Surface& pic = model.dibs.DibPhoto;
    if (!pic.HasPixels())
        return {Outcome::Failed(QStringLiteral("  对不起,没有可以修饰的照片")), {}};

    Apply(balance, pic, code);

    const AppPaths& paths = model.paths;
    if (const Outcome written = WriteWorkingFile(pic, paths); !written) {
        // DibPhoto now holds a picture no file holds. Composing the file
        // behind the screen again restores it: a working file of earlier
        // retouches already carries the turn, a photo file does not.
        MainState& main = model.main;
        main.Retouched = model.shown.CurFile() == paths.tempPic;
        return {Outcome::Failed(QStringLiteral("  对不起,修饰结果无法写入工作文件 %1 %2")
                                    .arg(paths.tempPic, written.message)),
                model.shown.CurFile()};
    }
    model.main.Retouched = true;
    return {Outcome::Done(), paths.tempPic};
}

Outcome RunRetouch(AlbumModel& model, Composer& composer, TransitionEngine& engine, int code,
                   const ColourBalance& balance)
{
    RetouchResult r = ApplyRetouch(model, code, balance);
    if (!r.compose.isEmpty()) {
        engine.ShowAtOnce(composer.DIBClonePicture(r.compose));
        model.main.MarkLabelsDirty();
    }
    return r.outcome;
}

}  // namespace tamsel
