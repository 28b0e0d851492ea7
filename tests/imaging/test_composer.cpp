#include "TestAccess.h"
#include "ComposeFixture.h"

#include "platform/FileInfo.h"
#include "imaging/Blit.h"
#include "imaging/Composer.h"
#include "imaging/Decode.h"
#include "imaging/ImageFormats.h"
#include "platform/Rounding.h"

#include <QFile>

#include <cmath>
#include <cstring>
#include <set>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

class Composing : public ComposeTest {};

// The bounding box of the pixels of a surface region that are not black.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};
Box NonBlack(const Surface& s, int x0, int y0, int x1, int y1)
{
    Box b;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (!IsBlack(At(s, x, y))) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

}  // namespace

TEST_F(Composing, ZoomPhotoIsFittedByHeightIntoTheLargerCanvas)
{
    main.SetView(View::Still);
    const QString path = Photo("p.bmp", Solid(800, 600, QColor(90, 120, 150)));
    ASSERT_TRUE(Compose(path));
    EXPECT_EQ(shown().PanMode, 5);
    EXPECT_FALSE(engine.PanDone());
    EXPECT_EQ(shown().CanvasWidth, 540);
    EXPECT_EQ(shown().CanvasHeight, 378);
    EXPECT_DOUBLE_EQ(shown().PlaceW, 504);
    EXPECT_DOUBLE_EQ(shown().PlaceH, 378);
    EXPECT_DOUBLE_EQ(shown().PlaceX, 18);
    EXPECT_DOUBLE_EQ(shown().PlaceY, 0);
    EXPECT_DOUBLE_EQ(shown().ZoomX, 1.125);
    EXPECT_DOUBLE_EQ(shown().ZoomY, 1.125);
    EXPECT_EQ(shown().ViewW, 540);
    EXPECT_EQ(shown().ViewH, 378);
    // The photo covers columns 18..521 of the canvas; the margins stay black.
    EXPECT_TRUE(IsBlack(At(dibs.DibCanvas, 17, 100)));
    EXPECT_EQ(At(dibs.DibCanvas, 18, 100), (Rgb{90, 120, 150}));
    EXPECT_EQ(At(dibs.DibCanvas, 521, 377), (Rgb{90, 120, 150}));
    EXPECT_TRUE(IsBlack(At(dibs.DibCanvas, 522, 100)));
    EXPECT_TRUE(IsBlack(At(dibs.DibCanvas, 100, 378)));
    EXPECT_EQ(model.shown.CurFile(), path);
    EXPECT_EQ(model.shown.CurFileName(), QStringLiteral("p.bmp"));
    EXPECT_EQ(model.shown.CurFileInfo(), FileInfoText(path));
    EXPECT_EQ(shown().ShowTransMode, 0);
}

TEST_F(Composing, WideAndTallPhotosPanInTurnAcrossTheAllowance)
{
    main.SetView(View::BringingIn);
    const QString wide = Photo("wide.bmp", Solid(1600, 400, QColor(200, 100, 50)));
    const QString tall = Photo("tall.bmp", Solid(300, 900, QColor(50, 100, 200)));

    Compose(wide);
    EXPECT_EQ(shown().PanMode, 1);
    EXPECT_EQ(shown().CanvasWidth, 540);
    EXPECT_EQ(shown().CanvasHeight, 336);
    EXPECT_DOUBLE_EQ(shown().PlaceW, 540);
    EXPECT_DOUBLE_EQ(shown().PlaceH, 135);
    EXPECT_DOUBLE_EQ(shown().PlaceY, 100.5);
    EXPECT_EQ(shown().ViewX, 0);
    EXPECT_EQ(shown().ViewW, 480);
    EXPECT_DOUBLE_EQ(shown().ZoomX, 1);
    // 100.5 is blitted at row 100: rows 100..234 hold the photo.
    EXPECT_TRUE(IsBlack(At(dibs.DibCanvas, 200, 99)));
    EXPECT_FALSE(IsBlack(At(dibs.DibCanvas, 200, 100)));
    EXPECT_FALSE(IsBlack(At(dibs.DibCanvas, 200, 234)));
    EXPECT_TRUE(IsBlack(At(dibs.DibCanvas, 200, 235)));

    // A tall photo in between does not disturb the turn of the wide ones.
    Compose(tall);
    EXPECT_EQ(shown().PanMode, 3);
    EXPECT_EQ(shown().CanvasWidth, 480);
    EXPECT_EQ(shown().CanvasHeight, 396);
    EXPECT_EQ(shown().ViewY, 0);
    Compose(wide);
    EXPECT_EQ(shown().PanMode, 2);
    EXPECT_EQ(shown().ViewX, 59);
    Compose(tall);
    EXPECT_EQ(shown().PanMode, 4);
    EXPECT_EQ(shown().ViewY, 59);
    EXPECT_EQ(shown().ViewX, 0);
    Compose(wide);
    EXPECT_EQ(shown().PanMode, 1);

    // Exactly at the limit counts as wide: 1080 / 672 = 540 / 336.
    Compose(Photo("edge.bmp", Solid(1080, 672, Qt::gray)));
    EXPECT_EQ(shown().PanMode, 2);
}

