#include "app/ui/SaveAsDialog.h"

#include "app/AlbumApp.h"

namespace tamsel {

QString AskSaveAsName(AlbumApp& app)
{
    const QString filters = QStringLiteral(
        "*.bmp (*.bmp);;*.jpg (*.jpg);;*.pcx (*.pcx);;*.tga (*.tga);;*.ico (*.ico);;"
        "*.tif (*.tif);;*.png (*.png)");
    return app.AskFiles(QStringLiteral("照片另存"), filters, true).value(0);
}

}  // namespace tamsel
