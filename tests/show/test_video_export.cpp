#include "tools/PhonePhotoFiles.h"
#include "album/Navigator.h"
#include "TestUtil.h"
#include "tools/BatchFolder.h"

#include "album/ShowScript.h"
#include "imaging/Composer.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumModel.h"
#include "model/AlbumView.h"
#include "platform/SafeWrite.h"
#include "show/StepPlan.h"
#include "show/TransitionEngine.h"
#include "show/VideoExport.h"
#include "show/ui/VideoExportDialog.h"
#include "shell/WidgetApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace tamsel;
using namespace tamsel::testing;

namespace {

const QString kProgram = QStringLiteral(TAMSEL_BUILD_DIR "/tamsel");

// Three photos with captions, a rectangle frame and two short tunes, in a
// show script; the program's own files come from the build tree.
struct VideoAlbum {
    QTemporaryDir dir;
    AppPaths paths = AppPaths::ForProgramDir(QStringLiteral(TAMSEL_BUILD_DIR));
    AlbumState album = AlbumState::FirstRun(paths);
    PhotoList photos{AlbumExtensions()};
    QString script = dir.filePath("album.tms");

    explicit VideoAlbum(int frameType)
    {
        const QDir d(dir.path());
        d.mkdir("photos");
        const QColor colours[3] = {QColor(200, 40, 40), QColor(40, 170, 60), QColor(40, 60, 200)};
        for (int i = 0; i < 3; ++i) {
            QImage img(600 + 200 * (i == 0), 400 + 300 * (i == 1), QImage::Format_RGB32);
            img.fill(colours[i]);
            QPainter(&img).fillRect(100, 100, 150 + 50 * i, 120, Qt::white);
            img.save(d.filePath(QStringLiteral("photos/%1.png").arg(i)));
            album.PhotoCaption << QStringLiteral("第%1张 照片").arg(i + 1);
        }
        photos.Point(d.filePath("photos") + "/");
        album.FrameType = frameType;
        album.PauseSecs = 1;
        album.MusicOn = 1;
        album.MusicList = {};
        for (int i = 0; i < 2; ++i) {
            album.MusicList[size_t(i)] = d.filePath(QStringLiteral("tune%1.wav").arg(i));
            RunTool("gst-launch-1.0", {"-q", "audiotestsrc", "num-buffers=40", QStringLiteral("freq=%1").arg(330 * (i + 1)),
                                       "!", "wavenc", "!", "filesink", "location=" + album.MusicList[size_t(i)]});
        }
        SaveScript(script, album, photos);
    }
};

// The show as the photo area plays it: the engine's steps, each lasting its
// pause; when each photo's pause begins and ends, and what it shows then.
struct ShowRun {
    double length = 0;
    std::vector<std::pair<double, double>> pauses;
    std::vector<QImage> pictures;
};

ShowRun RunShow(const VideoAlbum& a, QSize size, uint32_t seed)
{
    AlbumModel core(a.paths, AlbumExtensions());
    core.state = a.album;
    core.state.ShowWidth = size.width();
    core.state.ShowHeight = size.height();
    core.photos = a.photos;
    core.main.ShowAspect = double(size.width()) / size.height();
    AlbumView view;
    Composer composer(core, ReportTo(view));
    Navigator nav(core.state, core.position, core.main, core.photos, view);
    TransitionEngine engine(core, view, [&](const QString& p) { return composer.DIBClonePicture(p); });
    ShowFace(engine, composer, size.width(), size.height(), true);
    nav.LeaveCover();
    engine.advanceShow = [&] { return nav.AdvanceShow(); };
    engine.reseedFromClock = false;
    engine.rng.Seed(seed);
    core.main.SetView(View::BringingIn);
    core.main.RequestPhoto();
    core.main.StartShow();
    ShowRun run;
    while (core.main.ViewMode() == View::BringingIn) {
        TransitionEngine::StepResult r = engine.Step();
        double wait = r.wait;
        if (r.splitFrame)
            wait = std::max(kSplitPause, engine.FinishSplitFrame().wait);
        if (engine.PanDone()) {
            run.pauses.push_back({run.length, run.length + wait});
            run.pictures.push_back(engine.DibScreen().ToQImage());
        }
        run.length += wait;
    }
    return run;
}

struct Streams {
    QSize size;
    double fps = 0, duration = 0;
    int audio = 0;
};

Streams Discover(const QString& path)
{
    Streams s;
    GstDiscoverer* d = gst_discoverer_new(20 * GST_SECOND, nullptr);
    GstDiscovererInfo* info = gst_discoverer_discover_uri(d, QUrl::fromLocalFile(path).toEncoded().constData(), nullptr);
    if (info) {
        s.duration = double(gst_discoverer_info_get_duration(info)) / GST_SECOND;
        GList* video = gst_discoverer_info_get_video_streams(info);
        if (video) {
            auto* v = GST_DISCOVERER_VIDEO_INFO(video->data);
            s.size = QSize(gst_discoverer_video_info_get_width(v), gst_discoverer_video_info_get_height(v));
            s.fps = double(gst_discoverer_video_info_get_framerate_num(v)) /
                    gst_discoverer_video_info_get_framerate_denom(v);
        }
        GList* audio = gst_discoverer_info_get_audio_streams(info);
        s.audio = int(g_list_length(audio));
        gst_discoverer_stream_info_list_free(video);
        gst_discoverer_stream_info_list_free(audio);
        gst_discoverer_info_unref(info);
    }
    g_object_unref(d);
    return s;
}

// Every frame of a video file, decoded.
std::vector<QImage> Frames(const QString& path)
{
    GstElement* p = gst_parse_launch("filesrc name=in ! decodebin ! videoconvert ! video/x-raw,format=RGBx "
                                     "! appsink name=out sync=false", nullptr);
    GstElement* in = gst_bin_get_by_name(GST_BIN(p), "in");
    g_object_set(in, "location", path.toUtf8().constData(), nullptr);
    GstElement* out = gst_bin_get_by_name(GST_BIN(p), "out");
    gst_element_set_state(p, GST_STATE_PLAYING);
    std::vector<QImage> frames;
    while (GstSample* s = gst_app_sink_pull_sample(GST_APP_SINK(out))) {
        GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(s), 0);
        int w = 0, h = 0;
        gst_structure_get_int(caps, "width", &w);
        gst_structure_get_int(caps, "height", &h);
        GstMapInfo map;
        gst_buffer_map(gst_sample_get_buffer(s), &map, GST_MAP_READ);
        frames.push_back(QImage(map.data, w, h, w * 4, QImage::Format_RGBX8888).convertToFormat(QImage::Format_RGB32));
        gst_buffer_unmap(gst_sample_get_buffer(s), &map);
        gst_sample_unref(s);
    }
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(in);
    gst_object_unref(out);
    gst_object_unref(p);
    return frames;
}

