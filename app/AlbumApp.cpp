#include "app/AlbumApp.h"

#include "album/ShowScript.h"
#include "app/Commands.h"
#include "app/PhotoOutput.h"
#include "app/Retouch.h"
#include "app/ScanCommand.h"
#include "imaging/ImageFormats.h"
#include "platform/SafeWrite.h"
#include "tools/BatchFiles.h"
#include "tools/Lens.h"
#include "tools/RenameJournal.h"
#include "imaging/PhonePhotos.h"
#include "model/PhotoList.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace tamsel {

namespace {
constexpr const char* kScriptFilter = "Tamsel script 文件(*.tms)";
}  // namespace

struct AlbumApp::Relay : AlbumView {
    AlbumView quiet;
    AlbumView* to = &quiet;

    void ShowInfo(const QString& text, bool beep) override { to->ShowInfo(text, beep); }
    void SetMusicText(const QString& text, bool beep) override { to->SetMusicText(text, beep); }
    // Said once, over the first photo's own line: a note on the folder just
    // opened would otherwise vanish as that photo comes in.
    QString noteAfterPhoto;
    // Told whenever the photo shown or the show's state may have changed.
    std::function<void()> changed;
    void Changed()
    {
        if (changed)
            changed();
    }
    void RefreshInfoLine() override
    {
        to->RefreshInfoLine();
        if (!noteAfterPhoto.isEmpty())
            to->ShowInfo(std::exchange(noteAfterPhoto, QString()), false);
        Changed();
    }
    void SetBtnState(bool enabled) override
    {
        to->SetBtnState(enabled);
        Changed();
    }
    void ShowStopButton(bool running) override
    {
        to->ShowStopButton(running);
        Changed();
    }
    void EnableAlbumLabels() override { to->EnableAlbumLabels(); }
    void ShowStripLooks() override { to->ShowStripLooks(); }
    void Relayout() override { to->Relayout(); }
    void RequestStep() override { to->RequestStep(); }
    QString AskFile(const FileQuestion& q) override { return to->AskFile(q); }
    QStringList AskFiles(const FileQuestion& q) override { return to->AskFiles(q); }
    Command PopUpMenu(std::span<const MenuItem> items, int labelIndex) override
    {
        return to->PopUpMenu(items, labelIndex);
    }
    void ShowSettings() override { to->ShowSettings(); }
    void CloseWindow() override { to->CloseWindow(); }
    void SetBusy(bool busy) override { to->SetBusy(busy); }
    bool HasDialogs() const override { return to->HasDialogs(); }
    ScannedPicture AcquireScan() override { return to->AcquireScan(); }
    BatchDialogResult RunBatchDialog(Command which, const QString& workFolder,
                                     const QString& albumFolder) override
    {
        return to->RunBatchDialog(which, workFolder, albumFolder);
    }
    QString AskSaveAsName(const QString& folder) override { return to->AskSaveAsName(folder); }
    Outcome ExportVideo(QString& workFolder) override { return to->ExportVideo(workFolder); }
    ColourBalance AskBalance() override { return to->AskBalance(); }
    void PrintPhoto(const Surface& photo, const QString& file, int rotateAngle,
                    std::function<void(const Outcome&)> done) override
    {
        to->PrintPhoto(photo, file, rotateAngle, std::move(done));
    }
};

AlbumApp::AlbumApp(AppPaths paths)
    : relay_(std::make_unique<Relay>()),
      model_(std::move(paths), AlbumExtensions(), PhoneExtensions()),
      nav_(model_.state, model_.position, model_.main, model_.photos, *relay_),
      composer_(model_, [this](const Outcome& o) { Report(o); }),
      strip_(model_.state, model_.main, composer_),
      engine_(model_, *relay_,
              [this](const QString& path) {
                  std::optional<Composition> made = composer_.DIBClonePicture(path);
                  PrefetchNext();
                  return made;
              })
{
    composer_.prefetch = &prefetch_;
    engine_.photoReady = [this](const QString& path) { return composer_.PhotoReady(path); };
    engine_.advanceShow = [this] { return nav_.AdvanceShow(); };
    strip_.onLooksChanged = [this] { view().ShowStripLooks(); };
    strip_.onScreenChanged = [this] { view().RequestStep(); };
    strip_.redrawScreen = [this](bool grey) {
        engine_.Redraw();
        if (grey)
            engine_.GreyScreen();
    };
    engine_.showEnded = [this] { BtnClick(Navigator::Stop); };
    // Named for the busy meter's report.
    musicTimer_.setObjectName(QStringLiteral("musicTick"));
    thumbRest_.setObjectName(QStringLiteral("thumbRest"));
    musicTimer_.setInterval(2000);
    QObject::connect(&musicTimer_, &QTimer::timeout, [this] { MusicTick(); });
    thumbRest_.setSingleShot(true);
    thumbRest_.setInterval(120);
    QObject::connect(&thumbRest_, &QTimer::timeout, [this] { PrefetchCurrent(); });
}