TEST_F(Composing, CoverIsStillAndSeenWhole)
{
    main.SetView(View::Cover);
    album.PhotoCaption = {QStringLiteral("封面")};
    Compose(Photo("cover.bmp", Solid(800, 600, QColor(0, 0, 1))));
    EXPECT_EQ(shown().PanMode, 0);
    EXPECT_EQ(shown().CanvasWidth, 480);
    EXPECT_EQ(shown().CanvasHeight, 336);
    EXPECT_EQ(shown().ViewX, 0);
    EXPECT_EQ(shown().ViewY, 0);
    EXPECT_EQ(shown().ViewW, 480);
    EXPECT_EQ(shown().ViewH, 336);
    EXPECT_TRUE(shown().caption.isEmpty());
    // No caption on the cover: only the photo's own colour is on the canvas.
    for (int y = 0; y < 336; y += 7)
        for (int x = 0; x < 480; x += 7) {
            const Rgb c = At(dibs.DibCanvas, x, y);
            ASSERT_TRUE(IsBlack(c) || c == (Rgb{0, 0, 1}));
        }
}

TEST_F(Composing, TurnsThePhotoByTheAngleAroundItsCentre)
{
    main.SetView(View::Still);
    const QString path = Photo("q.bmp", Quarters(640, 480));
    album.RotateAngle = 90;
    ASSERT_TRUE(Compose(path));
    ASSERT_EQ(dibs.DibPhoto.Width(), 480);
    ASSERT_EQ(dibs.DibPhoto.Height(), 640);
    // A quarter turn clockwise: the white top-left corner goes top right,
    // the red quarter above the yellow one... every corner moves one place on.
    EXPECT_EQ(At(dibs.DibPhoto, 479, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(dibs.DibPhoto, 0, 0), (Rgb{40, 50, 210}));
    EXPECT_EQ(At(dibs.DibPhoto, 0, 639), (Rgb{230, 220, 60}));
    EXPECT_EQ(At(dibs.DibPhoto, 479, 639), (Rgb{30, 200, 40}));
    // The turned photo is tall: 640 / 480 >= 396 / 480.
    EXPECT_EQ(shown().PanMode, 3);

    album.RotateAngle = 270;
    ASSERT_TRUE(Compose(path));
    EXPECT_EQ(At(dibs.DibPhoto, 0, 639), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(dibs.DibPhoto, 479, 0), (Rgb{230, 220, 60}));

    // A retouched result is already turned: it is composed as it is, and
    // the next photo is turned again.
    Decoded retouched = DecodePicture(path);
    ASSERT_TRUE(retouched.IsPicture());
    ASSERT_TRUE(ComposeInMemory(std::move(retouched.picture), false));
    EXPECT_EQ(dibs.DibPhoto.Width(), 640);
    EXPECT_EQ(At(dibs.DibPhoto, 0, 0), (Rgb{255, 255, 255}));
    ASSERT_TRUE(Compose(path));
    EXPECT_EQ(dibs.DibPhoto.Width(), 480);
}

TEST_F(Composing, OnlyLowerCaseBmpAndJpgAreReadDirectly)
{
    main.SetView(View::Still);
    // Large enough for a reduced decode, which only the album's own JPEG reader makes.
    const QImage img = Quarters(1600, 1200);
    for (const char* name : {"a.jpg", "b.bmp", "c.JPG", "d.jpeg", "e.BMP", "f.png"}) {
        const QString p = Photo(name, img);
        const QByteArray n(name);
        EXPECT_EQ(ReadsDirectly(p), n == "a.jpg" || n == "b.bmp") << name;
        ASSERT_TRUE(Compose(p)) << name;
        // Whichever reader read it, the file shown is the photo itself.
        EXPECT_EQ(model.shown.CurFile(), p);
        EXPECT_EQ(model.shown.CurFileName(), QString::fromLatin1(name));
        EXPECT_EQ(dibs.DibPhoto.FullWidth(), 1600);
        EXPECT_EQ(dibs.DibPhoto.Reduced(), n == "a.jpg") << name;
        const Surface& photo = dibs.DibPhoto;
        EXPECT_TRUE(Near(At(photo, photo.Width() * 5 / 8, photo.Height() / 6), QColor(30, 200, 40), 12)) << name;
    }
    EXPECT_TRUE(sink.infos.isEmpty());
}

TEST_F(Composing, UnreadablePhotoIsReportedAndThePreviousOneComposedAgain)
{
    main.SetView(View::Still);
    // A photo the image file library reads first...
    ASSERT_TRUE(Compose(Photo("a.png", Solid(320, 240, QColor(10, 200, 10)))));
    // ...then a directly read one, which is the previous photo below.
    ASSERT_TRUE(Compose(Photo("b.bmp", Solid(200, 100, QColor(200, 10, 10)))));
    QFile bad(albumFolder + "broken.png");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture at all");
    bad.close();

    // Shown as a retouch of it, in memory.
    Surface same;
    ASSERT_TRUE(same.Create(dibs.DibPhoto.Width(), dibs.DibPhoto.Height()));
    std::memcpy(same.DataPtr(), dibs.DibPhoto.DataPtr(), size_t(same.RGBSize()));
    ASSERT_TRUE(ComposeInMemory(std::move(same), false));
    EXPECT_FALSE(Compose(bad.fileName()));
    ASSERT_EQ(sink.infos.size(), 1);
    // The message names the photo.
    EXPECT_EQ(sink.infos[0], QStringLiteral("装入图片出错: broken.png"));
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_FALSE(model.shown.InMemory());
    EXPECT_EQ(model.shown.CurFileName(), QStringLiteral("broken.png"));
    // The previous photo, not the older one the library read.
    EXPECT_EQ(dibs.DibPhoto.Width(), 200);
    EXPECT_EQ(At(dibs.DibPhoto, 5, 5), (Rgb{200, 10, 10}));
    EXPECT_EQ(At(engine.DibNew(), 240, 168), (Rgb{200, 10, 10}));

    EXPECT_FALSE(Compose(albumFolder + "missing.jpg"));
    EXPECT_FALSE(Compose(albumFolder + "gone.tif"));
    ASSERT_EQ(sink.infos.size(), 3);
    EXPECT_EQ(sink.infos[1], QStringLiteral("文件未找到: missing.jpg"));
    EXPECT_EQ(sink.infos[2], QStringLiteral("文件未找到: gone.tif"));
    EXPECT_EQ(dibs.DibPhoto.Width(), 200);
}

TEST_F(Composing, TurnedPhotoThatFailsLeavesThePreviousPictureWhole)
{
    main.SetView(View::Still);
    ASSERT_TRUE(Compose(Photo("ok.bmp", Quarters(300, 200))));
    const auto photo = Bytes(dibs.DibPhoto), canvas = Bytes(dibs.DibCanvas), fresh = Bytes(engine.DibNew());
    const int pan = shown().PanMode;
    const double viewX = shown().ViewX, viewW = shown().ViewW;

    album.RotateAngle = 90;
    QFile bad(albumFolder + "bad.jpg");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("\xFF\xD8\xFF\xE0garbage", 11));
    bad.close();
    for (const QString& p : {bad.fileName(), albumFolder + "gone.bmp"}) {
        EXPECT_FALSE(Compose(p));
        EXPECT_EQ(Bytes(dibs.DibPhoto), photo);
        EXPECT_EQ(Bytes(dibs.DibCanvas), canvas);
        EXPECT_EQ(Bytes(engine.DibNew()), fresh);
        EXPECT_EQ(shown().PanMode, pan);
        EXPECT_EQ(shown().ViewX, viewX);
        EXPECT_EQ(shown().ViewW, viewW);
    }
    EXPECT_EQ(sink.infos.size(), 2);
    EXPECT_EQ(sink.beeps, 2);
    // The surfaces are still good for the next photo.
    album.RotateAngle = 270;
    EXPECT_TRUE(Compose(Photo("next.bmp", Quarters(300, 200))));
    EXPECT_EQ(dibs.DibPhoto.Height(), 300);
}

