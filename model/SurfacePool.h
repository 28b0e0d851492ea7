#pragma once
#include "model/Surface.h"

#include <tuple>

namespace tamsel {

// The album's surfaces besides the two the transition engine owns (DibScreen,
// what the photo area shows, and DibNew, the incoming photo at display size),
// each with one fixed role.
struct SurfacePool {
    Surface DibCaption;  // one caption line before it is laid over the canvas
    Surface DibCanvas;   // the composed photo, larger than the area by the pan allowance
    Surface DibMask;     // the frame mask, or the outgoing picture during a transition
    Surface DibPhoto;    // the photo as loaded (and turned), at its own size
    Surface DibScratch;  // rotation source, mask loader, retouch work copy

    // DibCanvas is this much larger than the photo area: room for the pan
    // and zoom allowance.
    static constexpr int kCanvasMargin = 240;

    // The composition's surfaces sized by the photo area, all black: DibMask
    // at width x height, DibCanvas with its margin. Fails as Create does,
    // with the first surface that could not be made.
    Outcome MakeDisplaySurfaces(int width, int height)
    {
        for (auto [s, w, h] : {std::tuple{&DibMask, width, height},
                               {&DibCanvas, width + kCanvasMargin, height + kCanvasMargin}})
            if (Outcome made = s->Create(w, h); !made)
                return made;
        return Outcome::Done();
    }

    void ReleaseAll()
    {
        for (Surface* s : {&DibCaption, &DibCanvas, &DibMask, &DibPhoto, &DibScratch})
            s->Release();
    }
};

}  // namespace tamsel
