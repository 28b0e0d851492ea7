#include "album/ShowScript.h"

#include "model/AlbumState.h"
#include "model/PhotoList.h"
#include "platform/Gbk.h"
#include "platform/SafeOpen.h"
#include "platform/SafeWrite.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <optional>

namespace tamsel {
namespace {

constexpr int64_t kInt16Min = std::numeric_limits<int16_t>::min();
constexpr int64_t kInt16Max = std::numeric_limits<int16_t>::max();
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

class Writer {
public:
    void Number(int64_t v) { out_ += QByteArray::number(v) + "\r\n"; }
    void String(const QString& s)
    {
        // A record is one line: line breaks typed into a caption become spaces.
        QString text = s;
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        text.replace('\r', ' ');
        text.replace('\n', ' ');
        out_ += '"' + ToGbk(text) + "\"\r\n";
    }
    const QByteArray& Bytes() const { return out_; }

private:
    QByteArray out_;
};

// The records of a script, one per line, with a cursor.
class Reader {
public:
    explicit Reader(QByteArray bytes)
    {
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        lines_ = bytes.split('\n');
        // A final line break leaves one empty piece that is no record.
        if (!lines_.isEmpty() && lines_.last().isEmpty())
            lines_.removeLast();
        for (QByteArray& l : lines_)
            if (l.endsWith('\r'))
                l.chop(1);
    }

    // Each read consumes one record, whether or not it converts.
    std::optional<int64_t> Number(int64_t lo, int64_t hi)
    {
        const std::optional<QByteArray> line = Next();
        if (!line)
            return std::nullopt;
        const QByteArray t = line->trimmed();
        bool ok = false;
        const qlonglong v = t.toLongLong(&ok, 10);
        if (!ok || t.startsWith('+') || v < lo || v > hi) {
            damaged_ = true;
            return std::nullopt;
        }
        return v;
    }
    std::optional<QString> String()
    {
        const std::optional<QByteArray> line = Next();
        if (!line)
            return std::nullopt;
        // The text runs from the first to the last quote, so a quote inside a
        // string (which the album never writes) cannot shift later records.
        const qsizetype first = line->indexOf('"');
        const qsizetype last = line->lastIndexOf('"');
        if (first < 0 || last <= first) {
            damaged_ = true;
            return std::nullopt;
        }
        return FromGbk(line->mid(first + 1, last - first - 1));
    }

