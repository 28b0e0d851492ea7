// The real program under an X server: started on a folder of three photos,
// driven by xdotool, checked on screenshots.
#include "TestUtil.h"
#include "imaging/ImageFormats.h"
#include "imaging/ColourPhotos.h"
#include "imaging/ColourProfile.h"
#include "imaging/Decode.h"
#include "tools/PhonePhotoFiles.h"
#include "model/Surface.h"
#include "album/ShowScript.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Paths.h"
#include "platform/Fonts.h"
#include "platform/Rounding.h"
#include "shell/InfoLine.h"
#include "shell/Layout.h"
#include "shell/WidgetApp.h"
#include "tools/RenameJournal.h"
#include "platform/SaneTestBackend.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QScopeGuard>
#include <QThread>
#include <map>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <csignal>
#include <optional>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// An X display for the test: the suite's shared one, or a private Xvfb. For
// a Wayland client, the X server that the suite's compositor draws its output
// into and takes its pointer and keyboard from, or none.
class XDisplay {
public:
    explicit XDisplay(bool wayland = false)
    {
        name_ = qEnvironmentVariable(wayland ? "TAMSEL_TEST_WAYLAND_INPUT" : "TAMSEL_TEST_DISPLAY");
        if (!name_.isEmpty() || wayland)
            return;
        if (QStandardPaths::findExecutable("Xvfb").isEmpty())
            return;
        for (int n = 140; n < 200; ++n) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            const QString name = QStringLiteral(":%1").arg(n);
            // -noreset: otherwise the server drops everyone when its last client leaves.
            xvfb_.start("Xvfb", {name, "-screen", "0", "1024x768x24", "-noreset", "-nolisten", "tcp"});
            if (!xvfb_.waitForStarted(5000))
                return;
            for (int i = 0; i < 50 && !QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)); ++i)
                QThread::msleep(100);
            if (xvfb_.state() == QProcess::Running) {
                name_ = name;
                return;
            }
        }
    }
    ~XDisplay()
    {
        if (xvfb_.state() != QProcess::NotRunning) {
            xvfb_.terminate();
            xvfb_.waitForFinished(5000);
        }
    }
    const QString& Name() const { return name_; }

private:
    QString name_;
    QProcess xvfb_;
};

QByteArray X(const QString& display, const QString& tool, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    p.setProcessEnvironment(env);
    p.start(tool, args);
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return QByteArray();
    return p.readAllStandardOutput();
}

QImage Screenshot(const QString& display, const QRect& r)
{
    const QByteArray png = X(display, "import", {"-window", "root", "png:-"});
    return QImage::fromData(png, "PNG").copy(r).convertToFormat(QImage::Format_RGB32);
}

// How far the text, drawn in the window's own ink and paper colours, is from
// what the image shows near (x, y): the whole text finds its best offset, then
// only the columns from..to (the part the candidates differ in) are compared,
// as a sum of grey differences.
int Mismatch(const QImage& img, const QString& text, const QFont& font, QPoint at, int from, int to)
{
    const QFontMetrics fm(font);
    const QSize size(fm.horizontalAdvance(text) + 2, fm.height() + 2);
    std::vector<int> greys;
    const QRect around = QRect(at, size).adjusted(-8, -5, 8, 5) & img.rect();
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
            greys.push_back(qGray(img.pixel(x, y)));
    if (greys.empty())
        return INT_MAX;
    std::sort(greys.begin(), greys.end());
    const int ink = greys[greys.size() / 50];
    const int paper = greys[greys.size() * 7 / 10];
    QImage t(size, QImage::Format_RGB32);
    t.fill(QColor(paper, paper, paper));
    {
        QPainter p(&t);
        p.setFont(font);
        p.setPen(QColor(ink, ink, ink));
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    const auto Sad = [&](QPoint o, int x0, int x1) {
        int sum = 0;
        for (int y = 0; y < t.height(); ++y) {
            for (int x = x0; x < x1; ++x) {
                const QPoint q = o + QPoint(x, y);
                const int g = img.rect().contains(q) ? qGray(img.pixel(q)) : 255;
                sum += std::abs(g - qGray(t.pixel(x, y)));
            }
        }
        return sum;
    };
    int best = INT_MAX;
    QPoint bestAt = at;
    for (int dy = -5; dy <= 5; ++dy) {
        for (int dx = -8; dx <= 8; ++dx) {
            const int sum = Sad(at + QPoint(dx, dy), 0, t.width());
            if (sum < best) {
                best = sum;
                bestAt = at + QPoint(dx, dy);
            }
        }
    }
    return Sad(bestAt, from, std::min(to, t.width()));
}

// Which of the position texts of a three-photo album the window shows, or -1.
int ShownPosition(const QImage& window, int W)
{
    const QFont font = WindowFont();
    const QFontMetrics fm(font);
    int bestIndex = -1, best = INT_MAX, second = INT_MAX;
    for (int c = 0; c < 3; ++c) {
        const QString text = PositionText(c, 3);
        // Right-aligned 15 pixels before the 70-pixel badge, at the info line's top.
        const QPoint at(W - 15 - 70 - fm.horizontalAdvance(text), 36);
        // The digit of the position is what the three texts differ in.
        const int from = fm.horizontalAdvance(text.left(text.indexOf('/') - 2));
        const int to = fm.horizontalAdvance(text.left(text.indexOf('/') - 1));
        const int m = Mismatch(window, text, font, at, from, to);
        if (m < best) {
            second = best;
            best = m;
            bestIndex = c;
        } else {
            second = std::min(second, m);
        }
    }
    // A clear winner only: the digits must tell the texts apart.
    return 2 * second > 3 * best ? bestIndex : -1;
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (done())
            return true;
        QThread::msleep(250);
    }
    return false;
}

// The plain desktop of the suite's compositor (scripts/test gives it weston).
constexpr QRgb kDesktop = 0xff203040;

// Where a window lies on the compositor's output: the rows and columns that
// show more than a pointer's worth of something other than the desktop.
QRect OnOutput(const QImage& output)
{
    std::vector<int> rows(size_t(output.height())), columns(size_t(output.width()));
    for (int y = 0; y < output.height(); ++y)
        for (int x = 0; x < output.width(); ++x)
            if (output.pixel(x, y) != kDesktop) {
                ++rows[size_t(y)];
                ++columns[size_t(x)];
            }
    const auto span = [](const std::vector<int>& n) {
        const auto wide = [](int c) { return c > 40; };
        const int first = int(std::find_if(n.begin(), n.end(), wide) - n.begin());
        const int last = int(n.rend() - std::find_if(n.rbegin(), n.rend(), wide)) - 1;
        return std::pair(first, last);
    };
    const auto [left, right] = span(columns);
    const auto [top, bottom] = span(rows);
    return QRect(QPoint(left, top), QPoint(right, bottom));   // invalid: no window
}

bool Near(QRgb c, int r, int g, int b) { return std::abs(qRed(c) - r) < 50 && std::abs(qGreen(c) - g) < 50 && std::abs(qBlue(c) - b) < 50; }

