#pragma once
#include <QString>

namespace tamsel {

struct AlbumState;
class MainState;
class PhotoPosition;
class AlbumView;
class PhotoList;

inline constexpr const char* kNoFolderMessage = "  对不起,您应首先选定照片文件夹";
inline constexpr const char* kNoFolderChosenMessage = "  您没有选定照片夹";

// What a folder choice did to the album's list: nothing (cancelled, or the
// folder the album has), a new folder (its captions start empty), or the
// album's own folder listed again after it was away (its captions stay).
enum class FolderChange { None, NewFolder, Relisted };

// Moving through the photos of the album: the bar buttons, the automatic
// advance of the show, the thumb and the choice of the folder. Only the
// shared flags change here; the photo area brings the photo in. The photo
// position (CurPhoto, CoverShowing) changes nowhere else. The album settings
// are only read; what a new folder means for the captions is the caller's.
class Navigator {
public:
    enum Button { Play = 0, First = 1, Previous = 2, Next = 3, Last = 4, Any = 5, Stop = 6 };

    Navigator(const AlbumState& state, PhotoPosition& position, MainState& main, PhotoList& photos,
              AlbumView& view);

    // A new album (start-up, a show script): its cover, at its first photo.
    void Restart();
    // The show's own advance after a photo's pause: the next photo, or the
    // first again in a looping show. False when the show has passed its last.
    bool AdvanceShow();
    // Photo i is the one to show (kept inside the album), the cover leaves.
    void ShowPhoto(int i);
    // A picture that is no photo of the list (a scan) is on the screen.
    void LeaveCover();
    // The cover is on the screen again.
    void ShowCover();
    // The album's list was read again: the position follows the photo that
    // was current, under its new name when it was renamed (name "" or not
    // found: the first photo). False when that photo is no longer there.
    bool FilesChanged(const QString& currentName);

    // Moves CurPhoto by NavStep (or takes CurPhoto itself in place of the
    // cover) and asks for it to be brought in. No bounds test: callers do it.
    void AdvancePhoto(bool startShow);

    // The click of bar button index (0..4, 6). Returns true when a photo was asked for.
    bool BtnClick(int index);


    // The thumb was dragged over photo i (kept inside the album).
    void ThumbOver(int i);
    // The thumb was released over photo CurPhoto.
    void ThumbReleased();

    // Folder choice: Begin before the dialog opens, then Chosen with the full
    // path of the picked file ("" when the dialog was cancelled).
    void BeginFolderChoice();
    FolderChange FolderChosen(const QString& path);
    // The same with the folder and file name given apart, for a folder opened
    // from the command line (title "" for a folder without photos).
    FolderChange FolderChosen(const QString& folder, const QString& title);

private:
    const AlbumState& s_;
    PhotoPosition& pos_;
    MainState& m_;
    PhotoList& photos_;
    AlbumView& view_;
    QString rememberedFolder_;
};

}  // namespace tamsel
