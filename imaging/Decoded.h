#pragma once
#include "model/Surface.h"

#include <QSize>
#include <QString>

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