// The real program on a display, in a home of its own (the installation's
// pictures and an album data file for a 700 x 400 photo area), opened on a
// folder of three photos: red a.jpg, green b.jpg, blue c.jpg.
struct RunningProgram {
    XDisplay display;
    QTemporaryDir home, photos;
    QProcess app;
    QRect g;            // the window on the screen
    QByteArray id;      // its X window
    FormLayout L;       // its elements, as the layout places them
    QString skip;       // why the program cannot run here
    bool wayland = false;   // a client of the suite's Wayland compositor

    // The program as a Wayland client of the suite's compositor; the window
    // is found, clicked and typed into through that compositor's X server.
    struct OnWayland {};
    explicit RunningProgram(OnWayland) : display(true), wayland(true) { Start({}, 3, 0); }

    // fill, when given, puts the photos into the folder in place of the
    // three plain ones, with the display already known. photoCount photos in
    // all otherwise: the three coloured ones, then grey copies of the first
    // under numbered names, for work that needs many files. A scale runs the
    // program at that device pixel ratio, on the first-run photo area.
    explicit RunningProgram(const std::function<void(const QDir&, const QString&)>& fill = {},
                            int photoCount = 3, double scale = 0)
    {
        Start(fill, photoCount, scale);
    }
    void Start(const std::function<void(const QDir&, const QString&)>& fill, int photoCount, double scale)
    {
        const QString program = QStringLiteral(TAMSEL_BUILD_DIR "/tamsel");
        if (!QFileInfo(program).isExecutable()) {
            skip = "the program is not built";
            return;
        }
        for (const char* tool : {"xdotool", "import"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) {
                skip = QString::fromLatin1(tool) + " is not installed";
                return;
            }
        const QFileInfo socket(qEnvironmentVariable("TAMSEL_TEST_WAYLAND"));
        if (wayland && (display.Name().isEmpty() || !socket.exists())) {
            skip = "no Wayland compositor (TAMSEL_TEST_WAYLAND, TAMSEL_TEST_WAYLAND_INPUT)";
            return;
        }
        if (display.Name().isEmpty()) {
            skip = "no X server";
            return;
        }
        const QDir data(QStringLiteral(TAMSEL_SOURCE_DIR "/assets/data"));
        for (const QString& f : data.entryList(QDir::Files))
            QFile::copy(data.filePath(f), QDir(home.path()).filePath(f));
        // A photo area wide enough for the file information and the position
        // side by side on the info line.
        AlbumState album = AlbumState::FirstRun(AppPaths::ForProgramDir(home.path()));
        album.ShowWidth = scale > 0 ? album.ShowWidth : 700;
        album.ShowHeight = scale > 0 ? album.ShowHeight : 400;
        album.MusicOn = 0;
        // The same folder as the one named on the command line: the batch
        // tools start on it.
        PhotoList folder{AlbumExtensions()};
        folder.Point(photos.path() + '/');
        SaveScript(QDir(home.path()).filePath("tamsel.tmf"), album, folder);
        const QColor colours[3] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(30, 40, 220)};
        if (fill)
            fill(QDir(photos.path()), display.Name());
        for (int i = 0; i < (fill ? 0 : 3); ++i) {
            QImage img(640, 480, QImage::Format_RGB32);
            img.fill(colours[i]);
            img.save(QDir(photos.path()).filePath(QStringLiteral("%1.jpg").arg(QChar('a' + i))), "JPG", 95);
        }
        if (photoCount > 3) {
            QImage small(8, 8, QImage::Format_RGB32);
            small.fill(Qt::gray);
            QByteArray jpg;
            QBuffer buffer(&jpg);
            buffer.open(QIODevice::WriteOnly);
            small.save(&buffer, "JPG");
            for (int i = 3; i < photoCount; ++i)
                WriteAll(QDir(photos.path()).filePath(QStringLiteral("p%1.jpg").arg(i, 5, 10, QChar('0'))), jpg);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (wayland) {
            // weston on X follows the X pointer by its moves from where it last
            // saw it, its own starting at (100, 100): a move into the far
            // corner, where both stop at the edge, and back puts them together.
            Xdo({"mousemove", "500", "400", "mousemove", "4000", "4000", "sleep", "0.1", "mousemove", "0", "0"});
            env.remove("DISPLAY");
            env.insert("QT_QPA_PLATFORM", "wayland");
            env.insert("WAYLAND_DISPLAY", socket.fileName());
            env.insert("XDG_RUNTIME_DIR", socket.path());
        } else {
            env.insert("DISPLAY", display.Name());
            env.insert("QT_QPA_PLATFORM", "xcb");
        }
        env.insert("QT_FONT_DPI", "96");  // the texts are compared with ones drawn here at 96
        env.insert("TAMSEL_HOME", home.path());
        if (scale > 0)
            env.insert("QT_SCALE_FACTOR", QString::number(scale));
        app.setProcessEnvironment(env);
        app.start(program, {photos.path()});
    }
    ~RunningProgram()
    {
        if (app.state() == QProcess::NotRunning)
            return;
        app.terminate();
        if (!app.waitForFinished(10000))
            app.kill();
    }
    // Waits for the window and reads its place. False when none appeared.
    bool FindWindow()
    {
        if (!app.waitForStarted(10000))
            return false;
        if (!WaitFor([&] {
                // The compositor tells no one where it put the window: it is
                // where the output shows it.
                if (wayland) {
                    g = OnOutput(Screenshot(display.Name(), QRect()));
                    return g.width() >= kMinWidth && g.height() >= kMinHeight;
                }
                id = Xdo({"search", "--onlyvisible", "--pid", QString::number(app.processId())}).trimmed();
                return !id.isEmpty();
            }, 15000))
            return false;
        if (!wayland) {
            id = id.split('\n').first();
            g = WindowGeometry(id);
        }
        LayoutInput in;
        in.W = g.width();
        in.H = g.height();
        L = ComputeFormLayout(in);
        return true;
    }
    QByteArray Xdo(const QStringList& args) { return X(display.Name(), "xdotool", args); }
    // A click at a point of the window.
    void Click(QPoint inWindow, int button = 1)
    {
        const QPoint p = g.topLeft() + inWindow;
        Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", QString::number(button)});
    }
    void DoubleClick(QPoint inWindow)
    {
        const QPoint p = g.topLeft() + inWindow;
        Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "click", "--repeat", "2",
             "--delay", "80", "1"});
    }
    // A press at a point of the window, dragged by an offset and let go.
    void Drag(QPoint from, QPoint by)
    {
        const QPoint a = g.topLeft() + from, b = a + by;
        Xdo({"mousemove", QString::number(a.x()), QString::number(a.y()), "mousedown", "1",
             "mousemove", QString::number((a.x() + b.x()) / 2), QString::number(b.y()),
             "sleep", "0.2", "mousemove", QString::number(b.x()), QString::number(b.y()),
             "sleep", "0.2", "mouseup", "1"});
    }
    // A visible window of the program other than the main window, or "";
    // with a name, only one that the window manager shows by that name.
    // Whether the photo area's centre comes to show that colour within 20 s.
    bool CentreIs(int red, int green, int blue)
    {
        return WaitFor([&] { return Near(Screenshot(display.Name(), g).pixel(L.photoArea.center()), red, green, blue); },
                       20000);
    }
    QByteArray OtherWindow(const QString& name = {})
    {
        for (const QByteArray& w : Xdo({"search", "--onlyvisible", "--pid", QString::number(app.processId())})
                                       .trimmed().split('\n'))
            if (!w.isEmpty() && w != id && (name.isEmpty() || WindowName(w) == name))
                return w;
        return {};
    }
    // Keys typed into a window of the program, made the active one first.
    void KeysTo(const QByteArray& window, const QStringList& keys, bool type = false)
    {
        Xdo({"windowactivate", "--sync", QString::fromLatin1(window)});
        Xdo(QStringList{type ? "type" : "key"} + keys);
    }
    QString WindowName(const QByteArray& window)
    {
        return QString::fromUtf8(Xdo({"getwindowname", QString::fromLatin1(window)}).trimmed());
    }
    QRect WindowGeometry(const QByteArray& window)
    {
        QRect r;
        for (const QByteArray& line : Xdo({"getwindowgeometry", "--shell", QString::fromLatin1(window)}).split('\n')) {
            const auto v = line.mid(line.indexOf('=') + 1).toInt();
            if (line.startsWith("X=")) r.moveLeft(v);
            if (line.startsWith("Y=")) r.moveTop(v);
            if (line.startsWith("WIDTH=")) r.setWidth(v);
            if (line.startsWith("HEIGHT=")) r.setHeight(v);
        }
        return r;
    }
    bool HasWindowManager()
    {
        return X(display.Name(), "xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
    }
    int VisibleWindows()
    {
        return int(Xdo({"search", "--onlyvisible", "--pid", QString::number(app.processId())})
                       .trimmed().split('\n').size());
    }
};

