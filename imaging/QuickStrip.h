#pragma once
#include <QString>

#include <array>
#include <functional>

namespace tamsel {

struct AlbumState;
class MainState;
struct SurfacePool;
class Composer;

// The eight quick-effect buttons beside the photo area: looping, a quarter
// turn either way, the four presentation styles and the magnifier view. Each
// button is pressed (tag "1") or not (tag "0") and shows its normal, hover or
// pressed picture. Clicks change the shared settings and show their effect on
// the screen at once. This class holds the logic; the widget only shows it.
class QuickStrip {
public:
    static constexpr int kButtons = 8;
    enum Button {
        kLoop = 0, kTurnLeft = 1, kTurnRight = 2,
        kColour = 3, kGrey = 4, kRectFrame = 5, kOvalFrame = 6,
        kOrigView = 7,
    };
    enum class Look { Normal, Hover, Pressed };

    QuickStrip(AlbumState& album, MainState& main, SurfacePool& dibs, Composer& composer);

    static QString Tooltip(int k);
    // The installation's picture of button k in a look.
    static QString PictureName(int k, Look look);

    bool Pressed(int k) const { return Valid(k) && tag_[size_t(k)] == 1; }
    Look LookOf(int k) const { return Valid(k) ? look_[size_t(k)] : Look::Normal; }

    // The mouse moves over button k.
    void Hover(int k);
    // The mouse moves over the window outside the strip.
    void LeaveAll();
    // A mouse button is released over button k.
    void Click(int k);
    // Presses exactly the buttons the current settings call for; ShowFace runs it.
    void Align();

    std::function<void()> onLooksChanged;   // a button's picture changed
    std::function<void()> onScreenChanged;  // DibScreen was drawn anew
    // Shows the composed view on DibScreen again, greyed (a grey style
    // shows at once, before the next photo is composed grey) or not.
    std::function<void(bool grey)> redrawScreen;

private:
    static bool Valid(int k) { return k >= 0 && k < kButtons; }
    void UpdateButtons(int k);
    void Act(int k);
    void Press(int k);
    void Release(int k, Look look = Look::Normal);
    void Redraw(bool grey = false);
    void LooksChanged();

    AlbumState& album_;
    MainState& main_;
    SurfacePool& dibs_;
    Composer& composer_;
    std::array<int, kButtons> tag_{};
    std::array<Look, kButtons> look_{};
    int depth_ = 0;   // nested clicks: tell the widget once, at the end
};

}  // namespace tamsel