AlbumApp::~AlbumApp() = default;

AlbumView& AlbumApp::view() { return *relay_; }

void AlbumApp::Attach(AlbumView* v) { relay_->to = v ? v : &relay_->quiet; }

StartupReport AlbumApp::Startup()
{
    // Working folders of earlier versions that were killed are swept up;
    // the album itself keeps its pictures in memory and needs none.
    model_.paths.RemoveStaleWorkDirs();
    AlbumData loaded = LoadAlbumData(model_.paths, model_.photos);
    AdoptAlbum(std::move(loaded.state));
    StartupReport r = std::move(loaded.report);
    nav_.Restart();
    const Outcome settled = SettleFolder(model_.photos.Folder());
    if (settled.HasMessage()) {
        FilesChanged(true);
        // A rename that could not be set right is a failure, said with the
        // beep; what was passed over in the folder is only a note.
        (settled.ok ? r.note : r.message) += settled.message;
    }
    return r;
}

void AlbumApp::Begin(const StartupReport& report)
{
    if (!report.firstRun && model_.state.MusicOn)
        StartMusic();
    if (!report.message.isEmpty())
        view().ShowInfo(report.message + report.note, true);
    else if (!report.note.isEmpty())
        view().ShowInfo(report.note, false);
}

Outcome AlbumApp::Shutdown()
{
    if (shutDown_)
        return Outcome::Done();
    shutDown_ = true;
    // A photo still decoding ahead is not waited for.
    StopDecodes();
    musicTimer_.stop();
    if (player_)
        player_->Halt();
    KeepScreenOn();
    model_.dibs.ReleaseAll();
    engine_.ReleaseSurfaces();
    return SaveAlbumData();
}

Outcome AlbumApp::SaveAlbumData()
{
    if (!windowArea_.isValid())
        return tamsel::SaveAlbumData(model_.paths.dataFile, model_.state, model_.photos);
    AlbumState saved = model_.state;
    saved.ShowWidth = windowArea_.width();
    saved.ShowHeight = windowArea_.height();
    return tamsel::SaveAlbumData(model_.paths.dataFile, saved, model_.photos);
}

void AlbumApp::KeepWindowArea(QSize size)
{
    windowArea_ = size;
    // Leaving full screen with no show running lets the screen sleep again.
    KeepScreenOn();
}

void AlbumApp::SetPixelRatio(double ratio)
{
    model_.main.PixelRatio = ratio > 0 ? ratio : 1;
}

void AlbumApp::LaidOut(int showW, int showH, double showAspect)
{
    model_.state.ShowWidth = showW;
    model_.state.ShowHeight = showH;
    model_.main.ShowAspect = showAspect;
}

void AlbumApp::SetWorkFolder(const QString& folder)
{
    if (!folder.isEmpty())
        workFolder_ = WithTrailingSlash(folder);
}

Outcome AlbumApp::SettleFolder(const QString& folder)
{
    if (folder.isEmpty())
        return Outcome::Done();
    SetWorkFolder(folder);
    // Hidden pieces of a conversion that was cut short are cleared away.
    RemoveLeftoverTempFiles(folder);
    // Photos left under temporary names by a rename that was cut short are
    // put under their names first, or the album would be listed without them.
    Outcome settled = RecoverRenames(folder);
    // Phone photos the album does not list: said at once when nothing else
    // will show, else after the first photo.
    const PhonePhotoNote phone = NoteOnPhonePhotos(folder);
    QString note = phone.text;
    // Photos whose names the system's encoding cannot spell are not listed:
    // the user is told they exist.
    if (phone.passedOver > 0)
        note += QStringLiteral("  ") + PassedOverText(phone.passedOver);
    relay_->noteAfterPhoto = phone.albumPhotos > 0 ? note : QString();
    if (phone.albumPhotos == 0)
        settled.message += note;
    return settled;
}