// The program's window on the screen, or the test skipped saying why the
// program cannot run here.
#define WINDOW_UP(run)                                                                             \
    if (!(run).skip.isEmpty())                                                                     \
        GTEST_SKIP() << (run).skip.toStdString();                                                  \
    ASSERT_TRUE((run).FindWindow()) << "no window appeared"


}  // namespace

TEST(WindowEndToEnd, NextButtonBringsTheSecondPhotoAndItsPosition)
{
    ASSERT_TRUE(WidgetApp());
    RegisterFontSubstitutions();
    RunningProgram run;
    WINDOW_UP(run);
    const QRect& g = run.g;
    ASSERT_EQ(g.size(), QSize(718, 522));  // the photo area with its frame
    const QPoint centre = run.L.photoArea.center();

    // Opening the folder shows its first photo.
    QImage shot;
    EXPECT_TRUE(WaitFor([&] {
        shot = Screenshot(run.display.Name(), g);
        return Near(shot.pixel(centre), 220, 30, 30) && ShownPosition(shot, g.width()) == 0;
    }, 20000)) << "first photo or its position not shown";

    run.Click(run.L.barButtons[3] + QPoint(10, 10));
    EXPECT_TRUE(WaitFor([&] {
        shot = Screenshot(run.display.Name(), g);
        return Near(shot.pixel(centre), 30, 200, 40) && ShownPosition(shot, g.width()) == 1;
    }, 20000)) << "after 下一张: centre " << QColor(shot.pixel(centre)).name().toStdString()
               << ", position " << ShownPosition(shot, g.width());
}

// The menus as a user reaches them: "照片", "修饰" and "设置" open theirs,
// "输出" saves a script under exactly the name typed, the photo's right-click
// opens the same menu, and "退出" ends the program with the album written.
TEST(WindowEndToEnd, MenusFromTheLabelsAndThePhoto)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    WINDOW_UP(run);
    const QPoint centre = run.L.photoArea.center();
    ASSERT_TRUE(WaitFor([&] {
        return Near(Screenshot(run.display.Name(), run.g).pixel(centre), 220, 30, 30);
    }, 20000)) << "first photo not shown";

    // "照片", "修饰" and "设置" each open theirs, and Esc closes it again.
    for (int label : {0, 1, 2}) {
        run.Click(run.L.menuLabels[label] + QPoint(12, 6));
        EXPECT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "label " << label;
        run.Xdo({"key", "Escape"});
        EXPECT_TRUE(WaitFor([&] { return run.VisibleWindows() == 1; }, 5000)) << "label " << label;
    }
    run.Click(run.L.menuLabels[3] + QPoint(12, 6));     // "输出"
    ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "no menu";
    run.Xdo({"key", "Down", "Return"});                 // "保存脚本..."
    ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "no file dialog";
    QThread::msleep(500);
    const QString typed = QDir(run.home.path()).filePath("jiari");
    run.Xdo({"type", "--delay", "20", typed});
    run.Xdo({"key", "Return"});
    // A name typed without an ending gets the scripts' own.
    EXPECT_TRUE(WaitFor([&] { return QFileInfo(typed + ".tms").isFile(); }, 10000)) << "no script written";
    EXPECT_FALSE(QFileInfo::exists(typed));

    run.Click(centre, 3);                               // the photo's own menu
    EXPECT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "no menu on the photo";
    run.Xdo({"key", "Escape"});
    ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 1; }, 5000));

    QFile::remove(QDir(run.home.path()).filePath("tamsel.tmf"));
    run.Click(run.L.menuLabels[4] + QPoint(12, 6));             // "退出"
    EXPECT_TRUE(run.app.waitForFinished(10000));
    EXPECT_TRUE(QFileInfo(QDir(run.home.path()).filePath("tamsel.tmf")).isFile());
}

// The menus by keyboard alone: F10 opens "照片"'s, the arrows walk the
// labels and the items, Enter runs "底片" and, from "照片", "照片夹..."; Ctrl+Z
// brings the photo's own colours back.
TEST(WindowEndToEnd, KeysReachTheMenusAndTakeBackARetouch)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    WINDOW_UP(run);
    ASSERT_TRUE(run.CentreIs(220, 30, 30));
    run.Xdo({"windowactivate", "--sync", QString::fromLatin1(run.id)});
    const auto keys = [&](const QStringList& k) {
        for (const QString& one : k) {
            run.Xdo({"key", one});
            QThread::msleep(300);   // each menu opens before the next key
        }
    };
    keys({"F10", "Right", "Down", "Down", "Down", "Return"});   // "修饰" → "底片"
    EXPECT_TRUE(run.CentreIs(255 - 220, 255 - 30, 255 - 30)) << "no negative";
    keys({"ctrl+z"});
    EXPECT_TRUE(run.CentreIs(220, 30, 30)) << "not taken back";

    keys({"F10", "Right", "Left", "Return"});
    EXPECT_TRUE(WaitFor([&] { return !run.OtherWindow(QStringLiteral("请选择照片所在文件夹")).isEmpty(); }, 10000))
        << "no folder dialog";
    keys({"Escape"});

    // F1: the help in a window of the program, with its text.
    keys({"F1"});
    EXPECT_TRUE(WaitFor([&] { return !run.OtherWindow(QStringLiteral("澄影集 使用说明")).isEmpty(); }, 10000))
        << "no help window";
}

