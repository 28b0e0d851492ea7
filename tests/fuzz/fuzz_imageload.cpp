// The photo loaders, fed any bytes under every album extension: the decode
// the album shows photos by (DecodePicture: its own readers or the image file
// library, into memory), the library's handle and the BMP it writes, and the
// album's JPEG fast path (ReadJpeg) whatever the name. Nothing may crash, and
// the limits must keep every input quick and small. The first byte picks the
// extension.
#include "imaging/Decode.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "imaging/JpegReader.h"

#include "FuzzScratch.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <cstdint>
#include <cstdlib>

#include <unistd.h>

using namespace tamsel;

using fuzz::ScratchDir;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Qt's warnings about odd file names would only flood the terminal.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // One thread: runs stay comparable, and the machine is shared.
    ::setenv("MAGICK_THREAD_LIMIT", "1", 1);
    ::setenv("OMP_NUM_THREADS", "1", 1);
    InitImageLibrary();
    // A decode that would go on for long (a drawing of many large steps) is
    // given up by its watch, as in the album but sooner: each input has a
    // second for all its decodes together.
    SetDecodeTimeLimit(std::chrono::milliseconds(150));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QString path = ScratchDir() + "/photo." + AlbumExtensions().at(data[0] % AlbumExtensions().size());
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    DecodePicture(path);
    SaveImageFile(LoadImageFile(path), ScratchDir() + "/written.bmp", kBmp);
    ReadJpeg(path);
    return 0;
}
