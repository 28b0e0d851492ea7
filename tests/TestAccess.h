#pragma once
// The tests' way past the one-writer rules: setting up a position, a shown
// file or a logic object of the application directly, as no program code may.
#include "app/AlbumApp.h"
#include "model/AlbumState.h"

namespace tamsel {

struct TestAccess {
    static AlbumModel& Model(AlbumApp& a) { return a.model_; }
    static Navigator& Nav(AlbumApp& a) { return a.nav_; }
    static Composer& ComposerOf(AlbumApp& a) { return a.composer_; }
    static TransitionEngine& Engine(AlbumApp& a) { return a.engine_; }
    static PhotoPrefetch& Prefetch(AlbumApp& a) { return a.prefetch_; }
    static FileQuestion& FileDialog(AlbumApp& a) { return a.fileDialog_; }
    static ScreenAwake& Awake(AlbumApp& a) { return a.awake_; }

    static void SetCurPhoto(PhotoPosition& p, int i) { p.curPhoto_ = i; }
    static void SetCover(PhotoPosition& p, bool cover) { p.coverShowing_ = cover; }
    static void SetCurFile(ShownFile& f, const QString& path) { f.curFile_ = path; }
    static void SetCurFileInfo(ShownFile& f, const QString& info) { f.curFileInfo_ = info; }
    // The next wide or tall photo pans the first way again.
    static void RestartPans(Composer& c) { c.panBackH_ = c.panBackV_ = false; }
    // Which way the next wide and tall photos pan.
    static std::pair<bool, bool> PanTurns(const Composer& c) { return {c.panBackH_, c.panBackV_}; }
    static void SetPanTurns(Composer& c, std::pair<bool, bool> t) { std::tie(c.panBackH_, c.panBackV_) = t; }
    static void SetPanDone(TransitionEngine& e, bool done) { e.panDone_ = done; }
    static Surface& Screen(TransitionEngine& e) { return e.screen_; }
    static void SetShown(TransitionEngine& e, const Composition& c) { e.shown_ = c; }
    // Composes a photo and hands it to the engine, as the load step does;
    // false when it could not be composed whole.
    static bool Compose(AlbumApp& a, const QString& path)
    {
        if (const std::optional<Composition> made = a.composer_.DIBClonePicture(path))
            a.engine_.Take(*made);
        return !a.model_.shown.LoadFailed();
    }
    // An album of photos that are no files: names joined to the folder.
    static void SetPhotos(PhotoList& l, const QString& folder, const QStringList& names)
    {
        l.Clear();
        l.folder_ = folder;
        l.names_ = names;
        l.listed_ = true;
    }
};

}  // namespace tamsel