// Under a real window manager: a double-click on the title maximises, the
// photo is composed for the new size at once, and a second one restores.
TEST(WindowEndToEnd, MaximiseAndRestoreComposeForTheNewSize)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    if (!run.skip.isEmpty())
        GTEST_SKIP() << run.skip.toStdString();
    if (!run.HasWindowManager())
        GTEST_SKIP() << "no window manager on the display";
    ASSERT_TRUE(run.FindWindow()) << "no window appeared";
    const QRect normal = run.g;
    const auto photoAt = [&](double fx, double fy) {
        const QRect a = run.L.photoArea;
        return QPoint(a.left() + int(fx * a.width()), a.top() + int(fy * a.height()));
    };
    const auto redAt = [&](QPoint p) {
        return Near(Screenshot(run.display.Name(), run.g).pixel(p), 220, 30, 30);
    };
    ASSERT_TRUE(WaitFor([&] { return redAt(photoAt(0.5, 0.5)); }, 20000)) << "first photo not shown";

    // Between the program's name and the first menu-bar label.
    const auto title = [&] { return QPoint(run.L.menuLabels[0].x() - 15, run.L.titleBar.center().y()); };
    run.DoubleClick(title());
    ASSERT_TRUE(run.FindWindow());
    ASSERT_GT(run.g.width(), normal.width()) << "not maximised";
    // Low in the area, where a picture left at the old size would leave black.
    EXPECT_TRUE(WaitFor([&] { return redAt(photoAt(0.45, 0.8)); }, 10000))
        << "the photo was not composed for the maximised area";

    run.DoubleClick(title());
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.size() == normal.size(); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return redAt(photoAt(0.5, 0.5)) && redAt(photoAt(0.45, 0.8)); }, 10000))
        << "the photo was not composed again after the restore";
}

// The right edge resizes the window only above its smallest width, the photo
// is composed for the new size at the release, and the position thumb dragged
// to the end of its track brings in the last photo.
TEST(WindowEndToEnd, TheEdgeResizesWithinItsLimitAndTheThumbChoosesAPhoto)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    WINDOW_UP(run);
    const auto photoAt = [&](double fx, double fy) {
        const QRect a = run.L.photoArea;
        return QPoint(a.left() + int(fx * a.width()), a.top() + int(fy * a.height()));
    };
    const auto shows = [&](QPoint p, int r, int g, int b) {
        return Near(Screenshot(run.display.Name(), run.g).pixel(p), r, g, b);
    };
    ASSERT_TRUE(WaitFor([&] { return shows(photoAt(0.5, 0.5), 220, 30, 30); }, 20000));
    const int width = run.g.width();
    ASSERT_EQ(run.g.height(), 522);

    const auto drag = [&](QPoint from, QPoint by) { run.Drag(from, by); };
    // Far past the smallest width: the window stops at the last width above it.
    drag(run.L.rightGrip.center(), QPoint(-(width - 300), 0));
    QThread::msleep(500);
    ASSERT_TRUE(run.FindWindow());
    EXPECT_GT(run.g.width(), 418);
    EXPECT_LT(run.g.width(), width);
    // Wider by 120: the photo is composed for it once the edge is let go.
    const int narrow = run.g.width();
    drag(run.L.rightGrip.center(), QPoint(120, 0));
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && std::abs(run.g.width() - (narrow + 120)) <= 4; },
                        5000))
        << "width " << run.g.width();
    EXPECT_TRUE(WaitFor([&] { return shows(photoAt(0.5, 0.5), 220, 30, 30); }, 10000));

    // The thumb to the far end of its track: the last photo, blue.
    drag(run.L.barButtons[kThumb] + QPoint(7, 7), QPoint(run.g.width(), 0));
    EXPECT_TRUE(WaitFor([&] { return shows(photoAt(0.5, 0.5), 30, 40, 220); }, 20000))
        << "the thumb did not bring in the last photo";
}

// The keys act as their buttons, and F11 shows the photo alone on the whole
// screen until Esc.
TEST(WindowEndToEnd, KeysStepThroughThePhotosAndF11ShowsThemFullScreen)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    WINDOW_UP(run);
    const QRect normal = run.g;
    ASSERT_TRUE(run.CentreIs(220, 30, 30));
    run.Xdo({"windowactivate", "--sync", QString::fromLatin1(run.id)});
    const auto key = [&](const char* k) { run.Xdo({"key", "--window", QString::fromLatin1(run.id), k}); };
    key("Right");
    EXPECT_TRUE(run.CentreIs(30, 200, 40)) << "→";
    key("End");
    EXPECT_TRUE(run.CentreIs(30, 40, 220)) << "End";
    key("Home");
    EXPECT_TRUE(run.CentreIs(220, 30, 30)) << "Home";

    // Full screen is the window manager's to grant.
    if (!run.HasWindowManager())
        GTEST_SKIP() << "no window manager on the display for full screen";
    key("F11");
    ASSERT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.width() > normal.width(); }, 10000))
        << "not full screen";
    // The photo alone, in the middle of the screen, once it is composed for
    // the screen's size.
    EXPECT_TRUE(WaitFor([&] {
        return Near(Screenshot(run.display.Name(), run.g).pixel(run.g.width() / 2, run.g.height() / 2), 220,
                    30, 30);
    }, 20000));
    key("Escape");
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.size() == normal.size(); }, 10000));
    EXPECT_TRUE(run.CentreIs(220, 30, 30));
}

// In a Wayland session (weston): the folder's first photo shows, the
// compositor moves the window by its title and sizes it by its right edge,
// the photo is composed for the new size, and F11 fills the output.
TEST(WindowEndToEnd, WaylandTheCompositorMovesSizesAndFillsTheOutput)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run(RunningProgram::OnWayland{});
    WINDOW_UP(run);
    EXPECT_EQ(run.g.size(), QSize(718, 522));
    ASSERT_TRUE(run.CentreIs(220, 30, 30)) << "first photo not shown";
    // The skin's rounded corners show the desktop through.
    const QImage window = Screenshot(run.display.Name(), run.g);
    EXPECT_EQ(window.pixel(0, 0), kDesktop);
    EXPECT_EQ(window.pixel(window.width() - 1, 0), kDesktop);

    // Towards the output's middle, wherever the compositor put the window.
    const QPoint before = run.g.topLeft();
    const QPoint by(run.g.center().x() < 512 ? 120 : -120, run.g.center().y() < 384 ? 80 : -80);
    run.Drag(run.L.titleLabel + QPoint(14, 6), by);
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && (run.g.topLeft() - before - by).manhattanLength() <= 2; },
                        5000))
        << "at " << run.g.x() << "," << run.g.y() << ", was " << before.x() << "," << before.y();

    const QSize size = run.g.size();
    run.Drag(run.L.rightGrip.center(), QPoint(-100, 0));
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.size() == size - QSize(100, 0); }, 5000))
        << "width " << run.g.width();
    EXPECT_TRUE(run.CentreIs(220, 30, 30)) << "not composed for the new size";
    run.Click(run.L.barButtons[3] + QPoint(10, 10));   // "下一张" where the new layout put it
    EXPECT_TRUE(run.CentreIs(30, 200, 40)) << "下一张";

    // F11 fills the output with the photo; Esc gives the window back.
    run.Xdo({"key", "F11"});
    EXPECT_TRUE(WaitFor([&] {
        const QImage output = Screenshot(run.display.Name(), QRect());
        return OnOutput(output) == output.rect() && Near(output.pixel(output.rect().center()), 30, 200, 40);
    }, 10000)) << "not full screen";
    run.Xdo({"key", "Escape"});
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.size() == size - QSize(100, 0); }, 10000));
    EXPECT_TRUE(run.CentreIs(30, 200, 40));
    if (::testing::Test::HasFailure())   // what the compositor said, beside it
        std::cerr << ReadAll(QFileInfo(qEnvironmentVariable("TAMSEL_TEST_WAYLAND")).dir().filePath("weston.log"))
                         .right(3000).toStdString();
}