TEST_F(Composing, BlackAndWhiteGreysTheCanvas)
{
    main.SetView(View::Still);
    album.FrameType = 1;
    album.TransMode = 99;
    Compose(Photo("q.bmp", Quarters(640, 480)));
    EXPECT_EQ(shown().ShowTransMode, 0);
    EXPECT_EQ(album.TransMode, 99);   // the setting is the user's, whatever the photo took
    for (int y = 0; y < shown().CanvasHeight; y += 5)
        for (int x = 0; x < shown().CanvasWidth; x += 5) {
            const Rgb c = At(dibs.DibCanvas, x, y);
            ASSERT_TRUE(c.r == c.g && c.g == c.b) << x << "," << y;
        }
    // The quarters stay told apart by their brightness.
    EXPECT_NE(At(dibs.DibCanvas, 150, 150).r, At(dibs.DibCanvas, 400, 150).r);
}

TEST_F(Composing, FramesPunchTheirWindowIntoTheMask)
{
    main.SetView(View::Still);
    const QString path = Photo("p.bmp", Solid(800, 600, Qt::gray));
    album.FrameType = 2;
    Compose(path);
    EXPECT_EQ(shown().ShowTransMode, 255);
    const Surface& m = dibs.DibMask;
    // 480 x 336: the window runs from (62, 44) to (416, 291), right and bottom left out.
    EXPECT_TRUE(Near(At(m, 61, 100), kMaskColour, 8));
    EXPECT_TRUE(IsBlack(At(m, 62, 100)));
    EXPECT_TRUE(IsBlack(At(m, 415, 100)));
    EXPECT_TRUE(Near(At(m, 416, 100), kMaskColour, 8));
    EXPECT_TRUE(Near(At(m, 200, 43), kMaskColour, 8));
    EXPECT_TRUE(IsBlack(At(m, 200, 44)));
    EXPECT_TRUE(IsBlack(At(m, 200, 290)));
    EXPECT_TRUE(Near(At(m, 200, 291), kMaskColour, 8));
    EXPECT_TRUE(IsBlack(At(m, 62, 44)));   // a rectangle has sharp corners

    album.FrameType = 3;
    Compose(path);
    EXPECT_TRUE(IsBlack(At(m, 239, 167)));
    EXPECT_TRUE(Near(At(m, 63, 45), kMaskColour, 8));   // an ellipse leaves the corners
    EXPECT_TRUE(IsBlack(At(m, 64, 167)));
    EXPECT_TRUE(Near(At(m, 60, 167), kMaskColour, 8));
    EXPECT_TRUE(sink.infos.isEmpty());
}

