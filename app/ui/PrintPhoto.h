#pragma once
#include "model/Outcome.h"

#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class QObject;
class QPainter;

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

// How the picture is laid on the page.
enum class PrintFit {
    NaturalSize,   // at the top left, made smaller only when the page is too small
    FitToPage,     // as large as the page allows, in its middle
};

// What the print dialog chose, as plain values a worker thread can take:
// a QPrinter belongs to the thread that set it up.
struct PrintChoice {
    QString printerName;    // empty: the default printer
    QString outputFile;     // a PDF file written in place of a printer
    int copies = 1;
    bool collate = true;
    QPageLayout layout;     // invalid: the printer's own paper, upright
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPrinter::ColorMode colour = QPrinter::Color;
    PrintFit fit = PrintFit::NaturalSize;

    static PrintChoice From(const QPrinter& printer, PrintFit fit);
    // Sets a printer up as chosen.
    void Apply(QPrinter& printer) const;
};

// Where the picture lies on the page, in inches from the top-left corner
// of the printable area: its natural size, scaled down with its proportions
// kept when it is larger than the printable area; fitted to the page, it
// fills the printable area's width or height, proportions kept, in its middle.
QRectF PrintPlacement(QSize pixels, double dpiX, double dpiY, QSizeF printableInches,
                      PrintFit fit = PrintFit::NaturalSize);

// Draws the page on a printer already begun: the printing and the preview
// of it draw the same page.
void DrawPrintPage(QPainter& painter, QPrinter& printer, const PrintJob& job, PrintFit fit);

// Prints one page as chosen (on the default printer when no printer is
// named). Blocks until the job is handed over; safe on a worker thread.
Outcome PrintPicture(const PrintJob& job, const PrintChoice& choice);
Outcome PrintPicture(const PrintJob& job, const QString& printerName = {});

// The same on a worker thread; done is called on receiver's thread.
void PrintInBackground(PrintJob job, QObject* receiver, std::function<void(const Outcome&)> done,
                       PrintChoice choice = {});

}  // namespace tamsel
