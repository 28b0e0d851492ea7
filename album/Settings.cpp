#include "album/Settings.h"

#include "imaging/Decode.h"
#include "imaging/ImageFormats.h"
#include "model/AlbumState.h"
#include "platform/Rounding.h"

#include <QColor>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <optional>

namespace tamsel {

namespace {

// A text box holding a whole number in plain digits (spaces around allowed).
// Digits too many to fit are read as max: the caller clamps or refuses them.
std::optional<long long> ReadWhole(const QString& text, long long max)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || !std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    return ok ? std::min(v, max) : max;
}

QString FileName(const QString& path) { return QFileInfo(path).fileName(); }

// A tune's line in the list: its name without folder and extension, as the
// music label names it.
QString TuneLine(const QString& path) { return QStringLiteral(" ") + QFileInfo(path).completeBaseName(); }

}  // namespace

QStringList SplitSelection(const QStringList& chosen)
{
    QStringList out;
    for (auto it = chosen.crbegin(); it != chosen.crend(); ++it)
        if (!it->isEmpty())
            out << *it;
    return out;
}

QColor ColorFromRef(int32_t ref) { return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF); }

int32_t ColorRef(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QImage LoadPreview(const QString& path, QSize box)
{
    // Only plain files: a pipe or device named like a picture would hang the reader.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImage img;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (reader.canRead()) {
        const QSize size = reader.size();
        if (size.isValid() && box.isValid())
            reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        img = reader.read();
    }
    if (img.isNull()) {
        // The formats only the image file library reads, as the album shows them.
        if (Decoded decoded = DecodePicture(path); decoded.IsPicture())
            img = decoded.picture.ToQImage();
        if (!img.isNull() && box.isValid())
            img = img.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return img;
}

SettingsForm::SettingsForm(const AlbumState& album, const PhotoList& albumPhotos, SettingsSink apply)
    : captionText(QString::fromUtf8(kSampleCaption)),
      state_(album),
      albumPhotos_(albumPhotos),
      apply_(std::move(apply)),
      photos_(AlbumExtensions(), PhoneExtensions())
{
}

void SettingsForm::Change(const std::function<void(AlbumState&)>& edit)
{
    AlbumState next = state_;
    edit(next);
    if (apply_)
        apply_(next);
}

Outcome SettingsForm::Load(QSize previewBox)
{
    faces = {state_.CapFontName};
    faceIndex = 0;
    textColor = state_.CapFontColor;
    coverPreview = LoadPreview(state_.CoverFile, previewBox);
    if (coverPreview.isNull())
        return Outcome::Done(QStringLiteral("封面图片无法读取: %1").arg(FileName(state_.CoverFile)));
    return Outcome::Done();
}

bool SettingsForm::Activate()
{
    widthText = openedWidthText_ = QString::number(state_.ShowWidth);
    heightText = openedHeightText_ = QString::number(state_.ShowHeight);
    backColor = state_.ShowBackColor;
    frameChoice = state_.FrameType;
    pauseText = QString::number(state_.PauseSecs);
    frameDelayText = QString::number(state_.FrameDelayMs);
    photos_.Point(albumPhotos_.Folder());   // a folder that is gone lists nothing
    selectedPhoto = -1;
    transMode = 0;
    if (!state_.PhotoCaption.isEmpty())
        captionText = state_.PhotoCaption.constFirst();
    const bool musicClicked = musicBox != (state_.MusicOn != 0);
    if (musicClicked)
        SetMusicOn(state_.MusicOn != 0);
    tuneLines.clear();
    for (int k = 0; k < kMaxTunes && !state_.MusicList[size_t(k)].isEmpty(); ++k)
        tuneLines << TuneLine(state_.MusicList[size_t(k)]);
    return musicClicked;
}

Outcome SettingsForm::ChooseCover(const QString& path, QSize previewBox)
{
    QImage img = LoadPreview(path, previewBox);
    if (img.isNull())
        return Outcome::Failed(QStringLiteral("无法读取图片 %1,封面未更改").arg(FileName(path)));
    coverPreview = std::move(img);
    Change([&path](AlbumState& s) { s.CoverFile = path; });
    return Outcome::Done();
}

void SettingsForm::SetCaptionPosition(int i)
{
    if (i >= 0 && i <= 8)
        Change([i](AlbumState& s) { s.CapPos = i; });
}

void SettingsForm::BeginFontChoice()
{
    if (holdPaint)
        holdPaint(true);
}

void SettingsForm::ApplyFont(const FontChoice& f)
{
    faces << f.face;
    faceIndex = int(faces.size()) - 1;
    textColor = f.colour;
    Change([&f](AlbumState& s) {
        s.CapFontName = f.face;
        s.CapFontSize = std::clamp(RoundHalfEven(f.size), kMinCapFontSize, kMaxCapFontSize);
        s.CapFontColor = f.colour;
    });
    if (holdPaint)
        holdPaint(false);
}

void SettingsForm::SetMusicOn(bool on)
{
    musicBox = on;
    Change([on](AlbumState& s) {
        s.MusicOn = on ? 1 : 0;
        if (on)
            s.MusicTrack = 0;
    });
}

void SettingsForm::SetMusicLoop(bool on)
{
    loopBox = on;
    Change([on](AlbumState& s) {
        s.MusicLoop = on ? 1 : 0;
        s.MusicTrack = on ? 0 : kNoTune;
    });
}

int SettingsForm::AddTunes(const QStringList& chosen)
{
    int left = 0;
    auto list = state_.MusicList;
    for (const QString& path : SplitSelection(chosen)) {
        const int count = int(tuneLines.size());
        if (count >= kMaxTunes) {
            ++left;
            continue;
        }
        list[size_t(count)] = path;
        tuneLines << TuneLine(path);
    }
    list[size_t(tuneLines.size())].clear();
    Change([&list](AlbumState& s) { s.MusicList = list; });
    return left;
}

bool SettingsForm::DeleteTune(int s)
{
    if (s < 0 || s >= tuneLines.size())
        return false;
    tuneLines.removeAt(s);
    bool off = false;
    if (musicBox && tuneLines.isEmpty()) {
        SetMusicOn(false);
        off = true;
    }
    const int lines = int(tuneLines.size());
    Change([s, lines](AlbumState& next) {
        for (int i = s; i < lines; ++i)
            next.MusicList[size_t(i)] = next.MusicList[size_t(i + 1)];
        next.MusicList[size_t(lines)].clear();
    });
    return off;
}

void SettingsForm::SelectPhoto(int i)
{
    if (i < 0 || i >= photos_.Count())
        return;
    selectedPhoto = i;
    if (i < state_.PhotoCaption.size())
        captionText = state_.PhotoCaption.at(i);
}

bool SettingsForm::LinkCaption()
{
    const int i = selectedPhoto;
    if (allPhotos || i < 0 || i >= photos_.Count())
        return false;
    Change([i, this](AlbumState& s) {
        while (s.PhotoCaption.size() <= i)
            s.PhotoCaption << QString();
        s.PhotoCaption[i] = captionText;
    });
    return true;
}

SettingsForm::Applied SettingsForm::Ok()
{
    Applied a;
    const auto refuse = [&a](Field f, const char* why) {
        a.outcome = Outcome::Failed(QString::fromUtf8(why));
        a.badField = f;
        return a;
    };
    // Everything is checked before anything is stored, so a refused form
    // leaves the album as it was. Sizes beyond the limits are clamped; a pause
    // or delay a show script could not hold is refused.
    const auto w = ReadWhole(widthText, kMaxShowWidth);
    const auto h = ReadWhole(heightText, kMaxShowHeight);
    const auto pause = ReadWhole(pauseText, kMaxTiming + 1LL);
    const auto delay = ReadWhole(frameDelayText, kMaxTiming + 1LL);
    if (!w)
        return refuse(Field::Width, "宽度应为整数(400 到 782)");
    if (!h)
        return refuse(Field::Height, "高度应为整数(288 到 478)");
    if (!pause || *pause > kMaxTiming)
        return refuse(Field::Pause, "停顿时间应为 0 到 32767 之间的整数(秒)");
    if (!delay || *delay > kMaxTiming)
        return refuse(Field::FrameDelay, "帧停顿应为 0 到 32767 之间的整数(毫秒)");

    // Untouched boxes leave the window as it is, maximised or resized beyond
    // the boxes' limits; a typed size is clamped into them and the window
    // follows whenever the stored size differs from the one it has.
    const bool typed = widthText != openedWidthText_ || heightText != openedHeightText_;
    const int newW = typed ? int(std::clamp<long long>(*w, kMinShowWidth, kMaxShowWidth)) : state_.ShowWidth;
    const int newH = typed ? int(std::clamp<long long>(*h, kMinShowHeight, kMaxShowHeight)) : state_.ShowHeight;
    a.sizeChanged = newW != state_.ShowWidth || newH != state_.ShowHeight;
    const int photos = albumPhotos_.Count();
    Change([&](AlbumState& s) {
        s.ShowWidth = newW;
        s.ShowHeight = newH;
        s.ShowBackColor = backColor;
        s.FrameType = frameChoice;
        s.PauseSecs = int(*pause);
        s.FrameDelayMs = int(*delay);
        s.TransMode = transMode;
        if (allPhotos) {
            while (s.PhotoCaption.size() < photos)
                s.PhotoCaption << QString();
            for (int i = 0; i < photos; ++i)
                s.PhotoCaption[i] = captionText;
        }
        s.CapFontColor = textColor;
    });
    return Ending(a);
}

SettingsForm::Applied SettingsForm::Cancel() { return Ending({}); }

SettingsForm::Applied SettingsForm::Ending(Applied a)
{
    if (tuneLines.isEmpty()) {
        a.musicOff = state_.MusicOn != 0;
        if (a.musicOff)
            Change([](AlbumState& s) { s.MusicOn = 0; });
        musicBox = false;
    }
    return a;
}

}  // namespace tamsel