TEST_F(Composing, MissingMaskIsReportedAndLaysNothingOverThePhoto)
{
    main.SetView(View::Still);
    QFile::remove(dir.filePath("mask2.jpg"));
    // Whatever DibMask held before (an outgoing picture) must not show as a frame.
    for (int y = 0; y < 336; ++y)
        std::memset(dibs.DibMask.RowPtr(y), 0x55, 480 * 3);
    album.FrameType = 3;
    album.TransMode = 0;
    EXPECT_TRUE(Compose(Photo("p.bmp", Solid(800, 600, QColor(128, 128, 128)))));
    ASSERT_EQ(sink.infos.size(), 1);
    EXPECT_TRUE(sink.infos[0].contains(QStringLiteral("mask2.jpg")));
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_TRUE(NonBlack(dibs.DibMask, 0, 0, 480, 336).Empty());
    EXPECT_EQ(shown().ShowTransMode, 255);
    // The photo itself is composed as usual.
    EXPECT_EQ(At(engine.DibNew(), 240, 168), (Rgb{128, 128, 128}));
}

TEST_F(Composing, CaptionIsPlacedInEachOfTheNineCells)
{
    main.SetView(View::Still);
    album.PhotoCaption = {QStringLiteral("天空")};   // 4 bytes: tw = 44 at size 22
    TestAccess::SetCurPhoto(position, 0);
    const QString path = Photo("dark.bmp", Solid(800, 600, Qt::black));
    // Zoom (PanMode 5) moves every caption 30 pixels to the right.
    const int xs[3] = {48 + 30, 218 + 30, 388 + 30};
    const int ys[3] = {34, 157, 280};
    for (int cell = 0; cell < 9; ++cell) {
        SCOPED_TRACE(cell);
        album.CapPos = cell;
        Compose(path);
        ASSERT_EQ(shown().PanMode, 5);
        const Box b = NonBlack(dibs.DibCanvas, 0, 0, 540, 378);
        ASSERT_FALSE(b.Empty());
        const int x = xs[cell % 3], y = ys[cell / 3];
        EXPECT_GE(b.left, x);
        EXPECT_LE(b.left, x + 4);
        EXPECT_LE(b.right, x + 44 + 2);
        EXPECT_GE(b.right, x + 36);
        EXPECT_GE(b.top, y);
        EXPECT_LT(b.bottom, y + 30);
    }
}

