// Show scripts and the album data file, read from any bytes: reading must
// never crash or hang, and what was read must survive writing: read, write,
// read, write gives the same bytes from the first write on.
#include "album/ShowScript.h"
#include "model/AlbumState.h"
#include "model/PhotoList.h"

#include "FuzzScratch.h"
#include "imaging/ImageFormats.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

using namespace tamsel;

namespace {

using fuzz::ScratchDir;

QString Scratch(const char* name) { return ScratchDir() + "/" + name; }

QByteArray Slurp(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Qt's warnings about odd file names (a folder record holding a NUL)
    // would only flood the terminal.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = Scratch("input.tms");
    {
        QFile f(input);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    PhotoList list{AlbumExtensions()};
    const ScriptRead first = ReadScript(input, AlbumState(), list);
    if (!first.outcome)
        return 0;
    const QString once = Scratch("once.tms"), twice = Scratch("twice.tms");
    if (!SaveScript(once, first.state, list))
        std::abort();
    PhotoList again{AlbumExtensions()};
    const ScriptRead second = ReadScript(once, AlbumState(), again);
    if (!second.outcome)
        std::abort();   // what the writer wrote, the reader must take
    if (!SaveScript(twice, second.state, again))
        std::abort();
    const QByteArray a = Slurp(once), b = Slurp(twice);
    if (a != b) {
        std::fprintf(stderr, "round trip differs:\n--- first write\n%s\n--- second write\n%s\n",
                     a.toHex(' ').constData(), b.toHex(' ').constData());
        std::abort();
    }
    return 0;
}
