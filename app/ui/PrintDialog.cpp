#include "app/ui/PrintDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamsel {
namespace {

QString FitText() { return QStringLiteral("适合页面"); }

class PhotoPrintDialog : public QPrintDialog {
public:
    PhotoPrintDialog(QPrinter* printer, const PrintJob& job, PrintFit fit, QWidget* parent)
        : QPrintDialog(printer, parent), job_(job)
    {
        auto* page = new QWidget;
        page->setWindowTitle(QStringLiteral("照片"));   // the tab's name
        fit_ = new QCheckBox(FitText(), page);
        fit_->setChecked(fit == PrintFit::FitToPage);
        auto* preview = new QPushButton(QStringLiteral("预览..."), page);
        auto* column = new QVBoxLayout(page);
        column->addWidget(fit_);
        column->addWidget(preview, 0, Qt::AlignLeft);
        column->addStretch();
        setOptionTabs({page});
        // The preview shows the paper and orientation chosen so far, and
        // those reach the printer only when the dialog is accepted: the
        // preview accepts it, and done() keeps it open meanwhile.
        connect(preview, &QPushButton::clicked, this, [this] {
            previewing_ = true;
            accept();
            previewing_ = false;
        });
    }

    PrintFit Fit() const { return fit_->isChecked() ? PrintFit::FitToPage : PrintFit::NaturalSize; }

    void done(int result) override
    {
        if (previewing_ && result == Accepted) {
            previewing_ = false;
            if (!Preview())
                return;
        }
        QPrintDialog::done(result);
    }

private:
    // True when the user prints from the preview.
    bool Preview()
    {
        QDialog d(this);
        d.setWindowTitle(QStringLiteral("打印预览"));
        auto* view = new QPrintPreviewWidget(printer(), &d);
        view->setZoomMode(QPrintPreviewWidget::FitInView);
        // Only a preview is drawn here; the printing itself is the worker's.
        connect(view, &QPrintPreviewWidget::paintRequested, &d, [this](QPrinter* p) {
            QPainter painter(p);
            DrawPrintPage(painter, *p, job_, Fit());
        });
        auto* fit = new QCheckBox(FitText(), &d);
        fit->setChecked(fit_->isChecked());
        connect(fit, &QCheckBox::toggled, &d, [this, view](bool on) {
            fit_->setChecked(on);
            view->updatePreview();
        });
        auto* buttons = new QDialogButtonBox(&d);
        buttons->addButton(QStringLiteral("打印"), QDialogButtonBox::AcceptRole)->setDefault(true);
        buttons->addButton(QStringLiteral("返回"), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
        auto* column = new QVBoxLayout(&d);
        column->addWidget(view, 1);
        auto* row = new QHBoxLayout;
        row->addWidget(fit);
        row->addStretch();
        row->addWidget(buttons);
        column->addLayout(row);
        d.resize(560, 680);
        return d.exec() == QDialog::Accepted;
    }

    const PrintJob& job_;
    QCheckBox* fit_;
    bool previewing_ = false;
};

}  // namespace

std::optional<PrintChoice> AskPrintChoice(QWidget* parent, const PrintJob& job, PrintFit& fit)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(job.title.isEmpty() ? QStringLiteral("澄影集") : job.title);
    printer.setFullPage(false);
    PhotoPrintDialog dialog(&printer, job, fit, parent);
    // One page: no ranges, selection or current page to choose from.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    fit = dialog.Fit();
    if (!accepted)
        return std::nullopt;
    return PrintChoice::From(printer, fit);
}

}  // namespace tamsel
