#pragma once
#include "imaging/Surface.h"

namespace tamsel {

// The seven surfaces of the album, each with one fixed role.
struct SurfacePool {
    CLSDIB DibCaption;  // one caption line before it is laid over the canvas
    CLSDIB DibScreen;   // what the photo area shows; every frame is drawn here first
    CLSDIB DibCanvas;   // the composed photo, larger than the area by the pan allowance
    CLSDIB DibMask;     // the frame mask, or the outgoing picture during a transition
    CLSDIB DibNew;      // the incoming photo at display size
    CLSDIB DibPhoto;    // the photo as loaded (and turned), at its own size
    CLSDIB DibScratch;  // rotation source, mask loader, retouch work copy

    void ReleaseAll()
    {
        for (CLSDIB* s : {&DibCaption, &DibScreen, &DibCanvas, &DibMask, &DibNew, &DibPhoto,
                          &DibScratch})
            s->Class_Terminate();
    }
};

}  // namespace tamsel