// The title text and the icon are part of the title bar: a drag there moves
// the window, a double-click maximises it. Every dialog carries its own title
// as the window manager shows it, and opens over the main window.
TEST(WindowEndToEnd, TheTitleBarAndTheDialogsAsTheWindowManagerShowsThem)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    if (!run.skip.isEmpty())
        GTEST_SKIP() << run.skip.toStdString();
    if (!run.HasWindowManager())
        GTEST_SKIP() << "no window manager on the display";
    ASSERT_TRUE(run.FindWindow()) << "no window appeared";
    EXPECT_EQ(run.WindowName(run.id), QStringLiteral("澄影集"));
    const QRect normal = run.g;
    const QPoint text = run.L.titleLabel + QPoint(14, 6), icon = run.L.icon + QPoint(8, 8);
    for (const QPoint grip : {text, icon}) {
        const QPoint before = run.g.topLeft();
        // The move starts with the first motion past the drag distance; the
        // window manager then follows the pointer from there.
        const QPoint a = run.g.topLeft() + grip, start = a + QPoint(15, 0), b = a + QPoint(55, 30);
        run.Xdo({"mousemove", QString::number(a.x()), QString::number(a.y()), "mousedown", "1", "sleep", "0.3",
                 "mousemove", QString::number(start.x()), QString::number(start.y()), "sleep", "0.3",
                 "mousemove", QString::number(b.x()), QString::number(b.y()), "sleep", "0.3", "mouseup", "1"});
        EXPECT_TRUE(WaitFor([&] {
            return run.FindWindow() && (run.g.topLeft() - before - (b - start)).manhattanLength() <= 3;
        }, 5000)) << "pressed at " << grip.x() << "," << grip.y();
    }
    run.DoubleClick(text);
    EXPECT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.width() > normal.width(); }, 5000))
        << "a double-click on the title text did not maximise";
    run.DoubleClick(text);
    ASSERT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.size() == normal.size(); }, 5000));
    // Away from the screen's corner, where a dialog without a place would land.
    run.Xdo({"windowmove", "--sync", QString::fromLatin1(run.id), "300", "200"});
    ASSERT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.topLeft() == QPoint(300, 200); }, 5000));

    struct Opening {
        int label;
        int downs;   // menu items stepped over; -1: the label opens the dialog itself
        const char* title;
    };
    for (const Opening& o : {Opening{2, -1, "/参数设置"}, Opening{2, -1, "/参数设置"},
                             Opening{0, 4, "照片批量改名"}, Opening{0, 5, "照片格式批量转换"}}) {
        // The window moves between the openings: every dialog follows it.
        const QPoint to = run.g.topLeft() + QPoint(run.g.x() > 300 ? -100 : 100, 0);
        run.Xdo({"windowmove", "--sync", QString::fromLatin1(run.id), QString::number(to.x()),
                 QString::number(to.y())});
        ASSERT_TRUE(WaitFor([&] { return run.FindWindow() && run.g.topLeft() == to; }, 5000));
        run.Click(run.L.menuLabels[o.label] + QPoint(12, 6));
        if (o.downs >= 0) {
            ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "no menu";
            QStringList keys{"key"};
            for (int i = 0; i < o.downs; ++i)
                keys << "Down";
            run.Xdo(keys << "Return");
            QThread::msleep(300);
        }
        QByteArray dialog;
        ASSERT_TRUE(WaitFor([&] { return !(dialog = run.OtherWindow(QString::fromUtf8(o.title))).isEmpty(); }, 5000))
            << o.title << ": shown as \"" << run.WindowName(run.OtherWindow()).toStdString() << "\"";
        const QRect d = run.WindowGeometry(dialog);
        EXPECT_TRUE(run.g.contains(d.center())) << o.title << " at " << d.x() << "," << d.y();
        if (o.downs == 5) {
            // "转换到文件夹" and its "浏览..." by the keys: the album's own
            // folder chooser opens.
            // The third option chosen takes the focus to the folder field;
            // one more Tab reaches its "浏览...".
            run.KeysTo(dialog, {"Tab", "Tab", "Tab", "Tab", "Tab", "Down", "Down", "space", "Tab", "space"});
            QByteArray chooser;
            EXPECT_TRUE(WaitFor([&] { return !(chooser = run.OtherWindow(QStringLiteral("选择文件夹"))).isEmpty(); },
                                5000))
                << "no folder chooser";
            if (!chooser.isEmpty()) {
                run.KeysTo(chooser, {"Escape"});
                ASSERT_TRUE(WaitFor([&] { return run.OtherWindow(QStringLiteral("选择文件夹")).isEmpty(); }, 5000));
            }
        }
        run.KeysTo(dialog, {"Escape"});
        ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 1; }, 5000)) << o.title << " stayed open";
    }
}

// A quit by signal (logout, shutdown, kill) always ends in the normal
// shutdown that writes the album data file: after a scan, whose library
// takes over the signals while it runs, and in the middle of a batch rename,
// which first finishes or undoes itself.
TEST(WindowEndToEnd, ASignalAfterAScanOrDuringARenameEndsWithTheAlbumWritten)
{
    ASSERT_TRUE(WidgetApp());
    UseSaneTestBackend();
    for (const bool rename : {false, true}) {
        RunningProgram run({}, rename ? 3000 : 3);
        WINDOW_UP(run);
        ASSERT_TRUE(WaitFor([&] {
            return Near(Screenshot(run.display.Name(), run.g).pixel(run.L.photoArea.center()), 220, 30, 30);
        }, 20000));
        const QString data = QDir(run.home.path()).filePath("tamsel.tmf");
        ASSERT_TRUE(QFile::remove(data));
        run.Click(run.L.menuLabels[0] + QPoint(12, 6));
        ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "no menu";
        QStringList keys{"key", "Down", "Down", "Down"};   // "扫描照片..."
        if (rename)
            keys << "Down";                                 // "批量改名..."
        run.Xdo(keys << "Return");
        QByteArray dialog;
        ASSERT_TRUE(WaitFor([&] { return !(dialog = run.OtherWindow()).isEmpty(); }, 5000)) << "no dialog";
        QThread::msleep(1000);
        if (rename) {   // numbers of five places: 3000 names that do not clash
            run.KeysTo(dialog, {"Tab", "Tab", "ctrl+a"});
            run.KeysTo(dialog, {"#####"}, true);
            QThread::msleep(300);
            run.KeysTo(dialog, {"Return"});
            // The signal while the files are moving: the journal is there.
            QElapsedTimer t;
            t.start();
            while (!QFileInfo::exists(JournalPath(run.photos.path())) && t.elapsed() < 10000)
                QThread::usleep(200);
            ASSERT_LT(t.elapsed(), 10000) << "the rename did not start";
        } else {
            // "扫描" once the device is found; then the picture is shown and
            // the dialog is gone.
            ASSERT_TRUE(WaitFor([&] {
                if (run.VisibleWindows() == 1)
                    return true;
                run.KeysTo(dialog, {"Return"});
                return false;
            }, 30000)) << "the scan did not end";
            QThread::msleep(500);
        }
        ::kill(pid_t(run.app.processId()), SIGTERM);
        ASSERT_TRUE(run.app.waitForFinished(30000)) << (rename ? "rename" : "scan") << ": still running";
        EXPECT_EQ(run.app.exitStatus(), QProcess::NormalExit) << (rename ? "rename" : "scan");
        EXPECT_TRUE(QFileInfo(data).isFile()) << (rename ? "rename" : "scan") << ": no album data file";
        // Every photo is there, under its old name or its new one.
        EXPECT_EQ(QDir(run.photos.path()).entryList(QDir::Files).size(), rename ? 3000 : 3);
    }
}

