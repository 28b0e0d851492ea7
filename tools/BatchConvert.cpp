#include "tools/BatchConvert.h"

#include "imaging/ImageFile.h"
#include "imaging/ImageFormats.h"
#include "model/PhotoList.h"
#include "tools/BatchFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <Magick++.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamsel {

const QStringList& ConvertFormatEntries()
{
    static const QStringList entries = [] {
        QStringList e;
        for (const ImageFormat* f : OutputFormats())
            e << QStringLiteral("*.") + f->Ending();
        return e;
    }();
    return entries;
}

QString FormatExtension(int code) { return OutputEnding(code); }

QString ConvertTargetName(const QString& source, int code)
{
    const int dot = int(source.lastIndexOf('.'));
    return (dot < 0 ? source : source.left(dot)) + '.' + FormatExtension(code);
}

QStringList ConvertSourceEntries(const std::function<bool(const char* format)>& canRead)
{
    QStringList entries = ConvertFormatEntries();
    QStringList phone;
    for (const ImageFormat* f : PhoneFormats())
        if (canRead(f->decoder))
            phone.push_back(QStringLiteral("*.") + f->Ending());
    entries += phone;
    // A phone's folder mixes them (photos HEIC, saved pictures WebP): all of
    // them at once is one entry.
    if (phone.size() > 1)
        entries.push_back(phone.join(';'));
    return entries;
}

const QStringList& ConvertSourceEntries()
{
    static const QStringList entries = ConvertSourceEntries([](const char* decoder) {
        for (const ImageFormat* f : PhoneFormats())
            if (std::string_view(f->decoder) == decoder)
                return CanRead(*f);
        return false;
    });
    return entries;
}

FolderListing ListConvertSources(const QString& folder, int sourceIndex)
{
    const QStringList& entries = ConvertSourceEntries();
    if (sourceIndex < 0 || sourceIndex >= entries.size())
        return FolderListing{};
    // The album's formats by the ending the list shows; a phone format by
    // every ending it has (phones name the same format .heic or .heif).
    QStringList endings;
    for (const QString& entry : entries.at(sourceIndex).split(';')) {
        const QString ext = entry.mid(2);
        const ImageFormat* format = FormatWithEnding(ext);
        endings += format && format->Is(kPhonePhoto) ? format->Endings() : QStringList{ext};
    }
    return ListBatchFiles(folder, endings);
}

int MostPhonePhotosEntry(const QString& folder)
{
    const QStringList& entries = ConvertSourceEntries();
    int best = -1, most = 0;
    for (int i = ConvertFormatEntries().size(); i < entries.size(); ++i) {
        if (entries.at(i).contains(';'))
            continue;
        if (const int n = int(ListConvertSources(folder, i).names.size()); n > most) {
            best = i;
            most = n;
        }
    }
    return best;
}

namespace {

bool SameFile(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void SetModified(const QString& path, const QDateTime& when)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(when.toSecsSinceEpoch()), 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

bool IsWriteProtected(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 0222) == 0;
}

}  // namespace

ConvertPlan PlanConversion(const QString& sourceFolder, const QStringList& sources, int code,
                           ConvertMode mode, const QString& destFolder)
{
    ConvertPlan plan;
    plan.sourceFolder = WithTrailingSlash(sourceFolder);
    plan.destFolder = WithTrailingSlash(mode == ConvertMode::ToFolder ? destFolder : sourceFolder);
    plan.code = code;
    plan.mode = mode;
    plan.sources = sources;
    const bool oneFolder = SameFolder(plan.sourceFolder, plan.destFolder);

    QHash<QString, QString> firstWithTarget;   // target key -> source that claimed it
    QSet<QString> present;
    for (const QString& n : ListAllNames(plan.destFolder))
        present.insert(NameKey(n));
    for (int i = 0; i < sources.size(); ++i) {
        const QString& src = sources.at(i);
        const QString target = ConvertTargetName(src, code);
        plan.targets.push_back(target);
        const QString key = NameKey(target);
        QString why;
        // Same format into the same folder: writing would replace the photo by
        // a copy of itself (a lossy one for JPEG), and deleting would lose it.
        if ((oneFolder && key == NameKey(src)) ||
            SameFile(plan.sourceFolder + src, plan.destFolder + target))
            why = QStringLiteral("与原照片是同一文件");
        else if (firstWithTarget.contains(key))
            why = QStringLiteral("与 %1 转换后重名").arg(firstWithTarget.value(key));
        else
            firstWithTarget.insert(key, src);
        plan.passOver.push_back(why);
        if (why.isEmpty() && present.contains(key))
            plan.existing.push_back(i);
    }
    return plan;
}

