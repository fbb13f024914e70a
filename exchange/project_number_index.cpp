#include "exchange/project_number_index.h"

#include "base/numeric_value.h"
#include "store/project_number.h"

namespace zorbix::exchange {
namespace {

constexpr double kSameProjectBand = 0.1;

}  // namespace

ProjectNumberIndex::ProjectNumberIndex(const std::vector<std::string>& numbers) {
    for (std::size_t i = 0; i < numbers.size(); ++i)
        Add(base::NumericValue(numbers[i]), static_cast<int>(i) + 1);
}

std::optional<int> ProjectNumberIndex::Find(double value) const {
    std::optional<int> first;
    for (auto it = first_position_.lower_bound(value - kSameProjectBand);
         it != first_position_.end() && it->first <= value + kSameProjectBand; ++it) {
        if (store::SameProjectNumber(it->first, value) && (!first || it->second < *first))
            first = it->second;
    }
    return first;
}

void ProjectNumberIndex::Add(double value, int position) {
    // emplace keeps the earlier position of a value already there.
    first_position_.emplace(value, position);
}

}  // namespace zorbix::exchange