// On a high-density screen the window keeps its layout in layout pixels and
// draws the photo in device pixels: a photo of one-pixel stripes, sized so the
// zoom ends on its own pixels, shows one-pixel stripes; at 1.5 the photo area
// shows the photo (grey on average, not the frame's blue) up to each corner.
TEST(WindowEndToEnd, HighDensityScreensShowThePhotosOwnPixels)
{
    ASSERT_TRUE(WidgetApp());
    // A doubled window is 916 pixels tall: the private fallback screen is smaller.
    if (qEnvironmentVariable("TAMSEL_TEST_DISPLAY").isEmpty())
        GTEST_SKIP() << "needs the suite's display";
    LayoutInput in;
    in.W = 498;
    in.H = 458;
    const QRect area = ComputeFormLayout(in).photoArea;
    for (const double scale : {2.0, 1.5}) {
        SCOPED_TRACE(scale);
        const int w = RoundHalfEven(area.width() * scale), h = RoundHalfEven(area.height() * scale);
        RunningProgram run([&](const QDir& dir, const QString&) {
            QImage stripes(w + kPanAllowance, RoundHalfEven((w + kPanAllowance) * double(h) / w),
                           QImage::Format_RGB32);
            for (int x = 0; x < stripes.width(); ++x)
                for (int y = 0; y < stripes.height(); ++y)
                    stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            stripes.save(dir.filePath("stripes.bmp"));
        }, 3, scale);
        WINDOW_UP(run);
        EXPECT_NEAR(run.g.width(), 498 * scale, 1);
        EXPECT_NEAR(run.g.height(), 458 * scale, 1);
        const QRect onScreen(QPoint(RoundHalfEven(area.left() * scale), RoundHalfEven(area.top() * scale)),
                             QSize(w, h));
        // At 2 every neighbour in a row differs; at 1.5 each corner, 6 pixels
        // square, shows the photo: neutral grey on average.
        const auto photoIn = [&](const QImage& shot, const QRect& r) {
            int changes = 0, red = 0, blue = 0;
            for (int x = r.left(); x <= r.right(); ++x)
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    changes += std::abs(qGray(shot.pixel(x, y)) - qGray(shot.pixel(x + 1, y))) > 160;
                    red += qRed(shot.pixel(x, y));
                    blue += qBlue(shot.pixel(x, y));
                }
            const int n = r.width() * r.height();
            return scale == 2 ? changes >= n - 2 : std::abs(red / n - 128) < 60 && std::abs(blue - red) / n < 20;
        };
        EXPECT_TRUE(WaitFor([&] {
            const QImage shot = Screenshot(run.display.Name(), run.g);
            if (scale == 2)
                return photoIn(shot, QRect(onScreen.left() + 4, onScreen.center().y(), w - 9, 1));
            for (const QPoint c : {QPoint(2, 2), QPoint(w - 8, 2), QPoint(2, h - 8), QPoint(w - 8, h - 8)})
                if (!photoIn(shot, QRect(onScreen.topLeft() + c, QSize(6, 6))))
                    return false;
            return true;
        }, 20000));
    }
}

// The skin on a dense screen is its own double-size drawing, not the 1x one
// enlarged: the antialiased edges of the close glyph on the title paper take
// no more device pixels per row than at 1x.
TEST(WindowEndToEnd, HighDensityScreensShowASharpSkin)
{
    ASSERT_TRUE(WidgetApp());
    if (qEnvironmentVariable("TAMSEL_TEST_DISPLAY").isEmpty())
        GTEST_SKIP() << "needs the suite's display";
    LayoutInput in;
    in.W = 498;
    in.H = 458;
    const QRect cell(ComputeFormLayout(in).closeButton, QSize(17, 16));
    std::map<int, double> blurPerRow;   // pixels between glyph and paper grey
    for (const int scale : {1, 2}) {
        RunningProgram run({}, 3, scale);
        WINDOW_UP(run);
        run.Xdo({"mousemove", "0", "1000"});
        QThread::msleep(800);
        const QImage shot = Screenshot(run.display.Name(), run.g);
        const QRect r(cell.topLeft() * scale, cell.size() * scale);
        int between = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                between += qGray(shot.pixel(x, y)) > 110 && qGray(shot.pixel(x, y)) < 225;
        blurPerRow[scale] = double(between) / r.height();
    }
    EXPECT_GT(blurPerRow[1], 0.5) << "no glyph edge at 1x";
    EXPECT_LE(blurPerRow[2], blurPerRow[1] * 1.2);
}

namespace tamsel::testing {
// Sets (or, with no bytes, deletes) the root window's _ICC_PROFILE, as a colour manager does.
bool SetRootIccProfile(const QString& display, const QByteArray& icc);
}  // namespace tamsel::testing

namespace {

using Patches = std::array<QRgb, 4>;

// The four patches' colours in a picture that shows the patch picture over area.
Patches PatchesIn(const QImage& img, const QRect& area)
{
    Patches p;
    for (int k = 0; k < 4; ++k)
        p[size_t(k)] = img.pixel(area.left() + area.width() * (2 * k + 1) / 8, area.top() + area.height() / 4);
    return p;
}

// The patches of a photo file with its numbers taken as they are.
Patches RawPatches(const QString& path)
{
    SetColourManagement(false);
    const Decoded read = DecodePicture(path);
    EXPECT_TRUE(read.IsPicture());
    SetColourManagement(true);
    const QImage img = read.picture.ToQImage();
    return PatchesIn(img, img.rect());
}

double Worst(const Patches& a, const Patches& b)
{
    double worst = 0;
    for (size_t k = 0; k < 4; ++k)
        worst = std::max(worst, DeltaE2000(a[k], b[k]));
    return worst;
}

bool ShowsPatches(RunningProgram& run, const Patches& want, double& worst)
{
    return WaitFor([&] {
        worst = Worst(PatchesIn(Screenshot(run.display.Name(), run.g), run.L.photoArea), want);
        return worst <= 2;
    }, 20000);
}

// The patches of the patch picture made from kPatches[shift] on.
Patches ShiftedPatches(int shift)
{
    Patches p;
    for (int k = 0; k < 4; ++k)
        p[size_t(k)] = kPatches[(k + shift) % 4];
    return p;
}

// From the album's first photo on with →, each photo shows its patches.
void ExpectEachShows(RunningProgram& run, const std::vector<Patches>& want, const QStringList& names)
{
    for (size_t i = 0; i < want.size(); ++i) {
        // A window of a test running beside this one may have taken the focus.
        run.Xdo({"windowactivate", "--sync", QString::fromLatin1(run.id)});
        if (i > 0)
            run.Xdo({"key", "--window", QString::fromLatin1(run.id), "Right"});
        double worst = 0;
        EXPECT_TRUE(ShowsPatches(run, want[i], worst)) << names.value(int(i)).toStdString() << ": ΔE2000 " << worst;
    }
}

}  // namespace