double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Starts the program as a script would: no display, no platform chosen.
void StartExport(QProcess& p, const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(kProgram, QStringList{"--export-video"} + args);
}

bool ExportFromCommandLine(const QStringList& args)
{
    QProcess p;
    StartExport(p, args);
    const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok)
        ADD_FAILURE() << p.readAllStandardError().constData();
    return ok;
}

}  // namespace

// The file holds the asked streams, lasts as long as the show, and the middle
// of each photo's pause shows that photo as the engine composed it.
TEST(VideoExport, CommandLineRecordsTheShowWithItsMusic)
{
    gst_init(nullptr, nullptr);
    const VideoAlbum a(2);
    const QSize size(320, 224);
    const ShowRun show = RunShow(a, size, 7);
    ASSERT_EQ(show.pauses.size(), 3u);
    for (const char* kind : {"mp4", "webm"}) {
        SCOPED_TRACE(kind);
        const QString out = a.dir.filePath(QStringLiteral("show.%1").arg(kind));
        ASSERT_TRUE(ExportFromCommandLine({a.script, out, "--size", "320x224", "--fps", "25", "--seed", "7"}));
        const Streams s = Discover(out);
        EXPECT_EQ(s.size, size);
        EXPECT_DOUBLE_EQ(s.fps, 25.0);
        EXPECT_EQ(s.audio, 1);
        EXPECT_NEAR(s.duration, show.length, 1.0 / 25 + 0.02 * show.length);
        const std::vector<QImage> frames = Frames(out);
        for (size_t i = 0; i < show.pauses.size(); ++i) {
            const size_t at = size_t((show.pauses[i].first + show.pauses[i].second) / 2 * 25);
            ASSERT_LT(at, frames.size());
            EXPECT_LT(MeanDifference(frames[at], show.pictures[i]), 6.0) << "photo " << i;
        }
    }
    EXPECT_EQ(QDir(a.dir.path()).entryList({"*.part"}, QDir::Hidden | QDir::Files).size(), 0);
}

