#include "app/AlbumApp.h"

#include "album/ShowScript.h"
#include "app/PhotoOutput.h"
#include "app/Retouch.h"
#include "tools/Lens.h"
#include "tools/RenameJournal.h"
#include "model/PhotoList.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tamsel {

namespace {
constexpr const char* kScriptFilter = "Tamsel script 文件(*.tms)";
}  // namespace

struct AlbumApp::Relay : AlbumView {
    AlbumView quiet;
    AlbumView* to = &quiet;

    void ShowInfo(const QString& text, bool beep) override { to->ShowInfo(text, beep); }
    void SetMusicText(const QString& text, bool beep) override { to->SetMusicText(text, beep); }
    void RefreshInfoLine() override { to->RefreshInfoLine(); }
    void SetBtnState(bool enabled) override { to->SetBtnState(enabled); }
    void ShowStopButton(bool running) override { to->ShowStopButton(running); }
    void EnableAlbumLabels() override { to->EnableAlbumLabels(); }
    void ShowStripLooks() override { to->ShowStripLooks(); }
    void Relayout() override { to->Relayout(); }
    void RequestStep() override { to->RequestStep(); }
    QString AskFile(const FileQuestion& q) override { return to->AskFile(q); }
    QStringList AskFiles(const FileQuestion& q) override { return to->AskFiles(q); }
    void PopUpMenu(std::span<const MenuItem> items, int labelIndex) override
    {
        to->PopUpMenu(items, labelIndex);
    }
    void ShowSettings() override { to->ShowSettings(); }
    void CloseWindow() override { to->CloseWindow(); }
    void SetBusy(bool busy) override { to->SetBusy(busy); }
};

AlbumApp::AlbumApp(AppPaths paths)
    : model(std::move(paths)),
      relay_(std::make_unique<Relay>()),
      nav(model.state, model.main, model.photos, *relay_),
      composer(model.state, model.main, model.dibs, model.photos, model.paths, *relay_),
      strip(model.state, model.main, model.dibs, composer),
      engine(model, *relay_,
             [this](const QString& path) {
                 const bool ok = composer.DIBClonePicture(path);
                 PrefetchNext();
                 return ok;
             })
{
    composer.prefetch = &prefetch;
    engine.photoReady = [this](const QString& path) { return composer.PhotoReady(path); };
    strip.onLooksChanged = [this] { view().ShowStripLooks(); };
    strip.onScreenChanged = [this] { view().RequestStep(); };
    composer.alignStrip = [this] { strip.Align(); };
    engine.showEnded = [this] { BtnClick(Navigator::Stop); };
    commands.Set(1, [this] {
        ChooseFolder();
        return Outcome::Done();
    });
    commands.Set(2, [this] { return OpenScriptCommand(); });
    commands.Set(11, [this] { return SaveScriptCommand(); });
    commands.Set(13, [this] { return SetWallpaper(model); });
    for (int code : {36, 37, 38})
        commands.Set(code, [this, code] {
            composer.EnsureFullPhoto();   // a retouch works on every pixel
            return RunRetouch(model, composer, code);
        });
    // The commands that need a dialog of the window come with the window;
    // without one they say so rather than doing nothing.
    for (int code : {4, 5, 6, 12, 14, 35})
        commands.Set(code, [code] {
            return Outcome::Failed(
                QStringLiteral("  「%1」需要在窗口中使用").arg(CommandCaption(code)));
        });
    musicTimer_.setInterval(2000);
    QObject::connect(&musicTimer_, &QTimer::timeout, [this] { MusicTick(); });
}

AlbumApp::~AlbumApp() = default;

AlbumView& AlbumApp::view() { return *relay_; }

void AlbumApp::Attach(AlbumView* v) { relay_->to = v ? v : &relay_->quiet; }

StartupReport AlbumApp::Startup()
{
    model.paths.EnsureWorkDir();
    StartupReport r = LoadAlbumData(model);
    model.main.WipeStep = 4;
    model.main.WorkFolder = model.state.PhotoFolder;
    // A batch rename the program did not live to finish is settled first.
    if (!model.state.PhotoFolder.isEmpty()) {
        const Outcome settled = RecoverRenames(model.state.PhotoFolder);
        if (settled.HasMessage()) {
            AlbumFilesChanged(true);
            r.message = r.message.isEmpty() ? settled.message : r.message + settled.message;
        }
    }
    return r;
}

