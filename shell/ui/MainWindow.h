#pragma once
#include "album/Navigator.h"
#include "imaging/Composer.h"
#include "imaging/QuickStrip.h"
#include "imaging/Surface.h"
#include "shell/Layout.h"
#include "show/EngineHost.h"
#include "show/Music.h"

#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>

namespace tamsel {

struct AlbumModel;
class PhotoArea;
class PictureElement;
class SkinLabel;

// The skinned main window frmMain: frameless, laid out by FormResize from its
// client size, with the photo area, the title bar, the menu-bar labels, the
// info line and the button bar. The album's logic lives in Navigator and the
// layout classes; the window turns pointer events into their calls.
class MainWindow : public QWidget, public EngineHost, public NavigatorView, public InfoSink {
    Q_OBJECT
public:
    explicit MainWindow(AlbumModel& core, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up after the album state is read: greeting, size, layout, cover, logo.
    void Start();

    // Lays out every element from the client size and shapes the window.
    void FormResize();
    // Shows the cover or the current photo at once at the photo area's size.
    void SetFace(int width, int height, bool cover);
    // Places the logo frames in the bottom-right corner and hides them.
    void setPel();

    // Folder choice (command code 1): the open dialog, then the album moves.
    void ChooseFolder();
    // A folder opened from outside: as if its first photo had been chosen.
    void OpenFolder(const QString& folder);
    // A show script opened from outside, as "打开脚本..." does.
    void OpenScript(const QString& path);

    // The click of bar button index, then the photo area is told.
    void BtnClick(int index);
    // Sizes the window from the photo area and centres it on the screen.
    void SizeAndCentre();
    // The tune text of the info line, set by the music.
    void SetMusicText(const QString& text);
    // Where a click on the finished logo writes to.
    static const char* const kMakerMail;
    // Starts the music tick (every 2 s) that plays the music list.
    void StartMusic();
    // One music tick; public for tests.
    void MusicTick();

    // NavigatorView and InfoSink: a message in LabInfo, with the beep if asked.
    void ShowInfo(const QString& text, bool beep) override;
    void SetBtnState(bool enabled) override;
    void ShowStopButton(bool running) override;
    void EnableAlbumLabels() override;

    // EngineHost
    void RefreshInfoLine() override;
    void StopButtonClick() override;
    bool ResizeDragging() const override;

    // For tests and the end-to-end run: the elements by their names.
    SkinLabel* LabInfo() const { return labInfo_; }
    SkinLabel* Lab1ofsum() const { return lab1ofsum_; }
    SkinLabel* LabMusic() const { return labMusic_; }
    SkinLabel* LabAnyPhoto() const { return labAnyPhoto_; }
    SkinLabel* LabFolder(int i) const { return labFolder_.at(i); }
    PictureElement* Btn(int i) const { return btn_.at(i); }
    PictureElement* ImgSBtn(int i) const { return sbtn_.at(i); }
    QWidget* photoArea() const;
    Navigator& navigator() { return nav_; }
    QuickStrip& quickStrip() { return strip_; }
    const FormLayout& CurrentLayout() const { return layout_; }
    // The skin and background as painted by the last layout.
    const QImage& Background() const { return background_; }

Q_SIGNALS:
    // The window is closing: the application ends and the album is written.
    void closing();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    int SkinWidth() const;
    void BuildElements();
    void LoadArt();
    void PaintSkin();
    void ArrangeInfoLine();
    void ComposeFile(const QString& path);
    void KickArea();

    void ThumbPressed(QMouseEvent* e);
    void ThumbMoved(QMouseEvent* e);
    void ThumbReleased();
    void ResetBarPictures();
    void ShowStripLooks();
    void LogoStep();

    void TitlePressed(QMouseEvent* e);
    void TitleMoved(QMouseEvent* e);
    void ToggleMaximised();
    void GripPressed(int which, QMouseEvent* e);
    void GripMoved(int which, QMouseEvent* e);
    void GripReleased(int which);

    AlbumModel& core_;
    Navigator nav_;
    Composer composer_;
    QuickStrip strip_;

    // The skin picture and the window background painted from it.
    CLSDIB skin_;
    CLSDIB back_;
    QImage background_;
    FormLayout layout_;

    struct Art;
    Art* art_;

    PhotoArea* area_ = nullptr;
    PictureElement* imBar_ = nullptr;
    PictureElement* imico_ = nullptr;
    PictureElement* immin_ = nullptr;
    PictureElement* immax_ = nullptr;
    PictureElement* imclose_ = nullptr;
    PictureElement* imgmail_ = nullptr;
    PictureElement* imgques_ = nullptr;
    PictureElement* img4star_ = nullptr;
    PictureElement* pbottom_ = nullptr;
    PictureElement* pright_ = nullptr;
    PictureElement* pjiao_ = nullptr;
    SkinLabel* labTitle_ = nullptr;
    SkinLabel* labInfo_ = nullptr;
    SkinLabel* labMusic_ = nullptr;
    SkinLabel* lab1ofsum_ = nullptr;
    SkinLabel* labAnyPhoto_ = nullptr;
    std::array<SkinLabel*, kFolderLabels> labFolder_{};
    std::array<PictureElement*, kBtnCount> btn_{};
    std::array<PictureElement*, kSBtnCount> sbtn_{};
    std::array<PictureElement*, 30> pel_{};
    QTimer logoTimer_;
    LogoClock logo_;
    // The last composition fell back to the previous photo.
    bool composeFailed_ = false;

    // Background music: the player, and Timer1 that starts each tune.
    class QtAudioPlayer* music_ = nullptr;
    QTimer musicTimer_;
    struct MusicViewImpl;
    MusicViewImpl* musicView_ = nullptr;

    // A window move by hand where the window system cannot move it for us.
    bool manualMove_ = false;
    QPoint moveOffset_;
};

}  // namespace tamsel
