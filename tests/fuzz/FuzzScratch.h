#pragma once
// The folder a fuzz target writes its files into.
#include <QDir>
#include <QString>

#include <cstdlib>

#include <unistd.h>

namespace tamsel::fuzz {

// A folder of this run's own, removed at exit; in memory where there is such
// a place, since the writers sync every file they write.
inline const QString& ScratchDir()
{
    static const QString* dir = [] {
        // scripts/fuzz hands each run a folder it removes afterwards (the
        // fuzzer may end without running exit handlers).
        if (const char* given = std::getenv("TAMSEL_FUZZ_SCRATCH"); given && *given)
            return new QString(QString::fromLocal8Bit(given));
        char tmpl[] = "/dev/shm/tamsel-fuzz-XXXXXX";
        char fallback[] = "/tmp/tamsel-fuzz-XXXXXX";
        const char* made = ::mkdtemp(tmpl);
        if (!made)
            made = ::mkdtemp(fallback);
        if (!made)
            std::abort();
        auto* path = new QString(QString::fromLocal8Bit(made));   // outlives the exit handler
        std::atexit([] { QDir(ScratchDir()).removeRecursively(); });
        return path;
    }();
    return *dir;
}

}  // namespace tamsel::fuzz