void AlbumApp::Begin(const StartupReport& report)
{
    if (!report.firstRun && model.state.MusicOn)
        StartMusic();
    if (!report.message.isEmpty())
        view().ShowInfo(report.message, true);
}

Outcome AlbumApp::Shutdown()
{
    if (shutDown_)
        return Outcome::Done();
    shutDown_ = true;
    musicTimer_.stop();
    if (player_)
        player_->Halt();
    model.dibs.ReleaseAll();
    model.paths.RemoveWorkFiles();
    return SaveAlbumData();
}

Outcome AlbumApp::SaveAlbumData()
{
    AlbumState& s = model.state;
    const int w = s.ShowWidth;
    const int32_t h = s.ShowHeight;
    if (windowArea_.isValid()) {
        s.ShowWidth = windowArea_.width();
        s.ShowHeight = windowArea_.height();
    }
    const Outcome o = tamsel::SaveAlbumData(model);
    s.ShowWidth = w;
    s.ShowHeight = h;
    return o;
}

void AlbumApp::AlbumFilesChanged(bool keepCaptions)
{
    AlbumState& s = model.state;
    model.photos.Reread();
    s.PhotoCount = model.photos.Count();
    if (!keepCaptions)
        s.PhotoCaption = QStringList();
    if (s.PhotoCaption.size() < s.PhotoCount + 1)
        s.PhotoCaption.resize(s.PhotoCount + 1);
    if (s.CurPhoto >= s.PhotoCount)
        s.CurPhoto = 0;
    view().RefreshInfoLine();
}

void AlbumApp::Report(const Outcome& o)
{
    if (o.HasMessage())
        view().ShowInfo(o.message, true);
}

void AlbumApp::BtnClick(int index)
{
    nav.BtnClick(index);
    view().RequestStep();
}

void AlbumApp::LabelClicked(int index)
{
    model.state.CmdCode = 0;
    view().ShowInfo(QString::fromUtf8(kGreeting), false);
    switch (index) {
    case 0:
        PopUp(MenuId::Photo, index);
        break;
    case 1:
        view().ShowInfo(QStringLiteral(" 照片修饰满意后请主动保存，否则效果将会丢失！"), false);
        PopUp(MenuId::Treat, index);
        break;
    case 2:
        view().ShowSettings();
        break;
    case 3:
        PopUp(MenuId::Out, index);
        break;
    case 4:
        view().CloseWindow();
        break;
    default:
        break;
    }
}

void AlbumApp::PhotoAreaRightClick()
{
    if (model.state.PhotoFolder.isEmpty() || model.main.ViewMode == View::Cover)
        return;
    // The menu opens over the photo area: its step chain pauses meanwhile.
    model.state.PaintHold = true;
    model.state.CmdCode = 0;
    PopUp(MenuId::Out, -1);
}

void AlbumApp::PhotoAreaMouseMove(double x, double y)
{
    // The lens shows the photo's own pixels: a photo decoded small for the
    // screen is read whole the first time the lens appears over it.
    if (model.main.PanDone && model.main.OrigView)
        composer.EnsureFullPhoto();
    if (DrawLens(model.dibs, model.state, model.main, x, y))
        view().RequestStep();
}

void AlbumApp::PrefetchNext()
{
    const AlbumState& s = model.state;
    int next = s.CurPhoto + (model.main.NavStep < 0 ? -1 : 1);
    if (next >= s.PhotoCount && s.LoopShow)
        next = 0;
    if (next < 0 || next >= s.PhotoCount || next == s.CurPhoto)
        return;
    composer.LoadAhead(model.PhotoPath(next));
}

void AlbumApp::PopUp(MenuId menu, int labelIndex)
{
    view().PopUpMenu(MenuItems(menu), labelIndex);
    DoCommand(model.state.CmdCode);
}

void AlbumApp::DoCommand(int code)
{
    Report(commands.DoCommand(code));
    view().RequestStep();
}

QString AlbumApp::AskFile(const QString& folder) { return AskFileList(folder, false).value(0); }

