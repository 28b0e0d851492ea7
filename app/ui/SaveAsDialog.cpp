#include "app/ui/SaveAsDialog.h"

#include "app/AlbumApp.h"
#include "imaging/ImageFormats.h"

namespace tamsel {

QString AskSaveAsName(AlbumApp& app)
{
    QStringList filters;
    for (const ImageFormat* f : OutputFormats())
        filters << QStringLiteral("*.%1 (*.%1)").arg(f->Ending());
    return app.AskFiles(QStringLiteral("照片另存"), filters.join(QStringLiteral(";;")), true).value(0);
}

}  // namespace tamsel
