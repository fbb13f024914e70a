#include <algorithm>

#include "app/cli/command.h"
#include "store/store_operations.h"

namespace zorbix::cli {

std::optional<std::string> Context::TakeOption(const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return std::nullopt;
    if (it + 1 == args.end()) throw UsageError(name + " 后面缺少取值。");
    std::string value = *(it + 1);
    args.erase(it, it + 2);
    return value;
}

bool Context::TakeFlag(const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

base::Outcome Context::LocateRequested(const std::optional<std::string>& number) {
    if (!number) return base::Outcome::Done;
    return store::LocateProject(store.records(), prompter, *number);
}

void Context::NoMoreArguments() const {
    if (!args.empty()) throw UsageError("多余的参数：" + args.front());
}

}  // namespace zorbix::cli
