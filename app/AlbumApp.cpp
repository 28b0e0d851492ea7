#include "app/AlbumApp.h"

#include "album/ShowScript.h"
#include "model/PhotoList.h"

#include <QFileInfo>

namespace tamsel {

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
    QString AskOpenFile(const FileQuestion& q) override { return to->AskOpenFile(q); }
    void SetBusy(bool busy) override { to->SetBusy(busy); }
};

AlbumApp::AlbumApp(AppPaths paths)
    : model(std::move(paths)),
      relay_(std::make_unique<Relay>()),
      nav(model.state, model.main, model.photos, *relay_),
      composer(model.state, model.main, model.dibs, model.photos, model.paths, *relay_),
      strip(model.state, model.main, model.dibs, composer),
      engine(model, *relay_, [this](const QString& path) { return composer.DIBClonePicture(path); })
{
    strip.onLooksChanged = [this] { view().ShowStripLooks(); };
    strip.onScreenChanged = [this] { view().RequestStep(); };
    composer.alignStrip = [this] { strip.Align(); };
    engine.showEnded = [this] { BtnClick(Navigator::Stop); };
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

bool AlbumApp::ChooseFolder()
{
    nav.BeginFolderChoice();
    const QString path = view().AskOpenFile(
        {QStringLiteral("请选择照片所在文件夹"), AlbumFileFilter(), model.state.PhotoFolder});
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

Outcome AlbumApp::OpenScript(const QString& path)
{
    const Outcome r = ReadScript(path, model.state, model.photos);
    Report(r);
    if (!r)
        return r;
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

void AlbumApp::MusicTick()
{
    if (player_)
        MusicStep(model.state, *player_, view());
}

}  // namespace tamsel