namespace {

// The image library spreads its own pixel loops over every core; with one
// worker per core that only adds contention, so it runs single-threaded
// while the pool works.
class SingleThreadedImageLibrary {
public:
    SingleThreadedImageLibrary()
    {
        InitImageLibrary();
        saved_ = MagickCore::GetMagickResourceLimit(MagickCore::ThreadResource);
        MagickCore::SetMagickResourceLimit(MagickCore::ThreadResource, 1);
    }
    ~SingleThreadedImageLibrary() { MagickCore::SetMagickResourceLimit(MagickCore::ThreadResource, saved_); }
    SingleThreadedImageLibrary(const SingleThreadedImageLibrary&) = delete;
    SingleThreadedImageLibrary& operator=(const SingleThreadedImageLibrary&) = delete;

private:
    MagickCore::MagickSizeType saved_;
};

struct FileResult {
    enum State { NotStarted, Converted, Skipped } state = NotStarted;
    QString why;          // for Skipped, or for a kept original
    bool deleted = false;
    bool keptOriginal = false;
};

class Converter {
public:
    Converter(const ConvertPlan& plan, ExistingTargets existing)
        : plan_(plan),
          overwrite_(existing == ExistingTargets::Overwrite),
          existing_(plan.existing.cbegin(), plan.existing.cend()),
          token_(QString::number(QRandomGenerator::global()->generate64(), 36))
    {
    }

    FileResult Convert(int i) const
    {
        FileResult r;
        r.state = FileResult::Skipped;
        if (!plan_.passOver.at(i).isEmpty()) {
            r.why = plan_.passOver.at(i);
            return r;
        }
        const bool replaces = existing_.contains(i);
        if (replaces && !overwrite_) {
            r.why = QStringLiteral("已有同名文件");
            return r;
        }
        const QString src = plan_.sourceFolder + plan_.sources.at(i);
        const QString dst = plan_.destFolder + plan_.targets.at(i);

        ImageHandle image = LoadImageFile(src);
        if (!image.IsValid()) {
            r.why = QStringLiteral("无法读取");
            return r;
        }
        const int w = image.Width(), h = image.Height();
        const QDateTime taken = image.TakenAt();
        // Hidden and not a photo, so no list shows it while it is written.
        SafeWrite out(dst, QStringLiteral(".tamsel-convert-%1-%2.part").arg(token_).arg(i));
        auto unwritten = [&] {
            return out.Error() ? QStringLiteral("无法写入: ") + ErrorText(out.Error()) : QStringLiteral("无法写入");
        };
        if (!WriteImageFile(std::move(image), out, plan_.code)) {
            r.why = unwritten();
            return r;
        }
        const bool deleting = plan_.mode == ConvertMode::DeleteOriginals;
        if (deleting) {
            // The original goes only when its copy reads back as the same picture.
            const ImageHandle back = LoadImageFile(out.TempPath());
            if (!back.IsValid() || back.Width() != w || back.Height() != h) {
                r.why = QStringLiteral("写出的文件读不回");
                return r;
            }
        }
        // The copy is dated when the photo was taken, as the original was
        // by the camera, so it sorts and reads by that date.
        if (taken.isValid())
            SetModified(out.TempPath(), taken);
        if (!out.Commit(replaces)) {
            r.why = unwritten();
            return r;
        }
        r.state = FileResult::Converted;
        if (deleting) {
            if (IsWriteProtected(src)) {
                r.keptOriginal = true;
                r.why = QStringLiteral("只读");
            } else if (::unlink(QFile::encodeName(src).constData()) == 0) {
                r.deleted = true;
            } else {
                r.keptOriginal = true;
                r.why = ErrorText(errno);
            }
        }
        return r;
    }

private:
    const ConvertPlan& plan_;
    const bool overwrite_;
    const QSet<int> existing_;
    const QString token_;
};

}  // namespace