void AlbumApp::FilesChanged(bool keepCaptions, const QList<QPair<QString, QString>>& renamed)
{
    // The photo on the screen, under the name it has now.
    QString current = model_.photos.Name(model_.CurPhoto());
    for (const auto& [from, to] : renamed)
        if (QFileInfo(from).fileName() == current &&
            SameFolder(QFileInfo(from).path(), model_.photos.Folder()))
            current = QFileInfo(to).fileName();
    composer_.FilesRenamed(renamed);
    model_.photos.Reread();
    if (!keepCaptions)
        model_.state.PhotoCaption = QStringList();
    FitCaptions();
    const bool stillThere = nav_.FilesChanged(current);
    view().RefreshInfoLine();
    if (!stillThere && !model_.position.CoverShowing())
        view().ShowInfo(QStringLiteral("  当前照片 %1 已不在相册文件夹中").arg(current), true);
}

void AlbumApp::Report(const Outcome& o)
{
    // A note that something went through is said quietly; a failure beeps.
    if (o.HasMessage())
        view().ShowInfo(o.message, !o.ok);
}

void AlbumApp::BtnClick(int index)
{
    nav_.BtnClick(index);
    KeepScreenOn();
    view().RequestStep();
}

TransitionEngine::StepResult AlbumApp::Step()
{
    const TransitionEngine::StepResult r = engine_.Step();
    // Another picture came: the retouches of the last one are let go.
    retouches_.Follow(model_.shown.Serial());
    // A show can also end inside the step: a stop request taken up, a new folder.
    KeepScreenOn();
    return r;
}

void AlbumApp::ThumbOver(int i)
{
    nav_.ThumbOver(i);
    thumbRest_.start();
}

void AlbumApp::LabelClicked(int index)
{
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
    if (model_.photos.Folder().isEmpty() || model_.main.ViewMode() == View::Cover)
        return;
    // The menu opens over the photo area: its step chain pauses meanwhile.
    model_.main.HoldPaint(true);
    PopUp(MenuId::Out, -1);
}

bool AlbumApp::TakePaintHold()
{
    if (!model_.main.PaintHold())
        return false;
    model_.main.HoldPaint(false);
    return true;
}

void AlbumApp::PhotoAreaMouseMove(double x, double y)
{
    // The lens shows the photo's own pixels: a photo decoded small for the
    // screen is read whole the first time the lens appears over it.
    if (engine_.PanDone() && model_.main.OrigView)
        composer_.EnsureFullPhoto();
    const double r = model_.main.PixelRatio;
    if (lens_.Draw(model_.dibs.DibPhoto, engine_.DibNew(), engine_.Shown(), engine_.PanDone(),
                   model_.main, x * r, y * r, engine_.Frame()))
        view().RequestStep();
}

void AlbumApp::PrefetchNext()
{
    if (const int next = model_.PhotoAfterCurrent(); next >= 0)
        composer_.LoadAhead(model_.PhotoPath(next));
}

void AlbumApp::PrefetchCurrent()
{
    const int count = model_.photos.Count();
    if (count < 1)
        return;
    // A position beyond the list is read as the first photo by the buttons too.
    const int cur = model_.CurPhoto();
    composer_.LoadAhead(model_.PhotoPath(cur >= 0 && cur < count ? cur : 0));
}

void AlbumApp::PopUp(MenuId menu, int labelIndex)
{
    std::vector<MenuItem>& items = menuShown_[int(menu)];
    items.assign(MenuItems(menu).begin(), MenuItems(menu).end());
    for (MenuItem& item : items)
        if (item.command == Command::UndoRetouch)
            item.enabled = CanUndoRetouch();
    DoCommand(view().PopUpMenu(items, labelIndex));
}

