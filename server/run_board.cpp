#include "server/run_board.h"

#include <algorithm>

#include "server/api_error.h"

namespace zorbix::server {
namespace {

struct KindCaption {
    std::string_view kind;
    std::string_view caption;
};

constexpr KindCaption kCaptions[] = {
    {"exchange", "导入交换文件"}, {"check", "全部审核"},      {"summaries", "生成汇总表"},
    {"reconcile", "计划对照"},    {"export", "导出项目清单"}, {"backup", "备份"},
    {"restore", "恢复备份"},      {"plan", "导入计划表"},     {"units", "建立单位账户"},
};

}  // namespace

std::string_view RunCaption(std::string_view kind) {
    for (const KindCaption& k : kCaptions)
        if (k.kind == kind) return k.caption;
    return "批量工作";
}

RunTicket::~RunTicket() { board_.End(kind_); }

void RunTicket::SetFraction(double fraction) { board_.Set(kind_, std::clamp(fraction, 0.0, 1.0)); }

RunTicket RunBoard::Start(std::string_view kind) {
    std::string key(kind);
    {
        std::lock_guard lock(mutex_);
        if (!fractions_.emplace(key, 0.0).second)
            throw ApiError(409,
                           "“" + std::string(RunCaption(kind)) + "”正在进行，请等它完成后再试。");
    }
    return RunTicket(*this, std::move(key));
}

Json RunBoard::RunsJson() const {
    Json runs = Json::array();
    std::lock_guard lock(mutex_);
    for (const auto& [kind, fraction] : fractions_)
        runs.push_back({{"kind", kind}, {"fraction", fraction}});
    return {{"runs", runs}};
}

void RunBoard::Set(const std::string& kind, double fraction) {
    std::lock_guard lock(mutex_);
    if (auto it = fractions_.find(kind); it != fractions_.end()) it->second = fraction;
}

void RunBoard::End(const std::string& kind) {
    std::lock_guard lock(mutex_);
    fractions_.erase(kind);
}

}  // namespace zorbix::server
