#pragma once
#include <QString>

namespace tamsel {

struct AlbumState;
struct MainState;
class PhotoList;

// What moving through the album asks of the window: the button bar, the info
// label with its beep, the menu-bar labels.
class NavigatorView {
public:
    virtual ~NavigatorView() = default;
    // Enables or disables what must not be used while a slide show runs.
    virtual void SetBtnState(bool enabled) = 0;
    // running: the stop button Btn(6) stands in place of the play button Btn(0).
    virtual void ShowStopButton(bool running) = 0;
    virtual void ShowInfo(const QString& text, bool beep) = 0;
    // Enables "修饰", "设置" and "输出" once the album has a folder.
    virtual void EnableAlbumLabels() = 0;
};

inline constexpr const char* kNoFolderMessage = "  对不起,您应首先选定照片文件夹";
inline constexpr const char* kNoFolderChosenMessage = "  您没有选定照片夹";

// Moving through the photos of the album: the bar buttons, the automatic
// advance of the show, the thumb release and the choice of the folder. Only
// the shared flags change here; the photo area brings the photo in.
class Navigator {
public:
    enum Button { Play = 0, First = 1, Previous = 2, Next = 3, Last = 4, Any = 5, Stop = 6 };

    Navigator(AlbumState& state, MainState& main, PhotoList& photos, NavigatorView& view);

    // Moves CurPhoto by NavStep (or takes CurPhoto itself in place of the
    // cover) and asks for it to be brought in. No bounds test: callers do it.
    void AdvancePhoto(bool startShow);

    // The click of bar button index (0..4, 6). Returns true when a photo was asked for.
    bool BtnClick(int index);


    // The thumb was released over photo CurPhoto.
    void ThumbReleased();

    // Folder choice: Begin before the dialog opens, then Chosen with the full
    // path of the picked file ("" when the dialog was cancelled).
    void BeginFolderChoice();
    void FolderChosen(const QString& path);
    // The same with the folder and file name given apart, for a folder opened
    // from the command line (title "" for a folder without photos).
    void FolderChosen(const QString& folder, const QString& title);

private:
    AlbumState& s_;
    MainState& m_;
    PhotoList& photos_;
    NavigatorView& view_;
    QString rememberedFolder_;
};

}  // namespace tamsel
