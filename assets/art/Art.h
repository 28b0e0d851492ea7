#pragma once
// Shared palette, geometry and helpers of the picture maker. Every picture of
// the skin uses this one palette, so the pieces read as one designed whole:
// ink-blue lacquer, a gold inlay line, warm rice paper.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace tamsel::art {

// ---- palette -------------------------------------------------------------
namespace ink {
inline const QColor Rim{10, 15, 23};          // the window's outermost edge
inline const QColor BandHi{61, 82, 118};      // lit top of the lacquer moulding
inline const QColor Band1{44, 61, 91};
inline const QColor Band2{35, 50, 76};
inline const QColor Band3{27, 39, 61};
inline const QColor Inner{20, 29, 43};        // the narrow band around the photo
inline const QColor Shadow{11, 16, 24};       // the line that touches the photo
inline const QColor Deep{15, 23, 35};         // recesses in the control bar
inline const QColor Glyph{198, 205, 216};     // idle glyphs on lacquer
}  // namespace ink

namespace gold {
inline const QColor Base{201, 165, 95};
inline const QColor Light{239, 214, 153};
inline const QColor Pale{250, 236, 196};
inline const QColor Dark{138, 106, 50};
inline const QColor Deep{96, 72, 34};
}  // namespace gold

namespace paper {
inline const QColor Top{247, 242, 229};
inline const QColor Bottom{236, 228, 209};
inline const QColor Rule{207, 192, 158};      // engraved rule on the paper
inline const QColor Slate{88, 98, 118};       // idle glyphs on paper
inline const QColor Title{34, 50, 74};        // suggested title text colour
inline const QColor InfoText{58, 70, 88};     // suggested info line colour
}  // namespace paper

inline const QColor Vermilion{178, 62, 48};
inline const QColor Jade{96, 166, 142};

// ---- skin geometry ---------------------------------------------------------
// The layout cuts these places out of the skin, so they are fixed here once.
constexpr int SkinW = 339;
constexpr int SkinH = 129;
// The skin reads as a window of 338 x 128: its last column and row land just
// outside the window when the layout places the right and bottom pieces.
constexpr int SkinRight = 338;
constexpr int SkinBottom = 128;
constexpr int TitleRows = 56;        // rows 0..55
constexpr int StripTop = SkinH - 66; // first row of the control strip (63)
// Centre line of the button bar in skin rows: the bar buttons, the track and
// the thumb all sit on it once the strip is stretched from 66 to 67 rows.
constexpr double BarCentreY = StripTop + 31.5;
// Window-button cells of the title strip (skin columns; row 7, 17 x 16).
constexpr int MinCellX = 263;
constexpr int MaxCellX = 284;
constexpr int CloseCellX = 305;
constexpr int WinCellY = 7;

// ---- helpers -------------------------------------------------------------
QColor Mix(const QColor& a, const QColor& b, double t);
QColor WithAlpha(QColor c, int alpha);
// The pictures are drawn once for ordinary screens and once more at twice
// the pixels for dense ones; painters work in the 1x picture's coordinates.
int Scale();
void SetScale(int scale);
// A transparent ARGB picture of w x h at the current scale: Scale() times the
// pixels, its device pixel ratio set so that QPainter draws in 1x coordinates.
QImage NewImage(int w, int h);
QImage NewImage(int w, int h, QImage::Format format);
QFont Kai(double pixelSize);
QFont Ming(double pixelSize);
// A vertical gradient sampled at pixel row y of stops (position, colour).
QColor Ramp(const std::vector<std::pair<double, QColor>>& stops, double t);
// A smooth pseudo-random value in [0, 1) for integer lattice points.
double Hash(int x, int y, int seed);
// Smooth 1-D value noise with octaves, in [-1, 1].
double Fractal1D(double x, int octaves, int seed);
// Smooth 2-D value noise with octaves, in [-1, 1].
double Fractal2D(double x, double y, int octaves, int seed);

// Where the pictures go and the list of what was written.
class Output {
public:
    Output(QString dataDir, QString assetsDir);
    // Into data/; at scale 2 as "name@2x.png".
    bool Png(const QImage& img, const QString& name);
    bool Jpeg(const QImage& img, const QString& name, int quality); // into data/
    bool AssetPng(const QImage& img, const QString& name);        // beside data/
    const QStringList& Written() const { return written_; }
    bool Ok() const { return ok_; }

private:
    bool Save(const QImage& img, const QString& path, const char* format, int quality);
    QString dataDir_;
    QString assetsDir_;
    QStringList written_;
    bool ok_ = true;
};

// ---- the painters ---------------------------------------------------------
// Each writes its pictures through out; the skin painter also hands back the
// skin so the preview can compose a window from it.
QImage PaintSkin(Output& out);
void PaintBarButtons(Output& out);
void PaintQuickIcons(Output& out);
void PaintLogo(Output& out);
void PaintTrim(Output& out);
void PaintAppIcons(Output& out);
void PaintCover(Output& out);
void PaintMasks(Output& out);

// The application icon at any size (the 16 x 16 title icon is drawn simpler).
QImage AppIcon(int size);

// Composes a mock main window from the written pictures, for looking at.
bool WritePreview(const QString& dataDir, const QString& path, int w, int h, int frameType);

}  // namespace tamsel::art
