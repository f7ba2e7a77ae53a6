// How an operation the user asked for went: done, or failed, with the reason in plain words
// ready to be shown (in a message box, on the still renderer's error output). The one way a
// user-visible failure travels back to whoever tells the user (the settings store's reads and
// writes, a still's file, the desktop background); each reason's text is written once, where
// the failure is worded. A caller that must act on one kind of failure asks kind() rather than
// comparing texts. Outcome carries the program's UTF-16 texts, NarrowOutcome the native still
// renderer's.
//
// What no user is told has no outcome: a wrapper of the system says it could not with its own
// empty state (a null handle, an empty optional, false, the registry's ValueRead), and the
// caller either falls back quietly or words it as an outcome. Nothing is thrown for a failure
// the user sees.
// Pure: no Windows header.
#pragma once

#include <string>
#include <utility>

namespace lumora::platform {

enum class FailureKind { None, FileExists, Other };

template <typename Text>
class [[nodiscard]] BasicOutcome {
public:
    static BasicOutcome Done() { return BasicOutcome(FailureKind::None, Text()); }
    static BasicOutcome Failed(Text reason, FailureKind kind = FailureKind::Other) {
        return BasicOutcome(kind, std::move(reason));
    }

    bool ok() const { return kind_ == FailureKind::None; }
    explicit operator bool() const { return ok(); }
    FailureKind kind() const { return kind_; }
    // Empty when it went well.
    const Text& reason() const { return reason_; }

private:
    BasicOutcome(FailureKind kind, Text reason) : kind_(kind), reason_(std::move(reason)) {}

    FailureKind kind_;
    Text reason_;
};

using Outcome = BasicOutcome<std::wstring>;
using NarrowOutcome = BasicOutcome<std::string>;

}  // namespace lumora::platform
