// The installation's files as the window will use them: assets/README.md is
// the list the window code relies on, so every file it names must be there at
// its size, and the pictures must hold up when the layout cuts, stretches and
// overlays them.
#include "TestUtil.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextStream>
#include <map>

namespace {

struct Listed {
    QString name;
    QSize size;   // invalid for files that are not pictures
};

QString SourcePath(const QString& rel) { return QDir(QStringLiteral(TAMSEL_SOURCE_DIR)).filePath(rel); }
QString Installed(const QString& name) { return QDir(QStringLiteral(TAMSEL_BUILD_DIR)).filePath(name); }

// The rows of the "Files of data/" table: backquoted names in the first cell,
// "W × H" (or a dash) in the second.
std::vector<Listed> ListedDataFiles()
{
    QFile f(SourcePath(QStringLiteral("assets/README.md")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QTextStream in(&f);
    std::vector<Listed> out;
    bool inTable = false;
    static const QRegularExpression name(QStringLiteral("`([^`]+)`"));
    static const QRegularExpression size(QStringLiteral("^\\s*(\\d+)\\s*×\\s*(\\d+)\\s*$"));
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QStringLiteral("## ")))
            inTable = line.trimmed() == QStringLiteral("## Files of data/");
        if (!inTable || !line.startsWith(QLatin1Char('|')))
            continue;
        const QStringList cells = line.split(QLatin1Char('|'));
        if (cells.size() < 4)
            continue;
        const auto m = size.match(cells[2]);
        const QSize sz = m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
        for (auto it = name.globalMatch(cells[1]); it.hasNext();)
            out.push_back({it.next().captured(1), sz});
    }
    return out;
}

QImage Skin()
{
    return QImage(Installed(QStringLiteral("skin.png"))).convertToFormat(QImage::Format_RGB32);
}

TEST(Assets, EveryListedFileIsBesideTheProgramAtItsSize)
{
    const auto listed = ListedDataFiles();
    ASSERT_GT(listed.size(), 100u) << "the README's table of data/ was not found";
    for (const Listed& l : listed) {
        const QString path = Installed(l.name);
        ASSERT_TRUE(QFile::exists(path)) << qPrintable(l.name);
        if (l.size.isValid()) {
            const QImage img(path);
            ASSERT_FALSE(img.isNull()) << qPrintable(l.name);
            EXPECT_EQ(img.size(), l.size) << qPrintable(l.name);
        }
    }
}

TEST(Assets, EveryFileOfDataIsListedOnce)
{
    std::map<QString, int> count;
    std::map<QString, QSize> sizes;
    for (const Listed& l : ListedDataFiles()) {
        ++count[l.name];
        sizes[l.name] = l.size;
    }
    const QStringList files = QDir(SourcePath(QStringLiteral("assets/data"))).entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    int dense = 0;
    for (const QString& f : files) {
        // A dense screen's drawing stands beside its listed picture, at
        // exactly twice its size: the window cuts it at doubled places.
        if (f.endsWith(QStringLiteral("@2x.png"))) {
            ++dense;
            const QString base = QString(f).remove(QStringLiteral("@2x"));
            ASSERT_EQ(count.count(base), 1u) << qPrintable(f);
            EXPECT_EQ(QImage(SourcePath("assets/data/" + f)).size(), sizes[base] * 2) << qPrintable(f);
            continue;
        }
        EXPECT_EQ(count[f], 1) << qPrintable(f);
    }
    EXPECT_EQ(count.size(), size_t(files.size() - dense)) << "the README names a file that data/ lacks";
}

