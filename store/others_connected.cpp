#include "store/others_connected.h"

#include "base/message_text.h"

namespace zorbix::store {

std::optional<std::string> OthersConnectedProblem(Database& db, std::string_view what) {
    const auto others = db.OtherSessions();
    if (others.empty()) return std::nullopt;
    std::string names;
    for (const auto& o : others) names += (names.empty() ? "" : "、") + o;
    return base::MessageText(
        "{1}正在使用{2}，{3}会替换全部项目，现在不能进行。请他们退出程序后再试。数据没有改动。",
        {names, db.Named(), what});
}

}  // namespace zorbix::store