// Every photo the window shows is in the video, panoramas panned as in the
// show; the photos that cannot be read are named on stderr, and the exit
// status says that the video lacks them.
TEST(VideoExport, EveryPhotoTheWindowShowsIsInTheVideoAndTheUnreadableAreNamed)
{
    gst_init(nullptr, nullptr);
    VideoAlbum a(0);
    const QDir photos(a.dir.filePath("photos"));
    QImage(400, 300, QImage::Format_RGB32).save(photos.filePath("3cut.jpg"));
    const QByteArray whole = ReadAll(photos.filePath("3cut.jpg"));
    ASSERT_TRUE(WriteAll(photos.filePath("3cut.jpg"), whole.left(whole.size() / 2)));
    ASSERT_TRUE(WriteAll(photos.filePath("4text.jpg"), "no picture"));
    // Panoramas wide and tall, each of one hue.
    const std::pair<const char*, QSize> panoramas[] = {{"5wide.bmp", {20000, 200}}, {"6tall.bmp", {200, 20000}}};
    for (const auto& [name, size] : panoramas) {
        QImage img(size, QImage::Format_RGB888);
        img.fill(QColor::fromHsv(size.width() > size.height() ? 60 : 300, 230, 240));
        ASSERT_TRUE(img.save(photos.filePath(name)));
    }
    a.photos.Point(photos.path() + "/");
    SaveScript(a.script, a.album, a.photos);

    const QString out = a.dir.filePath("show.webm");
    QProcess p;
    StartExport(p, {a.script, out, "--size", "160x112", "--fps", "10"});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString said = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 3) << said.toStdString();
    EXPECT_TRUE(said.contains("3cut.jpg") && said.contains("4text.jpg") && !said.contains(".bmp"))
        << said.toStdString();
    // Each panorama fitted whole, a thin strip across the middle or down it,
    // blurred into black: its hue shows it.
    const std::vector<QImage> frames = Frames(out);
    for (const int hue : {60, 300}) {
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const QImage& f) {
            for (int i = 0; i < std::max(f.width(), f.height()); ++i) {
                const QColor c = hue == 60 ? f.pixelColor(f.width() / 2, i % f.height()) : f.pixelColor(i % f.width(), f.height() / 2);
                if (c.hsvSaturation() > 100 && std::abs(c.hue() - hue) < 20)
                    return true;
            }
            return false;
        })) << "hue " << hue << " not in the video";
    }
}

// A script naming a folder of phone photos alone records each of them.
TEST(VideoExport, AFolderOfPhonePhotosIsRecorded)
{
    gst_init(nullptr, nullptr);
    VideoAlbum a(0);
    const QDir phone(a.dir.filePath("photos"));
    const int hues[3] = {30, 150, 270};
    for (int i = 0; i < 3; ++i) {
        QFile::remove(phone.filePath(QStringLiteral("%1.png").arg(i)));
        QImage stored(120, 160, QImage::Format_RGB32);
        stored.fill(QColor::fromHsv(hues[i], 230, 230));
        const QByteArray kind = QByteArrayList{"heic", "avif", "webp"}[i];
        ASSERT_TRUE(MakePhonePhoto(phone.filePath(QStringLiteral("p%1.").arg(i) + kind), kind, {}, 0, 0, 0, stored));
    }
    PhotoList list{AlbumExtensions(), PhoneExtensions()};
    list.Point(phone.path() + "/");
    ASSERT_EQ(list.Count(), 3);
    SaveScript(a.script, a.album, list);
    const QString out = a.dir.filePath("show.webm");
    QProcess p;
    StartExport(p, {a.script, out, "--size", "160x112", "--fps", "10"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const std::vector<QImage> frames = Frames(out);
    for (const int hue : hues)
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](const QImage& f) {
            const QColor c = f.pixelColor(f.width() / 2, f.height() / 2);
            return c.hsvSaturation() > 150 && std::abs(c.hue() - hue) < 15;
        })) << "hue " << hue << " not in the video";
}

