#pragma once
#include <QString>

namespace tamsel {

// The folder of the running executable, "" when the system will not say.
QString ExecutableDir();

// Where the program finds its own files and writes the few it keeps.
struct AppPaths {
    QString programDir;   // installation files; no trailing separator
    QString dataFile;     // the album data file tamsel.tmf
    // The working folder earlier versions made for this process. The album
    // keeps its pictures in memory and makes none; the name only keeps
    // another run's sweep away from a folder this process might hold.
    QString workDir;
    QString wallpaper;    // the desktop wallpaper copy; outlives the process

    // Program directory & "/" & name.
    QString InProgramDir(const QString& name) const { return programDir + "/" + name; }

    // TAMSEL_HOME, else the executable's folder when it holds the installation's
    // files (a build tree or a portable copy), else the installed data folder.
    static AppPaths Resolve();
    // Everything derived from a given program directory (tests use this).
    static AppPaths ForProgramDir(const QString& programDir);

    // Removes the working folders that runs of this user which ended without
    // cleaning up left behind; returns how many went.
    int RemoveStaleWorkDirs() const;
};

}  // namespace tamsel