void AlbumApp::DoCommand(Command command)
{
    const CommandEntry* e = FindCommand(command);
    if (!e)
        return;   // a menu closed without a choice
    if (e->needsWindow && !view().HasDialogs()) {
        Report(Outcome::Failed(QStringLiteral("  「%1」需要在窗口中使用").arg(CommandCaption(command))));
        return;
    }
    if (e->needsWindow)
        model_.main.HoldPaint(true);   // its dialog opens over the photo area
    Report((this->*e->handler)());
    view().RequestStep();
}

QString AlbumApp::AskFile(const QString& folder) { return AskFileList(folder, false).value(0); }

QStringList AlbumApp::AskFiles(const QString& title, const QString& filter, bool save, bool multiple)
{
    fileDialog_.title = title;
    fileDialog_.fileName.clear();
    fileDialog_.filter = filter;
    fileDialog_.save = save;
    return AskFileList({}, multiple);
}

QStringList AlbumApp::AskFileList(const QString& folder, bool multiple)
{
    FileQuestion q = fileDialog_;
    q.multiple = multiple;
    q.folder = folder.isEmpty() ? workFolder_ : folder;
    // Before any folder is known the dialog opens among the user's pictures,
    // never wherever the program happened to be started from.
    if (q.folder.isEmpty())
        q.folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (q.folder.isEmpty() || !QFileInfo(q.folder).isDir())
        q.folder = QDir::homePath();
    const QStringList paths = view().AskFiles(q);
    if (!paths.isEmpty())
        SetWorkFolder(QFileInfo(paths.constFirst()).absolutePath());
    return paths;
}

QString AlbumApp::AskScriptName(bool save)
{
    // The title stays what the dialog's previous use left.
    fileDialog_.fileName.clear();
    fileDialog_.filter = QString::fromUtf8(kScriptFilter);
    fileDialog_.save = save;
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
    // A name typed without an ending gets the scripts' own, so that 打开脚本
    // lists it afterwards; a name with any ending is taken as it is.
    const QString named = QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".tms") : path;
    return SaveScript(named, model_.state, model_.photos);
}

Outcome AlbumApp::ChooseFolderCommand()
{
    nav_.BeginFolderChoice();
    fileDialog_.title = QStringLiteral("请选择照片所在文件夹");
    fileDialog_.fileName.clear();
    // A photo of a folder of phone photos opens that album too.
    fileDialog_.filter = AlbumFileFilter() + QStringLiteral(";;") + PhoneFileFilter();
    fileDialog_.save = false;
    const QString path = AskFile(model_.photos.Folder());
    view().SetBusy(true);
    const Outcome settled = path.isEmpty() ? Outcome::Done() : SettleFolder(QFileInfo(path).absolutePath());
    AdoptFolderChoice(nav_.FolderChosen(path));
    PrefetchCurrent();
    view().SetBusy(false);
    view().RequestStep();
    return settled;
}

void AlbumApp::OpenFolder(const QString& folder)
{
    const Outcome settled = SettleFolder(folder);
    nav_.BeginFolderChoice();
    PhotoList list{AlbumExtensions(), PhoneExtensions()};
    list.Point(folder);
    AdoptFolderChoice(nav_.FolderChosen(folder, list.Name(0)));
    PrefetchCurrent();
    Report(settled);
    view().RequestStep();
}

namespace {

// Whether the album would list the photo file in its folder: a phone photo
// is listed in a folder of phone photos alone.
bool ListedInItsFolder(const QFileInfo& file)
{
    if (PhonePhotoKind(file.fileName()).isEmpty())
        return false;
    PhotoList list{AlbumExtensions(), PhoneExtensions()};
    return list.Point(file.absolutePath()) && list.IndexOf(file.fileName()) >= 0;
}

}  // namespace

void AlbumApp::OpenPath(const QString& path)
{
    const QFileInfo fi(path);
    if (fi.isDir()) {
        OpenFolder(fi.absoluteFilePath());
    } else if (fi.isFile() && (IsAlbumPhoto(fi.fileName()) || ListedInItsFolder(fi))) {
        const Outcome settled = SettleFolder(fi.absolutePath());
        nav_.BeginFolderChoice();
        AdoptFolderChoice(nav_.FolderChosen(fi.absoluteFilePath()));
        PrefetchCurrent();
        Report(settled);
        view().RequestStep();
    } else if (fi.isFile() && !PhonePhotoKind(fi.fileName()).isEmpty()) {
        // A phone photo beside the album's own photos opens its folder,
        // which says how to bring it in.
        OpenFolder(fi.absolutePath());
    } else if (fi.isFile()) {
        Report(OpenScript(fi.absoluteFilePath()));
    } else {
        Report(Outcome::Failed(QStringLiteral("  找不到 %1").arg(path)));
    }
}

