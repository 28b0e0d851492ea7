#include "app/ui/SaveAsDialog.h"

#include "app/AlbumApp.h"
#include "imaging/ImageFile.h"

namespace tamsel {

QString AskSaveAsName(AlbumApp& app)
{
    QStringList filters;
    for (const OutputFormat& f : OutputFormats())
        filters << QStringLiteral("*.%1 (*.%1)").arg(QLatin1String(f.ending));
    return app.AskFiles(QStringLiteral("照片另存"), filters.join(QStringLiteral(";;")), true).value(0);
}

}  // namespace tamsel