// A quit signal (Ctrl-C, a kill, a closed terminal) ends a command-line
// export as 取消 does: soon, failing, with neither the video nor its
// temporary files left. The folder's cleaner leaves a running export's files
// alone; what a killed one left (the video's and the muxer's files, all in
// the output folder, none in the system's temporary folder) the next export
// there takes away.
TEST(VideoExport, AQuitSignalCancelsTheCommandLineExportAndAKilledOneIsSweptUp)
{
    const VideoAlbum a(0);
    const QString out = a.dir.filePath("show.mp4");
    const auto parts = [&] { return QDir(a.dir.path()).entryList({"*.part"}, QDir::Hidden | QDir::Files); };
    QTemporaryDir tmp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    const auto restore = qScopeGuard([&] { qputenv("TMPDIR", savedTmp); });
    for (const int sig : {SIGTERM, SIGINT, SIGKILL}) {
        SCOPED_TRACE(sig);
        QProcess p;
        StartExport(p, {a.script, out, "--size", "1920x1080"});
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer started;
        started.start();
        while (parts().size() < 2 && p.state() == QProcess::Running && started.elapsed() < 30000)
            QThread::msleep(20);
        ASSERT_EQ(p.state(), QProcess::Running) << "the export ended before it could be stopped";
        EXPECT_EQ(RemoveLeftoverTempFiles(a.dir.path()), 0);
        ::kill(pid_t(p.processId()), sig);
        ASSERT_TRUE(p.waitForFinished(20000));
        if (sig == SIGKILL) {
            EXPECT_EQ(parts().size(), 2);
            ASSERT_TRUE(ExportFromCommandLine({a.script, out, "--size", "64x48", "--fps", "5"}));
            EXPECT_TRUE(QFile::exists(out));
        } else {
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_NE(p.exitCode(), 0);
            EXPECT_FALSE(QFile::exists(out));
        }
        EXPECT_TRUE(parts().isEmpty());
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

// A disk with no room, or a file-size limit, stops the export with the reason
// the program's other writers give, naming the video; nothing is left.
TEST(VideoExport, AFullDiskOrASizeLimitIsSaidInTheProgramsWords)
{
    const VideoAlbum a(0);
    for (const bool sizeLimit : {false, true}) {
        for (const char* kind : {"mp4", "webm"}) {
            SCOPED_TRACE(std::string(kind) + (sizeLimit ? " size limit" : " full disk"));
            QTemporaryDir dir;
            const QString folder = dir.filePath("disk");
            QDir().mkpath(folder);
            TinyDisk tiny(folder, sizeLimit);
            if (!sizeLimit && !tiny.Mounted())
                continue;   // no right to mount a small disk
            tiny.Fill();
            const auto before = Snapshot(folder);
            const QString out = QDir(folder).filePath(QStringLiteral("show.%1").arg(kind));
            ExportProgress progress;
            const Outcome o = ExportVideo(a.album, a.photos, a.paths, {out, QSize(320, 224), 30, 1}, progress);
            EXPECT_FALSE(o.ok);
            const QString why = sizeLimit ? QStringLiteral("文件超过系统允许的大小,无法写入 show.")
                                          : QStringLiteral("磁盘空间不足,无法写入 show.");
            EXPECT_TRUE(o.message.contains(why + kind)) << o.message.toStdString();
            EXPECT_EQ(Snapshot(folder), before);
        }
    }
}

// A typed name of a file that is there replaces it only when the user says so:
// turned down, the dialog waits with the file as it was.
TEST(VideoExport, ATypedNameOfAFileThatIsThereIsAskedAbout)
{
    ASSERT_TRUE(WidgetApp());
    const VideoAlbum a(0);
    const QString out = a.dir.filePath("old.mp4");
    ASSERT_TRUE(WriteAll(out, "keep me"));
    VideoExportDialog d(a.album, a.photos, a.paths, a.dir.path());
    d.findChild<QLineEdit*>("fileEdit")->setText(out);
    QString asked;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    QPushButton* start = d.findChild<QPushButton*>("exportButton");
    start->click();
    EXPECT_EQ(asked, QStringLiteral("old.mp4 已存在，要替换它吗？"));
    EXPECT_EQ(ReadAll(out), "keep me");
    EXPECT_TRUE(start->isEnabled());
}

// Random transitions follow the seed: the same seed draws the same frames, another seed others.
TEST(VideoExport, TheSeedDecidesTheTransitions)
{
    gst_init(nullptr, nullptr);
    VideoAlbum a(0);
    std::vector<QImage> videos[3];
    const char* seeds[3] = {"5", "5", "6"};
    for (int i = 0; i < 3; ++i) {
        const QString out = a.dir.filePath(QStringLiteral("v%1.mp4").arg(i));
        ASSERT_TRUE(ExportFromCommandLine({a.script, out, "--size", "240x168", "--fps", "30", "--seed", seeds[i]}));
        videos[i] = Frames(out);
    }
    EXPECT_TRUE(videos[0] == videos[1]);
    EXPECT_FALSE(videos[0] == videos[2]);
}

// Stopped half-way, an export leaves nothing of itself; a file it would have
// replaced stays as it was. Requests it cannot carry out are refused first.
TEST(VideoExport, CancelAndRefusalLeaveNoFile)
{
    VideoAlbum a(0);
    const QString out = a.dir.filePath("show.mp4");
    ASSERT_TRUE(WriteAll(out, "earlier"));
    ExportProgress progress;
    std::thread watcher([&] {
        while (progress.done < 0.5)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        progress.cancel = true;
    });
    const Outcome o = ExportVideo(a.album, a.photos, a.paths, {out, QSize(320, 224), 30, 1}, progress);
    watcher.join();
    EXPECT_EQ(o.message, QString::fromUtf8(kExportCancelled));
    EXPECT_EQ(ReadAll(out), "earlier");
    EXPECT_EQ(QDir(a.dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".part").size(), 0);

    const VideoRequest refused[] = {{a.dir.filePath("show.avi"), QSize(320, 224), 30, 1},
                                    {out, QSize(321, 224), 30, 1},
                                    {out, QSize(320, 224), 0, 1}};
    for (const VideoRequest& r : refused)
        EXPECT_FALSE(ExportVideo(a.album, a.photos, a.paths, r, progress).ok) << r.output.toStdString();
    EXPECT_EQ(ReadAll(out), "earlier");
}
