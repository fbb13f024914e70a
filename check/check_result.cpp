#include "check/check_result.h"

namespace zorbix::check {

void CheckResult::Add(std::string_view project_number, std::string_view message) {
    failed = true;
    text.append("项目").append(project_number).append(message).append(kLineEnd);
}

void CheckResult::Reset() {
    text.clear();
    failed = false;
}

}  // namespace zorbix::check