// The layout stretches these parts of the skin; a detail in them would be
// smeared across the window.
TEST(Assets, StretchedPartsOfTheSkinAreUniform)
{
    // The dense screen's drawings are cut at twice the same places.
    for (const int k : {1, 2}) {
        SCOPED_TRACE(k);
        const QString suffix = k == 1 ? QString() : QStringLiteral("@2x");
        const QImage skin = QImage(Installed("skin" + suffix + ".png")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(skin.size(), QSize(339, 129) * k);
        for (int y = 0; y < 56 * k; ++y)
            for (int x = 150 * k; x < 210 * k; ++x)
                ASSERT_EQ(skin.pixel(x, y), skin.pixel(150 * k, y)) << "title slice at " << x << "," << y;
        for (int y = 63 * k; y < 129 * k; ++y)
            for (int x = 126 * k; x < 206 * k; ++x)
                ASSERT_EQ(skin.pixel(x, y), skin.pixel(126 * k, y)) << "strip slice at " << x << "," << y;
        for (int x = 0; x < 10 * k; ++x) {
            for (int y = 56 * k; y < 66 * k; ++y)
                ASSERT_EQ(skin.pixel(x, y), skin.pixel(x, 56 * k)) << "left border at " << x << "," << y;
            for (int y = 56 * k; y < 64 * k; ++y)
                ASSERT_EQ(skin.pixel(329 * k + x, y), skin.pixel(329 * k + x, 56 * k))
                    << "right border at " << x << "," << y;
        }

        const QImage dialog =
            QImage(Installed("dialog_frame" + suffix + ".png")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(dialog.size(), QSize(160, 120) * k);
        for (int y = 0; y < 120 * k; ++y)
            for (int x = 26 * k; x < 134 * k; ++x)
                ASSERT_EQ(dialog.pixel(x, y), dialog.pixel(26 * k, y)) << "dialog columns at " << x << "," << y;
        for (int y = 34 * k; y < 94 * k; ++y)
            for (int x = 0; x < 160 * k; ++x)
                ASSERT_EQ(dialog.pixel(x, y), dialog.pixel(x, 34 * k)) << "dialog rows at " << x << "," << y;
    }
}

// Opaque pictures that replace a part of the skin must carry exactly the
// skin's colours around their glyph, or a box would show around them.
TEST(Assets, OpaqueTitlePicturesBlendIntoTheSkin)
{
    const QImage skin = Skin();
    const QImage restore = QImage(Installed(QStringLiteral("win_restore_idle.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(restore.size(), QSize(17, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 17; ++x)
            if (x == 0 || y == 0 || x == 16 || y == 15)
                ASSERT_EQ(restore.pixel(x, y), skin.pixel(284 + x, 7 + y)) << x << "," << y;

    for (const char* name : {"link_about_normal.png", "link_help_normal.png"}) {
        const QImage link = QImage(Installed(QLatin1String(name))).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(link.size(), QSize(19, 18)) << name;
        for (int y = 0; y < 18; ++y) {
            EXPECT_EQ(link.pixel(0, y), skin.pixel(180, 8 + y)) << name << " row " << y;
            EXPECT_EQ(link.pixel(18, y), skin.pixel(180, 8 + y)) << name << " row " << y;
        }
    }
}

// The control strip is stretched under these pictures, so they must let it
// show through around their shapes instead of bringing a box of their own.
TEST(Assets, StripPicturesAreSeeThroughAroundTheirShapes)
{
    QStringList names = QDir(QStringLiteral(TAMSEL_BUILD_DIR))
                            .entryList({QStringLiteral("btn_*.png"), QStringLiteral("quick_*.png"),
                                        QStringLiteral("logo_*.png")}, QDir::Files);
    // The bar buttons and the logo also in their dense screen's drawings.
    ASSERT_EQ(names.size(), 21 + 24 + 30 + 21 + 30);
    names << QStringLiteral("grip.png") << QStringLiteral("badge_4star.png") << QStringLiteral("grip@2x.png")
          << QStringLiteral("badge_4star@2x.png");
    for (const QString& name : names) {
        const QImage img = QImage(Installed(name)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(img.isNull()) << qPrintable(name);
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << qPrintable(name);
        EXPECT_EQ(qAlpha(img.pixel(img.width() - 1, 0)), 0) << qPrintable(name);
    }
}

// A button whose hover or pressed picture looked like its normal one would
// seem dead; the logo would stall on two equal frames.
TEST(Assets, LooksAndFramesAreDistinct)
{
    const auto load = [](const QString& name) {
        return QImage(Installed(name)).convertToFormat(QImage::Format_ARGB32);
    };
    QStringList buttons;
    for (const char* b : {"play", "first", "prev", "next", "last", "thumb", "stop"})
        buttons << QStringLiteral("btn_%1").arg(QLatin1String(b));
    for (const char* q : {"loop", "rotleft", "rotright", "colour", "grey", "rectframe", "ovalframe", "original"})
        buttons << QStringLiteral("quick_%1").arg(QLatin1String(q));
    for (const QString& b : buttons) {
        const QImage normal = load(b + QStringLiteral("_normal.png"));
        const QImage hover = load(b + QStringLiteral("_hover.png"));
        const QImage pressed = load(b + QStringLiteral("_pressed.png"));
        ASSERT_FALSE(normal.isNull()) << qPrintable(b);
        EXPECT_NE(normal, hover) << qPrintable(b);
        EXPECT_NE(normal, pressed) << qPrintable(b);
        EXPECT_NE(hover, pressed) << qPrintable(b);
    }
    for (int f = 1; f < 30; ++f)
        EXPECT_NE(load(QStringLiteral("logo_%1.png").arg(f - 1, 2, 10, QLatin1Char('0'))),
                  load(QStringLiteral("logo_%1.png").arg(f, 2, 10, QLatin1Char('0'))))
            << "logo frames " << f - 1 << " and " << f;
}

// Black is the see-through colour of a frame mask: a black pixel in the
// frame would let the photo show through a hole. The album stretches the mask
// to the photo area first, so check it at a small and a large area too.
TEST(Assets, FrameMasksHaveNoHolesOutsideTheirWindow)
{
    for (const char* name : {"mask1.jpg", "mask2.jpg"}) {
        const QImage mask(Installed(QLatin1String(name)));
        ASSERT_FALSE(mask.isNull()) << name;
        for (const QSize area : {mask.size(), QSize(400, 288), QSize(782, 478)}) {
            const QImage m = mask.scaled(area, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
            const int w = m.width(), h = m.height();
            const QRect window(QPoint(int(w * 0.13), int(h * 0.132)), QPoint(int(w * 0.867), int(h * 0.865)));
            const QRect outside = window.adjusted(-2, -2, 2, 2);
            int black = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (!outside.contains(x, y) && (m.pixel(x, y) & 0xffffff) == 0)
                        ++black;
            EXPECT_EQ(black, 0) << name << " at " << w << "x" << h;
        }
    }
}

TEST(Assets, HelpPageIsUtf8AndItsPicturesExist)
{
    QFile f(Installed(QStringLiteral("readme.htm")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    ASSERT_FALSE(utf8.hasError());
    EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(text.contains(QStringLiteral("澄影集")));
    static const QRegularExpression src(QStringLiteral("src=\"([^\"]+)\""));
    int pictures = 0;
    for (auto it = src.globalMatch(text); it.hasNext(); ++pictures) {
        const QString name = it.next().captured(1);
        EXPECT_TRUE(QFile::exists(Installed(name))) << qPrintable(name);
    }
    EXPECT_GT(pictures, 0);
    // Every link within the page leads to a section of it.
    static const QRegularExpression anchor(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = anchor.globalMatch(text); it.hasNext();) {
        const QString id = it.next().captured(1);
        EXPECT_TRUE(text.contains(QStringLiteral("id=\"%1\"").arg(id))) << qPrintable(id);
    }
}

TEST(Assets, DefaultTuneIsAnAsfStream)
{
    QFile f(Installed(QStringLiteral("开始曲.wma")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // The ASF header object's GUID opens every WMA file.
    static const unsigned char asf[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    const QByteArray head = f.read(16);
    EXPECT_EQ(head, QByteArray(reinterpret_cast<const char*>(asf), 16));
    EXPECT_GT(f.size(), 100 * 1024);   // some tens of seconds, not a stub
}

}  // namespace

// The desktop entry, the file type and the software-centre description the
// package installs must pass the desktop's own checkers, and the entry must offer the program
// for show scripts, folders and every kind of photo the album shows.
TEST(Assets, DesktopEntryAndFileTypeAreValid)
{
    const QString desktop = QStringLiteral(TAMSEL_SOURCE_DIR "/assets/tamsel.desktop");
    const QString mime = QStringLiteral(TAMSEL_SOURCE_DIR "/assets/tamsel-mime.xml");
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty() ||
        QStandardPaths::findExecutable("xmllint").isEmpty())
        GTEST_SKIP() << "desktop-file-validate or xmllint is not installed";
    EXPECT_FALSE(tamsel::testing::RunTool("desktop-file-validate", {desktop}).isNull());
    EXPECT_FALSE(tamsel::testing::RunTool("xmllint", {"--noout", mime}).isNull());
    const QByteArray entry = tamsel::testing::ReadAll(desktop);
    for (const char* type : {"application/x-tamsel-script", "inode/directory", "image/jpeg",
                             "image/bmp", "image/png", "image/tiff", "image/x-pcx", "image/x-tga",
                             "image/vnd.microsoft.icon", "image/wmf"})
        EXPECT_TRUE(entry.contains(type)) << type;
    EXPECT_TRUE(tamsel::testing::ReadAll(mime).contains("*.tms"));
    if (!QStandardPaths::findExecutable("appstreamcli").isEmpty())
        EXPECT_FALSE(tamsel::testing::RunTool("appstreamcli",
                                              {"validate", "--no-net",
                                               QStringLiteral(TAMSEL_SOURCE_DIR "/assets/"
                                                              "io.github.tamsel_album.tamsel.metainfo.xml")})
                         .isNull());
}
