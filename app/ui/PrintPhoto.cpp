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

QRectF PrintPlacement(QSize pixels, double dpiX, double dpiY, QSizeF printable)
{
    if (pixels.isEmpty() || dpiX <= 0 || dpiY <= 0 || printable.isEmpty())
        return {};
    QSizeF size(pixels.width() / dpiX, pixels.height() / dpiY);
    // A picture larger than the page would be cut off: it is made smaller instead.
    const double fit = std::min({1.0, printable.width() / size.width(), printable.height() / size.height()});
    return {QPointF(0, 0), size * fit};
}

Outcome PrintPicture(const PrintJob& job, const QString& printerName)
{
    if (job.picture.isNull())
        return Outcome::Failed(QStringLiteral("  对不起,没有可以打印的照片"));
    const QPrinterInfo info =
        printerName.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) {
        if (!printerName.isEmpty())
            return Outcome::Failed(QStringLiteral("  对不起,找不到打印机 %1").arg(printerName));
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            return Outcome::Failed(
                QStringLiteral("  对不起,没有找到打印机:没有安装打印机,或 CUPS 打印服务没有运行"));
        return Outcome::Failed(QStringLiteral("  对不起,没有设定默认打印机"));
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(job.title.isEmpty() ? QStringLiteral("澄影集") : job.title);
    printer.setFullPage(false);
    printer.setCopyCount(1);
    printer.setPageOrientation(QPageLayout::Portrait);

    QPainter painter;
    if (!painter.begin(&printer))
        return Outcome::Failed(QStringLiteral("  对不起,打印机 %1 无法开始打印").arg(info.printerName()));
    const double res = printer.resolution();
    const QRectF area = printer.pageLayout().paintRectPixels(int(res));
    const QRectF inches =
        PrintPlacement(job.picture.size(), job.dpiX, job.dpiY, QSizeF(area.width() / res, area.height() / res));
    const QRectF target(inches.topLeft() * res, inches.size() * res);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, job.picture);
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error)
        return Outcome::Failed(QStringLiteral("  对不起,照片没能送到打印机 %1").arg(info.printerName()));
    return Outcome::Done(QStringLiteral("  照片已送到打印机 %1").arg(info.printerName()));
}

void PrintInBackground(PrintJob job, QObject* receiver, std::function<void(const Outcome&)> done,
                       const QString& printerName)
{
    QPointer<QObject> guard(receiver);
    QThread* worker = QThread::create([job = std::move(job), guard, done = std::move(done), printerName] {
        const Outcome result = PrintPicture(job, printerName);
        if (guard)
            QMetaObject::invokeMethod(
                guard.data(), [guard, done, result] { if (guard) done(result); }, Qt::QueuedConnection);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

}  // namespace tamsel
