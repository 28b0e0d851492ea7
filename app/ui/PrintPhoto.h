#pragma once
#include "model/Outcome.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class QObject;

namespace tamsel {

class Surface;

// What goes to the printer: the photo as the user sees it (turned and
// retouched, without frame or caption) and its resolution.
struct PrintJob {
    QImage picture;
    double dpiX = 96;
    double dpiY = 96;
    QString title;
};

// The print job for DibPhoto, loaded from sourceFile (CurFile; empty for a
// retouch or a scan, which no file holds). A picture prints at its natural
// size: the resolution its file states, else 96 pixels to the inch; a
// turned photo's resolution turns with it.
PrintJob MakePrintJob(const Surface& photo, const QString& sourceFile, int rotateAngle);

// The resolution a photo file states, in pixels per inch, or 0 when it
// states none: a BMP's or a JFIF header's for the photos the album reads
// itself, what the image file library reads for the others.
QSizeF StatedResolution(const QString& file);

// Where the picture lies on the page, in inches from the top-left corner
// of the printable area: its natural size, scaled down with its proportions
// kept when it is larger than the printable area.
QRectF PrintPlacement(QSize pixels, double dpiX, double dpiY, QSizeF printableInches);

// Prints one page on the named printer, or the default one, without a
// dialog. Blocks until the job is handed over; safe on a worker thread.
Outcome PrintPicture(const PrintJob& job, const QString& printerName = {});

// The same on a worker thread; done is called on receiver's thread.
void PrintInBackground(PrintJob job, QObject* receiver, std::function<void(const Outcome&)> done,
                       const QString& printerName = {});

}  // namespace tamsel
