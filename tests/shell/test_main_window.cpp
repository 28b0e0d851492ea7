// The main window headless: the layout applied to the real widgets, the info
// line, the thumb dragged with the mouse, the bar locked during a show.
#include "TestAccess.h"
#include "TestUtil.h"
#include "album/ShowScript.h"
#include "app/AlbumApp.h"
#include "shell/FormRegion.h"
#include "shell/WidgetApp.h"
#include "shell/ui/FormShape.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/SkinWidgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

// A program directory with the installation's pictures and an album folder.
class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QDir data(QStringLiteral(TAMSEL_SOURCE_DIR "/assets/data"));
        for (const QString& f : data.entryList({"*.png", "*.jpg"}, QDir::Files))
            QFile::copy(data.filePath(f), QDir(home.path()).filePath(f));
        core = std::make_unique<AlbumApp>(AppPaths::ForProgramDir(home.path()));
        core->Startup();
        window = std::make_unique<MainWindow>(*core);
    }
    void TearDown() override
    {
        window.reset();
        core.reset();
    }
    // Ten photos of 64 x 48 named p0.jpg .. p9.jpg.
    void MakeAlbum(int n = 10)
    {
        QImage img(64, 48, QImage::Format_RGB32);
        for (int i = 0; i < n; ++i) {
            img.fill(QColor(20 * i, 100, 200 - 20 * i));
            img.save(QDir(photos.path()).filePath(QStringLiteral("p%1.jpg").arg(i)));
        }
    }
    static bool Until(const std::function<bool()>& done, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    void Mouse(QWidget* w, QEvent::Type type, QPoint windowPos, Qt::MouseButtons buttons)
    {
        const QPoint local = w->mapFrom(window.get(), windowPos);
        const QPoint global = window->mapToGlobal(windowPos);
        QMouseEvent e(type, local, global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }

    QTemporaryDir home, photos;
    std::unique_ptr<AlbumApp> core;
    std::unique_ptr<MainWindow> window;
};

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

}  // namespace

TEST_F(Window, FirstStartOpensOnTheCoverLaidOutForItsSize)
{
    window->Start();
    window->show();
    EXPECT_EQ(window->size(), QSize(498, 458));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("澄影集"));
    EXPECT_EQ(window->InfoLabel()->text(), QString::fromUtf8(kGreeting));
    EXPECT_EQ(window->InfoLabel()->pos(), QPoint(20, 36));
    EXPECT_EQ(window->BarButton(3)->pos(), QPoint(389, 414));
    EXPECT_EQ(window->BarButton(5)->pos(), QPoint(118, 417));
    EXPECT_EQ(window->QuickButton(7)->pos(), QPoint(317, 394));
    EXPECT_EQ(window->photoArea()->geometry(), QRect(9, 55, 480, 336));
    EXPECT_EQ(window->mask(), FormRegion(498, 458, true));
    // Only "照片" and "退出" serve an album without photos.
    EXPECT_TRUE(window->MenuLabel(0)->isEnabled());
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(window->MenuLabel(i)->isEnabled()) << i;
    EXPECT_TRUE(window->MenuLabel(4)->isEnabled());
    EXPECT_FALSE(window->BarButton(6)->isVisible());
    // The skin is painted: the title strip's left end is not the bare background.
    const QImage& back = window->Background();
    ASSERT_EQ(back.size(), QSize(498, 458));
    EXPECT_NE(back.pixel(60, 20), qRgb(250, 250, 250));
}

