// Why an operating-system call failed, as the end of a message for the
// user: in the program's Chinese where the user can act on it (a disk with
// no room left), in the system's own words otherwise.
#pragma once

#include <string>

namespace zorbix::base {

// `error`: the errno the call left.
std::string ErrorReason(int error);

}  // namespace zorbix::base
