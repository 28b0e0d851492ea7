#pragma once
#include "model/Surface.h"

#include <QSize>
#include <QString>

#include <chrono>
#include <exception>
#include <new>
#include <utility>

namespace tamsel {

inline constexpr const char* kErrNoMemory = "内存不足";

// What a reader makes of one file, in one answer: the picture (upright by its
// EXIF orientation, in the display's colours when it carries a profile), "not
// mine" (a file of another format or kind: the next reader may try), or a
// refusal with the text the user reads ("图片太大", "文件不完整": no other
// reader may take the file either).
struct Decoded {
    enum class Answer { Picture, NotMine, Refused };
    Answer answer = Answer::NotMine;
    Surface picture;
    QString refusal;

    static Decoded Of(Surface picture)
    {
        Decoded d;
        d.answer = Answer::Picture;
        d.picture = std::move(picture);
        return d;
    }
    static Decoded NotMine() { return {}; }
    static Decoded Refused(QString why)
    {
        Decoded d;
        d.answer = Answer::Refused;
        d.refusal = std::move(why);
        return d;
    }
    bool IsPicture() const { return answer == Answer::Picture; }
    bool IsNotMine() const { return answer == Answer::NotMine; }
};

// A reader of one format. With atMost given, a reader that can decode
// smaller may give a picture just large enough to cover it, its true size
// kept as the surface's FullWidth/FullHeight.
using PictureReader = Decoded (*)(const QString& path, QSize atMost);

// Whether a decode should go on. A damaged or hostile file can keep a decoder
// busy without end (a picture followed by gigabytes of zeros, a drawing of
// endless steps), and the next photo would never come: every decoder asks
// its watch as it goes and gives the file up once the time allowed for one
// picture has passed, or the program has said StopDecodes (it is quitting,
// and waits for no decode).
class DecodeWatch {
public:
    DecodeWatch();
    bool Expired() const;

private:
    std::chrono::steady_clock::time_point until_;
};

// The time one decode is allowed, from the next one started on: a large
// photo takes a few seconds at most.
inline constexpr std::chrono::milliseconds kDecodeTimeLimit{20'000};
void SetDecodeTimeLimit(std::chrono::milliseconds limit);
// Every decode running or started from now on gives up at once; false lets
// them run again.
void StopDecodes(bool stop = true);

// Runs a reader's work so that nothing thrown leaves it: memory running out
// is its refusal "内存不足", anything else "装入图片出错".
template <class Body>
Decoded ReadGuarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Decoded::Refused(QString::fromUtf8(kErrNoMemory));
    } catch (const std::exception&) {
        return Decoded::Refused(QString::fromUtf8(kErrLoad));
    }
}

}  // namespace tamsel
