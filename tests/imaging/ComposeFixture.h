#pragma once
// A headless album for composition tests: its own program folder with masks,
// an album folder, the shared state and a sink that records what the user is told.
#include "ScriptedView.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "imaging/ColourProfile.h"
#include "imaging/Composer.h"
#include "show/TransitionEngine.h"
#include "model/AlbumModel.h"
#include "TestAccess.h"
#include "model/AlbumView.h"
#include "model/Surface.h"
#include "platform/Paths.h"
#include "platform/SafeWrite.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tamsel::testing {

using RecordingSink = ScriptedView;

// The colour of the mask pictures the tests install: any non-black colour does.
inline const QColor kMaskColour(200, 160, 80);

// A picture of four coloured quarters with a white corner at the top left,
// so turns, mirrors and offsets all show.
inline QImage Quarters(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, QColor(220, 30, 30));
    p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(30, 200, 40));
    p.fillRect(0, h / 2, w / 2, h - h / 2, QColor(40, 50, 210));
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(230, 220, 60));
    p.fillRect(0, 0, std::max(1, w / 8), std::max(1, h / 8), Qt::white);
    return img;
}

inline QImage Solid(int w, int h, const QColor& c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        paths = AppPaths::ForProgramDir(dir.path());
        InstallMasks();
        QDir(dir.path()).mkdir("album");
        albumFolder = dir.path() + "/album/";
        photos.Point(albumFolder);
        composer = std::make_unique<Composer>(model, ReportTo(sink));
        MakeScreenSurfaces(480, 336);
    }

    void InstallMasks()
    {
        Solid(120, 84, kMaskColour).save(dir.filePath("mask1.jpg"), "JPEG", 95);
        Solid(120, 84, kMaskColour).save(dir.filePath("mask2.jpg"), "JPEG", 95);
    }

    // What ShowFace makes, without composing anything.
    void MakeScreenSurfaces(int w, int h)
    {
        album.ShowWidth = w;
        album.ShowHeight = h;
        engine.MakeSurfaces(w, h);
    }

    // Composes a photo and hands what was made to the engine, as the load
    // step does; false when the photo could not be composed whole.
    bool Compose(const QString& path)
    {
        if (const std::optional<Composition> made = composer->DIBClonePicture(path))
            engine.Take(*made);
        return !model.shown.LoadFailed();
    }
    const Composition& shown() const { return engine.Shown(); }
    // Composes a picture held in memory and hands it to the engine.
    bool ComposeInMemory(Surface picture, bool turn)
    {
        if (const std::optional<Composition> made = composer->ComposePicture(std::move(picture), turn))
            engine.Take(*made);
        return !model.shown.LoadFailed();
    }

    // Saves a picture into the album folder; Qt writes bmp, jpg and png,
    // ImageMagick's own tool the other formats.
    QString Photo(const QString& name, const QImage& img)
    {
        const QString path = albumFolder + name;
        const QString ext = name.section('.', -1).toLower();
        if (ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "png") {
            const char* fmt = ext == "bmp" ? "BMP" : ext == "png" ? "PNG" : "JPEG";
            EXPECT_TRUE(img.save(path, fmt, 95)) << qPrintable(path);
        } else {
            const QString png = dir.filePath("source.png");
            img.save(png, "PNG");
            EXPECT_EQ(QProcess::execute("convert", {png, ext + ":" + path}), 0) << qPrintable(path);
        }
        return path;
    }

    QTemporaryDir dir;
    QString albumFolder;   // the album's photos are saved here
    AlbumModel model{AppPaths{}, AlbumExtensions()};
    AppPaths& paths = model.paths;
    AlbumState& album = model.state;
    PhotoPosition& position = model.position;
    MainState& main = model.main;
    SurfacePool& dibs = model.dibs;
    PhotoList& photos = model.photos;
    RecordingSink sink;
    std::unique_ptr<Composer> composer;
    TransitionEngine engine{model, sink, [this](const QString& p) { return composer->DIBClonePicture(p); }};
};

// Pixel (x, y) of a surface as r, g, b.
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
inline Rgb At(const Surface& s, int x, int y)
{
    const uint8_t* p = s.RowPtr(y) + 3 * x;
    return {p[2], p[1], p[0]};
}
inline bool IsBlack(const Rgb& c) { return c.r == 0 && c.g == 0 && c.b == 0; }
inline bool Near(const Rgb& a, const QColor& b, int tol)
{
    return std::abs(a.r - b.red()) <= tol && std::abs(a.g - b.green()) <= tol &&
           std::abs(a.b - b.blue()) <= tol;
}

inline std::vector<uint8_t> Bytes(const Surface& s)
{
    return s.HasPixels() ? std::vector<uint8_t>(s.DataPtr(), s.DataPtr() + s.RGBSize())
                         : std::vector<uint8_t>{};
}

// What a composition leaves for the screen, the engine and the lens: every
// surface the photo area is made from and the numbers that go with them.
struct Composed {
    std::vector<std::vector<uint8_t>> surfaces;
    std::vector<double> numbers;

    static Composed Of(const AlbumModel& m, const TransitionEngine& e)
    {
        const Composition& s = e.Shown();
        const SurfacePool& d = m.dibs;
        const Surface& p = d.DibPhoto;
        return {{Bytes(p), Bytes(d.DibCanvas), Bytes(d.DibMask), Bytes(e.DibNew()), Bytes(e.DibScreen())},
                {double(p.Width()), double(p.Height()), double(p.FullWidth()), double(p.FullHeight()),
                 double(p.InDisplayColours()), double(s.PanMode), double(s.ShowTransMode), double(s.CanvasWidth),
                 double(s.CanvasHeight), s.ViewX, s.ViewY, s.ViewW, s.ViewH, s.ZoomX, s.ZoomY, s.PhotoAspect,
                 s.CanvasAspect, s.PlaceX, s.PlaceY, s.PlaceW, s.PlaceH}};
    }
    bool operator==(const Composed&) const = default;
};

// The same picture composed the way a photo is: written as a BMP file (with
// the profile its pixels are in) and read back through the file road, turned
// by turnAngle, with the pan toggles as they were before. The album's own
// turn is put back afterwards. The picture may be DibPhoto itself: it is
// written before anything is composed.
inline Composed ComposedFromFile(AlbumModel& m, Composer& composer, TransitionEngine& engine, const Surface& picture,
                                 const QString& file, int turnAngle, std::pair<bool, bool> panTurns)
{
    const QByteArray icc = PixelProfile(picture);
    EXPECT_TRUE(picture.SaveBMP(file.toStdString(), std::string_view(icc.constData(), size_t(icc.size()))));
    const int angle = m.state.RotateAngle;
    m.state.RotateAngle = turnAngle;
    TestAccess::SetPanTurns(composer, panTurns);
    const std::optional<Composition> made = composer.DIBClonePicture(file);
    EXPECT_FALSE(m.shown.LoadFailed());
    engine.ShowAtOnce(made);
    m.state.RotateAngle = angle;
    return Composed::Of(m, engine);
}

}  // namespace tamsel::testing
