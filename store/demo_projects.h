// Plausible projects that keep every rule of the survey, for trying the
// program at once and for benchmarks. The same seed over the same store
// gives the same projects.
#pragma once

#include <cstdint>

#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::store {

// Adds `count` demo projects with 12-digit numbers not yet stored, in one
// transaction. Returns the number added.
int AddDemoProjects(RecordSet& records, int count, std::uint64_t seed,
                    base::Prompter* progress = nullptr);

// One demo record (137 values in table order) for a given project number;
// exposed for tests and benchmarks that need rows without a store.
Row MakeDemoProject(const std::string& number, std::uint64_t seed);

}  // namespace zorbix::store
