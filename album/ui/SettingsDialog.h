#pragma once
#include "album/Settings.h"
#include "shell/ui/SkinnedDialog.h"

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tamsel {

struct AlbumState;
struct AppPaths;
class PhotoList;
class PictureElement;

// The settings dialog "参数设置": shows the settings form and turns the
// user's clicks into its calls. Made on first use; "确定" and "取消" hide it
// (it keeps its contents for the next opening); the close picture deletes it
// (it deletes itself, so the next opening starts afresh). It reads the
// album's settings and hands every change to applySettings.
class SettingsDialog : public SkinnedDialog {
    Q_OBJECT
public:
    SettingsDialog(const AlbumState& state, const PhotoList& photos, const AppPaths& paths,
                   QWidget* parent);

    // Every opening: the controls show the album state again, then the
    // dialog runs modally until it is hidden or deleted.
    int Open();
    // The opening's refresh alone (Open runs it first).
    void Activate();
    void reject() override;

    // What the rest of the album must do; the main window wires these.
    // The album settings as the user changed them, for their owner to adopt.
    SettingsSink applySettings;
    // The photo area is to become showWidth x showHeight: size the window to
    // it, lay it out again, restart the logo and show the picture anew.
    std::function<void(int showWidth, int showHeight)> applySize;
    // "确定" applies the presentation style as its quick-effect button would.
    std::function<void(int frameType)> styleApplied;
    // "同步播放" was switched: off halts the player and clears the tune label;
    // on lets the music tick play the list from its first tune.
    std::function<void(bool on)> musicSwitched;
    // CoverFile is a new picture.
    std::function<void()> coverChanged;
    // The font dialog opens over the photo area (true) or has answered (false).
    std::function<void(bool hold)> holdPaint;

    // The questions the dialog asks: the cover and the tunes through the
    // program's one file dialog (the window wires them), the font dialog
    // unless replaced.
    std::function<QString()> askCover;
    std::function<QStringList()> askTunes;
    std::function<std::optional<FontChoice>(const FontChoice&)> askFont;

    const SettingsForm& Form() const { return form_; }

protected:
    void CloseImageClicked() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildControls();
    void ShowForm();
    void ShowTunes();
    void ShowFontLooks();
    void ShowCover();
    void PlaceMarker();
    void Say(const QString& text, bool beep);

    void ChooseCover();
    void ChooseFont();
    void ChooseTunes();
    // The tunes of a selection or a drop join the list while it has room.
    void AddTunes(const QStringList& chosen);
    // A drag over the tune list: taken when it brings music files.
    bool TuneDrop(QEvent* e);
    void DeleteTune();
    void ChooseScope(bool all);
    void Link();
    void Close(bool ok);

    const AlbumState& state_;
    SettingsForm form_;

    QLineEdit* widthEdit_;
    QLineEdit* heightEdit_;
    QLabel* backColourSwatch_;
    std::array<QRadioButton*, 4> styleRadios_{};
    QLabel* coverPreview_;
    QLineEdit* pauseEdit_;
    QLineEdit* frameDelayEdit_;
    QComboBox* transitionCombo_;
    QCheckBox* musicOnCheck_;
    QCheckBox* musicLoopCheck_;
    QListWidget* tuneList_;
    // Where tunes are dropped: the list's viewport (compared, never reached,
    // by the filter, which sees events before and after the list exists).
    QWidget* tuneDropArea_ = nullptr;
    QComboBox* captionFontCombo_;
    QLabel* captionColourSwatch_;
    std::array<PictureElement*, 9> captionCells_{};
    QLabel* captionMarker_;
    std::array<QRadioButton*, 2> captionScope_{};
    QListWidget* photoList_;
    QLineEdit* captionEdit_;
    QPushButton* linkCaptionButton_;
    QLabel* messageLabel_;
};

}  // namespace tamsel
