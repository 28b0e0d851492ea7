#pragma once

namespace tamsel {

// What the transition engine asks of the main window.
class EngineHost {
public:
    virtual ~EngineHost() = default;
    // Info line refresh: moves the position thumb, sets LabInfo and Lab1ofsum
    // from the current photo and calls ArrangeInfoLine.
    virtual void RefreshInfoLine() = 0;
    // The click action of the Stop button (Btn(6)).
    virtual void StopButtonClick() = 0;
    // True while a resize drag is in progress (the grips' tags are set).
    virtual bool ResizeDragging() const { return false; }
};

}  // namespace tamsel
