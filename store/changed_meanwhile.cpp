#include "store/changed_meanwhile.h"

#include "base/message_text.h"
#include "store/catalogue.h"

namespace zorbix::store {
namespace {

// "JB01（项目名称）：新的名称" for each column the write would have changed.
std::string TypedLines(const Record& typed, const Record& current) {
    std::string lines;
    for (const Column& c : Columns()) {
        if (typed[c.index] == current[c.index]) continue;
        lines += base::MessageText("\n{1}（{2}）：{3}", {c.name, c.caption, typed[c.index]});
    }
    return lines;
}

}  // namespace

std::string ChangedMeanwhileMessage(std::string_view who, std::string_view time,
                                    const Record& typed, const Record& current) {
    const std::string lines = TypedLines(typed, current);
    std::string message = base::MessageText(
        "项目“{1}”在您读取之后已被“{2}”于{3}修改，您的修改没有保存。现在显示的是它的最新内容。",
        {typed[kNumberColumn], who, time});
    if (!lines.empty()) message += "\n您输入而没有保存的内容如下，请核对后重新输入：" + lines;
    return message;
}

std::string RemovedMeanwhileMessage(const Record& typed) {
    return base::MessageText("项目“{1}”在您读取之后已被其他人删除，您的修改没有保存。",
                             {typed[kNumberColumn]});
}

}  // namespace zorbix::store
