#include "app/ui/SaveAsDialog.h"

#include <QFileDialog>

namespace tamsel {

QString AskSaveAsName(QWidget* parent, const QString& startFolder)
{
    const QString filters = QStringLiteral(
        "*.bmp (*.bmp);;*.jpg (*.jpg);;*.pcx (*.pcx);;*.tga (*.tga);;*.ico (*.ico);;"
        "*.tif (*.tif);;*.png (*.png)");
    QFileDialog dialog(parent, QStringLiteral("照片另存"), startFolder, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog on every desktop: the same seven filters and no
    // extension quietly added by a platform dialog.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace tamsel
