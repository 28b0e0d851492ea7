// The whole album driven without a window: a scripted view answers the
// questions and records what the album shows; the test runs the engine's
// steps itself, as the photo area would.
#include "PrivateBus.h"
#include "ScriptedView.h"
#include "imaging/ImageFormats.h"
#include "tools/RenameJournal.h"
#include "TestAccess.h"
#include "TestUtil.h"
#include "album/ShowScript.h"
#include "app/AlbumApp.h"
#include "imaging/PhonePhotos.h"
#include "app/Commands.h"
#include "app/MediaRemote.h"
#include "shell/WidgetApp.h"
#include "show/ui/PhotoArea.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <unistd.h>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

struct AppFixture : ::testing::Test {
    QTemporaryDir home, photos;
    std::unique_ptr<AlbumApp> app;
    ScriptedView view;

    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            QImage img(64, 48, QImage::Format_RGB32);
            img.fill(QColor(60 * i, 90, 200 - 60 * i));
            ASSERT_TRUE(img.save(QDir(photos.path()).filePath(QStringLiteral("p%1.jpg").arg(i))));
        }
        QFile::copy(QStringLiteral(TAMSEL_SOURCE_DIR "/assets/data/face.jpg"),
                    QDir(home.path()).filePath("face.jpg"));
        app = std::make_unique<AlbumApp>(AppPaths::ForProgramDir(home.path()));
        app->Startup();
        app->Attach(&view);
        app->ShowFace();
        TestAccess::Engine(*app).reseedFromClock = false;
    }
    // Runs steps as the photo area does, until the photo stands still (or a
    // running show has moved on to another photo).
    void RunUntilStill(int maxSteps = 5000)
    {
        const int from = TestAccess::Model(*app).position.CurPhoto();
        for (int i = 0; i < maxSteps; ++i) {
            if (TestAccess::Engine(*app).Step().unchanged)
                QThread::msleep(1);   // the photo is still being decoded
            const MainState& m = TestAccess::Model(*app).main;
            if (m.ViewMode() == View::Still)
                return;
            if (m.ShowRunning() && TestAccess::Model(*app).position.CurPhoto() != from)
                return;
        }
        FAIL() << "the photo never came to rest";
    }
};

}  // namespace

TEST_F(AppFixture, FolderStepShowStopAndShutdownWithoutAWindow)
{
    AlbumModel& m = TestAccess::Model(*app);
    m.state.PhotoCaption = {"old"};
    view.answer = QDir(photos.path()).filePath("p1.jpg");
    ASSERT_TRUE(app->ChooseFolderCommand());
    EXPECT_EQ(view.asked, QStringList{"请选择照片所在文件夹"});
    EXPECT_EQ(m.photos.Count(), 3);
    EXPECT_EQ(m.state.PhotoCaption, QStringList(4));   // a new folder starts without captions
    EXPECT_EQ(m.position.CurPhoto(), 1);          // the chosen photo, not the first
    EXPECT_TRUE(view.labelsEnabled);
    EXPECT_GT(view.steps, 0);
    RunUntilStill();
    EXPECT_EQ(m.shown.CurFileName(), "p1.jpg");
    EXPECT_GT(view.refreshes, 0);

    // The photo after it is decoded ahead, in the direction of the last step.
    EXPECT_EQ(TestAccess::Prefetch(*app).Ahead(), m.PhotoPath(2));
    app->BtnClick(Navigator::Next);
    RunUntilStill();
    EXPECT_EQ(m.shown.CurFileName(), "p2.jpg");
    EXPECT_EQ(TestAccess::Prefetch(*app).Ahead(), QString());   // nothing after the last photo

    // The show from the last photo goes round only in a loop.
    app->BtnClick(Navigator::Play);
    EXPECT_FALSE(m.main.ShowRunning());
    m.state.LoopShow = 1;
    app->BtnClick(Navigator::Play);
    EXPECT_TRUE(m.main.ShowRunning());
    EXPECT_EQ(view.stopShown, 1);
    EXPECT_EQ(view.btnState, 0);
    RunUntilStill();                         // p0 comes in, then the show moves on
    EXPECT_EQ(m.position.CurPhoto(), 1);
    app->BtnClick(Navigator::Stop);
    TestAccess::Engine(*app).Step();
    EXPECT_FALSE(m.main.ShowRunning());
    EXPECT_EQ(view.stopShown, 0);
    EXPECT_EQ(view.btnState, 1);

    m.state.PhotoCaption[1] = QStringLiteral("湖边");
    ASSERT_TRUE(app->Shutdown().ok);
    PhotoList list{AlbumExtensions()};
    const ScriptRead back = ReadScript(m.paths.dataFile, AlbumState(), list);
    ASSERT_TRUE(back.outcome.ok);
    EXPECT_EQ(list.Folder(), QDir(photos.path()).absolutePath() + "/");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(back.state.CaptionOf(1), QStringLiteral("湖边"));
    EXPECT_EQ(back.state.LoopShow, 1);
}