TEST_F(Composing, CaptionKeepsItsColourOnGreyAndNoneOnOvalFrames)
{
    main.SetView(View::BringingIn);
    album.PhotoCaption = {QString(), QStringLiteral("红色字幕")};
    TestAccess::SetCurPhoto(position, 1);
    album.CapFontColor = 0x0000FF;   // red
    album.CapPos = 4;
    const QString path = Photo("p.bmp", Solid(800, 600, QColor(40, 140, 90)));

    album.FrameType = 1;
    Compose(path);
    int red = 0;
    for (int y = 0; y < 378; ++y)
        for (int x = 0; x < 540; ++x) {
            const Rgb c = At(dibs.DibCanvas, x, y);
            red += (c.r > 200 && c.g < 60 && c.b < 60);
        }
    EXPECT_GT(red, 50);

    // The strip's black background is left out: the photo shows around the glyphs.
    album.FrameType = 0;
    Compose(path);
    EXPECT_TRUE(NonBlack(dibs.DibCanvas, 18, 0, 522, 378).left == 18);
    for (int y = 0; y < 378; ++y)
        for (int x = 18; x < 522; ++x)
            ASSERT_FALSE(IsBlack(At(dibs.DibCanvas, x, y))) << x << "," << y;

    album.FrameType = 3;
    Compose(path);
    for (int y = 0; y < 378; y += 2)
        for (int x = 18; x < 522; x += 2)
            ASSERT_EQ(At(dibs.DibCanvas, x, y), (Rgb{40, 140, 90}));

    // Black letters vanish: black is the strip's transparent colour.
    album.FrameType = 0;
    album.CapFontColor = 0;
    Compose(path);
    for (int y = 0; y < 378; y += 2)
        for (int x = 18; x < 522; x += 2)
            ASSERT_EQ(At(dibs.DibCanvas, x, y), (Rgb{40, 140, 90}));
}

