#include "app/ui/PrintPhoto.h"

#include "imaging/ColourProfile.h"
#include "imaging/ImageFile.h"
#include "model/Surface.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>

#include <algorithm>

namespace tamsel {
namespace {

constexpr double kNaturalDpi = 96;
constexpr double kInchesPerMetre = 1 / 0.0254;

uint32_t Le32(const QByteArray& b, int at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
int Be16(const QByteArray& b, int at) { return uint8_t(b[at]) << 8 | uint8_t(b[at + 1]); }

// The density of a JFIF header, when it names its unit.
QSizeF JfifResolution(const QByteArray& head)
{
    int at = 2;
    while (at + 4 <= head.size() && uint8_t(head[at]) == 0xFF) {
        const int marker = uint8_t(head[at + 1]);
        const int length = Be16(head, at + 2);
        if (marker == 0xE0 && at + 16 <= head.size() && head.mid(at + 4, 5) == QByteArray("JFIF\0", 5)) {
            const int units = uint8_t(head[at + 11]);
            const double x = Be16(head, at + 12), y = Be16(head, at + 14);
            if (units == 1)
                return {x, y};
            if (units == 2)
                return {x * 2.54, y * 2.54};
            return {};
        }
        if (marker == 0xDA || length < 2)
            break;
        at += 2 + length;
    }
    return {};
}

}  // namespace

QSizeF StatedResolution(const QString& file)
{
    // A photo the image file library reads states what the library reads
    // in it, as the BMP it was once shown from did.
    if (!ReadsDirectly(file)) {
        const QSize perMetre = StatedPixelsPerMetre(file);
        if (perMetre.width() > 0 && perMetre.height() > 0)
            return {perMetre.width() / kInchesPerMetre, perMetre.height() / kInchesPerMetre};
        return {};
    }
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = f.read(64 * 1024);
    if (head.startsWith("BM") && head.size() >= 46) {
        const double x = int32_t(Le32(head, 38)), y = int32_t(Le32(head, 42));
        if (x > 0 && y > 0)
            return {x / kInchesPerMetre, y / kInchesPerMetre};
        return {};
    }
    if (head.startsWith("\xFF\xD8"))
        return JfifResolution(head);
    return {};
}

PrintJob MakePrintJob(const Surface& photo, const QString& sourceFile, int rotateAngle)
{
    PrintJob job;
    // Printers take sRGB and apply their own profile.
    job.picture = SrgbPicture(photo);
    job.title = QFileInfo(sourceFile).fileName();
    QSizeF dpi = StatedResolution(sourceFile);
    if (dpi.width() < 1 || dpi.height() < 1)
        dpi = {kNaturalDpi, kNaturalDpi};
    if (rotateAngle == 90 || rotateAngle == 270)
        dpi.transpose();
    job.dpiX = dpi.width();
    job.dpiY = dpi.height();
    return job;
}

QRectF PrintPlacement(QSize pixels, double dpiX, double dpiY, QSizeF printable, PrintFit fit)
{
    if (pixels.isEmpty() || dpiX <= 0 || dpiY <= 0 || printable.isEmpty())
        return {};
    const QSizeF size(pixels.width() / dpiX, pixels.height() / dpiY);
    const double scale = std::min(printable.width() / size.width(), printable.height() / size.height());
    if (fit == PrintFit::FitToPage) {
        const QSizeF fitted = size * scale;
        return {QPointF((printable.width() - fitted.width()) / 2, (printable.height() - fitted.height()) / 2),
                fitted};
    }
    // A picture larger than the page would be cut off: it is made smaller instead.
    return {QPointF(0, 0), size * std::min(1.0, scale)};
}

PrintChoice PrintChoice::From(const QPrinter& printer, PrintFit fit)
{
    PrintChoice c;
    if (printer.outputFileName().isEmpty())
        c.printerName = printer.printerName();
    else
        c.outputFile = printer.outputFileName();
    c.copies = std::max(1, printer.copyCount());
    c.collate = printer.collateCopies();
    c.layout = printer.pageLayout();
    c.duplex = printer.duplex();
    c.colour = printer.colorMode();
    c.fit = fit;
    return c;
}

void PrintChoice::Apply(QPrinter& printer) const
{
    if (!outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile);
    }
    printer.setFullPage(false);
    if (layout.isValid())
        printer.setPageLayout(layout);
    else
        printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    printer.setDuplex(duplex);
    printer.setColorMode(colour);
}

void DrawPrintPage(QPainter& painter, QPrinter& printer, const PrintJob& job, PrintFit fit)
{
    const double res = printer.resolution();
    const QRectF area = printer.pageLayout().paintRectPixels(int(res));
    const QRectF inches = PrintPlacement(job.picture.size(), job.dpiX, job.dpiY,
                                         QSizeF(area.width() / res, area.height() / res), fit);
    const QRectF target(inches.topLeft() * res, inches.size() * res);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, job.picture);
}

Outcome PrintPicture(const PrintJob& job, const QString& printerName)
{
    PrintChoice choice;
    choice.printerName = printerName;
    return PrintPicture(job, choice);
}

Outcome PrintPicture(const PrintJob& job, const PrintChoice& choice)
{
    if (job.picture.isNull())
        return Outcome::Failed(QStringLiteral("  对不起,没有可以打印的照片"));
    QPrinterInfo info;
    if (choice.outputFile.isEmpty()) {
        const QString& name = choice.printerName;
        info = name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
        if (info.isNull()) {
            if (!name.isEmpty())
                return Outcome::Failed(QStringLiteral("  对不起,找不到打印机 %1").arg(name));
            if (QPrinterInfo::availablePrinterNames().isEmpty())
                return Outcome::Failed(
                    QStringLiteral("  对不起,没有找到打印机:没有安装打印机,或 CUPS 打印服务没有运行"));
            return Outcome::Failed(QStringLiteral("  对不起,没有设定默认打印机"));
        }
    }
    // A file takes the place of a printer under the file's name.
    const QString where = choice.outputFile.isEmpty() ? info.printerName() : choice.outputFile;
    QPrinter printer(QPrinter::HighResolution);
    if (!info.isNull())
        printer.setPrinterName(info.printerName());
    printer.setDocName(job.title.isEmpty() ? QStringLiteral("澄影集") : job.title);
    choice.Apply(printer);

    QPainter painter;
    if (!painter.begin(&printer))
        return Outcome::Failed(QStringLiteral("  对不起,打印机 %1 无法开始打印").arg(where));
    DrawPrintPage(painter, printer, job, choice.fit);
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error)
        return Outcome::Failed(QStringLiteral("  对不起,照片没能送到打印机 %1").arg(where));
    return Outcome::Done(QStringLiteral("  照片已送到打印机 %1").arg(where));
}

void PrintInBackground(PrintJob job, QObject* receiver, std::function<void(const Outcome&)> done,
                       PrintChoice choice)
{
    QPointer<QObject> guard(receiver);
    QThread* worker = QThread::create([job = std::move(job), guard, done = std::move(done), choice = std::move(choice)] {
        const Outcome result = PrintPicture(job, choice);
        if (guard)
            QMetaObject::invokeMethod(
                guard.data(), [guard, done, result] { if (guard) done(result); }, Qt::QueuedConnection);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

}  // namespace tamsel