// Photos the image file library reads are decoded ahead too, on the
// prefetch's thread, into memory; one that cannot be read says so when it is
// reached.
TEST_F(AppFixture, LibraryReadAndBrokenPhotosAheadArriveAsIfReadThen)
{
    AlbumModel& m = TestAccess::Model(*app);
    const QDir dir(photos.path());
    for (const char* name : {"p0.jpg", "p1.jpg", "p2.jpg"})
        QFile::remove(dir.filePath(name));
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(QColor(20, 200, 40));
    ASSERT_TRUE(img.save(dir.filePath("a.PNG")));
    ASSERT_TRUE(img.save(dir.filePath("b.PNG")));
    Touch(dir, "c.png", "not a picture");
    view.answer = dir.filePath("a.PNG");
    ASSERT_TRUE(app->ChooseFolderCommand());
    RunUntilStill();
    EXPECT_EQ(TestAccess::Prefetch(*app).Ahead(), dir.filePath("b.PNG"));
    app->BtnClick(Navigator::Next);
    RunUntilStill();
    EXPECT_FALSE(m.shown.LoadFailed());
    EXPECT_EQ(m.shown.CurFile(), dir.filePath("b.PNG"));
    EXPECT_EQ(m.shown.CurFileName(), "b.PNG");
    const uint8_t* px = m.dibs.DibPhoto.RowPtr(10) + 30;
    EXPECT_NEAR(px[1], 200, 3);
    EXPECT_NEAR(px[2], 20, 3);

    view.infos.clear();
    app->BtnClick(Navigator::Next);
    RunUntilStill();
    EXPECT_TRUE(m.shown.LoadFailed());
    ASSERT_FALSE(view.infos.isEmpty());
    EXPECT_TRUE(view.infos.last().contains("c.png"));
    // Nothing was written on the way.
    EXPECT_EQ(QDir(m.paths.workDir).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// While the cover shows, the photo the first click brings in is decoded
// already; a folder missing or without photos decodes nothing.
TEST_F(AppFixture, TheCoverWaitsWithTheFirstPhotoDecoded)
{
    AlbumModel& m = TestAccess::Model(*app);
    PhotoPrefetch& prefetch = TestAccess::Prefetch(*app);
    QTemporaryDir empty;
    const QString script = QDir(home.path()).filePath("s.tms");
    for (const QString& folder : {home.path() + "/gone", empty.path(), photos.path()}) {
        PhotoList list{AlbumExtensions()};
        list.Point(folder + "/");
        ASSERT_TRUE(SaveScript(script, m.state, list));
        ASSERT_TRUE(app->OpenScript(script) && m.position.CoverShowing());
        EXPECT_EQ(prefetch.Ahead(), folder == photos.path() ? m.PhotoPath(0) : QString());
    }
    while (!prefetch.Ready(m.PhotoPath(0), TestAccess::ComposerOf(*app).DecodeSize(false)))
        QThread::msleep(1);
    // The first step after the click composes it: no wait for a decoder.
    app->BtnClick(Navigator::Next);
    EXPECT_FALSE(TestAccess::Engine(*app).Step().unchanged);
    EXPECT_EQ(m.shown.CurFileName(), "p0.jpg");
}

// The quick-effect strip and the music tick hand what they decide to the
// album: a click sets the looping and the style, a tick moves the music on,
// and a tune the player finds broken as it starts leaves the music off.
TEST_F(AppFixture, StripClicksAndMusicTicksReachTheAlbumSettings)
{
    const AlbumState& s = app->Model().state;
    app->StripClick(QuickStrip::kLoop);
    app->StripClick(QuickStrip::kRectFrame);
    EXPECT_EQ(s.LoopShow, 1);
    EXPECT_EQ(s.FrameType, 2);

    struct Player : AudioPlayer {
        bool breaks = false;
        int state = 6;
        int PlayState() const override { return state; }
        bool Play(const QString&) override
        {
            state = 3;
            if (breaks && onFailure)
                onFailure(kMusicBroken);   // found damaged while it loads
            return true;
        }
        void Halt() override { state = 0; }
    };
    auto owned = std::make_unique<Player>();
    Player& player = *owned;
    app->SetPlayer(std::move(owned));
    Touch(QDir(home.path()), QStringLiteral("开始曲.wma"), "tune");
    app->MusicTick();
    EXPECT_EQ(view.musicText, QStringLiteral(" 音乐 开始曲"));
    EXPECT_EQ(s.MusicTrack, kNoTune);

    AlbumState looping = s;
    looping.MusicLoop = 1;
    looping.MusicTrack = 0;
    app->ApplySettings(looping);
    player.state = 6;
    player.breaks = true;
    app->MusicTick();
    EXPECT_EQ(s.MusicOn, 0);
    EXPECT_EQ(view.musicBeeps, 1);
}

TEST_F(AppFixture, CancelledFolderChoiceAndBrokenScriptSayWhy)
{
    view.answer.clear();
    app->ChooseFolderCommand();
    ASSERT_FALSE(view.infos.isEmpty());
    EXPECT_EQ(view.infos.last(), QString::fromUtf8(kNoFolderChosenMessage));

    const QString bad = Touch(QDir(home.path()), "bad.tms", "480\r\n");
    const AlbumState before = TestAccess::Model(*app).state;
    const Outcome o = app->OpenScript(bad);
    EXPECT_FALSE(o.ok);
    app->Report(o);
    EXPECT_TRUE(view.infos.last().contains("bad.tms"));
    EXPECT_EQ(TestAccess::Model(*app).state.ShowWidth, before.ShowWidth);
    EXPECT_EQ(view.beeps, 2);
}

// A menu or dialog opening over the photo area sets PaintHold: the step
// chain breaks once, and the next exposure of the area starts it again.
TEST_F(AppFixture, PaintHoldBreaksTheStepChainUntilTheAreaIsShownAgain)
{
    PhotoArea area(*app);
    area.resize(480, 336);
    area.show();
    int frames = 0;
    TestAccess::Engine(*app).onFrame = [&](bool) { ++frames; };
    const auto spin = [](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    view.answer = QDir(photos.path()).filePath("p0.jpg");
    TestAccess::Model(*app).state.FrameDelayMs = 20;      // a slow transition: still running below
    TestAccess::Engine(*app).forcedEffect = 1;
    app->ChooseFolderCommand();
    area.Kick();
    spin(150);
    ASSERT_GT(frames, 0);
    ASSERT_FALSE(area.Stopped());

    TestAccess::Model(*app).main.HoldPaint(true);
    spin(100);
    EXPECT_TRUE(area.Stopped());
    EXPECT_FALSE(TestAccess::Model(*app).main.PaintHold());
    const int held = frames;
    spin(150);
    EXPECT_EQ(frames, held);                 // nothing runs behind the menu

    area.update();                           // the menu closed: the area is exposed
    spin(150);
    EXPECT_FALSE(area.Stopped());
    EXPECT_GT(frames, held);
}

TEST_F(AppFixture, EveryMenuItemReachesItsCommandAndNothingElseDoesAnything)
{
    for (MenuId menu : {MenuId::Photo, MenuId::Out, MenuId::Treat})
        for (const MenuItem& item : MenuItems(menu))
            if (item.caption)
                EXPECT_NE(FindCommand(item.command), nullptr) << item.caption;
    const QString folderBefore = TestAccess::Model(*app).photos.Folder();
    const int infos = view.infos.size();
    for (int code : {0, 3, 7, 16, 39, -1, 255})
        app->DoCommand(Command(code));
    EXPECT_EQ(view.infos.size(), infos);
    EXPECT_EQ(TestAccess::Model(*app).photos.Folder(), folderBefore);

    // A command that needs the window's dialog says so instead of doing nothing.
    view.menuChoices = {35};
    app->LabelClicked(1);
    ASSERT_EQ(view.menus.size(), 1u);
    EXPECT_EQ(view.menus[0].size(), MenuItems(MenuId::Treat).size());
    EXPECT_TRUE(view.infos.contains(QStringLiteral(" 照片修饰满意后请主动保存，否则效果将会丢失！")));
    EXPECT_TRUE(view.infos.last().contains(QStringLiteral("平衡")));

    app->LabelClicked(4);
    EXPECT_EQ(view.closes, 1);
}

TEST_F(AppFixture, ScriptsSavedAndOpenedThroughTheMenus)
{
    AlbumModel& m = TestAccess::Model(*app);
    view.answer = QDir(photos.path()).filePath("p2.jpg");
    view.menuChoices = {1};
    app->LabelClicked(0);                    // "照片" → "照片夹..."
    ASSERT_EQ(m.photos.Count(), 3);
    m.state.PhotoCaption[0] = QStringLiteral("第一张");

    // A name typed without an ending gets ".tms", so that 打开脚本 lists it.
    const QString script = QDir(home.path()).filePath("我的相册.tms");
    view.answer = QDir(home.path()).filePath("我的相册");
    view.menuChoices = {11};
    app->LabelClicked(3);
    ASSERT_TRUE(QFileInfo(script).isFile());
    EXPECT_FALSE(QFileInfo::exists(view.answer));
    view.answer = script;
    ASSERT_GE(view.questions.size(), 2);
    const FileQuestion& saveQ = view.questions.last();
    EXPECT_TRUE(saveQ.save);
    // The one file dialog keeps the title its previous use gave it.
    EXPECT_EQ(saveQ.title, QStringLiteral("请选择照片所在文件夹"));
    EXPECT_EQ(saveQ.folder, QDir(photos.path()).absolutePath() + "/");
    EXPECT_TRUE(saveQ.filter.contains("*.tms"));

    // Opened from another album, it brings its folder and captions back.
    m.state.PhotoCaption[0].clear();
    TestAccess::SetCurPhoto(m.position, 2);
    view.menuChoices = {2};
    app->LabelClicked(0);
    EXPECT_EQ(m.state.CaptionOf(0), QStringLiteral("第一张"));
    EXPECT_EQ(m.position.CurPhoto(), 0);
    EXPECT_TRUE(m.position.CoverShowing());
    EXPECT_EQ(m.main.ViewMode(), View::Cover);

    // On the cover the photo area has no output menu; on a photo it has,
    // with the step chain held while it is open.
    const size_t menusBefore = view.menus.size();
    app->PhotoAreaRightClick();
    EXPECT_EQ(view.menus.size(), menusBefore);
    app->BtnClick(Navigator::Next);
    RunUntilStill();
    view.menuChoices = {0};                  // dismissed
    app->PhotoAreaRightClick();
    EXPECT_EQ(view.menus.size(), menusBefore + 1);
    EXPECT_TRUE(m.main.PaintHold());

    // A failed save says so, and the old file stays whole.
    const QByteArray old = ReadAll(script);
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::ExeOwner);
    view.menuChoices = {11};
    const int beeps = view.beeps;
    app->LabelClicked(3);
    QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0) {
        EXPECT_EQ(view.beeps, beeps + 1);
        EXPECT_TRUE(view.infos.last().contains(QStringLiteral("无法写入")));
    }
    EXPECT_EQ(ReadAll(script), old);
}

// What the file manager hands over: a photo opens its folder at that photo,
// a show script opens as a script, something missing is said.
TEST_F(AppFixture, APathFromOutsideOpensAsWhatItIs)
{
    app->OpenPath(QDir(photos.path()).filePath("p2.jpg"));
    EXPECT_EQ(TestAccess::Model(*app).photos.Count(), 3);
    EXPECT_EQ(TestAccess::Model(*app).position.CurPhoto(), 2);

    AlbumState other = TestAccess::Model(*app).state;
    other.LoopShow = 1;
    const QString script = QDir(home.path()).filePath("show.tms");
    ASSERT_TRUE(SaveScript(script, other, TestAccess::Model(*app).photos).ok);
    app->OpenPath(script);
    EXPECT_EQ(TestAccess::Model(*app).state.LoopShow, 1);
    EXPECT_TRUE(TestAccess::Model(*app).position.CoverShowing());

    const int beeps = view.beeps;
    app->OpenPath(QDir(home.path()).filePath("gone.jpg"));
    EXPECT_EQ(view.beeps, beeps + 1);
    EXPECT_TRUE(view.infos.last().contains("gone.jpg"));
}

// Every road into a folder (here the command line) first finishes a rename
// that was cut short there and makes the folder the working one; renames and
// saves in the album folder take the current photo and its file with them.
TEST_F(AppFixture, TheWorkingFolderAndTheCurrentPhotoFollowWhatHappensToTheFiles)
{
    AlbumModel& m = TestAccess::Model(*app);
    const QDir folder(photos.path());
    // A rename killed after its first move: p0.jpg sits under a hidden name.
    RenameJournal journal;
    journal.phase = 2;
    journal.entries = {{"p0.jpg", ".p0.renaming", "n0.jpg"}};
    ASSERT_TRUE(WriteJournal(folder.path(), journal));
    ASSERT_TRUE(QFile::rename(folder.filePath("p0.jpg"), folder.filePath(".p0.renaming")));
    // And the piece of a write that a crash cut short.
    Touch(folder, ".tamsel-cut.part", "half a photo");

    app->OpenPath(folder.filePath("p2.jpg"));
    EXPECT_EQ(m.photos.Names(), QStringList({"n0.jpg", "p1.jpg", "p2.jpg"}));
    EXPECT_FALSE(HasJournal(folder.path()));
    EXPECT_FALSE(folder.exists(".tamsel-cut.part"));
    EXPECT_EQ(app->WorkFolder(), folder.absolutePath() + "/");
    RunUntilStill();
    ASSERT_EQ(m.position.CurPhoto(), 2);

    // The rename dialog opens on that folder; its renames move the shown file.
    view.dialogs = true;
    view.batch = [&](Command) {
        EXPECT_TRUE(QFile::rename(folder.filePath("p2.jpg"), folder.filePath("a2.jpg")));
        return BatchDialogResult{Outcome::Done(QStringLiteral("已为 1 张照片改名")), folder.path(), true,
                                 {{folder.filePath("p2.jpg"), folder.filePath("a2.jpg")}}};
    };
    const int beeps = view.beeps;
    app->DoCommand(Command::RenameFiles);
    EXPECT_EQ(view.batchFolders.value(0), folder.absolutePath() + "/");
    EXPECT_EQ(view.beeps, beeps);                             // a success is said quietly
    EXPECT_EQ(m.position.CurPhoto(), 0);                      // a2.jpg sorts first now
    EXPECT_EQ(m.shown.CurFile(), folder.filePath("a2.jpg"));
    EXPECT_TRUE(TestAccess::ComposerOf(*app).EnsureFullPhoto());

    // A copy saved into the album folder joins the list; the photo shown stays current.
    view.saveAsName = folder.filePath("0.png");
    app->DoCommand(Command::SavePhotoAs);
    EXPECT_EQ(view.infos.last(), QStringLiteral("  照片已另存为 ") + QDir::toNativeSeparators(view.saveAsName));
    EXPECT_EQ(m.photos.Names(), QStringList({"0.png", "a2.jpg", "n0.jpg", "p1.jpg"}));
    EXPECT_EQ(m.position.CurPhoto(), 1);
    EXPECT_EQ(m.shown.CurFile(), folder.filePath("a2.jpg"));
}

// "选择乐曲" (and "选择封面", "照片另存") go through the one file dialog: it
// opens on the working folder, a tune chosen elsewhere moves the working
// folder there, and the next question keeps the title it left.
TEST_F(AppFixture, TheDialogsQuestionsShareTheOneFileDialog)
{
    view.answer = QDir(photos.path()).filePath("p0.jpg");
    ASSERT_TRUE(app->ChooseFolderCommand());
    const QString album = QDir(photos.path()).absolutePath() + "/";
    view.answer = QDir(home.path()).filePath("开始曲.wma");
    EXPECT_EQ(app->AskFiles(QStringLiteral("选择音乐文件"), QStringLiteral("(*.wma)"), false, true),
              QStringList{view.answer});
    const FileQuestion tunes = view.questions.last();
    EXPECT_EQ(tunes.folder, album);
    EXPECT_TRUE(tunes.multiple);
    EXPECT_EQ(app->WorkFolder(), QDir(home.path()).absolutePath() + "/");

    view.answer.clear();
    view.menuChoices = {2};
    app->LabelClicked(0);                    // "照片" → "打开脚本..."
    EXPECT_EQ(view.questions.last().title, QStringLiteral("选择音乐文件"));
    EXPECT_EQ(view.questions.last().folder, QDir(home.path()).absolutePath() + "/");
    EXPECT_FALSE(view.questions.last().multiple);
}

// A folder of phone photos alone is an album of them: each road into it
// opens at the photo chosen, and the next start lists them again without a
// word. Beside a photo of the album's own they are left out and told of.
TEST_F(AppFixture, AFolderOfPhonePhotosIsAnAlbumUnlessTheAlbumsOwnPhotosAreThere)
{
    QTemporaryDir phone;
    for (const char* name : {"IMG_1.HEIC", "IMG_2.heif", "saved.webp", "notes.txt"})
        Touch(QDir(phone.path()), name, "x");
    const QString chosen = QDir(phone.path()).filePath("IMG_2.heif");
    const std::function<void()> roads[] = {
        [&] { view.answer = chosen; app->ChooseFolderCommand(); },
        [&] { app->OpenPath(chosen); },
    };
    const AlbumModel& m = TestAccess::Model(*app);
    for (const auto& road : roads) {
        app->OpenFolder(home.path());
        view.infos.clear();
        road();
        EXPECT_EQ(m.photos.Names(), QStringList({"IMG_1.HEIC", "IMG_2.heif", "saved.webp"}));
        EXPECT_EQ(m.CurPhoto(), 1);
        EXPECT_FALSE(view.infos.join('|').contains(QStringLiteral("批量转换")));
    }
    ASSERT_TRUE(app->Shutdown());
    {
        AlbumApp next(AppPaths::ForProgramDir(home.path()));
        const StartupReport r = next.Startup();
        ScriptedView nextView;
        next.Attach(&nextView);
        next.Begin(r);
        EXPECT_EQ(TestAccess::Model(next).photos.Count(), 3);
        EXPECT_EQ(nextView.beeps, 0);
    }
    // One photo of the album's own: the list is that photo alone, and a
    // phone photo given opens the folder on it with the note.
    Touch(QDir(phone.path()), "a.jpg", "x");
    AlbumApp mixed(AppPaths::ForProgramDir(home.path()));
    ScriptedView mixedView;
    mixed.Attach(&mixedView);
    mixed.OpenPath(chosen);
    EXPECT_EQ(TestAccess::Model(mixed).photos.Names(), QStringList{"a.jpg"});
    EXPECT_EQ(NoteOnPhonePhotos(phone.path()).text,
              QStringLiteral(" 此文件夹另有 2 张 HEIC、1 张 WebP 照片未列入相册，请用 照片 → 批量转换... 转为 JPG"));
}

namespace {

// The desktop's screen saver on a private bus: hands out cookies 1, 2, ... and
// records what it was asked.
struct FakeScreenSaver : QDBusVirtualObject {
    QStringList calls;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override
    {
        const bool inhibit = m.member() == QLatin1String("Inhibit");
        const uint cookie = inhibit ? uint(calls.size() / 2 + 1) : m.arguments().value(0).toUInt();
        calls << m.member() + QString::number(cookie);
        return bus.send(inhibit ? m.createReply(QVariant::fromValue(cookie)) : m.createReply());
    }
};

}  // namespace

TEST_F(AppFixture, AShowKeepsTheScreenOnUntilItStopsOrTheProgramEnds)
{
    PrivateBus session;
    ASSERT_TRUE(session.Up()) << "dbus-daemon";
    QDBusConnection desktop = session.Connect(QStringLiteral("desktop"));
    FakeScreenSaver saver;
    ASSERT_TRUE(desktop.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver) &&
                desktop.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    TestAccess::Awake(*app).UseBus(session.Connect(QStringLiteral("album")));
    TestAccess::Model(*app).state.LoopShow = 1;
    view.answer = QDir(photos.path()).filePath("p0.jpg");
    ASSERT_TRUE(app->ChooseFolderCommand());

    const auto play = [&] { app->BtnClick(Navigator::Play); };
    const auto stop = [&] { app->BtnClick(Navigator::Stop); };
    // Each action and all the desktop has been asked by then; the third stops
    // the show before the desktop has answered.
    const std::pair<std::function<void()>, const char*> steps[] = {
        {play, "Inhibit1"},
        {stop, "Inhibit1 UnInhibit1"},
        {[&] { play(), stop(); }, "Inhibit1 UnInhibit1 Inhibit2 UnInhibit2"},
        {play, "Inhibit1 UnInhibit1 Inhibit2 UnInhibit2 Inhibit3"},
        {[&] { app->Shutdown(); }, "Inhibit1 UnInhibit1 Inhibit2 UnInhibit2 Inhibit3 UnInhibit3"},
    };
    for (const auto& [act, calls] : steps) {
        act();
        QElapsedTimer t;
        t.start();
        while (saver.calls.join(' ') != QLatin1String(calls) && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(saver.calls.join(' ').toStdString(), calls);
    }
}

// Photos whose names the system cannot spell are said once on the info line
// when their folder opens, after the first photo has named itself.
TEST_F(AppFixture, PhotosWithUnreadableNamesAreCountedOnTheInfoLine)
{
    const QByteArray raw = QFile::encodeName(photos.path()) + "/\xb0\xa1.jpg";
    ::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644));
    app->OpenPath(photos.path());
    RunUntilStill();
    EXPECT_EQ(view.infos.filter(PassedOverText(1)).size(), 1);
    EXPECT_EQ(TestAccess::Model(*app).photos.Count(), 3);
}

