#include "imaging/HeifReader.h"

#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>

namespace tamsel {

namespace {

// Beside the executable first (the build tree, a copy carried around), then
// where the installation puts it.
QStringList ModuleCandidates()
{
    QStringList candidates;
    if (const QString exeDir = ExecutableDir(); !exeDir.isEmpty())
        candidates << exeDir + '/' + QLatin1String(kHeifModuleFile);
    candidates << QStringLiteral(TAMSEL_INSTALLED_MODULE_DIR "/") + QLatin1String(kHeifModuleFile);
    return candidates;
}

}  // namespace

const HeifModule* LoadHeifModule()
{
    static const HeifModule* module = [] () -> const HeifModule* {
        for (const QString& path : ModuleCandidates()) {
            if (!QFileInfo(path).isFile())
                continue;
            // Never closed: its decoders stay registered with libheif and its
            // pictures may outlive any caller.
            void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
            if (!handle)
                continue;
            using Entry = const HeifModule* (*)();
            if (auto entry = reinterpret_cast<Entry>(dlsym(handle, kHeifModuleEntry)))
                return entry();
        }
        return nullptr;
    }();
    return module;
}

bool CanDecodeHeif(HeifCoding coding)
{
    const HeifModule* module = LoadHeifModule();
    return module && module->canDecode(coding);
}

std::optional<HeifPicture> ReadHeif(const QByteArray& file, HeifCoding likely,
                                    const std::function<bool(uint64_t w, uint64_t h)>& sizeAllowed, QSize atMost)
{
    const HeifModule* module = LoadHeifModule();
    return module ? module->read(file, likely, sizeAllowed, atMost) : std::nullopt;
}

}  // namespace tamsel
