#pragma once
#include "model/Surface.h"
#include "model/AlbumView.h"
#include "model/Outcome.h"
#include "shell/Layout.h"
#include "shell/SkinElements.h"
#include "show/Music.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

namespace tamsel {

class AlbumApp;
struct AlbumModel;
class PhotoArea;
class SettingsDialog;
enum class PrintFit;
class HelpWindow;
class PictureElement;
class SkinLabel;

// The skinned main window: frameless, laid out by FormResize from its
// client size, with the photo area, the title bar, the menu-bar labels, the
// info line and the button bar. The album's logic lives in the application
// object; the window shows it, turns pointer events into its calls and
// answers its questions.
class MainWindow : public QWidget, public AlbumView {
    Q_OBJECT
public:
    explicit MainWindow(AlbumApp& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up after the album state is read: greeting, size, layout, cover, logo.
    void Start();
    // A quit from outside the window (a signal at logout or shutdown): the
    // road of "退出", once batch work in flight has finished or undone
    // itself. Its dialog refuses to close until then, and the application
    // would drop a quit that a window refuses.
    void QuitWhenIdle();

    // Lays out every element from the client size and shapes the window.
    void FormResize();
    // Places the logo frames in the bottom-right corner and hides them.
    void ResetLogo();
    // Sizes the window from the photo area and centres it on the screen.
    void SizeAndCentre();

    // AlbumView
    void ShowInfo(const QString& text, bool beep) override;
    void SetMusicText(const QString& text, bool beep) override;
    void RefreshInfoLine() override;
    void SetBtnState(bool enabled) override;
    void ShowStopButton(bool running) override;
    void EnableAlbumLabels() override;
    void ShowStripLooks() override;
    void Relayout() override { FormResize(); }
    void RequestStep() override;
    QString AskFile(const FileQuestion& q) override;
    QStringList AskFiles(const FileQuestion& q) override;
    Command PopUpMenu(std::span<const MenuItem> items, int labelIndex) override;
    void ShowSettings() override;
    // The help window ("?", F1).
    void ShowHelp();
    void CloseWindow() override { close(); }
    void SetBusy(bool busy) override;
    bool HasDialogs() const override { return true; }
    ScannedPicture AcquireScan() override;
    BatchDialogResult RunBatchDialog(Command which, const QString& workFolder,
                                     const QString& albumFolder) override;
    QString AskSaveAsName(const QString& folder) override;
    Outcome ExportVideo(QString& workFolder) override;
    ColourBalance AskBalance() override;
    void PrintPhoto(const Surface& photo, const QString& file, int rotateAngle,
                    std::function<void(const Outcome&)> done) override;

    // For tests and the end-to-end run: the elements by their names.
    SkinLabel* InfoLabel() const { return Label(SkinElement::InfoLabel); }
    SkinLabel* CountLabel() const { return Label(SkinElement::CountLabel); }
    SkinLabel* MusicLabel() const { return Label(SkinElement::MusicLabel); }
    SkinLabel* PhotoNameLabel() const { return Label(SkinElement::PhotoNameLabel); }
    SkinLabel* MenuLabel(int i) const { return Label(SkinElement::MenuLabel, i); }
    PictureElement* BarButton(int i) const { return Picture(SkinElement::BarButton, i); }
    PictureElement* QuickButton(int i) const { return Picture(SkinElement::QuickButton, i); }
    QWidget* photoArea() const;
    const FormLayout& CurrentLayout() const { return layout_; }
    // The skin and background as painted by the last layout, whole (the
    // photo area's place in the background colour).
    QImage Background() const;

Q_SIGNALS:
    // The window is closing: the application ends and the album is written.
    void closing();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Folders, photos and show scripts dropped on the window open.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // One widget of the element table: its row and its index among the
    // element's widgets.
    struct Built {
        const SkinElementEntry* entry;
        int index;
        QWidget* widget;
    };

    int SkinWidth() const;
    void BuildPhotoArea();
    void BuildElements();
    // Connects a widget's pointer events as its role and its click say.
    void Wire(const Built& b);
    void Click(ElementClick click, int index);
    QWidget* Element(SkinElement element, int index = 0) const;
    PictureElement* Picture(SkinElement element, int index = 0) const;
    SkinLabel* Label(SkinElement element, int index = 0) const;
    // One of an element's looks as the window stands (maximised or not).
    QPixmap Look(const Built& b, const char* ElementLooks::*look) const;
    void FinishBackground();
    void PaintSkin();
    void ArrangeInfoLine();
    // A batch tool's dialog, modal; what it did to the folders comes back.
    template <typename Dialog>
    BatchDialogResult RunBatchTool(const QString& workFolder, const QString& albumFolder);
    // Composes for the photo area's present size and puts the logo back.
    void Recompose();
    // The grips are dragging a new size.
    bool ResizeDragging() const;

    void ThumbPressed(QMouseEvent* e);
    void ThumbMoved(QMouseEvent* e);
    void ThumbReleased();
    // The pointer crossed the bare background: hover looks go back to normal.
    void ClearHoverLooks();
    // The pointer crossed the title bar: the menu-bar labels and links go back.
    void ResetTitleStrip();
    void LogoStep();

    // ---- the menu bar by keyboard (F10, ← →, Enter, Esc) ----
    // Stands on menu-bar label `label` and opens its menu; a menu left by ←
    // or → opens the next label's. -1: leaves the menu bar.
    void MenuBarByKeys(int label);
    void LeaveMenuBar();
    std::array<bool, kMenuLabels> LabelsEnabled() const;
    // Keys while the keyboard stands on a label that opens no menu.
    void MenuBarKey(QKeyEvent* e);
    // A command's shortcut runs it where its menu's label may be used; true
    // when the key was one.
    bool RunShortcut(QKeyEvent* e);

    void TitlePressed(QMouseEvent* e);
    void TitleMoved(QMouseEvent* e);
    void ToggleMaximised();
    // F11 or a double-click on the photo: the photo area alone on the whole
    // screen, and back.
    void ToggleFullScreen();
    void GripPressed(Grip grip, PictureElement* g);
    void GripMoved(Grip grip, PictureElement* g, QMouseEvent* e);
    void GripReleased(PictureElement* g);

    AlbumApp& app_;
    const AlbumModel& core_;

    // The skin's pictures, and the window background painted from them.
    std::unique_ptr<struct SkinArt> art_;
    // The background around the photo area, in up to four pieces: what the
    // opaque area covers is never painted, so it is not kept either (at a
    // large window it would be most of a window-sized picture).
    struct BackgroundPiece {
        QRect at;       // in layout pixels
        QImage image;   // at the skin's pixel ratio
    };
    std::vector<BackgroundPiece> background_;
    FormLayout layout_;
    // The client size the layout was made for (the whole window in full screen).
    QSize client_;

    PhotoArea* area_ = nullptr;
    // The frame's widgets in the table's order, the lowest first.
    std::vector<Built> elements_;
    QPointer<SettingsDialog> settings_;
    QPointer<HelpWindow> help_;
    // The dialog a quit has asked to close, asked once.
    QPointer<QWidget> askedToClose_;
    QRect normalGeometry_;
    QTimer pointerTimer_;
    QTimer logoTimer_;
    LogoClock logo_;

    // A window move by hand where the window system cannot move it for us.
    enum class MoveState { Idle, Pressed, ByHand } moveState_ = MoveState::Idle;
    QPoint pressAt_;
    QPoint moveOffset_;
    // The menu-bar label the keyboard stands on; -1 while it is elsewhere.
    int keyLabel_ = -1;
    // ← (-1) or → (+1) closed the menu opened from the keyboard.
    int keyStep_ = 0;
    // The album data could not be saved at a close, and the user was told.
    bool toldUnsaved_ = false;
    // "适合页面" as the print dialog was last left.
    PrintFit printFit_{};
};

}  // namespace tamsel