// Each retouch is taken back to the very bytes before it, the last eight of
// them, from the menu or its key; another photo lets them go.
TEST_F(AppFixture, RetouchesAreTakenBackToTheBytesBeforeThem)
{
    AlbumModel& m = TestAccess::Model(*app);
    const auto bytes = [&] {
        const Surface& p = m.dibs.DibPhoto;
        return std::vector<uint8_t>(p.DataPtr(), p.DataPtr() + p.RGBSize());
    };
    const auto undoOffered = [&] {
        view.menuChoices = {};
        app->LabelClicked(1);
        return view.menus.back().back().command == Command::UndoRetouch && view.menus.back().back().enabled;
    };
    view.answer = QDir(photos.path()).filePath("p1.jpg");
    ASSERT_TRUE(app->ChooseFolderCommand());
    RunUntilStill();
    const auto original = bytes();
    const QString file = m.shown.CurFile();
    EXPECT_FALSE(undoOffered());
    app->DoCommand(Command::Negative);
    ASSERT_NE(bytes(), original);
    view.menuChoices = {int(Command::UndoRetouch)};
    app->LabelClicked(1);
    RunUntilStill();
    EXPECT_EQ(bytes(), original);
    EXPECT_EQ(m.shown.CurFile(), file);   // the photo's own file again, not a picture in memory
    EXPECT_EQ(view.infos.last(), QStringLiteral("已撤销: 底片"));
    EXPECT_FALSE(undoOffered());

    // Ten retouches keep the last eight: back to the soften, and no further.
    app->DoCommand(Command::Sharpen);
    app->DoCommand(Command::Soften);
    const auto softened = bytes();
    for (int i = 0; i < 8; ++i)
        app->DoCommand(Command::Negative);
    for (int i = 0; i < 9; ++i)
        app->DoCommand(Command::UndoRetouch);
    EXPECT_EQ(bytes(), softened);
    EXPECT_FALSE(app->CanUndoRetouch());

    app->DoCommand(Command::Negative);
    EXPECT_TRUE(undoOffered());
    app->BtnClick(Navigator::Previous);
    RunUntilStill();
    EXPECT_FALSE(undoOffered());
}

