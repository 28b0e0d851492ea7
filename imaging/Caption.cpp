#include "imaging/Caption.h"

#include "model/AlbumState.h"
#include "model/SurfacePool.h"
#include "imaging/PelOps.h"
#include "model/Surface.h"
#include "platform/Fonts.h"
#include "platform/Gbk.h"
#include "platform/Rounding.h"

#include <QColor>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace tamsel {
namespace {

constexpr int kStripHeight = 30;   // DibCaption is one line of ShowWidth x 30
constexpr int kMaxFaceBytes = 31;  // a font face name holds 31 bytes and its zero

QColor FromColorRef(int32_t c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A face longer than the font description can hold is cut to 31 bytes, whole
// characters only.
QString CutFaceName(const QString& face)
{
    if (GbkLength(face) <= kMaxFaceBytes)
        return face;
    QString cut;
    int bytes = 0;
    for (int i = 0; i < face.size();) {
        const int len = (face.at(i).isHighSurrogate() && i + 1 < face.size()) ? 2 : 1;
        const QString ch = face.mid(i, len);
        const int n = GbkLength(ch);
        if (bytes + n > kMaxFaceBytes)
            break;
        cut += ch;
        bytes += n;
        i += len;
    }
    return cut;
}

void EnsureSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, RegisterFontSubstitutions);
}

}  // namespace

QFont CaptionFont(const QString& faceName, int charWidth, int charHeight)
{
    EnsureSubstitutions();
    QFont font(CutFaceName(faceName));
    charHeight = std::max(charHeight, 1);
    font.setPixelSize(charHeight);
    font.setStyleStrategy(QFont::PreferAntialias);
    // Qt sizes a font by its em; the album sizes it by the whole cell, so the
    // em shrinks by the font's own ascent + descent to em ratio.
    const QFontMetricsF probe(font);
    if (probe.height() > 0)
        font.setPixelSize(std::max(1, RoundHalfEven(charHeight * charHeight / probe.height())));
    // The width asks for an average character width; the font is stretched
    // to it, which keeps a Kai or Song face at its own proportions when the
    // width is half the height.
    if (charWidth > 0) {
        const QFontMetricsF fm(font);
        const double avg = fm.averageCharWidth();
        if (avg > 0)
            font.setStretch(std::clamp(RoundHalfEven(100.0 * charWidth / avg), 1, 4000));
    }
    return font;
}

bool DrawTextStrip(Surface& target, const QString& text, int32_t textColour, int32_t backColour,
              const QString& faceName, int charWidth, int charHeight)
{
    if (!target.HasPixels() || charHeight <= 0)
        return false;
    const QFont font = CaptionFont(faceName, charWidth, charHeight);
    const QFontMetricsF fm(font);

    // Draw on a top-down copy of the target and copy the rows back: the
    // painter never sees the bottom-up rows, and pixels the text leaves alone
    // come back unchanged.
    QImage img = target.ToQImage().convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&img);
        if (!p.isActive())
            return false;
        p.setFont(font);
        p.setPen(FromColorRef(textColour));
        p.setBackground(FromColorRef(backColour));
        p.setBackgroundMode(Qt::OpaqueMode);
        p.drawText(QPointF(0, fm.ascent()), text);
    }
    for (int y = 0; y < target.Height(); ++y) {
        const auto* s = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        uint8_t* d = target.RowPtr(y);
        for (int x = 0; x < target.Width(); ++x) {
            d[0] = uint8_t(s[x]);
            d[1] = uint8_t(s[x] >> 8);
            d[2] = uint8_t(s[x] >> 16);
            d += 3;
        }
    }
    return true;
}

int CaptionLineHeight()
{
    // Measured once: the window font does not change while the program runs.
    static const int height = QFontMetrics(WindowFont()).height();
    return height;
}

int CaptionTextWidth(const QString& caption, int capFontSize)
{
    return IntDiv(capFontSize * GbkLength(caption), 2);
}

CaptionSpot CaptionPosition(int capPos, double showWidth, double showHeight, int tw, int th,
                            int panMode)
{
    CaptionSpot at;
    if (capPos >= 0 && capPos <= 8) {
        switch (capPos % 3) {
        case 0: at.x = showWidth * 0.1; break;
        case 1: at.x = IntDiv(RoundHalfEven(showWidth) - tw, 2); break;
        default: at.x = showWidth * 0.9 - tw; break;
        }
        switch (capPos / 3) {
        case 0: at.y = showHeight * 0.1; break;
        case 1: at.y = showHeight * 0.5 - IntDiv(th, 2); break;
        default: at.y = showHeight * 0.9 - th; break;
        }
    }
    // The shift puts the caption where the view ends up: a pan to the right
    // or downwards ends 60 pixels in, the zoom ends 30 pixels in at 1:1; a pan
    // back to the left or upwards ends at 0.
    if (panMode == PanRight)
        at.x += kPanAllowance;
    else if (panMode == PanDown)
        at.y += kPanAllowance;
    else if (panMode == PanZoom)
        at.x += kPanAllowance / 2;
    return at;
}

Outcome DrawCaption(const AlbumState& album, const QString& caption, int panMode, SurfacePool& dibs,
                    double pixelRatio)
{
    if (caption.isEmpty() || album.FrameType > 2)
        return Outcome::Done();
    auto device = [pixelRatio](double v) { return RoundHalfEven(v * pixelRatio); };
    const int fontSize = device(album.CapFontSize);
    const int tw = CaptionTextWidth(caption, fontSize);
    const int th = device(CaptionLineHeight());
    const CaptionSpot at = CaptionPosition(album.CapPos, device(album.ShowWidth),
                                           device(album.ShowHeight), tw, th, panMode);

    Surface& strip = dibs.DibCaption;
    if (Outcome made = strip.Create(device(album.ShowWidth), device(kStripHeight)); !made)
        return made;
    DrawTextStrip(strip, caption, album.CapFontColor, 0, album.CapFontName, IntDiv(fontSize, 2),
                  fontSize);
    PelAlphaBlend(dibs.DibCanvas, RoundHalfEven(at.x), RoundHalfEven(at.y), strip.Width(),
                  strip.Height(), strip, 0, 0, 255);
    return Outcome::Done();
}

}  // namespace tamsel
