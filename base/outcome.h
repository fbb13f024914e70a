// How an operation that talks to the user ended. Every operation of the
// window's buttons returns one, alone or inside a result that carries more
// (counts, file names); the batch tool turns it into its exit status in one
// place. The user has always been told already: an outcome never carries a
// message of its own.
#pragma once

namespace zorbix::base {

class Outcome {
public:
    enum Kind : unsigned char {
        Done,       // ran to its end
        Cancelled,  // the user said no to the survey's question or chose no file
        Refused,    // ran, but refused the input or left something out; the user was told
        Failed,     // nothing or not everything was done; the failure was shown
    };

    constexpr Outcome(Kind kind) : kind_(kind) {}  // NOLINT: a kind is an outcome

    constexpr Kind kind() const { return kind_; }
    constexpr bool IsDone() const { return kind_ == Done; }
    // True when the operation ran to its end, so `if (Delete…)` reads as before.
    constexpr explicit operator bool() const { return IsDone(); }

    friend constexpr bool operator==(Outcome, Outcome) = default;

private:
    Kind kind_;
};

}  // namespace zorbix::base
