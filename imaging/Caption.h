#pragma once
#include <QFont>
#include <QString>

#include "platform/Outcome.h"

#include <cstdint>

namespace tamsel {

class Surface;
struct AlbumState;
class MainState;
struct SurfacePool;

// The caption font the way the album describes it: a character cell
// charHeight pixels high (ascent plus descent together, not the em size) and an average character width of charWidth, so a Chinese character
// is about 2 x charWidth wide. The face goes through the font substitutions,
// so "楷体_GB2312" is drawn in the installed Kai font.
QFont CaptionFont(const QString& faceName, int charWidth, int charHeight);

// Draws text at (0, 0) of target in that font and textColour, every character
// cell filled with backColour. Colours are 0x00BBGGRR. Pixels outside the text
// stay as they were; text beyond the surface is clipped. Returns false when
// nothing could be drawn (no surface, no size).
bool DrawTextStrip(Surface& target, const QString& text, int32_t textColour, int32_t backColour,
              const QString& faceName, int charWidth, int charHeight);

// Where a caption goes: the top-left corner of its strip on the canvas, before
// rounding. tw is the estimated text width, th the height of one caption line.
struct CaptionSpot {
    double x = 0;
    double y = 0;
};
CaptionSpot CaptionPosition(int capPos, double showWidth, double showHeight, int tw, int th,
                            int panMode);

// The estimated width of a caption: half the font size per GBK byte, so a
// Chinese character counts one font size and an ASCII one half.
int CaptionTextWidth(const QString& caption, int capFontSize);

// Height of one caption line as the window measures its own text: one line of
// the window font (the Song face at 10.5 points), in pixels.
int CaptionLineHeight();

// The caption step of the composition: writes the caption of the current
// photo into DibCaption and lays it over DibCanvas with black transparent.
// Nothing is drawn for an empty caption or an oval frame (FrameType 3).
// A strip that cannot be made is the outcome, and no caption is laid on.
// At a pixel ratio above 1 the photo area, the font and the line are that
// many times larger, as the display surfaces are.
Outcome DrawCaption(const AlbumState& album, const QString& caption, int panMode, SurfacePool& dibs,
                    double pixelRatio = 1);

}  // namespace tamsel
