// The project numbers of the store and of the records an append has added so
// far, by NumericValue, so that each incoming record is checked for a
// duplicate without a scan of the whole store. Two numbers name the same
// project when their values differ by less than 0.1: leading zeros and
// trailing blanks do not matter, and numbers that do not begin with digits
// all have the value 0.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorbix::exchange {

class ProjectNumberIndex {
public:
    // Numbers in set order; record i (0-based) stands at position i + 1.
    explicit ProjectNumberIndex(const std::vector<std::string>& numbers);

    // The first position (in set order) of a project with the same number.
    std::optional<int> Find(double value) const;

    void Add(double value, int position);

private:
    // Each distinct value with the first position that holds it.
    std::map<double, int> first_position_;
};

}  // namespace zorbix::exchange