TEST_F(Window, ResizingMovesEverythingAndPublishesThePhotoArea)
{
    window->Start();
    window->show();
    window->resize(700, 520);
    EXPECT_EQ(TestAccess::Model(*core).state.ShowWidth, 682);
    EXPECT_EQ(TestAccess::Model(*core).state.ShowHeight, 398);
    EXPECT_DOUBLE_EQ(TestAccess::Model(*core).main.ShowAspect, 682.0 / 398.0);
    EXPECT_EQ(window->photoArea()->geometry(), QRect(9, 55, 682, 398));
    EXPECT_EQ(window->BarButton(4)->pos(), QPoint(615, 476));
    EXPECT_EQ(window->mask(), FormRegion(700, 520, true));
    // While the cover shows, the info text stays as it was.
    EXPECT_EQ(window->InfoLabel()->text(), QString::fromUtf8(kGreeting));

    // Every element of the frame stands where the layout puts it.
    const FormLayout& L = window->CurrentLayout();
    const auto at = [&](const char* name) { return window->findChild<QWidget*>(name)->geometry(); };
    for (const auto& [name, r] : {std::pair{"titleBar", L.titleBar}, {"bottomGrip", L.bottomGrip},
                                  {"rightGrip", L.rightGrip}})
        EXPECT_EQ(at(name), r) << name;
    for (const auto& [name, p] :
         {std::pair{"titleIcon", L.icon}, {"titleLabel", L.titleLabel}, {"minimiseButton", L.minimiseButton},
          {"maximiseButton", L.maximiseButton}, {"closeButton", L.closeButton}, {"aboutButton", L.aboutButton},
          {"helpButton", L.helpButton}, {"badge", L.badge}, {"infoLabel", L.infoLabel},
          {"photoNameLabel", L.photoNameLabel}, {"cornerGrip", L.cornerGrip}})
        EXPECT_EQ(at(name).topLeft(), p) << name;
    for (int i = 0; i < kMenuLabels; ++i)
        EXPECT_EQ(window->MenuLabel(i)->pos(), L.menuLabels[size_t(i)]) << i;
    for (int i = 0; i < kBarButtons; ++i)
        EXPECT_EQ(window->BarButton(i)->pos(), L.barButtons[size_t(i)]) << i;
    for (int i = 0; i < kQuickButtons; ++i)
        EXPECT_EQ(window->QuickButton(i)->pos(), L.quickButtons[size_t(i)]) << i;
}

