#pragma once
// A failure as a value: what the user reads, in the program's own words,
// and what caused it (the engine's message naming the file or field, the
// system's errno). A step that catches an exception keeps the cause here
// instead of dropping it, shows the text with the cause as the box's
// detail, and hands the failure up so that its caller decides whether to
// go on (and with what exit code) from what happened, not from whether a
// box was shown.
#include "app/Dialogs.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace velmora::app {

enum class FailureKind {
    Engine,     // the table engine or the file system refused
    File,       // a file from outside (the fund's, an archive) was refused
    Refused,    // a rule of the program said no; nothing changed
    Cancelled,  // the user said no or left a window
};

struct Failure {
    FailureKind kind = FailureKind::Engine;
    std::string text;   // what the user reads
    std::string cause;  // the engine's message, the file, the field; "" when the text says it all
    int osError = 0;    // errno of the failed system call; 0 when none

    // "<cause> (errno N: <description>)", or the part of it there is.
    std::string detail() const;
};

// What a command came to: nothing when it did what it was asked, else the
// failure (or the refusal, the "Nem" of the user) that stopped it.
using Outcome = std::optional<Failure>;

// A value, or the failure that stands in its place.
template <class T>
class Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Failure failure) : v_(std::move(failure)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& operator*() const { return std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    const Failure& failure() const { return std::get<1>(v_); }
    Outcome outcome() const { return ok() ? Outcome() : Outcome(failure()); }

private:
    std::variant<T, Failure> v_;
};

// The failure a caught exception stands for: `text` is what the user reads,
// the exception's message (and the errno behind an engine error) its cause;
// the kind follows from the exception's type.
Failure failureOf(const std::string& text, const std::exception& e);
// An exception whose own message is the text the user reads (a refusal
// in the program's words): no separate cause, except an archiver's detail.
Failure failureOf(const std::exception& e);

// The error box of a failure: its text, with the detail below it when
// there is one.
void show(Dialogs& dialogs, const Failure& failure);

} // namespace velmora::app
