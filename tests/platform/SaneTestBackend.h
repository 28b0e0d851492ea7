#pragma once
// SANE's own "test" backend as the only scanner: a configuration folder
// whose dll.conf names it, made once and used by every scanner test.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace tamsel::testing {

inline void UseSaneTestBackend()
{
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir;   // lives as long as the process
        QFile f(d->filePath("dll.conf"));
        if (f.open(QIODevice::WriteOnly))
            f.write("test\n");
        f.close();
        // The backend's own settings file, empty: its built-in defaults.
        QFile t(d->filePath("test.conf"));
        if (t.open(QIODevice::WriteOnly))
            t.close();
        qputenv("SANE_CONFIG_DIR", d->path().toLocal8Bit());
        return d;
    }();
    (void)dir;
}

}  // namespace tamsel::testing