namespace {

// What the desktop's media widget hears from the album.
class PlayerHeard : public QObject {
    Q_OBJECT
public:
    QVariantMap heard;   // every property changed, the last value of each
public Q_SLOTS:
    void Changed(const QString&, const QVariantMap& changed, const QStringList&)
    {
        for (auto it = changed.cbegin(); it != changed.cend(); ++it)
            heard[it.key()] = it.value();
    }
};

}  // namespace

// The desktop's media keys and controls (MPRIS2 on a private session bus,
// driven by playerctl as a desktop's keys run it): next and previous step as
// the buttons, play and stop run the show, raise and quit reach the window,
// and the bus hears the photo and the show change.
TEST_F(AppFixture, TheDesktopsMediaControlsDriveTheShow)
{
    const QString playerctl = QStandardPaths::findExecutable(QStringLiteral("playerctl"));
    if (playerctl.isEmpty())
        GTEST_SKIP() << "playerctl is not installed";
    PrivateBus session;
    ASSERT_TRUE(session.Up()) << "dbus-daemon";
    int raised = 0, quits = 0;
    MediaRemote remote(*app, {[&] { ++raised; }, [&] { ++quits; }});
    ASSERT_TRUE(remote.Offer(session.Connect(QStringLiteral("album"))));
    app->WatchShown([&] { remote.Changed(); });
    view.answer = QDir(photos.path()).filePath("p0.jpg");
    ASSERT_TRUE(app->ChooseFolderCommand());
    RunUntilStill();

    QDBusConnection desk = session.Connect(QStringLiteral("desk"));
    const QString service = QStringLiteral("org.mpris.MediaPlayer2.tamsel"), path = QStringLiteral("/org/mpris/MediaPlayer2");
    const QString player = QStringLiteral("org.mpris.MediaPlayer2.Player");
    PlayerHeard heard;
    ASSERT_TRUE(desk.connect(service, path, "org.freedesktop.DBus.Properties", "PropertiesChanged", &heard,
                             SLOT(Changed(QString, QVariantMap, QStringList))));
    const auto call = [&](const QString& iface, const char* member) {
        desk.call(QDBusMessage::createMethodCall(service, path, iface, member), QDBus::BlockWithGui);
        QCoreApplication::processEvents();   // the call acts as a click, from the event loop
        QCoreApplication::processEvents();
    };
    const auto get = [&](const char* name) {
        QDBusMessage m = QDBusMessage::createMethodCall(service, path, "org.freedesktop.DBus.Properties", "Get");
        m << player << QString::fromLatin1(name);
        return desk.call(m, QDBus::BlockWithGui).arguments().value(0).value<QDBusVariant>().variant();
    };
    // The album answers from this thread's event loop while playerctl waits.
    const auto ctl = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), session.Address());
        p.setProcessEnvironment(env);
        p.start(playerctl, QStringList{QStringLiteral("--player=tamsel")} + args);
        for (int i = 0; i < 1000 && !p.waitForFinished(10); ++i)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();   // the call acts as a click, from the event loop
        QCoreApplication::processEvents();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };

    EXPECT_FALSE(get("CanGoPrevious").toBool());
    ctl({"next"});
    EXPECT_EQ(TestAccess::Model(*app).position.CurPhoto(), 1);
    EXPECT_EQ(ctl({"metadata", "xesam:title"}), "p1.jpg");
    EXPECT_EQ(ctl({"metadata", "xesam:album"}), QStringLiteral("澄影集"));
    ctl({"next"});
    EXPECT_FALSE(get("CanGoNext").toBool());
    ctl({"previous"});
    EXPECT_EQ(ctl({"metadata", "xesam:title"}), "p1.jpg");
    EXPECT_EQ(qdbus_cast<QVariantMap>(heard.heard.value("Metadata")).value("xesam:trackNumber").toInt(), 2);

    ctl({"play-pause"});
    EXPECT_TRUE(TestAccess::Model(*app).main.ShowRunning());
    ctl({"play"});   // already playing: goes on
    EXPECT_EQ(ctl({"status"}), "Playing");
    ctl({"stop"});
    EXPECT_EQ(ctl({"status"}), "Stopped");
    EXPECT_EQ(heard.heard.value("PlaybackStatus").toString(), "Stopped");
    call("org.mpris.MediaPlayer2", "Raise");
    call("org.mpris.MediaPlayer2", "Quit");
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(quits, 1);
    app->WatchShown({});
}

#include "test_album_app.moc"
