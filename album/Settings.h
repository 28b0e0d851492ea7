#pragma once
#include "model/Outcome.h"
#include "model/PhotoList.h"

#include <QImage>
#include <QString>

#include <functional>
#include <QStringList>

#include <cstdint>

namespace tamsel {

struct AlbumState;

// Hands a changed copy of the album settings to their owner, which adopts it.
using SettingsSink = std::function<void(const AlbumState&)>;

// The photo area the settings accept; the window is sized from it.
inline constexpr int kMinShowWidth = 400;
inline constexpr int kMaxShowWidth = 782;
inline constexpr int kMinShowHeight = 288;
inline constexpr int kMaxShowHeight = 478;
// Caption sizes the font choice offers and keeps to.
inline constexpr int kMinCapFontSize = 14;
inline constexpr int kMaxCapFontSize = 26;
// Pause and frame delay are stored as 16-bit numbers in show scripts.
inline constexpr int kMaxTiming = 32767;

// The caption the form offers before any photo has one.
inline constexpr const char* kSampleCaption = "童话世界--九寨沟";
// The only transition choice of the list.
inline constexpr const char* kRandomTransitions = "随机方式";
// The music dialog's filter.
inline constexpr const char* kTuneFilter =
    "媒体文件(MP3,WMA,WAV,WMV,AVI,MPG...) (*.mp3 *.wma *.wav *.mid *cda *.wmv *.avi *.mpg);;"
    "所有文件(*.*) (*)";

// The tunes of one multiple selection in the order they join the music list:
// the last one chosen first. Empty entries are dropped.
QStringList SplitSelection(const QStringList& chosen);

// Colours are stored 0x00BBGGRR.
QColor ColorFromRef(int32_t ref);
int32_t ColorRef(const QColor& c);

// A picture file read the way the album will show it, made to fit box for a
// preview. Null when the file cannot be read as a picture.
QImage LoadPreview(const QString& path, QSize box);

// What the font choice returns.
struct FontChoice {
    QString face;
    double size = 22;
    int32_t colour = 0xFFFFFF;
};

// The settings form "参数设置" without its window: the values its controls
// show, the immediate actions that reach the album settings at once, and
// "确定" that stores the rest. The form reads the album's settings and never
// writes them: each change is made on a copy of them as they are at that
// moment and handed to the sink, whose owner adopts it. It lives as long as
// the dialog exists, so what it holds (the faces chosen so far, the caption
// scope, the loop box) survives hiding and showing.
class SettingsForm {
public:
    // album, albumPhotos: the album's settings and photo list, as they change.
    SettingsForm(const AlbumState& album, const PhotoList& albumPhotos, SettingsSink apply);

    // ---- what the controls show ------------------------------------------
    QString widthText, heightText;        // the window size boxes
    int32_t backColor = 0;                // the background swatch, shown only
    int frameChoice = 0;                  // the presentation style option last clicked
    QString pauseText, frameDelayText;    // pause (s), frame delay (ms)
    int transMode = 0;                    // index in the transition list
    bool allPhotos = false;               // "适用所有照片" rather than "适用单张照片"
    QString captionText;                  // the caption box
    bool musicBox = false;                // "同步播放"
    bool loopBox = false;                 // "循环播放"
    QStringList faces;                    // caption faces chosen so far
    int faceIndex = -1;
    int32_t textColor = 0xFFFFFF;         // the caption colour swatch
    QStringList tuneLines;                // one line per tune: " " + base name
    int selectedPhoto = -1;               // the photo chosen in the caption list
    QImage coverPreview;                  // null: the cover could not be read

    const PhotoList& Photos() const { return photos_; }

    // ---- the dialog's life -------------------------------------------------
    // The first opening (and the first after the close image). A cover that
    // cannot be read is reported; the preview stays empty.
    Outcome Load(QSize previewBox);
    // Every opening: the boxes show the album state again. True when the
    // music box changed with it (its click then ran: the player follows).
    bool Activate();

    // ---- immediate actions -------------------------------------------------
    // A picture chosen as the cover. One that cannot be read is refused and
    // the cover stays.
    Outcome ChooseCover(const QString& path, QSize previewBox);
    // The marker moved onto grid cell i (0..8).
    void SetCaptionPosition(int i);
    // The font dialog opens over the photo area.
    void BeginFontChoice();
    // The font dialog opens over the photo area (true) or has given a font
    // (false): the photo area's step chain rests meanwhile.
    std::function<void(bool hold)> holdPaint;
    // The font dialog was confirmed (a cancel calls nothing).
    void ApplyFont(const FontChoice& f);
    // "同步播放" ticked or not; the player follows MusicOn.
    void SetMusicOn(bool on);
    void SetMusicLoop(bool on);
    // Adds the tunes of one selection while the list has room. Returns how
    // many were left out.
    int AddTunes(const QStringList& chosen);
    // Removes tune s. True when that emptied the list and music went off.
    bool DeleteTune(int s);
    // A photo chosen in the caption list: the box shows its caption.
    void SelectPhoto(int i);
    // The link button: the box's text becomes the chosen photo's caption.
    // False when no photo is chosen.
    bool LinkCaption();

    // ---- closing -----------------------------------------------------------
    enum class Field { None, Width, Height, Pause, FrameDelay };
    struct Applied {
        Outcome outcome;                  // not ok: bad input, nothing stored
        Field badField = Field::None;
        bool sizeChanged = false;         // the window must follow the new size
        bool musicOff = false;            // an empty tune list switched music off
    };
    // "确定": stores the remaining values, sizes clamped.
    Applied Ok();
    // "取消": only what both buttons do on closing.
    Applied Cancel();

private:
    // The size boxes as the dialog opened them: a size nobody typed is not
    // clamped onto a maximised or resized window.
    QString openedWidthText_, openedHeightText_;
    Applied Ending(Applied a);
    // Hands the album's settings, changed by edit, to their owner.
    void Change(const std::function<void(AlbumState&)>& edit);

    const AlbumState& state_;
    const PhotoList& albumPhotos_;
    SettingsSink apply_;
    PhotoList photos_;   // the caption list, read at every opening
};

}  // namespace tamsel
