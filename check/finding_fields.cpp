#include "check/finding_fields.h"

#include <algorithm>

#include "check/check_result.h"
#include "check/compiled_rules.h"
#include "check/rule_focus.h"
#include "check/rule_sets.h"

namespace zorbix::check {
namespace {

constexpr std::string_view kLinePrefix = "项目";

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

}  // namespace

const std::vector<RuleFields>& AllRuleFields() {
    static const std::vector<RuleFields> all = [] {
        std::vector<RuleFields> out;
        AddTableOneFields(out);
        AddBalanceFields(out);
        return out;
    }();
    return all;
}

std::optional<FindingLine> ParseFindingLine(std::string_view line) {
    line = WithoutLineEnd(line);
    if (!line.starts_with(kLinePrefix)) return std::nullopt;
    // The number is whatever stands between the prefix and the message, so
    // the longest message that ends the line is the one (a number cannot be
    // told from the text before a shorter message's end otherwise).
    std::string_view best;
    for (const RuleFields& rule : AllRuleFields())
        if (rule.message.size() > best.size() &&
            line.size() >= kLinePrefix.size() + rule.message.size() && line.ends_with(rule.message))
            best = rule.message;
    if (best.empty()) return std::nullopt;
    const std::string_view number =
        line.substr(kLinePrefix.size(), line.size() - kLinePrefix.size() - best.size());
    return FindingLine{std::string(number), best};
}

std::optional<Finding> FindingOfLine(std::string_view line) {
    auto parsed = ParseFindingLine(line);
    if (!parsed) return std::nullopt;
    return Finding{std::move(parsed->number), store::Page::None, -1, std::string(parsed->message)};
}

std::vector<int> FindingColumns(std::string_view message) {
    std::vector<int> columns;
    for (const RuleFields& rule : AllRuleFields())
        if (rule.message == message)
            for (int column : rule.columns)
                if (std::find(columns.begin(), columns.end(), column) == columns.end())
                    columns.push_back(column);
    return columns;
}

int FocusColumn(std::string_view message, const store::Record& record) {
    if (const auto column = TableOneFocus(message, record)) return *column;
    if (const auto column = BalanceFocus(message, record)) return *column;
    return -1;
}

void LocateFindings(const store::Record& record, CheckResult& result, std::size_t first) {
    for (std::size_t i = first; i < result.findings.size(); ++i) {
        Finding& finding = result.findings[i];
        finding.column = FocusColumn(finding.text, record);
        finding.page =
            finding.column < 0 ? store::Page::None : store::Columns()[finding.column].page;
    }
}

std::optional<int> FirstFailingColumn(store::Page page, const store::Record& record) {
    CheckResult result;
    if (!CheckPage(page, record, result)) return std::nullopt;
    for (const Finding& finding : result.findings)
        if (finding.column >= 0 && finding.page == page) return finding.column;
    return std::nullopt;
}

}  // namespace zorbix::check
