// The name of the system user running the program: who made a change, as
// the change history of a store on this machine records it.
#pragma once

#include <string>

namespace zorbix::base {

// The login name of the effective user; its number when the system has no
// name for it.
std::string SystemUserName();

}  // namespace zorbix::base
