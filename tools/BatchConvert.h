#pragma once
#include "model/Outcome.h"
#include "model/PhotoList.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace tamsel {

// The format list of both choosers, in order: position = format code of the
// image file library ("*.bmp" 0 ... "*.png" 6).
const QStringList& ConvertFormatEntries();
// The extension a format code writes ("bmp" for 0), "" for an unknown code.
QString FormatExtension(int code);

// The source chooser's list: the format list, then the phone and web formats
// ("*.heic", "*.avif", "*.webp") that only come in, each only when the image
// library installed can read it, then all of those at once
// ("*.heic;*.avif;*.webp") when there are several.
const QStringList& ConvertSourceEntries();
// The same, asking canRead whether the library reads a format (by its name
// in the library: "HEIC", "AVIF", "WEBP").
QStringList ConvertSourceEntries(const std::function<bool(const char* format)>& canRead);

// base name of source (without its last extension) + "." + the code's extension.
QString ConvertTargetName(const QString& source, int code);

// Where the converted files go and what becomes of the originals.
enum class ConvertMode {
    KeepBeside = 0,        // "保留原来照片"
    DeleteOriginals = 1,   // "删除原来照片"
    ToFolder = 2,          // "转换到文件夹:"
};

// What to do with a target name some other file already has.
enum class ExistingTargets { Skip, Overwrite };

struct ConvertPlan {
    QString sourceFolder;   // with a trailing "/"
    QString destFolder;     // with a trailing "/"
    int code = 0;
    ConvertMode mode = ConvertMode::KeepBeside;
    QStringList sources;    // source names in list order
    QStringList targets;    // one target name per source

    // Per source, why it is left alone whatever the user answers: its target
    // would be the source itself, or another source of the batch has the same
    // target name. Empty when it is to be converted.
    QStringList passOver;
    // Sources whose target name is already held by another file.
    QList<int> existing;

    bool Empty() const { return sources.isEmpty(); }
};

// The sources of folder for the source chooser's entry (its position in
// ConvertSourceEntries(), the format code for the album's formats).
FolderListing ListConvertSources(const QString& folder, int sourceIndex);
// The entry of the phone format the folder holds most photos of (the first
// in the list on a tie), -1 when it holds none.
int MostPhonePhotosEntry(const QString& folder);

ConvertPlan PlanConversion(const QString& sourceFolder, const QStringList& sources, int code,
                           ConvertMode mode, const QString& destFolder);

struct ConvertHooks {
    // Called as each file is taken up, with the files finished so far, the
    // number in all and the source's name; from worker threads, one at a time.
    std::function<void(int done, int total, const QString& current)> progress;
    // Set to stop: the files in flight are finished, no new one is begun.
    const std::atomic<bool>* cancel = nullptr;
    // Worker threads; 0 for one per core.
    int workers = 0;
};

struct ConvertReport {
    int converted = 0;
    int deleted = 0;            // originals removed after their copy was verified
    QStringList skipped;        // "name (reason)" per file left unconverted
    QStringList keptOriginals;  // "name (reason)": converted, but the original could not go
    int notStarted = 0;         // left out by a cancel
    bool cancelled = false;
    bool touchedSource = false; // some file of the source folder was added or removed
    bool touchedDest = false;   // some file of the destination folder was added
};

// Converts the plan's files on a pool of workers. Every target is written
// under a temporary name and renamed into place only when whole, so a failure
// or a cancel never leaves a partial file. Under DeleteOriginals a source is
// removed only after its copy has been read back as the same picture.
ConvertReport RunConversion(const ConvertPlan& plan, ExistingTargets existing, const ConvertHooks& hooks = {});

// "已转换 n 张，跳过 m 张: …" for the info label.
Outcome Summarise(const ConvertReport& report);

}  // namespace tamsel
