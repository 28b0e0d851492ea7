#pragma once
// A headless album for composition tests: its own program folder with masks,
// an album folder, the shared state and a sink that records what the user is told.
#include "ScriptedView.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "model/SurfacePool.h"
#include "imaging/Composer.h"
#include "model/AlbumModel.h"
#include "TestAccess.h"
#include "model/AlbumView.h"
#include "model/Surface.h"
#include "platform/Paths.h"

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
        ASSERT_TRUE(paths.EnsureWorkDir());
        InstallMasks();
        QDir(dir.path()).mkdir("album");
        album.PhotoFolder = dir.path() + "/album/";
        composer = std::make_unique<Composer>(model, ReportTo(sink));
        MakeScreenSurfaces(480, 336);
    }
    void TearDown() override { paths.RemoveWorkFiles(); }

    void InstallMasks()
    {
        Solid(120, 84, kMaskColour).save(dir.filePath("mask1.jpg"), "JPEG", 95);
        Solid(120, 84, kMaskColour).save(dir.filePath("mask2.jpg"), "JPEG", 95);
    }

    // What SetFace makes, without composing anything.
    void MakeScreenSurfaces(int w, int h)
    {
        album.ShowWidth = w;
        album.ShowHeight = h;
        dibs.MakeDisplaySurfaces(w, h);
    }

    // Saves a picture into the album folder; Qt writes bmp, jpg and png,
    // ImageMagick's own tool the other formats.
    QString Photo(const QString& name, const QImage& img)
    {
        const QString path = album.PhotoFolder + name;
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
    AlbumModel model{AppPaths{}, AlbumExtensions()};
    AppPaths& paths = model.paths;
    AlbumState& album = model.state;
    PhotoPosition& position = model.position;
    MainState& main = model.main;
    SurfacePool& dibs = model.dibs;
    PhotoList& photos = model.photos;
    RecordingSink sink;
    std::unique_ptr<Composer> composer;
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

}  // namespace tamsel::testing