ConvertReport RunConversion(const ConvertPlan& plan, ExistingTargets existing, const ConvertHooks& hooks)
{
    ConvertReport report;
    const int total = int(plan.sources.size());
    if (total == 0)
        return report;
    RemoveLeftoverTempFiles(plan.destFolder);
    SingleThreadedImageLibrary single;
    const Converter converter(plan, existing);
    std::vector<FileResult> results(static_cast<size_t>(total));
    std::atomic<int> next{0};
    std::mutex lock;
    int finished = 0;

    auto work = [&] {
        for (;;) {
            if (hooks.cancel && hooks.cancel->load())
                return;
            const int i = next.fetch_add(1);
            if (i >= total)
                return;
            if (hooks.progress) {
                const std::lock_guard<std::mutex> g(lock);
                hooks.progress(finished, total, plan.sources.at(i));
            }
            FileResult r = converter.Convert(i);
            const std::lock_guard<std::mutex> g(lock);
            results[size_t(i)] = std::move(r);
            ++finished;
        }
    };
    int workers = hooks.workers > 0 ? hooks.workers : int(std::thread::hardware_concurrency());
    workers = std::clamp(workers, 1, total);
    std::vector<std::thread> pool;
    for (int t = 1; t < workers; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();

    for (int i = 0; i < total; ++i) {
        const FileResult& r = results[size_t(i)];
        const QString& name = plan.sources.at(i);
        switch (r.state) {
        case FileResult::NotStarted:
            ++report.notStarted;
            break;
        case FileResult::Skipped:
            report.skipped.push_back(QStringLiteral("%1 (%2)").arg(name, r.why));
            break;
        case FileResult::Converted:
            ++report.converted;
            report.touchedDest = true;
            report.touchedSource = report.touchedSource || r.deleted;
            if (r.deleted)
                ++report.deleted;
            if (r.keptOriginal)
                report.keptOriginals.push_back(QStringLiteral("%1 (%2)").arg(name, r.why));
            break;
        }
    }
    report.cancelled = report.notStarted > 0;
    if (report.touchedDest && SameFolder(plan.sourceFolder, plan.destFolder))
        report.touchedSource = true;
    return report;
}

Outcome Summarise(const ConvertReport& r)
{
    QString text = r.cancelled ? QStringLiteral("已取消: 已转换 %1 张，未转换 %2 张").arg(r.converted).arg(r.notStarted)
                               : QStringLiteral("已转换 %1 张").arg(r.converted);
    if (r.deleted > 0)
        text += QStringLiteral("，删除原照片 %1 张").arg(r.deleted);
    if (!r.skipped.isEmpty())
        text += QStringLiteral("，跳过 %1 张: %2").arg(r.skipped.size()).arg(ShortList(r.skipped, 3));
    if (!r.keptOriginals.isEmpty())
        text += QStringLiteral("；保留原照片 %1 张: %2").arg(r.keptOriginals.size()).arg(ShortList(r.keptOriginals, 3));
    if (r.cancelled || !r.skipped.isEmpty())
        return Outcome::Failed(text);
    return Outcome::Done(text);
}

}  // namespace tamsel
