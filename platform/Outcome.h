#pragma once
#include <QString>

#include <utility>

namespace tamsel {

// What a command or a file operation did, as the user is to be told: whether
// it went through, and the text for the info label. A message with ok set is
// a note (something was passed over or left as it was); without ok it says
// why nothing was done. Everything that can fail reports this way, so the
// window has one place to show it.
struct Outcome {
    bool ok = true;
    QString message;

    static Outcome Done(QString note = {}) { return {true, std::move(note)}; }
    static Outcome Failed(QString why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
    bool HasMessage() const { return !message.isEmpty(); }
};

}  // namespace tamsel
