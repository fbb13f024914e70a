#include "store/project_number.h"

#include <cmath>

namespace zorbix::store {

bool SameProjectNumber(double a, double b) { return std::fabs(a - b) < 0.1; }

}  // namespace zorbix::store
