#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "base/system_user.h"

namespace zorbix::base {

std::string SystemUserName() {
    const uid_t uid = ::geteuid();
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && *found->pw_name)
        return found->pw_name;
    return std::to_string(uid);
}

}  // namespace zorbix::base