// DibNew against a picture worked out here from the geometry alone: the photo
// is a pair of linear ramps, which any area-averaging or bilinear resampling
// reproduces at the sample's centre, so every pixel can be predicted.
TEST_F(Composing, FirstViewMatchesAnIndependentlyComputedPicture)
{
    const int W = 800, H = 600;
    QImage img(W, H, QImage::Format_RGB32);
    auto ramp = [](double v, double n) { return std::clamp(v * 255.0 / (n - 1), 0.0, 255.0); };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            img.setPixel(x, y, qRgb(int(std::lround(ramp(x, W))), int(std::lround(ramp(y, H))), 77));
    main.SetView(View::Still);
    ASSERT_TRUE(Compose(Photo("ramp.bmp", img)));
    ASSERT_EQ(shown().PanMode, 5);

    // DibNew (480 x 336) shows the view (0, 0, 540, 378) of the canvas; the
    // photo lies on the canvas at (18, 0) in 504 x 378.
    const double toCanvas = 540.0 / 480.0;
    const double toPhoto = 800.0 / 504.0;
    int worst = 0, checked = 0;
    for (int y = 0; y < 336; ++y)
        for (int x = 0; x < 480; ++x) {
            const double cx = (x + 0.5) * toCanvas;
            const double cy = (y + 0.5) * toCanvas;
            const Rgb got = At(engine.DibNew(), x, y);
            if (cx < 18 - 2 || cx > 522 + 2) {
                ASSERT_TRUE(IsBlack(got)) << x << "," << y;
                continue;
            }
            if (cx < 18 + 3 || cx > 522 - 3 || cy < 3 || cy > 378 - 3)
                continue;   // edge pixels mix with the margin or are clamped
            const double px = (cx - 18) * toPhoto - 0.5;
            const double py = cy * (600.0 / 378.0) - 0.5;
            worst = std::max({worst, std::abs(got.r - int(std::lround(ramp(px, W)))),
                              std::abs(got.g - int(std::lround(ramp(py, H)))),
                              std::abs(got.b - 77)});
            ++checked;
        }
    EXPECT_GT(checked, 140000);
    EXPECT_LE(worst, 2);
}

TEST_F(Composing, SetFaceShowsTheCoverOrTheCurrentPhotoAtOnce)
{
    album.CoverFile = Photo("cover.jpg", Quarters(400, 300));
    album.ShowWidth = 500;
    album.ShowHeight = 300;
    ShowFace(engine, *composer, 500, 300, true);
    EXPECT_EQ(main.ViewMode(), View::Cover);
    EXPECT_EQ(engine.DibScreen().Width(), 500);
    EXPECT_EQ(dibs.DibCanvas.Width(), 740);
    EXPECT_EQ(dibs.DibCanvas.Height(), 540);
    EXPECT_EQ(shown().ViewW, 500);
    EXPECT_EQ(shown().ViewH, 300);
    EXPECT_EQ(Bytes(engine.DibScreen()), Bytes(engine.DibNew()));
    // Placed by height at 1:1: columns 50..449, the white corner first.
    EXPECT_TRUE(IsBlack(At(engine.DibScreen(), 48, 150)));
    EXPECT_TRUE(Near(At(engine.DibScreen(), 60, 10), Qt::white, 8));
    EXPECT_TRUE(Near(At(engine.DibScreen(), 400, 40), QColor(30, 200, 40), 12));
    EXPECT_TRUE(IsBlack(At(engine.DibScreen(), 451, 150)));

    Photo("a.bmp", Solid(100, 100, Qt::red));
    Photo("b.bmp", Solid(120, 80, Qt::blue));
    ASSERT_TRUE(photos.Point(albumFolder));
    TestAccess::SetCurPhoto(position, 1);
    ShowFace(engine, *composer, 500, 300, false);
    EXPECT_EQ(main.ViewMode(), View::Still);
    EXPECT_EQ(model.shown.CurFileName(), QStringLiteral("b.bmp"));
    EXPECT_EQ(shown().PanMode, 5);
    EXPECT_EQ(At(engine.DibScreen(), 250, 150), (Rgb{0, 0, 255}));
    EXPECT_TRUE(sink.infos.isEmpty());
}