Outcome AlbumApp::OpenScript(const QString& path)
{
    ScriptRead read = ReadScript(path, model_.state, model_.photos);
    Outcome r = read.outcome;
    if (!r)
        return r;
    AdoptAlbum(std::move(read.state));
    // The reader listed the folder as it found it; a rename cut short there
    // is settled and the list read again, captions kept by position.
    const Outcome settled = SettleFolder(model_.photos.Folder());
    if (settled.HasMessage()) {
        FilesChanged(true);
        r.message += settled.message;
        r.ok = r.ok && settled.ok;
    }
    // The new album's music starts again from its first tune.
    if (player_)
        player_->Halt();
    nav_.Restart();
    view().EnableAlbumLabels();
    view().Relayout();
    ShowFace();
    return r;
}

void AlbumApp::ThumbReleased()
{
    // The photo comes in now; a late decode of it would only push out the
    // one decoded after it.
    thumbRest_.stop();
    nav_.ThumbReleased();
    view().RequestStep();
}

void AlbumApp::ShowFace()
{
    strip_.Align();
    if (const Outcome shown = tamsel::ShowFace(engine_, composer_, DeviceShowWidth(model_.state, model_.main),
                                               DeviceShowHeight(model_.state, model_.main),
                                               model_.position.CoverShowing());
        !shown)
        Report(shown);
    if (model_.position.CoverShowing())
        PrefetchCurrent();
    view().RequestStep();
}

// ---- commands that work on the current photo --------------------------

Outcome AlbumApp::ScanCommand()
{
    const ScannedPicture scan = view().AcquireScan();
    if (scan.picture.isNull())
        return scan.outcome;
    const Outcome o = ShowScannedPicture(model_, composer_, engine_, scan.picture);
    if (o)
        nav_.LeaveCover();
    return o;
}

Outcome AlbumApp::RenameCommand()
{
    const BatchDialogResult r =
        view().RunBatchDialog(Command::RenameFiles, workFolder_, model_.photos.Folder());
    SetWorkFolder(r.workFolder);
    if (r.albumChanged)
        FilesChanged(true, r.renamed);
    return r.outcome;
}

Outcome AlbumApp::ConvertCommand()
{
    const BatchDialogResult r =
        view().RunBatchDialog(Command::ConvertFiles, workFolder_, model_.photos.Folder());
    SetWorkFolder(r.workFolder);
    if (r.albumChanged)
        FilesChanged(false);
    return r.outcome;
}

Outcome AlbumApp::SavePhotoAsCommand()
{
    const QString name = view().AskSaveAsName(workFolder_);
    if (name.isEmpty())
        return Outcome::Done();
    SetWorkFolder(QFileInfo(name).absolutePath());
    const Outcome o = SaveAs(model_, name);
    // A photo written into the album folder joins its list; the photo on the
    // screen stays the current one wherever the new name sorts.
    if (o && !model_.photos.Folder().isEmpty() &&
        SameFolder(QFileInfo(name).absolutePath(), model_.photos.Folder()))
        FilesChanged(true);
    return o;
}

Outcome AlbumApp::WallpaperCommand() { return SetWallpaper(model_); }

Outcome AlbumApp::PrintCommand()
{
    // The page is drawn away from the window's thread; its outcome comes back
    // later. A retouch or a scan prints from DibPhoto alone: it has no file.
    composer_.EnsureFullPhoto();
    view().PrintPhoto(model_.dibs.DibPhoto, model_.shown.CurFile(), model_.state.RotateAngle,
                      [this](const Outcome& o) { Report(o); });
    return Outcome::Done();
}