TEST_F(Window, ElementsShowTheirLooksUnderThePointer)
{
    window->Start();
    window->show();
    const auto picture = [&](const char* file) { return QPixmap(QDir(home.path()).filePath(file)).toImage(); };
    const QPoint away(200, 200);   // on the photo area
    PictureElement* next = window->BarButton(3);
    const QPoint on = next->pos() + QPoint(5, 5);
    Mouse(next, QEvent::MouseMove, on, Qt::NoButton);
    EXPECT_EQ(next->Picture().toImage(), picture("btn_next_hover.png"));
    Mouse(next, QEvent::MouseButtonPress, on, Qt::LeftButton);
    EXPECT_EQ(next->Picture().toImage(), picture("btn_next_pressed.png"));
    // The bare background turns hover looks back, not a pressed button.
    Mouse(window->photoArea(), QEvent::MouseMove, away, Qt::LeftButton);
    EXPECT_EQ(next->Picture().toImage(), picture("btn_next_pressed.png"));
    Mouse(next, QEvent::MouseButtonRelease, away, Qt::NoButton);
    EXPECT_EQ(next->Picture().toImage(), picture("btn_next_normal.png"));

    // A window button's glyph shows only while the pointer is on it.
    auto* close = window->findChild<PictureElement*>("closeButton");
    EXPECT_TRUE(close->Picture().isNull());
    Mouse(close, QEvent::MouseMove, close->pos() + QPoint(3, 3), Qt::NoButton);
    EXPECT_EQ(close->Picture().toImage(), picture("win_close_hover.png"));
    Mouse(window->photoArea(), QEvent::MouseMove, away, Qt::NoButton);
    EXPECT_TRUE(close->Picture().isNull());

    // Menu-bar labels and links stay lit until the title bar is crossed.
    auto* about = window->findChild<PictureElement*>("aboutButton");
    Mouse(window->MenuLabel(0), QEvent::MouseMove, window->MenuLabel(0)->pos(), Qt::NoButton);
    Mouse(about, QEvent::MouseMove, about->pos(), Qt::NoButton);
    EXPECT_EQ(window->MenuLabel(0)->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(about->Picture().toImage(), picture("link_about_hover.png"));
    auto* title = window->findChild<QWidget*>("titleBar");
    Mouse(title, QEvent::MouseMove, title->pos() + QPoint(150, 5), Qt::NoButton);
    EXPECT_EQ(window->MenuLabel(0)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(about->Picture().toImage(), picture("link_about_normal.png"));
    // The badge leads to the home page by hand; the grips show their directions.
    EXPECT_EQ(window->findChild<QWidget*>("badge")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->findChild<QWidget*>("bottomGrip")->cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(window->findChild<QWidget*>("cornerGrip")->cursor().shape(), Qt::SizeFDiagCursor);
}

TEST_F(Window, NavigationFillsTheInfoLine)
{
    MakeAlbum(3);
    TestAccess::Model(*core).state.ShowWidth = 782;  // room for the file information and the position
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 1 / 3"); }));
    EXPECT_TRUE(window->InfoLabel()->text().startsWith(QStringLiteral("照片 p0.jpg  尺寸 64x48")))
        << window->InfoLabel()->text().toStdString();
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(window->MenuLabel(i)->isEnabled());

    core->BtnClick(3);
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 2 / 3"); }));
    EXPECT_TRUE(window->InfoLabel()->text().startsWith(QStringLiteral("照片 p1.jpg")));
    EXPECT_TRUE(window->InfoLabel()->text().contains(QStringLiteral("  文件 ")));
    // The thumb stands at the second photo's place: 118 + 541 * 1 / 2.
    EXPECT_EQ(window->BarButton(5)->x(), 388);
    // The position sits right-aligned before the badge.
    const QRect pos = window->CountLabel()->geometry();
    EXPECT_EQ(pos.x() + pos.width(), 800 - 15 - 70);
    EXPECT_TRUE(window->CountLabel()->isVisible());
    // Narrowed to the first-run size the long info text leaves it no room.
    window->resize(498, 458);
    EXPECT_FALSE(window->CountLabel()->isVisible());
}

TEST_F(Window, APhotoThatCannotBeLoadedIsReportedNotRenamed)
{
    MakeAlbum(1);
    WriteBytes(QDir(photos.path()).filePath("q.jpg"), "not a picture");
    TestAccess::Model(*core).state.ShowWidth = 782;
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 1 / 2"); }));
    core->BtnClick(3);
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 2 / 2"); }));
    // The previous photo is shown again; the label says why instead of
    // giving q.jpg the previous photo's size.
    const QString info = window->InfoLabel()->text();
    EXPECT_FALSE(info.contains(QStringLiteral("尺寸"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("q.jpg"))) << info.toStdString();
    // The next good photo fills the line as usual.
    core->BtnClick(2);
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 1 / 2"); }));
    EXPECT_TRUE(window->InfoLabel()->text().startsWith(QStringLiteral("照片 p0.jpg  尺寸 64x48")));
}

TEST_F(Window, TheFileInformationNeedsA460PixelPhotoArea)
{
    MakeAlbum(3);
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    ASSERT_TRUE(Until([&] { return TestAccess::Model(*core).main.ViewMode() == View::Still; }));
    TestAccess::SetCurFileInfo(TestAccess::Model(*core).shown, QStringLiteral("  文件 1KB  修改 5-3-7 14:5"));
    window->resize(459 + 18, 458);
    EXPECT_FALSE(window->InfoLabel()->text().contains(QStringLiteral("文件")));
    window->resize(460 + 18, 458);
    EXPECT_TRUE(window->InfoLabel()->text().endsWith(TestAccess::Model(*core).shown.CurFileInfo()));
}

TEST_F(Window, DraggingTheThumbChoosesAPhotoAndReleaseSnapsIt)
{
    MakeAlbum(10);
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    ASSERT_TRUE(Until([&] { return TestAccess::Model(*core).main.ViewMode() == View::Still; }));
    PictureElement* thumb = window->BarButton(5);
    const int y = thumb->y() + 7;

    Mouse(thumb, QEvent::MouseButtonPress, QPoint(thumb->x() + 7, y), Qt::LeftButton);
    EXPECT_TRUE(window->PhotoNameLabel()->isVisible());
    Mouse(thumb, QEvent::MouseMove, QPoint(206, y), Qt::LeftButton);
    EXPECT_EQ(TestAccess::Model(*core).position.CurPhoto(), 3);
    EXPECT_EQ(thumb->x(), 198);
    EXPECT_EQ(window->PhotoNameLabel()->text(), QStringLiteral("p3.jpg"));
    EXPECT_EQ(window->PhotoNameLabel()->x(), 198);
    EXPECT_EQ(window->PhotoNameLabel()->palette().color(QPalette::Window), QColor(255, 255, 221));

    Mouse(thumb, QEvent::MouseButtonRelease, QPoint(206, y), Qt::NoButton);
    EXPECT_FALSE(window->PhotoNameLabel()->isVisible());
    EXPECT_EQ(thumb->x(), 198);  // 197.67 rounded
    EXPECT_EQ(TestAccess::Model(*core).main.ViewMode(), View::BringingIn);
    EXPECT_EQ(TestAccess::Model(*core).main.NewPhoto(), 1);
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 4 / 10"); }));

    // Far right: the last photo, whatever the pointer's overshoot.
    Mouse(thumb, QEvent::MouseButtonPress, QPoint(thumb->x() + 7, y), Qt::LeftButton);
    Mouse(thumb, QEvent::MouseMove, QPoint(900, y), Qt::LeftButton);
    EXPECT_EQ(TestAccess::Model(*core).position.CurPhoto(), 9);
    EXPECT_EQ(thumb->x(), 357);
    Mouse(thumb, QEvent::MouseButtonRelease, QPoint(900, y), Qt::NoButton);
}

TEST_F(Window, ARunningShowLocksTheBarButStopAndExitStayUsable)
{
    MakeAlbum(3);
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    core->BtnClick(0);
    EXPECT_EQ(TestAccess::Model(*core).main.ShowRunning(), 1);
    for (int i = 0; i <= 5; ++i)
        EXPECT_FALSE(window->BarButton(i)->isEnabled()) << i;
    EXPECT_FALSE(window->BarButton(0)->isVisible());
    EXPECT_TRUE(window->BarButton(6)->isVisible());
    EXPECT_TRUE(window->BarButton(6)->isEnabled());
    for (int i = 0; i <= 3; ++i)
        EXPECT_FALSE(window->MenuLabel(i)->isEnabled()) << i;
    EXPECT_TRUE(window->MenuLabel(4)->isEnabled());
    // The window keeps its size during the show, but can still be closed.
    const QStringList sizing = {"minimiseButton", "maximiseButton", "bottomGrip", "rightGrip"};
    for (const QString& name : sizing)
        EXPECT_FALSE(window->findChild<QWidget*>(name)->isEnabled()) << qPrintable(name);
    EXPECT_TRUE(window->findChild<QWidget*>("closeButton")->isEnabled());

    core->BtnClick(6);
    EXPECT_EQ(TestAccess::Model(*core).main.StopRequested(), 1);
    for (int i = 0; i <= 5; ++i)
        EXPECT_TRUE(window->BarButton(i)->isEnabled()) << i;
    EXPECT_TRUE(window->BarButton(0)->isVisible());
    EXPECT_FALSE(window->BarButton(6)->isVisible());
    for (const QString& name : sizing)
        EXPECT_TRUE(window->findChild<QWidget*>(name)->isEnabled()) << qPrintable(name);
}

TEST_F(Window, KeysActAsTheirButtonsAndOnlyWhenTheButtonCould)
{
    MakeAlbum(4);
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    const auto key = [&](int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &e);
    };
    const PhotoPosition& s = TestAccess::Model(*core).position;
    key(Qt::Key_End);
    EXPECT_EQ(s.CurPhoto(), 3);
    key(Qt::Key_Left);
    EXPECT_EQ(s.CurPhoto(), 2);
    key(Qt::Key_Home);
    EXPECT_EQ(s.CurPhoto(), 0);
    key(Qt::Key_Right);
    EXPECT_EQ(s.CurPhoto(), 1);
    key(Qt::Key_Space);                      // the show starts...
    EXPECT_TRUE(TestAccess::Model(*core).main.ShowRunning());
    key(Qt::Key_Right);                      // ...its buttons are locked, so are their keys
    EXPECT_EQ(s.CurPhoto(), 2);
    key(Qt::Key_Home);
    EXPECT_EQ(s.CurPhoto(), 2);
    key(Qt::Key_Space);                      // and stops
    EXPECT_TRUE(TestAccess::Model(*core).main.StopRequested());
    EXPECT_TRUE(window->BarButton(0)->toolTip().contains(QStringLiteral("空格")));
}

TEST_F(Window, ClosingTellsTheApplication)
{
    window->Start();
    window->show();
    int closing = 0;
    QObject::connect(window.get(), &MainWindow::closing, [&] { ++closing; });
    window->close();
    EXPECT_EQ(closing, 1);
}

// A close whose album data cannot be saved says so on the info line and
// leaves the window up once; the next close ends.
TEST_F(Window, AnUnsavedAlbumIsToldBeforeTheWindowCloses)
{
    window->Start();
    window->show();
    int closing = 0;
    QObject::connect(window.get(), &MainWindow::closing, [&] { ++closing; });
    TestAccess::Model(*core).paths.dataFile = Touch(QDir(home.path()), "not-a-folder") + "/tamsel.tmf";
    window->close();
    EXPECT_EQ(closing, 0);
    EXPECT_TRUE(window->InfoLabel()->text().contains(QStringLiteral("相册数据未能保存")));
    window->close();
    EXPECT_EQ(closing, 1);
    // Names holding line breaks stay on the one line.
    window->ShowInfo(QStringLiteral("照片 a\nb\t.jpg\u2028"), false);
    EXPECT_EQ(window->InfoLabel()->text(), QStringLiteral("照片 a?b?.jpg?"));
}

TEST_F(Window, AScriptFromOutsideOpensOnTheCoverAtItsFirstPhoto)
{
    MakeAlbum(3);
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    core->BtnClick(4);
    ASSERT_EQ(TestAccess::Model(*core).position.CurPhoto(), 2);

    AlbumState saved = TestAccess::Model(*core).state;
    saved.PhotoCaption = QStringList{"一", "二", "三", ""};
    saved.LoopShow = 1;
    const QString script = QDir(home.path()).filePath("show.tms");
    ASSERT_TRUE(SaveScript(script, saved, TestAccess::Model(*core).photos).ok);
    core->OpenScript(script);
    EXPECT_EQ(TestAccess::Model(*core).position.CurPhoto(), 0);
    EXPECT_TRUE(TestAccess::Model(*core).position.CoverShowing());
    EXPECT_EQ(TestAccess::Model(*core).photos.Count(), 3);
    EXPECT_EQ(TestAccess::Model(*core).state.LoopShow, 1);
    EXPECT_EQ(TestAccess::Model(*core).state.CaptionOf(1), QStringLiteral("二"));
    EXPECT_EQ(TestAccess::Model(*core).main.ViewMode(), View::Cover);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(window->MenuLabel(i)->isEnabled());
    // The next "下一张" brings in the first photo itself.
    core->BtnClick(3);
    EXPECT_EQ(TestAccess::Model(*core).position.CurPhoto(), 0);
    EXPECT_FALSE(TestAccess::Model(*core).position.CoverShowing());
}

// The settings dialog opened from its label changes the album's own
// settings through the application: at once for the caption position and
// the music switch, with "确定" for the rest, which the window then follows.
TEST_F(Window, TheSettingsDialogChangesTheAlbumItself)
{
    MakeAlbum(3);
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    bool answered = false;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        QWidget* cell = d->findChild<QWidget*>(QStringLiteral("captionCell2"));
        ASSERT_NE(cell, nullptr);
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, QPointF(4, 4), cell->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(cell, &e);
        }
        d->findChild<QCheckBox*>(QStringLiteral("musicOnCheck"))->click();
        d->findChild<QLineEdit*>(QStringLiteral("widthEdit"))->setText(QStringLiteral("600"));
        d->findChild<QLineEdit*>(QStringLiteral("pauseEdit"))->setText(QStringLiteral("9"));
        d->findChild<QRadioButton*>(QStringLiteral("captionScopeAll"))->click();
        d->findChild<QLineEdit*>(QStringLiteral("captionEdit"))->setText(QStringLiteral("海边"));
        d->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        answered = true;
    });
    core->LabelClicked(2);
    ASSERT_TRUE(answered);
    const AlbumState& s = core->Model().state;
    EXPECT_EQ(s.CapPos, 2);
    EXPECT_EQ(s.MusicOn, 0);
    EXPECT_EQ(s.PauseSecs, 9);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(s.CaptionOf(i), QStringLiteral("海边")) << i;
    EXPECT_EQ(s.ShowWidth, 600);
    EXPECT_EQ(window->width(), 600 + kFrameWidth);
}