// Photos in Adobe RGB, CMYK, ProPhoto and a wide-gamut space (a TIFF, read
// by the image file library), and one marked Adobe RGB only by its EXIF index, show
// their sRGB originals' colours; a damaged profile shows the numbers as they
// are. Each photo's patches start at another colour, so each one is known.
TEST(WindowEndToEnd, PhotosWithProfilesShowTheirSrgbOriginalsColours)
{
    ASSERT_TRUE(WidgetApp());
    const QStringList names = {"adobe.jpg", "cmyk.jpg", "damaged.jpg", "prophoto.jpg", "r03.jpg", "wide.tif"};
    QTemporaryDir made;
    std::vector<Patches> want;
    bool madeAll = true;
    RunningProgram run([&](const QDir& folder, const QString&) {
        for (int i = 0; i < names.size(); ++i) {
            const QDir d(made.filePath(QString::number(i)));
            d.mkpath(".");
            const QString photo = MakeColourPhotos(d, PatchPicture(800, 460, i)).value(names[i]);
            madeAll = madeAll && QFile::copy(photo, folder.filePath(names[i]));
            want.push_back(names[i] == "damaged.jpg" ? RawPatches(photo) : ShiftedPatches(i));
        }
    });
    if (!run.skip.isEmpty() || !madeAll)
        GTEST_SKIP() << "no program, X server, lcms2 tools or ICC profiles";
    ASSERT_TRUE(run.FindWindow()) << "no window appeared";
    ExpectEachShows(run, want, names);
}

// A folder of phone photos alone is an album of them: HEIC, AVIF and WebP
// stored sideways in Adobe RGB (as phones write them) stand upright in their
// sRGB originals' colours, and a show goes through all three.
TEST(WindowEndToEnd, AFolderOfPhonePhotosIsAnAlbumUprightInItsColours)
{
    ASSERT_TRUE(WidgetApp());
    const QStringList kinds = {"avif", "heic", "webp"};   // in the album's order
    QTemporaryDir made;
    bool madeAll = true;
    RunningProgram run([&](const QDir& folder, const QString&) {
        for (int i = 0; i < kinds.size(); ++i) {
            const QDir d(made.filePath(QString::number(i)));
            d.mkpath(".");
            const QString adobe = MakeColourPhotos(d, PatchPicture(800, 460, i)).value("adobe.jpg");
            SetColourManagement(false);
            const Decoded raw = DecodePicture(adobe);
            SetColourManagement(true);
            madeAll = madeAll && raw.IsPicture() &&
                      MakePhonePhoto(folder.filePath("IMG_" + QString::number(i) + '.' + kinds[i]),
                                     kinds[i].toLatin1(), ReadAll(kColordIcc + "AdobeRGB1998.icc"), 0, 0, 0,
                                     raw.picture.ToQImage().transformed(QTransform().rotate(-90)));
        }
    });
    if (!run.skip.isEmpty() || !madeAll)
        GTEST_SKIP() << "no program, X server, lcms2 tools, ICC profiles or phone photo encoders";
    ASSERT_TRUE(run.FindWindow()) << "no window appeared";
    ExpectEachShows(run, {ShiftedPatches(0), ShiftedPatches(1), ShiftedPatches(2)}, kinds);
    // The show from the first photo comes round to the last.
    double worst = 0;
    run.Xdo({"key", "--window", QString::fromLatin1(run.id), "Home"});
    ASSERT_TRUE(ShowsPatches(run, ShiftedPatches(0), worst)) << "Home: ΔE2000 " << worst;
    run.Xdo({"key", "--window", QString::fromLatin1(run.id), "space"});
    EXPECT_TRUE(ShowsPatches(run, ShiftedPatches(2), worst)) << "the show: ΔE2000 " << worst;
}

// A colour manager's profile on the root window: the photo is shown as lcms2's
// own jpgicc converts it into that profile.
TEST(WindowEndToEnd, TheRootWindowsProfileIsTheScreens)
{
    ASSERT_TRUE(WidgetApp());
    const QString screen = kColordIcc + "WideGamutRGB.icc";
    QTemporaryDir made;
    Patches want{};
    bool ready = false;
    RunningProgram run([&](const QDir& folder, const QString& display) {
        const QString adobe = MakeColourPhotos(QDir(made.path()), PatchPicture(800, 460)).value("adobe.jpg");
        const QString predicted = QDir(made.path()).filePath("predicted.jpg");
        ready = !adobe.isEmpty() && QFile::copy(adobe, folder.filePath("adobe.jpg")) &&
                !RunTool("jpgicc", {"-q98", "-o" + screen, adobe, predicted}).isNull() &&
                SetRootIccProfile(display, ReadAll(screen));
        if (ready)
            want = RawPatches(predicted);
    });
    const auto clear = qScopeGuard([&] {
        if (ready)
            SetRootIccProfile(run.display.Name(), {});
    });
    if (!run.skip.isEmpty() || !ready)
        GTEST_SKIP() << "no program, X server, lcms2 tools or ICC profiles";
    ASSERT_GT(Worst(want, {kPatches[0], kPatches[1], kPatches[2], kPatches[3]}), 2) << "the profile changes nothing";
    ASSERT_TRUE(run.FindWindow()) << "no window appeared";
    double worst = 0;
    EXPECT_TRUE(ShowsPatches(run, want, worst)) << "ΔE2000 " << worst;
}