QStringList AlbumApp::AskFiles(const QString& title, const QString& filter, bool save, bool multiple)
{
    fileDialog.title = title;
    fileDialog.fileName.clear();
    fileDialog.filter = filter;
    fileDialog.save = save;
    return AskFileList({}, multiple);
}

QStringList AlbumApp::AskFileList(const QString& folder, bool multiple)
{
    FileQuestion q = fileDialog;
    q.multiple = multiple;
    q.folder = folder.isEmpty() ? model.main.WorkFolder : folder;
    // Before any folder is known the dialog opens among the user's pictures,
    // never wherever the program happened to be started from.
    if (q.folder.isEmpty())
        q.folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (q.folder.isEmpty() || !QFileInfo(q.folder).isDir())
        q.folder = QDir::homePath();
    const QStringList paths = view().AskFiles(q);
    if (!paths.isEmpty())
        model.main.WorkFolder = WithTrailingSlash(QFileInfo(paths.constFirst()).absolutePath());
    return paths;
}

QString AlbumApp::AskScriptName(bool save)
{
    // The title stays what the dialog's previous use left.
    fileDialog.fileName.clear();
    fileDialog.filter = QString::fromUtf8(kScriptFilter);
    fileDialog.save = save;
    return AskFile({});
}

Outcome AlbumApp::OpenScriptCommand()
{
    const QString path = AskScriptName(false);
    return path.isEmpty() ? Outcome::Done() : OpenScript(path);
}

Outcome AlbumApp::SaveScriptCommand()
{
    const QString path = AskScriptName(true);
    if (path.isEmpty())
        return Outcome::Done();
    // Exactly the name given: a script saved as "album" is "album", not "album.tms".
    return SaveScript(path, model.state);
}

bool AlbumApp::ChooseFolder()
{
    nav.BeginFolderChoice();
    fileDialog.title = QStringLiteral("请选择照片所在文件夹");
    fileDialog.fileName.clear();
    fileDialog.filter = AlbumFileFilter();
    fileDialog.save = false;
    const QString path = AskFile(model.state.PhotoFolder);
    view().SetBusy(true);
    nav.FolderChosen(path);
    view().SetBusy(false);
    view().RequestStep();
    return !path.isEmpty();
}

void AlbumApp::OpenFolder(const QString& folder)
{
    nav.BeginFolderChoice();
    PhotoList list;
    list.Point(folder);
    nav.FolderChosen(folder, list.Name(0));
    view().RequestStep();
}

void AlbumApp::OpenPath(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.isDir()) {
        OpenFolder(fi.absoluteFilePath());
    } else if (fi.isFile() && PhotoList::IsAlbumFile(fi.fileName())) {
        nav.BeginFolderChoice();
        nav.FolderChosen(fi.absoluteFilePath());
        view().RequestStep();
    } else if (fi.isFile()) {
        Report(OpenScript(fi.absoluteFilePath()));
    } else {
        Report(Outcome::Failed(QStringLiteral("  找不到 %1").arg(path)));
    }
}

Outcome AlbumApp::OpenScript(const QString& path)
{
    const Outcome r = ReadScript(path, model.state, model.photos);
    if (!r)
        return r;
    // The new album's music starts again from its first tune.
    if (player_)
        player_->Halt();
    RestartAlbum(model.state);
    view().EnableAlbumLabels();
    view().Relayout();
    ShowFace();
    return r;
}

void AlbumApp::ThumbReleased()
{
    nav.ThumbReleased();
    view().RequestStep();
}

void AlbumApp::ShowFace()
{
    composer.SetFace(model.state.ShowWidth, model.state.ShowHeight, model.state.CoverShowing);
    view().RequestStep();
}

void AlbumApp::SetPlayer(std::unique_ptr<AudioPlayer> player)
{
    player_ = std::move(player);
    // A tune found damaged after it started is a failure like any other.
    if (player_)
        player_->onFailure = [this] { MusicFailed(model.state, view()); };
}

void AlbumApp::StartMusic() { musicTimer_.start(); }

void AlbumApp::SwitchMusic(bool on)
{
    if (on)
        StartMusic();
    else if (player_)
        player_->Halt();
}

void AlbumApp::MusicTick()
{
    if (player_)
        MusicStep(model.state, *player_, view());
}

}  // namespace tamsel