TEST_F(Window, AnEmptyFolderFromOutsideAsksForPhotos)
{
    window->Start();
    window->show();
    core->OpenFolder(photos.path());
    EXPECT_EQ(TestAccess::Model(*core).photos.Count(), 0);
    EXPECT_EQ(window->InfoLabel()->text(), QString::fromUtf8(kNoFolderMessage));
}

TEST_F(Window, DialogsAreCutToTheRoundedRectangle)
{
    QWidget dialog;
    dialog.resize(300, 200);
    SetFormRegion(dialog, false);
    EXPECT_EQ(dialog.mask(), FormRegion(300, 200, false));
    // No size, no new outline: the last one stays rather than an empty mask.
    dialog.resize(0, 0);
    SetFormRegion(dialog, false);
    EXPECT_EQ(dialog.mask(), FormRegion(300, 200, false));
}

TEST_F(Window, PhonePhotosAreToldOfOnTheInfoLine)
{
    window->Start();
    window->show();
    WriteBytes(QDir(photos.path()).filePath("IMG_1.heic"), "x");
    // Beside album photos the note outlives the first photo's own line.
    MakeAlbum(2);
    core->OpenFolder(photos.path());
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 1 / 2"); }));
    EXPECT_EQ(window->InfoLabel()->text(), QStringLiteral(" 此文件夹另有 1 张 HEIC 照片未列入相册，请用 照片 → 批量转换... 转为 JPG"));
    core->BtnClick(3);   // said once
    ASSERT_TRUE(Until([&] { return window->CountLabel()->text() == QStringLiteral(" 位置 2 / 2"); }));
    EXPECT_TRUE(window->InfoLabel()->text().startsWith(QStringLiteral("照片 p1.jpg")));
}
