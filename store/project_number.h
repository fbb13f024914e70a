// How the survey compares project numbers: by their value, so leading zeros
// and trailing blanks do not make another project.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorbix::store {

// A project number has this many characters (not bytes) when it is added,
// typed or imported.
inline constexpr std::size_t kProjectNumberCharacters = 12;

// True when the number has the length the survey requires of a new number.
bool HasProjectNumberLength(std::string_view number);

// Two project numbers name the same project when their values differ by less
// than 0.1 (locating and appending compare this way).
bool SameProjectNumber(double a, double b);

// What the locate box and every project argument of the batch tool look
// for. A text holding a digit is a number and finds the stored numbers of
// the same value (leading zeros, the 0.1 tolerance). A text without any
// digit has no value: read as one it would be 0 and find every stored
// number that does not begin with a digit, so it finds only a stored number
// equal to it as text, blanks around either ignored.
class LocateKey {
public:
    explicit LocateKey(std::string_view wanted);
    bool Matches(std::string_view stored_number) const;

private:
    bool numeric_;
    double value_ = 0;
    std::string text_;
};

}  // namespace zorbix::store
