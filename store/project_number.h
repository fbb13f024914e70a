// How the survey compares project numbers: by their value, so leading zeros
// and trailing blanks do not make another project.
#pragma once

namespace zorbix::store {

// Two project numbers name the same project when their values differ by less
// than 0.1 (locating and appending compare this way).
bool SameProjectNumber(double a, double b);

}  // namespace zorbix::store