    // Records not yet read. Every count in the file is held against this, so
    // a count that lies can neither make a loop run on for nothing nor pull
    // later records into the wrong field.
    qsizetype Remaining() const { return lines_.size() - pos_; }
    // A record was missing or could not be read.
    bool Damaged() const { return damaged_; }
    void MarkDamaged() { damaged_ = true; }

private:
    std::optional<QByteArray> Next()
    {
        if (pos_ >= lines_.size()) {
            damaged_ = true;
            return std::nullopt;
        }
        return lines_.at(pos_++);
    }
    QList<QByteArray> lines_;
    qsizetype pos_ = 0;
    bool damaged_ = false;
};

template <typename T, typename V>
void Assign(T& target, const std::optional<V>& v)
{
    if (v)
        target = static_cast<T>(*v);
}

}  // namespace

int CaptionRecordCount(const AlbumState& state, const PhotoList& photos)
{
    const int n = photos.Count();
    // Captions beyond the photos are kept only while the folder is away (an
    // unplugged card, a share not mounted): when it is there and simply holds
    // fewer photos, old captions would turn up on whatever photos are added
    // later at those places.
    const QString& folder = photos.Folder();
    if (folder.isEmpty() || QFileInfo(folder).isDir())
        return n;
    for (int i = int(state.PhotoCaption.size()) - 1; i >= n; --i)
        if (!state.PhotoCaption.at(i).isEmpty())
            return i + 1;
    return n;
}

Outcome SaveScript(const QString& path, const AlbumState& s, const PhotoList& photos)
{
    Writer w;
    w.Number(s.ShowWidth);
    w.Number(s.ShowHeight);
    w.Number(s.ShowBackColor);
    w.Number(s.LoopShow);
    w.Number(s.RotateAngle);
    w.Number(s.FrameType);
    w.String(s.CapFontName);
    w.Number(s.CapFontSize);
    w.Number(s.CapFontColor);
    w.Number(s.CapPos);
    w.String(photos.Folder());
    const int n = CaptionRecordCount(s, photos);
    w.Number(n);
    for (int i = 0; i < n; ++i)
        w.String(s.CaptionOf(i));
    w.Number(s.PauseSecs);
    w.Number(s.FrameDelayMs);
    w.Number(s.TransMode);
    w.Number(s.MusicOn);
    const int m = s.MusicCount();
    w.Number(m);
    for (int i = 0; i < m; ++i)
        w.String(s.MusicList[size_t(i)]);
    w.String(s.CoverFile);

    const Outcome written = WriteFileWhole(path, w.Bytes());
    if (!written)
        return Outcome::Failed(QStringLiteral("  ") + written.message);
    return written;
}

ScriptRead ReadScript(const QString& path, const AlbumState& current, PhotoList& list)
{
    ScriptRead read{Outcome::Done(), current};
    const auto refuse = [&read](const QString& message) {
        read.outcome = Outcome::Failed(message);
        return read;
    };
    QFile file;
    switch (OpenRegularFile(path, file)) {
    case OpenResult::Opened:
        break;
    case OpenResult::NotAFile:
        return refuse(QStringLiteral("  %1 不是普通文件,未能打开").arg(path));
    default:
        return refuse(QStringLiteral("  无法打开脚本文件 %1").arg(path));
    }
    // No script comes near this; a larger file is not one.
    constexpr qint64 kMaxScriptBytes = 64 * 1024 * 1024;
    if (file.size() > kMaxScriptBytes)
        return refuse(QStringLiteral("  脚本文件已损坏,未能打开: %1").arg(QFileInfo(path).fileName()));
    Reader in(file.readAll());
    file.close();

    // Records 1 to 12 must all be there and well formed before anything changes.
    const auto width = in.Number(1, kInt16Max);
    const auto height = in.Number(1, kInt32Max);
    const auto backColor = in.Number(kInt32Min, kInt32Max);
    const auto loop = in.Number(kInt16Min, kInt16Max);
    const auto rotate = in.Number(kInt16Min, kInt16Max);
    const auto frame = in.Number(kInt16Min, kInt16Max);
    const auto fontName = in.String();
    const auto fontSize = in.Number(kInt16Min, kInt16Max);
    const auto fontColor = in.Number(kInt32Min, kInt32Max);
    const auto capPos = in.Number(kInt16Min, kInt16Max);
    const auto folder = in.String();
    // The writer writes the album's real photo count, which no 16-bit limit
    // holds back: an album of 40,000 photos must come back as it was saved.
    const auto count = in.Number(0, kInt32Max);
    if (!width || !height || !backColor || !loop || !rotate || !frame || !fontName || !fontSize ||
        !fontColor || !capPos || !folder || !count) {
        return refuse(QStringLiteral("  脚本文件已损坏,未能打开: %1").arg(QFileInfo(path).fileName()));
    }
    AlbumState& state = read.state;
    state.ShowWidth = int(*width);
    state.ShowHeight = int32_t(*height);
    state.ShowBackColor = 0;   // kept in the file, never taken from it
    state.LoopShow = int(*loop);
    state.RotateAngle = int(*rotate);
    state.FrameType = int(*frame);
    state.CapFontName = *fontName;
    state.CapFontSize = int(*fontSize);
    state.CapFontColor = int32_t(*fontColor);
    state.CapPos = int(*capPos);
    const int n = int(*count);

    // The list keeps the folder as the script names it, listed or not: c is
    // its photo count, 0 when it is not there.
    const bool folderMissing = !list.Point(*folder) && !folder->isEmpty();
    const int c = list.Count();

    // A count larger than the lines that follow is a damaged file: only the
    // captions that are there take room.
    const int captionLines = int(std::min<qsizetype>(n, in.Remaining()));
    state.PhotoCaption = QStringList();
    state.PhotoCaption.resize(std::max(c, captionLines) + 1);
    if (captionLines < n)
        in.MarkDamaged();
    for (int i = 0; i < captionLines; ++i)
        Assign(state.PhotoCaption[i], in.String());

    Assign(state.PauseSecs, in.Number(kInt16Min, kInt16Max));
    Assign(state.FrameDelayMs, in.Number(kInt16Min, kInt16Max));
    Assign(state.TransMode, in.Number(kInt16Min, kInt16Max));
    Assign(state.MusicOn, in.Number(kInt32Min, kInt32Max));
    // The tunes are the lines between the count and the cover, the last
    // record: a count larger than that (or one that cannot be read) takes only
    // the lines that are there, and the cover stays the cover. Only 64 tunes
    // fit; the others are passed over, and the user is told.
    const auto tuneCount = in.Number(0, kInt32Max);
    const int64_t m = tuneCount ? *tuneCount : std::max<qsizetype>(in.Remaining() - 1, 0);
    const int64_t tuneLines = std::min<int64_t>(m, std::max<qsizetype>(in.Remaining() - 1, 0));
    if (tuneLines < m)
        in.MarkDamaged();
    const int kept = int(std::min<int64_t>(tuneLines, kMaxTunes));
    for (int i = 0; i < kept; ++i)
        Assign(state.MusicList[size_t(i)], in.String());
    for (int64_t i = kept; i < tuneLines; ++i)
        in.String();
    state.MusicList[size_t(kept)].clear();
    Assign(state.CoverFile, in.String());

    QStringList notes;
    if (folderMissing)
        notes << QStringLiteral("照片文件夹不存在: %1").arg(*folder);
    if (tuneLines > kept)
        notes << QStringLiteral("音乐列表最多 %1 首,另 %2 首未读入").arg(kMaxTunes).arg(tuneLines - kept);
    if (in.Damaged())
        notes << QStringLiteral("脚本文件不完整,缺少的设置保持原值");
    read.damaged = in.Damaged();
    if (!notes.isEmpty())
        read.outcome = Outcome::Done("  " + notes.join(QStringLiteral("；")));
    return read;
}

}  // namespace tamsel
