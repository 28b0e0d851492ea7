#pragma once
#include <QString>

namespace tamsel {

// The folder of the running executable, "" when the system will not say.
QString ExecutableDir();

// Where the program finds its own files and keeps its working files.
struct AppPaths {
    QString programDir;   // installation files; no trailing separator
    QString dataFile;     // the album data file tamsel.tmf
    QString workDir;      // this process's working folder
    QString wallpaper;    // the desktop wallpaper copy; outlives the process

    // Program directory & "/" & name.
    QString InProgramDir(const QString& name) const { return programDir + "/" + name; }

    // TAMSEL_HOME, else the executable's folder when it holds the installation's
    // files (a build tree or a portable copy), else the installed data folder.
    static AppPaths Resolve();
    // Everything derived from a given program directory (tests use this).
    static AppPaths ForProgramDir(const QString& programDir);

    // Creates the working folder, for this user alone; returns false when
    // that is impossible or a folder of its name is not this user's own.
    bool EnsureWorkDir() const;
    // Removes the working folders that runs of this user which ended without
    // cleaning up left behind; returns how many went.
    int RemoveStaleWorkDirs() const;
    // Removes the working files and the working folder; a missing file is fine.
    void RemoveWorkFiles() const;
};

}  // namespace tamsel
