#pragma once
#include <QString>

#include <cstdint>

namespace tamsel {

// How a composed photo moves after it has come in: along the canvas one
// pixel a step, or zooming in from its whole.
enum PanMode : int { PanNone = 0, PanRight = 1, PanLeft = 2, PanDown = 3, PanUp = 4, PanZoom = 5 };
// How far a pan moves across the canvas, in pixels; a zoom closes in by
// half of it on each side.
inline constexpr int kPanAllowance = 60;

// What one composition made of a photo, besides the pixels it left on
// DibCanvas (and DibMask for a frame): handed whole from the composer to the
// engine, which brings it in, moves its view along the pan and answers the
// lens from it. Lengths are device pixels of the canvas.
struct Composition {
    int32_t CanvasWidth = 0;
    int32_t CanvasHeight = 0;
    int PanMode = PanNone;
    // The part of the canvas the photo area shows: where it starts; the
    // engine's copy moves with the pan.
    double ViewX = 0, ViewY = 0, ViewW = 0, ViewH = 0;
    double ZoomX = 1, ZoomY = 1;
    double PhotoAspect = 1, CanvasAspect = 1;
    // Where the photo lies on the canvas.
    double PlaceX = 0, PlaceY = 0, PlaceW = 0, PlaceH = 0;
    // The transition to bring it in with: 0 a random one, kNoTransition
    // none (the user's TransMode, or none while a frame style is on).
    int ShowTransMode = 0;
    // The caption drawn on the canvas, "" for none.
    QString caption;
    // A turned photo stops at its first failing step: its first view is
    // then not drawn, and the previous one stays in DibNew.
    bool stoppedShort = false;
};

}  // namespace tamsel