Outcome AlbumApp::ExportVideoCommand()
{
    // The export plays the album from its own copy on a thread of its own;
    // the window goes on meanwhile.
    QString folder = workFolder_;
    const Outcome o = view().ExportVideo(folder);
    SetWorkFolder(folder);
    return o;
}

Outcome AlbumApp::BalanceCommand()
{
    // 取消 leaves the balance neutral, and the photo is rewritten all the same.
    return Retouch(Command::Balance, view().AskBalance());
}

Outcome AlbumApp::SharpenCommand() { return Retouch(Command::Sharpen); }
Outcome AlbumApp::SoftenCommand() { return Retouch(Command::Soften); }
Outcome AlbumApp::NegativeCommand() { return Retouch(Command::Negative); }

Outcome AlbumApp::Retouch(Command command, const ColourBalance& balance)
{
    composer_.EnsureFullPhoto();   // a retouch works on every pixel
    const unsigned from = model_.shown.Serial();
    RetouchHistory::Before before{CopyPicture(model_.dibs.DibPhoto), model_.shown, command};
    const Outcome o = RunRetouch(model_, composer_, engine_, int(command), balance);
    // Without the memory for a copy the retouch still runs; it only cannot
    // be taken back.
    if (o && before.photo.HasPixels())
        retouches_.Record(from, model_.shown.Serial(), std::move(before));
    return o;
}

Outcome AlbumApp::UndoRetouchCommand()
{
    std::optional<RetouchHistory::Before> before = retouches_.TakeBack(model_.shown.Serial());
    if (!before)
        return Outcome::Done();
    engine_.ShowAtOnce(composer_.ComposeRestored(std::move(before->photo), before->shown));
    retouches_.Settle(model_.shown.Serial());
    model_.main.MarkLabelsDirty();
    QString name = CommandCaption(before->retouch);
    if (name.endsWith(QStringLiteral("...")))
        name.chop(3);
    // Said over the photo's own line, which the next step writes again.
    relay_->noteAfterPhoto = QStringLiteral("已撤销: %1").arg(name);
    return Outcome::Done();
}

// ---- music ------------------------------------------------------------

void AlbumApp::SetPlayer(std::unique_ptr<AudioPlayer> player)
{
    player_ = std::move(player);
    // A tune found damaged after it started is a failure like any other.
    if (player_) {
        player_->onFailure = [this](const char* message) {
            AdoptMusic(MusicFailed(model_.state, view(), QString::fromUtf8(message)));
        };
        // A player gone mid-tune: said, and the next tick plays the next tune.
        player_->onLost = [this](const QString& message) { view().SetMusicText(message, true); };
    }
}

void AlbumApp::WatchShown(std::function<void()> changed) { relay_->changed = std::move(changed); }

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
        AdoptMusic(MusicStep(model_.state, *player_, view()));
}

// ---- the album settings -----------------------------------------------

void AlbumApp::ApplySettings(const AlbumState& settings) { model_.state = settings; }

void AlbumApp::AdoptAlbum(AlbumState settings)
{
    settings.MusicTrack = 0;
    model_.state = std::move(settings);
}

void AlbumApp::StripClick(int k) { AdoptStrip(strip_.Click(k)); }

void AlbumApp::ApplyStyle(int frameType) { AdoptStrip(strip_.Click(QuickStrip::kColour + frameType)); }

void AlbumApp::AdoptStrip(const StripSettings& s)
{
    model_.state.LoopShow = s.LoopShow;
    model_.state.RotateAngle = s.RotateAngle;
    model_.state.FrameType = s.FrameType;
}

void AlbumApp::AdoptMusic(const MusicPlace& place)
{
    model_.state.MusicTrack = place.MusicTrack;
    // A tick only ever turns music off; one that the player's failure turned
    // off during the tick stays off.
    if (!place.MusicOn)
        model_.state.MusicOn = 0;
}

void AlbumApp::AdoptFolderChoice(FolderChange change)
{
    if (change == FolderChange::NewFolder)
        model_.state.PhotoCaption = QStringList();
    if (change != FolderChange::None)
        FitCaptions();
}

void AlbumApp::FitCaptions()
{
    QStringList& captions = model_.state.PhotoCaption;
    const int slots = model_.photos.Count() + 1;
    if (captions.size() < slots)
        captions.resize(slots);
}

}  // namespace tamsel