// "输出" → "导出视频...": the dialog takes a file name, shows its progress in
// its title while the show is recorded, and closes with the file complete.
// The export from the menu writes its video; a quit signal during it cancels
// the export, cleans up and ends the program with the album written.
TEST(WindowEndToEnd, VideoExportFromTheMenu)
{
    ASSERT_TRUE(WidgetApp());
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit signal" : "to the end");
        RunningProgram run;
        WINDOW_UP(run);
        ASSERT_TRUE(WaitFor([&] {
            return Near(Screenshot(run.display.Name(), run.g).pixel(run.L.photoArea.center()), 220, 30, 30);
        }, 20000)) << "first photo not shown";

        run.Click(run.L.menuLabels[3] + QPoint(12, 6));     // "输出"
        ASSERT_TRUE(WaitFor([&] { return run.VisibleWindows() == 2; }, 5000)) << "no menu";
        run.Xdo({"key", "Up", "Return"});                   // its last item
        QByteArray dialog;
        ASSERT_TRUE(WaitFor([&] {
            dialog = run.Xdo({"search", "--onlyvisible", "--name", "导出视频"}).trimmed();
            return !dialog.isEmpty();
        }, 5000)) << "no dialog";
        const QString video = QDir(run.home.path()).filePath("show.webm");
        run.Xdo({"key", "ctrl+a"});
        run.Xdo({"type", "--delay", "20", video});
        run.Xdo({"key", "Return"});
        EXPECT_TRUE(WaitFor([&] {
            return run.Xdo({"getwindowname", QString::fromLatin1(dialog)}).contains("%");
        }, 10000)) << "no progress shown";
        if (quit) {
            const QString data = QDir(run.home.path()).filePath("tamsel.tmf");
            ASSERT_TRUE(QFile::remove(data));
            ::kill(pid_t(run.app.processId()), SIGTERM);
            ASSERT_TRUE(run.app.waitForFinished(30000)) << "still running";
            EXPECT_EQ(run.app.exitStatus(), QProcess::NormalExit);
            EXPECT_TRUE(QFileInfo(data).isFile()) << "no album data file";
            EXPECT_FALSE(QFileInfo::exists(video));
            EXPECT_EQ(QDir(run.home.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
            continue;
        }
        EXPECT_TRUE(WaitFor([&] { return QFileInfo(video).isFile() && run.VisibleWindows() == 1; }, 60000))
            << "no video written";
        EXPECT_GT(QFileInfo(video).size(), 10000);
    }
}

// A folder, then a show script, dragged from another program and let go on
// the photo: the folder opens on its photo, the script on its cover, and the
// files are taken as a copy however the dragging program offers them.
TEST(WindowEndToEnd, AFolderAndAShowScriptDroppedOnTheWindowOpen)
{
    ASSERT_TRUE(WidgetApp());
    RunningProgram run;
    WINDOW_UP(run);
    const auto Shows = [&](QColor c) {
        return WaitFor([&] {
            return Near(Screenshot(run.display.Name(), run.g).pixel(run.L.photoArea.center()), c.red(), c.green(), c.blue());
        }, 20000);
    };
    ASSERT_TRUE(Shows(QColor(220, 30, 30)));
    QTemporaryDir more;
    const QDir dir(more.path());
    dir.mkdir("yellow");
    QImage img(640, 480, QImage::Format_RGB32);
    img.fill(QColor(230, 220, 30));
    img.save(dir.filePath("yellow/y.jpg"), "JPG", 95);
    img.fill(QColor(200, 30, 200));
    img.save(dir.filePath("cover.jpg"), "JPG", 95);
    AlbumState album = AlbumState::FirstRun(AppPaths::ForProgramDir(run.home.path()));
    album.ShowWidth = 700, album.ShowHeight = 400, album.MusicOn = 0;
    album.CoverFile = dir.filePath("cover.jpg");
    PhotoList list{AlbumExtensions()};
    list.Point(dir.filePath("yellow") + '/');
    SaveScript(dir.filePath("show.tms"), album, list);

    for (const auto& [path, colour] : {std::pair{dir.filePath("yellow"), QColor(230, 220, 30)},
                                       std::pair{dir.filePath("show.tms"), QColor(200, 30, 200)}}) {
        SCOPED_TRACE(path.toStdString());
        QProcess source;
        source.setProcessEnvironment(run.app.processEnvironment());   // the same display
        source.start(TAMSEL_DRAG_SOURCE, {path});
        QByteArray w;
        ASSERT_TRUE(WaitFor([&] {
            w = run.Xdo({"search", "--onlyvisible", "--pid", QString::number(source.processId())}).trimmed();
            return !w.isEmpty();
        }, 10000)) << "no drag source";
        const QPoint a = run.WindowGeometry(w).center(), b = run.g.topLeft() + run.L.photoArea.center();
        const auto At = [](QPoint p) { return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y()), "sleep", "0.3"}; };
        run.Xdo(At(a) + QStringList{"mousedown", "1", "sleep", "0.3"} + At((a + b) / 2) + At(b) + At(b + QPoint(5, 5)) +
                QStringList{"mouseup", "1"});
        ASSERT_TRUE(source.waitForReadyRead(10000)) << "the drag did not end";
        EXPECT_EQ(source.readAllStandardOutput().trimmed(), QByteArray::number(int(Qt::CopyAction)));
        EXPECT_TRUE(Shows(colour));
        source.kill();   // only now: the album reads the dropped names from it
        source.waitForFinished();
    }
}

// Ctrl+P opens the print dialog: Enter prints the photo at its natural size,
// and its page arrives in the PDF queue; Escape prints nothing.
TEST(WindowEndToEnd, CtrlPPrintsThroughTheDialogOrNothingWhenCancelled)
{
    ASSERT_TRUE(WidgetApp());
    const QString out = qEnvironmentVariable("TAMSEL_TEST_PDF_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "no PDF printer set up (TAMSEL_TEST_PDF_DIR)";
    // The PDF is named after the photo, a name no other run prints.
    const QString name = QStringLiteral("tamsel-print-e2e-%1").arg(QCoreApplication::applicationPid());
    for (const bool print : {true, false}) {
        SCOPED_TRACE(print ? "printed" : "cancelled");
        RunningProgram run([&](const QDir& dir, const QString&) {
            QImage img(640, 480, QImage::Format_RGB32);
            img.fill(QColor(220, 30, 30));
            img.save(dir.filePath(name + ".jpg"), "JPG", 95);
        });
        WINDOW_UP(run);
        ASSERT_TRUE(WaitFor([&] {
            return Near(Screenshot(run.display.Name(), run.g).pixel(run.L.photoArea.center()), 220, 30, 30);
        }, 20000)) << "photo not shown";
        QString pdf;
        const auto cleanUp = qScopeGuard([&] { QFile::remove(pdf); });
        const auto NewPdf = [&] {
            const QStringList found = QDir(out).entryList({name + "*.pdf"}, QDir::Files);
            return found.isEmpty() ? QString() : QDir(out).filePath(found.first());
        };
        run.KeysTo(run.id, {"ctrl+p"});
        QByteArray dialog;
        ASSERT_TRUE(WaitFor([&] { return !(dialog = run.OtherWindow()).isEmpty(); }, 10000)) << "no print dialog";
        QThread::msleep(500);
        run.KeysTo(dialog, {print ? "Return" : "Escape"});
        EXPECT_TRUE(WaitFor([&] { return run.VisibleWindows() == 1; }, 10000)) << "the dialog stayed";
        ASSERT_EQ(WaitFor([&] { return !(pdf = NewPdf()).isEmpty(); }, print ? 60000 : 5000), print)
            << "PDF in " << qPrintable(out) << ": " << qPrintable(pdf);
        if (!print)
            continue;
        QThread::msleep(500);
        // 640 x 480 pixels at 96 to the inch: 160 x 120 at 24.
        const QImage page = QImage::fromData(X(run.display.Name(), "pdftoppm", {"-r", "24", "-singlefile", pdf}), "PPM");
        int red = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                red += Near(page.pixel(x, y), 220, 30, 30);
        EXPECT_NEAR(red, 160 * 120, 160 * 120 / 10);
    }
}
