#include <cerrno>
#include <cstring>

#include "base/error_reason.h"

namespace zorbix::base {

std::string ErrorReason(int error) {
    // A full disk and a used-up quota ask the same of the user: make room.
    if (error == ENOSPC || error == EDQUOT) return "磁盘空间已满";
    return std::strerror(error);
}

}  // namespace zorbix::base