// Every album format in every presentation style, upright and turned either
// way, wide, tall and ordinary, with the caption walking through the nine
// cells: each composition must give a whole, consistent picture.
TEST_F(Composing, EveryFormatStyleTurnAndPanComposes)
{
    struct Shape {
        int w, h;
    };
    const Shape shapes[] = {{96, 64}, {240, 40}, {40, 240}};
    QStringList names;
    for (const char* ext : {"bmp", "jpg", "pcx", "tga", "tif", "png", "ico"})
        for (int s = 0; s < 3; ++s) {
            const QString name = QStringLiteral("s%1.%2").arg(s).arg(QLatin1String(ext));
            Photo(name, Quarters(shapes[s].w, shapes[s].h));
            names << name;
        }
    const QString wmf = QStringLiteral(TAMSEL_SOURCE_DIR) + "/tests/data/shapes.wmf";
    if (QFile::exists(wmf)) {
        QFile::copy(wmf, albumFolder + "shapes.wmf");
        names << QStringLiteral("shapes.wmf");
    }
    album.PhotoCaption = {QStringLiteral("相册 Album")};
    TestAccess::SetCurPhoto(position, 0);
    int cell = 0, runs = 0;
    std::set<int> pans;
    for (const QString& name : names) {
        const bool metafile = name.endsWith(".wmf");
        const Shape shape = metafile ? Shape{64, 48} : shapes[name.mid(1, 1).toInt()];
        for (int frame = 0; frame <= 3; ++frame)
            for (int angle : {0, 90, 270}) {
                SCOPED_TRACE(::testing::Message() << qPrintable(name) << " frame " << frame << " angle " << angle);
                album.FrameType = frame;
                album.RotateAngle = angle;
                album.CapPos = cell++ % 9;
                main.SetView(View((runs % 4 == 0) ? 1 : 2 + runs % 2));
                ++runs;
                ASSERT_TRUE(Compose(albumFolder + name));
                pans.insert(shown().PanMode);
                const bool turned = angle != 0;
                ASSERT_EQ(dibs.DibPhoto.Width(), turned ? shape.h : shape.w);
                ASSERT_EQ(dibs.DibPhoto.Height(), turned ? shape.w : shape.h);
                EXPECT_EQ(model.shown.CurFile(), albumFolder + name);
                EXPECT_EQ(shown().ShowTransMode, frame >= 2 ? 255 : 0);
                // The placed photo is in the style's colours: grey throughout
                // (a white caption is grey too), or mostly the quarters' strong colours.
                int grey = 0, strong = 0, samples = 0;
                for (double fy = 0.1; fy < 0.95; fy += 0.1)
                    for (double fx = 0.1; fx < 0.95; fx += 0.1) {
                        const Rgb c = At(dibs.DibCanvas, RoundHalfEven(shown().PlaceX + shown().PlaceW * fx),
                                         RoundHalfEven(shown().PlaceY + shown().PlaceH * fy));
                        const int spread = std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b});
                        grey += spread == 0 && !IsBlack(c);
                        strong += spread > 60;
                        ++samples;
                    }
                if (frame == 1)
                    EXPECT_EQ(grey, samples);
                else if (!metafile)
                    EXPECT_GT(strong, samples * 6 / 10);
                // The first view is the view rectangle of the canvas.
                Surface view;
                view.Create(480, 336);
                StretchBlt(view, 0, 0, 480, 336, dibs.DibCanvas, RoundHalfEven(shown().ViewX),
                           RoundHalfEven(shown().ViewY), RoundHalfEven(shown().ViewW), RoundHalfEven(shown().ViewH));
                ASSERT_EQ(Bytes(view), Bytes(engine.DibNew()));
            }
    }
    EXPECT_EQ(pans, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(sink.infos.isEmpty()) << qPrintable(sink.infos.join('\n'));
}
